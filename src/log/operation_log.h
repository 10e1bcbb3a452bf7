#pragma once
// The Operation Log: tamrik.Log in the program folder, two lines per entry (one
// space, then the entry text with the date and time), in the ANSI code page with
// CR LF line ends. Writing is best effort: a log that cannot be written loses the
// entry and the action goes on.

#include <string>
#include <string_view>

#include "store/clock.h"
#include "store/machine.h"

namespace korvanta::log {

class OperationLog {
 public:
  OperationLog(store::Machine& machine, const store::Clock& clock)
      : machine_(machine), clock_(clock) {}

  // Appends " " and entry text + "mm-dd-yyyy" + "  " + "hh:mm:ss", each as a line.
  void AppendLogEntry(std::string_view text) noexcept;

  // The viewer's snapshot: the whole file as text. A missing or empty file is
  // rewritten to hold one space, which is then what it shows.
  std::string ReadForViewer() noexcept;
  // Empties the log: the file then holds exactly one space. False when the file
  // could not be written (a read-only log keeps what it holds).
  bool Clear() noexcept;

  std::string Path() const;

 private:
  store::Machine& machine_;
  const store::Clock& clock_;
};

}  // namespace korvanta::log
