#pragma once
// The cleaner's file tools on the live machine: FindFirstFile walks, the shell's
// type names, the user's date and time formats, the Recycle Bin.

#include "store/file_tools.h"

namespace korvanta::store {

class Win32FileTools final : public FileTools {
 public:
  std::unique_ptr<FolderWalk> Walk(std::string_view root) override;
  std::string TypeName(std::string_view name) override;
  std::string ShortDateTime(std::int64_t filetime) override;
  Status Overwrite(std::string_view path) override;
  void EmptyRecycleBin() override;
};

}  // namespace korvanta::store
