#include "store/portable/prefix_facts.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

#include "store/portable/reg_text.h"
#include "store/utf.h"

namespace korvanta::store {
namespace fs = std::filesystem;

namespace {

constexpr std::size_t kHeadBytes = 4096;
// A probe reads this far for a key line, then once more that far again times
// sixteen (past a long binary value), then gives up.
constexpr std::size_t kProbeBytes = 4096;
// Below this the key lines are simply read in order.
constexpr std::size_t kScanWindow = 32 * 1024;
constexpr std::size_t kSectionBytes = 64 * 1024;
// A file that is not sorted is searched whole, up to this size.
constexpr std::size_t kMaxScan = 32 * 1024 * 1024;

using KeyPath = std::array<std::u16string_view, 4>;
constexpr KeyPath kNtKey = {u"Software", u"Microsoft", u"Windows NT", u"CurrentVersion"};
constexpr KeyPath k9xKey = {u"Software", u"Microsoft", u"Windows", u"CurrentVersion"};

class ReadOnlyFile {
 public:
  explicit ReadOnlyFile(const fs::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
    struct stat st {};
    if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && S_ISREG(st.st_mode)) {
      size_ = static_cast<std::size_t>(st.st_size);
    }
  }
  ~ReadOnlyFile() {
    if (fd_ >= 0) ::close(fd_);
  }
  ReadOnlyFile(const ReadOnlyFile&) = delete;
  ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

  std::size_t size() const { return size_; }
  std::string Read(std::size_t offset, std::size_t length) const {
    if (offset >= size_) return {};
    std::string bytes(std::min(length, size_ - offset), '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
      ssize_t n =
          ::pread(fd_, bytes.data() + got, bytes.size() - got, static_cast<off_t>(offset + got));
      if (n <= 0) break;
      got += static_cast<std::size_t>(n);
    }
    bytes.resize(got);
    return bytes;
  }

 private:
  int fd_;
  std::size_t size_ = 0;
};

// wineserver's order of key paths: name by name, a key before its subkeys.
int CompareKey(std::u16string_view path, const KeyPath& target) {
  std::vector<std::u16string_view> names;
  if (!SplitRegPath(path, names)) return -1;
  for (std::size_t i = 0; i < names.size() && i < target.size(); ++i) {
    if (int c = CompareRegNames(names[i], target[i]); c != 0) return c;
  }
  return names.size() < target.size() ? -1 : (names.size() > target.size() ? 1 : 0);
}

struct KeyLine {
  std::size_t offset;  // of its '['
  int order;           // against the target
};

// The key lines of bytes (which start at offset in the file), each against target.
std::optional<KeyLine> NextKeyLine(std::string_view bytes, std::size_t offset, std::size_t from,
                                   const KeyPath& target) {
  for (std::size_t at = bytes.find("\n[", from); at != std::string_view::npos;
       at = bytes.find("\n[", at + 1)) {
    RegKeyLine key;
    std::size_t eol = bytes.find('\n', at + 2);
    if (eol == std::string_view::npos) return std::nullopt;  // cut off by the read
    if (ParseRegKeyLine(bytes.substr(at + 2, eol - at - 2), key)) {
      return KeyLine{offset + at + 1, CompareKey(key.path, target)};
    }
  }
  return std::nullopt;
}

std::optional<std::size_t> ScanFor(const ReadOnlyFile& file, std::size_t from, std::size_t to,
                                   const KeyPath& target) {
  if (from > 0) --from;  // the newline before a key line at from
  std::string bytes = file.Read(from, to - from);
  for (std::size_t pos = 0;;) {
    std::optional<KeyLine> line = NextKeyLine(bytes, from, pos, target);
    if (!line) return std::nullopt;
    if (line->order == 0) return line->offset;
    pos = line->offset - from;
  }
}

std::optional<std::size_t> FindKey(const ReadOnlyFile& file, const KeyPath& target) {
  std::size_t lo = 0, hi = file.size();
  while (hi - lo > kScanWindow) {
    std::size_t mid = lo + (hi - lo) / 2;
    std::optional<KeyLine> line = NextKeyLine(file.Read(mid, kProbeBytes), mid, 0, target);
    if (!line) line = NextKeyLine(file.Read(mid, 16 * kProbeBytes), mid, 0, target);
    if (line && line->order == 0) return line->offset;
    // The first key line after mid: the target lies before mid when it sorts
    // before this line (the line at mid itself is not seen from mid).
    if (!line || line->offset >= hi || line->order > 0) {
      hi = mid + 1;
    } else {
      lo = line->offset;
    }
  }
  if (auto found = ScanFor(file, lo, std::min(file.size(), hi + kProbeBytes), target)) return found;
  // Not where the order says: a file written by something other than wineserver.
  if (file.size() > kMaxScan) return std::nullopt;
  return ScanFor(file, 0, file.size(), target);
}

struct VersionValues {
  std::string product, current, csd, version_number;
};

VersionValues ReadKey(const ReadOnlyFile& file, const KeyPath& target) {
  VersionValues values;
  std::optional<std::size_t> at = FindKey(file, target);
  if (!at) return values;
  std::string bytes = file.Read(*at, kSectionBytes);
  RegLineReader lines(bytes);
  std::string_view line;
  lines.Next(line);  // the key line
  while (lines.Next(line)) {
    if (!line.empty() && line[0] == '[') break;
    std::string_view text = SkipRegSpace(line);
    if (text.empty() || (text[0] != '"' && text[0] != '@')) continue;
    RegValue value;
    if (ParseRegValue(text, lines, value) != RegValueParse::kOk) continue;
    if (value.type != kRegSz && value.type != kRegExpandSz) continue;
    std::u16string data = BytesToUtf16(value.data);
    if (std::size_t nul = data.find(u'\0'); nul != std::u16string::npos) data.resize(nul);
    std::string utf8 = Utf16ToUtf8(data);
    if (RegNamesEqual(value.name, u"ProductName")) values.product = utf8;
    if (RegNamesEqual(value.name, u"CurrentVersion")) values.current = utf8;
    if (RegNamesEqual(value.name, u"CSDVersion")) values.csd = utf8;
    if (RegNamesEqual(value.name, u"VersionNumber")) values.version_number = utf8;
  }
  return values;
}

std::string Shortened(std::string product) {
  constexpr std::string_view kVendor = "Microsoft ";
  if (product.starts_with(kVendor)) product.erase(0, kVendor.size());
  return product;
}

// As Wine decides it: the NT key when it says a version, else the 9x key.
std::string WindowsVersion(const ReadOnlyFile& file) {
  VersionValues nt = ReadKey(file, kNtKey);
  if (!nt.current.empty() || !nt.product.empty()) {
    std::string text = nt.product.empty() ? "Windows " + nt.current : Shortened(nt.product);
    if (!nt.csd.empty()) text += " " + nt.csd;
    return text;
  }
  VersionValues nine = ReadKey(file, k9xKey);
  if (!nine.version_number.empty() || !nine.product.empty()) {
    return nine.product.empty() ? "Windows " + nine.version_number : Shortened(nine.product);
  }
  return {};
}

}  // namespace

PrefixFacts ReadPrefixFacts(const fs::path& system_reg) {
  PrefixFacts facts;
  ReadOnlyFile file(system_reg);
  std::string head = file.Read(0, kHeadBytes);
  if (!head.starts_with(kRegFileSignature)) return facts;
  RegLineReader lines(head);
  std::string_view line;
  while (lines.Next(line) && (line.empty() || line[0] != '[')) {
    if (line.starts_with("#arch=")) facts.architecture = std::string(line.substr(6));
  }
  facts.windows = WindowsVersion(file);
  return facts;
}

}  // namespace korvanta::store
