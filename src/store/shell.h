#pragma once
// What the program asks of the machine's shell.

#include <string_view>

namespace korvanta {

class Shell {
 public:
  virtual ~Shell() = default;
  // Moves a file or folder to the Recycle Bin (SHFileOperationA, FO_DELETE with
  // FOF_ALLOWUNDO); the result is not examined by the callers.
  virtual void RecycleFile(std::string_view path) = 0;
};

}  // namespace korvanta
