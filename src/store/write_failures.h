#pragma once
// What the writes of one user action could not store, in the words the user is
// told afterwards: the Registry Access Layer and the Settings Store record each
// failed write here, and the program reports the list once the action is over.

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvanta::store {

class WriteFailures {
 public:
  // One place that was not written: "HKEY_LOCAL_MACHINE\Software\...\Name".
  void Record(std::string what) { failures_.push_back(std::move(what)); }
  // A text not written because the ANSI code page cannot hold those characters.
  void RecordUnstorable(std::string what, std::string_view characters) {
    Record(std::move(what) + "（无法保存的字符：" + std::string(characters) + "）");
  }
  bool empty() const { return failures_.empty(); }
  std::size_t size() const { return failures_.size(); }
  // Taking them clears the list.
  std::vector<std::string> Take() { return std::exchange(failures_, {}); }

 private:
  std::vector<std::string> failures_;
};

}  // namespace korvanta::store
