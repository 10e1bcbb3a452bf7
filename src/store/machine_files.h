#pragma once
// The machine's files as a file dialog or a picture sees them: its drives and
// folders by the machine's Windows paths, a file's bytes, and the file an icon
// location names. Nothing that leads out of the machine is listed, found or read,
// and no host path crosses.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvanta::store {

class MachineFiles {
 public:
  struct Entry {
    std::string name;
    bool folder = false;
    std::uint64_t size = 0;
    std::int64_t modified = 0;  // seconds since 1970, UTC
  };
  // A file or folder that is there, as the machine spells its path.
  struct Place {
    std::string path;  // "C:\Program Files\Logo.BMP"
    bool folder = false;
  };

  virtual ~MachineFiles() = default;

  // The machine's drive letters, C: first.
  virtual std::vector<char> Drives() const = 0;
  // A folder's entries, in no particular order.
  virtual std::vector<Entry> List(std::string_view folder) const = 0;
  // What an absolute path ("c:\program files\logo.bmp") names.
  virtual std::optional<Place> Find(std::string_view path) const = 0;
  // A file's bytes.
  virtual std::optional<std::string> Read(std::string_view path) const = 0;
  // The bytes of the file an icon location names, found as the shell finds it
  // (%SystemRoot%, a bare name in the system folders).
  virtual std::optional<std::string> ReadIconFile(std::string_view file) const = 0;
};

}  // namespace korvanta::store
