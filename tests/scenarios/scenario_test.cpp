// Runs every scenario in tests/scenarios through korvanta-drive and compares its
// output with the .out file beside it. The Linux build drives a fresh machine
// folder; the Windows build runs korvanta-drive.exe under Wine on the test prefix.
//
// A scenario may prepare and check the machine in comment lines:
//   # setup: reg ROOT KEY NAME sz|expand|dword DATA  store a value (expand: REG_EXPAND_SZ)
//   # setup: reg ROOT KEY NAME hex BYTES        store REG_BINARY bytes (01,00,00,00)
//   # setup: reg ROOT KEY NAME hash TEXT        store a password hash of TEXT
//   # setup: reg ROOT KEY NAME absent           delete the value
//   # setup: key ROOT KEY absent                delete the key (it has no subkeys)
//   # setup: file PATH absent                   delete the file when it is there
//   # setup: file PATH TEXT                     write a file, and its folder when missing
//                                               (TEXT in GBK; \r \n allowed)
//   # setup: file PATH absent                   delete the file, read-only or not
//   # setup: folder PATH [empty]                make the folder; empty: with nothing in it
//   # setup: attr PATH ATTRS                    set the attributes (readonly hidden system)
//   # after: ...                                a setup line run after the checks, to put
//                                               back what other scenarios rely on
//   # dry run                                   korvanta-drive runs with --dry-run
//   # wine differs: REASON                      the Windows build skips the scenario under
//                                               Wine, which is known to differ there
//   # windows versions: VERSION...              the Windows build under Wine runs it once
//                                               with each (win98, win2k, winxp ...) as the
//                                               Windows version Wine reports
//   # setup: time PATH YYYY-MM-DD HH:MM:SS      set the file's time of last write (local)
//   # setup: readonly PATH                      make the file read-only
//   # setup: clean PATH                         remove the folder and all it holds
//   # check: reg ROOT KEY NAME = DATA           the value reads DATA
//   # check: reg ROOT KEY NAME hex BYTES        the value is REG_BINARY holding BYTES
//   # check: reg ROOT KEY NAME dword N          the value is REG_DWORD holding N
//   # check: reg ROOT KEY NAME sz TEXT          the value is REG_SZ holding TEXT
//   # check: reg ROOT KEY NAME expand TEXT      the value is REG_EXPAND_SZ holding TEXT
//   # check: reg ROOT KEY NAME absent           the value does not exist
//   # check: reg ROOT KEY NAME password TEXT    a salted hash of TEXT is stored
//   # check: key ROOT KEY absent                the key does not exist
//   # check: file PATH = TEXT                   the file holds exactly TEXT (GBK)
//   # check: file PATH contains TEXT            the file holds TEXT somewhere
//   # check: file PATH lacks TEXT               the file does not hold TEXT
//   # check: file PATH absent                   the file does not exist
//   # check: attr PATH ATTRS                    of readonly, hidden and system, it has these
//   # check: folder PATH = NAME...              the folder holds exactly these files and
//                                               folders (sorted, blank-separated; none: empty)
//   # check: unchanged key ROOT KEY             the key and all under it, and the file or
//   # check: unchanged file PATH                all in the folder, are byte for byte as
//   # check: unchanged folder PATH              they were when the setup was done
// ROOT is HKLM, HKCU or HKCR; a KEY or NAME with blanks is written «like this», and
// «» is the default value. PATH may start with %PROGRAM% for the program folder;
// TEXT may hold \r, \n and \xHH escapes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

#include "password/password_hash.h"
#include "store/abort_seam.h"
#include "store/machine.h"
#include "store/paths.h"
#include "store/utf.h"
#include "support/test_support.h"

#ifdef _WIN32
#include "store/win32/machine_win32.h"
#include "store/win32/win32_text.h"
#include "store/win32/windows_api.h"
#else
#include <fcntl.h>
#include <sys/stat.h>

#include "store/portable/machine_folder.h"
#include "store/portable/machine_portable.h"
#endif

namespace korvanta::test {
namespace {
namespace fs = std::filesystem;

fs::path SourcePath(const std::string& unix_path) {
#ifdef _WIN32
  return fs::path("Z:" + unix_path);  // Wine's Z: is the host's root
#else
  return fs::path(unix_path);
#endif
}

std::vector<std::string> ScenarioNames() {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(SourcePath(KORVANTA_SOURCE_DIR "/tests/scenarios"))) {
    if (e.path().extension() == ".txt") names.push_back(e.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string Unescape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\\' && i + 1 < text.size() && (text[i + 1] == 'r' || text[i + 1] == 'n')) {
      out.push_back(text[++i] == 'r' ? '\r' : '\n');
    } else if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x') {
      out.push_back(static_cast<char>(std::stoi(std::string(text.substr(i + 2, 2)), nullptr, 16)));
      i += 3;
    } else {
      out.push_back(text[i]);
    }
  }
  return out;
}

std::vector<std::string> Words(const std::string& line, int count) {
  // The first count-1 words («quoted» ones may hold blanks), then the rest of the
  // line as the last one.
  static const std::string kOpen = "«", kClose = "»";
  std::vector<std::string> words;
  std::size_t i = 0;
  while (static_cast<int>(words.size()) < count - 1 && i < line.size()) {
    if (line.compare(i, kOpen.size(), kOpen) == 0) {
      std::size_t close = line.find(kClose, i);
      if (close == std::string::npos) close = line.size();
      words.push_back(line.substr(i + kOpen.size(), close - i - kOpen.size()));
      i = close + kClose.size() + 1;
      continue;
    }
    std::size_t end = line.find(' ', i);
    if (end == std::string::npos) end = line.size();
    words.push_back(line.substr(i, end - i));
    i = end + 1;
  }
  words.push_back(i < line.size() ? line.substr(i) : std::string());
  return words;
}

class ScenarioTest : public ::testing::TestWithParam<std::string> {
 protected:
  void SetUp() override {
#ifdef _WIN32
    program_ = dir_.path() / "Korvanta";
    fs::create_directories(program_);
    fs::copy_file(SourcePath(KORVANTA_DRIVE), program_ / "korvanta-drive.exe");
    OpenMachine();
    // Every scenario starts with no program key.
    store::Registry& reg = machine_->reg();
    reg.DeleteValue(store::RegRoot::kLocalMachine, "SOFTWARE\\qrmtze", "password");
#else
    prefix_ = CopyFreshPrefix(dir_.path());
    OpenMachine();
#endif
  }

  // Opens the machine the scenario works on: the live one with its program folder
  // in the Windows build, the prefix copy in the Linux build.
  void OpenMachine() {
#ifdef _WIN32
    machine_ = std::make_unique<store::Machine>(store::OpenLiveMachine(program_.string()));
#else
    machine_ = std::make_unique<store::Machine>(store::OpenMachineFolder(prefix_));
#endif
  }

  std::string Path(std::string path) {
    if (path.rfind("%PROGRAM%", 0) == 0) path = machine_->paths().ProgramFolder() + path.substr(9);
    return path;
  }
  store::RegRoot Root(const std::string& word) {
    if (word == "HKCR") return store::RegRoot::kClassesRoot;
    return word == "HKCU" ? store::RegRoot::kCurrentUser : store::RegRoot::kLocalMachine;
  }
  static std::string HexBytes(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i + 1 < text.size(); i += 3) {
      bytes.push_back(static_cast<char>(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
    return bytes;
  }
  // The value as stored: its type and bytes.
  store::Status Raw(store::RegRoot root, const std::string& key, const std::string& name,
                    store::RegData& data) {
    store::RegistryBackend& backend = machine_->backend().registry();
    store::KeyHandle handle;
    store::Status s =
        backend.OpenKey(root, machine_->codepage().ToAnsi(key), store::kKeyRead, handle);
    if (s != store::kSuccess) return s;
    s = backend.QueryValue(handle, machine_->codepage().ToAnsi(name), data);
    backend.CloseKey(handle);
    return s;
  }

#ifdef _WIN32
  // Wine's profile calls read IniFileMapping in the 64-bit registry, a 32-bit
  // program's included: under WoW64, what a scenario sets there is set in both.
  static void MirrorMapping(const std::vector<std::string>& w) {
    BOOL wow64 = FALSE;
    if (w[0] != "HKLM" || !IsWow64Process(GetCurrentProcess(), &wow64) || !wow64 ||
        store::AsciiUpper(w[1]).rfind(
            "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\INIFILEMAPPING", 0) != 0)
      return;
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, w[1].c_str(), 0, nullptr, 0,
                        KEY_SET_VALUE | KEY_WOW64_64KEY, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return;
    const char* name = w[2].empty() ? nullptr : w[2].c_str();
    if (w[3] == "absent") {
      RegDeleteValueA(key, name);
    } else if (w[3] == "sz") {
      RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(w[4].c_str()),
                     static_cast<DWORD>(w[4].size() + 1));
    }
    RegCloseKey(key);
  }
#endif

  void Setup(const std::string& line) {
    if (line.rfind("reg ", 0) == 0) {
      auto w = Words(line.substr(4), 5);
      ASSERT_GE(w.size(), 4u) << line;
#ifdef _WIN32
      MirrorMapping(w);
#endif
      store::Registry& reg = machine_->reg();
      if (w[3] == "absent") {
        ASSERT_EQ(reg.DeleteValue(Root(w[0]), w[1], w[2]), store::kSuccess) << line;
        return;
      }
      ASSERT_EQ(w.size(), 5u) << line;
      if (w[3] == "hex") {
        ASSERT_EQ(reg.SetRawValue(Root(w[0]), w[1], w[2], store::kRegBinary, HexBytes(w[4])),
                  store::kSuccess)
            << line;
        return;
      }
      store::Variant value(w[3] == "hash" ? password::HashPassword(w[4]) : w[4]);
      std::uint32_t type = w[3] == "dword"    ? store::kRegDword
                           : w[3] == "expand" ? store::kRegExpandSz
                                              : store::kRegSz;
      ASSERT_EQ(reg.SetValue(Root(w[0]), w[1], w[2], type, value), store::kSuccess) << line;
    } else if (line.rfind("key ", 0) == 0) {
      auto w = Words(line.substr(4), 3);
      ASSERT_EQ(w.size(), 3u) << line;
      ASSERT_EQ(w[2], "absent") << line;
      store::Status s = machine_->reg().DeleteKey(Root(w[0]), w[1]);
      ASSERT_TRUE(s == store::kSuccess || s == store::kFileNotFound) << line << ": " << s;
    } else if (line.rfind("file ", 0) == 0 && Words(line.substr(5), 2)[1] == "absent") {
      auto w = Words(line.substr(5), 2);
      store::Status s = machine_->files().DeleteFile(Path(w[0]), true);
      ASSERT_TRUE(s == store::kSuccess || s == store::kFileNotFound || s == store::kPathNotFound)
          << line << ": " << s;
    } else if (line.rfind("folder ", 0) == 0) {
      auto w = Words(line.substr(7), 2);
      ASSERT_TRUE(w[1].empty() || w[1] == "empty") << line;
      // The Windows build's machine outlives the scenario: empty means empty.
      if (w[1] == "empty") Clean(Path(w[0]));
      ASSERT_EQ(machine_->files().CreateDirectory(Path(w[0])), store::kSuccess) << line;
      ASSERT_TRUE(w[1] != "empty" || FileNames(Path(w[0])).empty()) << line;
    } else if (line.rfind("attr ", 0) == 0) {
      auto w = Words(line.substr(5), 2);
      ASSERT_EQ(machine_->files().SetAttributes(Path(w[0]), Attributes(w[1])), store::kSuccess)
          << line;
    } else if (line.rfind("file ", 0) == 0) {
      auto w = Words(line.substr(5), 2);
      if (w[1] == "absent") {
        store::Status s = machine_->files().DeleteFile(Path(w[0]), true);
        ASSERT_TRUE(s == store::kSuccess || s == store::kFileNotFound || s == store::kPathNotFound)
            << line << ": " << s;
        return;
      }
      std::string bytes = machine_->codepage().ToAnsi(Unescape(w[1]));
      ASSERT_EQ(machine_->files().CreateDirectory(store::GetFolder(Path(w[0]))), store::kSuccess)
          << line;
      ASSERT_EQ(machine_->files().WriteFile(Path(w[0]), bytes), store::kSuccess) << line;
    } else if (line.rfind("time ", 0) == 0) {
      auto w = Words(line.substr(5), 2);
      std::tm t{};
      ASSERT_EQ(std::sscanf(w[1].c_str(), "%d-%d-%d %d:%d:%d", &t.tm_year, &t.tm_mon, &t.tm_mday,
                            &t.tm_hour, &t.tm_min, &t.tm_sec),
                6)
          << line;
      t.tm_year -= 1900;
      t.tm_mon -= 1;
      t.tm_isdst = -1;
      ASSERT_TRUE(SetWriteTime(Path(w[0]), std::mktime(&t))) << line;
    } else if (line.rfind("readonly ", 0) == 0) {
      ASSERT_EQ(machine_->files().SetAttributes(Path(line.substr(9)), store::kAttrReadOnly),
                store::kSuccess)
          << line;
    } else if (line.rfind("clean ", 0) == 0) {
      // The Windows build's machine outlives the scenario.
      Clean(Path(line.substr(6)));
      ASSERT_FALSE(machine_->files().Stat(Path(line.substr(6)))) << line;
    } else {
      FAIL() << "unknown setup: " << line;
    }
  }

  void Clean(const std::string& folder) {
    std::vector<store::FileEntry> entries;
    machine_->files().List(folder + "\\*", entries);
    for (const auto& e : entries) {
      std::string path = folder + "\\" + e.name;
      if (e.is_directory()) {
        Clean(path);
      } else {
        machine_->files().DeleteFile(path, true);
      }
    }
    machine_->files().RemoveDirectory(folder);
  }

  bool SetWriteTime(const std::string& path, std::time_t when) {
#ifdef _WIN32
    std::uint64_t ticks = (static_cast<std::uint64_t>(when) + 11644473600ull) * 10000000ull;
    FILETIME ft{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
    HANDLE h = CreateFileW(store::Widen(path).c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    bool ok = SetFileTime(h, nullptr, nullptr, &ft);
    CloseHandle(h);
    return ok;
#else
    auto host = store::MachineFolder(prefix_).HostPath(path);
    struct timespec times[2] = {{when, 0}, {when, 0}};
    return host && utimensat(AT_FDCWD, host->c_str(), times, 0) == 0;
#endif
  }

  // What an "unchanged" check compares: every value under a key, every file
  // under a folder, a file's bytes.
  std::string Snapshot(const std::string& what) {
    std::string text;
    if (what.rfind("key ", 0) == 0) {
      auto w = Words(what.substr(4), 3);
      KeyText(Root(w[0]), machine_->codepage().ToAnsi(w[1]), text);
    } else if (what.rfind("file ", 0) == 0 || what.rfind("folder ", 0) == 0) {
      FileText(Path(what.substr(what.find(' ') + 1)), text);
    }
    return text;
  }
  void KeyText(store::RegRoot root, const std::string& path, std::string& text) {
    store::RegistryBackend& reg = machine_->unjournalled().registry();
    store::KeyHandle key;
    if (reg.OpenKey(root, path, store::kKeyRead, key) != store::kSuccess) return;
    text += "[" + path + "]\n";
    std::vector<std::string> lines, subkeys;
    std::string name;
    store::RegData data;
    for (std::uint32_t i = 0; reg.EnumValue(key, i, name, data) == store::kSuccess; ++i)
      lines.push_back(name + "=" + std::to_string(data.type) + ":" + data.bytes + "\n");
    for (std::uint32_t i = 0; reg.EnumKey(key, i, name) == store::kSuccess; ++i)
      subkeys.push_back(name);
    reg.CloseKey(key);
    std::sort(lines.begin(), lines.end());
    for (const std::string& l : lines) text += l;
    std::sort(subkeys.begin(), subkeys.end());
    for (const std::string& k : subkeys) KeyText(root, path + "\\" + k, text);
  }
  void FileText(const std::string& path, std::string& text) {
    store::FileSystem& files = machine_->unjournalled().files();
    std::optional<store::FileEntry> e = files.Stat(path);
    if (!e) return;
    text += path + " " + std::to_string(e->attributes & ~store::kAttrArchive) + "\n";
    if (!e->is_directory()) {
      std::string bytes;
      files.ReadFile(path, bytes);
      text += bytes + "\n";
      return;
    }
    std::vector<store::FileEntry> entries;
    files.List(path + "\\*", entries);
    std::sort(entries.begin(), entries.end(),
              [](const store::FileEntry& a, const store::FileEntry& b) { return a.name < b.name; });
    for (const store::FileEntry& entry : entries) FileText(path + "\\" + entry.name, text);
  }

  void Check(const std::string& line) {
    if (line.rfind("reg ", 0) == 0) {
      auto w = Words(line.substr(4), 5);
      store::Variant value;
      store::Status s = machine_->reg().QueryValue(Root(w[0]), w[1], w[2], value);
      std::string how = w[3], rest = w[4];
      if (how.rfind("absent", 0) == 0) {
        EXPECT_EQ(s, store::kFileNotFound) << line << " reads " << value.ToText();
      } else if (how == "=") {
        EXPECT_EQ(s, store::kSuccess) << line;
        EXPECT_EQ(value.ToText(), rest) << line;
      } else if (how == "hex") {
        store::RegData data;
        EXPECT_EQ(Raw(Root(w[0]), w[1], w[2], data), store::kSuccess) << line;
        EXPECT_EQ(data.type, store::kRegBinary) << line;
        EXPECT_EQ(data.bytes, HexBytes(rest)) << line;
      } else if (how == "dword" || how == "sz" || how == "expand") {
        // The type as stored, which a loose read would not tell.
        store::RegData data;
        EXPECT_EQ(Raw(Root(w[0]), w[1], w[2], data), store::kSuccess) << line;
        if (how == "dword") {
          EXPECT_EQ(data.type, store::kRegDword) << line;
          std::int32_t number = std::stoi(rest);
          std::string bytes(4, '\0');
          for (int i = 0; i < 4; ++i)
            bytes[static_cast<std::size_t>(i)] = static_cast<char>(number >> (8 * i));
          EXPECT_EQ(data.bytes, bytes) << line;
        } else {
          EXPECT_EQ(data.type, how == "sz" ? store::kRegSz : store::kRegExpandSz) << line;
          EXPECT_EQ(data.bytes, machine_->codepage().ToAnsi(rest) + std::string(1, '\0')) << line;
        }
      } else if (how == "password") {
        EXPECT_TRUE(password::IsPasswordHash(value.ToText()))
            << line << " reads " << value.ToText();
        EXPECT_TRUE(password::PasswordMatches(value.ToText(), rest)) << line;
      } else {
        ADD_FAILURE() << "unknown check: " << line;
      }
    } else if (line.rfind("key ", 0) == 0) {
      auto w = Words(line.substr(4), 3);
      store::KeyHandle key;
      EXPECT_EQ(machine_->reg().OpenKey(Root(w[0]), w[1], store::kKeyRead, key),
                store::kFileNotFound)
          << line;
      if (key) machine_->reg().CloseKey(key);
    } else if (line.rfind("attr ", 0) == 0) {
      auto w = Words(line.substr(5), 2);
      auto entry = machine_->files().Stat(Path(w[0]));
      constexpr std::uint32_t kShown =
          store::kAttrReadOnly | store::kAttrHidden | store::kAttrSystem;
      EXPECT_TRUE(entry) << line;
      if (entry) {
        EXPECT_EQ(entry->attributes & kShown, Attributes(w[1])) << line;
      }
    } else if (line.rfind("file ", 0) == 0) {
      auto w = Words(line.substr(5), 3);
      if (w[1] == "absent") {
        EXPECT_FALSE(machine_->files().Stat(Path(w[0]))) << line;
        return;
      }
      std::string bytes;
      EXPECT_EQ(machine_->files().ReadFile(Path(w[0]), bytes), store::kSuccess) << line;
      std::string text = machine_->codepage().FromAnsi(bytes);
      if (w[1] == "=") {
        EXPECT_EQ(text, Unescape(w[2])) << line;
      } else if (w[1] == "contains") {
        EXPECT_NE(text.find(Unescape(w[2])), std::string::npos) << line << "\nfile: " << text;
      } else if (w[1] == "lacks") {
        EXPECT_EQ(text.find(Unescape(w[2])), std::string::npos) << line << "\nfile: " << text;
      } else {
        ADD_FAILURE() << "unknown check: " << line;
      }
    } else if (line.rfind("folder ", 0) == 0) {
      auto w = Words(line.substr(7), 3);
      std::vector<store::FileEntry> entries;
      machine_->files().List(Path(w[0]) + "\\*", entries);
      std::vector<std::string> names;
      for (const auto& e : entries) names.push_back(e.name);
      std::sort(names.begin(), names.end());
      std::string listing;
      for (const auto& n : names) listing += (listing.empty() ? "" : " ") + n;
      EXPECT_EQ(w[1], "=") << line;
      EXPECT_EQ(listing, w[2]) << line;
    } else {
      ADD_FAILURE() << "unknown check: " << line;
    }
  }

  static std::uint32_t Attributes(const std::string& words) {
    std::uint32_t attributes = 0;
    std::istringstream in(words);
    for (std::string word; in >> word;) {
      if (word == "readonly")
        attributes |= store::kAttrReadOnly;
      else if (word == "hidden")
        attributes |= store::kAttrHidden;
      else if (word == "system")
        attributes |= store::kAttrSystem;
      else
        ADD_FAILURE() << "unknown attribute " << word;
    }
    return attributes;
  }
  // The files of a folder (not its subfolders), sorted.
  std::vector<std::string> FileNames(const std::string& folder) {
    std::vector<store::FileEntry> entries;
    machine_->files().List(folder + "\\*", entries);
    std::vector<std::string> names;
    for (const store::FileEntry& e : entries) {
      if (!e.is_directory()) names.push_back(e.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  // Runs korvanta-drive on the scenario; its output and exit status. abort_after:
  // the program dies at that change of the machine.
  RunResult Drive(const fs::path& scenario, long abort_after = 0);
  // Sets the machine up as the scenario says, drives it, compares the output and
  // makes the checks.
  void RunScenario(const fs::path& base);
#ifdef _WIN32
  // The program folder as at the start, for running the scenario again.
  void StartAgain() {
    machine_.reset();
    for (const auto& e : fs::directory_iterator(program_)) {
      if (e.path().filename() != "korvanta-drive.exe") fs::remove_all(e.path());
    }
    dry_run_ = false;
    OpenMachine();
    machine_->reg().DeleteValue(store::RegRoot::kLocalMachine, "SOFTWARE\\qrmtze", "password");
  }
#endif
  bool dry_run_ = false;

  TempDir dir_;
  std::unique_ptr<store::Machine> machine_;
  fs::path prefix_;
  fs::path program_;
};

#ifdef _WIN32
RunResult ScenarioTest::Drive(const fs::path& scenario, long abort_after) {
  RunResult result;
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE in = CreateFileW(scenario.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit,
                          OPEN_EXISTING, 0, nullptr);
  HANDLE read_end = nullptr, write_end = nullptr;
  CreatePipe(&read_end, &write_end, &inherit, 0);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = in;
  si.hStdOutput = write_end;
  si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
  PROCESS_INFORMATION pi{};
  std::wstring command = L"\"" + (program_ / "korvanta-drive.exe").wstring() + L"\"";
  if (abort_after > 0) command += L" --abort-after " + std::to_wstring(abort_after);
  if (dry_run_) command += L" --dry-run";
  if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &si,
                      &pi)) {
    ADD_FAILURE() << "cannot start korvanta-drive.exe: " << GetLastError();
    return result;
  }
  CloseHandle(write_end);
  CloseHandle(in);
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(read_end, buffer, sizeof buffer, &got, nullptr) && got > 0) {
    result.out.append(buffer, got);
  }
  WaitForSingleObject(pi.hProcess, 60000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  result.status = static_cast<int>(code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  CloseHandle(read_end);
  return result;
}
#else
RunResult ScenarioTest::Drive(const fs::path& scenario, long abort_after) {
  // The Recycle Bin of a machine folder is the user's trash: the scenario gets its own.
  fs::create_directories(dir_.path() / "data");
  // With the host's drives, as the Windows build under Wine has them: one output
  // for both builds. Without them is the cleaner tests' business.
  std::string abort = abort_after > 0 ? " --abort-after " + std::to_string(abort_after) : "";
  if (dry_run_) abort += " --dry-run";
  return test::Run("XDG_DATA_HOME=" + ShellQuote((dir_.path() / "data").string()) + " " +
                   ShellQuote(KORVANTA_DRIVE) + " --machine " + ShellQuote(prefix_.string()) +
                   " --host-drives" + abort + " " + ShellQuote(scenario.string()));
}
#endif

void ScenarioTest::RunScenario(const fs::path& base) {
  std::ifstream in(fs::path(base).concat(".txt"), std::ios::binary);
  std::vector<std::string> checks, afters;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("# setup: ", 0) == 0) Setup(line.substr(9));
    if (line.rfind("# check: ", 0) == 0) checks.push_back(line.substr(9));
    if (line.rfind("# after: ", 0) == 0) afters.push_back(line.substr(9));
    if (line == "# dry run") dry_run_ = true;
#ifdef _WIN32
    if (line.rfind("# wine differs: ", 0) == 0 &&
        GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
      GTEST_SKIP() << line.substr(16);
    }
#endif
  }
  ASSERT_FALSE(HasFailure());
  std::vector<std::pair<std::string, std::string>> before;
  for (const std::string& check : checks) {
    if (check.rfind("unchanged ", 0) == 0) before.emplace_back(check, Snapshot(check.substr(10)));
  }
  // The drive works on the machine's files itself: let go of ours first.
  std::string program_folder = machine_->paths().ProgramFolder();
  machine_.reset();
  RunResult run = Drive(fs::path(base).concat(".txt"));
  // Launches name files of the program folder, which is a different one per build.
  for (std::size_t at; (at = run.out.find(program_folder)) != std::string::npos;) {
    run.out.replace(at, program_folder.size(), "%PROGRAM%");
  }
  // The times "history" and the history window's first column list are the
  // clock's: the output shows where they stand.
  {
    static const std::regex kHistoryLine("^(\\d+) \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d ");
    static const std::regex kHistoryRow(
        "^(ListView1\\[\\d+\\] = \\[ \\] )\\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d \\|");
    std::istringstream lines(run.out);
    std::string masked;
    for (std::string l; std::getline(lines, l);) {
      l = std::regex_replace(l, kHistoryRow, "$1TIME |");
      masked += std::regex_replace(l, kHistoryLine, "$1 TIME ") + "\n";
    }
    run.out = masked;
  }
  // For writing a new scenario's .out: what it printed, to look at first.
  if (const char* actual = std::getenv("KORVANTA_SCENARIO_ACTUAL"))
    WriteBytes(fs::path(actual) / (GetParam() + ".out"), run.out);
  std::string expected = ReadBytes(fs::path(base).concat(".out"));
  EXPECT_EQ(run.out, expected) << "korvanta-drive wrote:\n" << run.out;
  int expected_status =
      expected.find("\nerror: ") != std::string::npos || expected.rfind("error: ", 0) == 0 ? 2 : 0;
  EXPECT_EQ(run.status, expected_status);
  OpenMachine();
  for (const auto& check : checks) {
    if (check.rfind("unchanged ", 0) != 0) Check(check);
  }
  for (const auto& [check, text] : before) {
    std::string now = Snapshot(check.substr(10));
    EXPECT_FALSE(text.empty()) << check << ": nothing there to compare";
    EXPECT_EQ(now, text) << check;
  }
  for (const auto& after : afters) Setup(after);
}

#ifdef _WIN32
// The Windows version Wine reports to the programs started while it is set, as
// winecfg sets it (HKCU\Software\Wine, value Version); what was there comes back.
class WineVersion {
 public:
  explicit WineVersion(const std::string& version) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine", 0, nullptr, 0,
                    KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
    wchar_t old[64] = {};
    DWORD size = sizeof old - sizeof(wchar_t), type = 0;
    had_ = RegQueryValueExW(key_, L"Version", nullptr, &type, reinterpret_cast<BYTE*>(old),
                            &size) == ERROR_SUCCESS &&
           type == REG_SZ;
    old_ = old;
    Set(std::wstring(version.begin(), version.end()));
  }
  ~WineVersion() {
    if (had_)
      Set(old_);
    else
      RegDeleteValueW(key_, L"Version");
    RegCloseKey(key_);
  }

 private:
  void Set(const std::wstring& v) {
    RegSetValueExW(key_, L"Version", 0, REG_SZ, reinterpret_cast<const BYTE*>(v.c_str()),
                   static_cast<DWORD>((v.size() + 1) * sizeof(wchar_t)));
  }
  HKEY key_ = nullptr;
  bool had_ = false;
  std::wstring old_;
};

// The version a program started now is told, as "ver" prints it.
std::string ReportedVersion() {
  std::string out;
  if (FILE* ver = _popen("ver", "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, ver)) out += buffer;
    _pclose(ver);
  }
  return out;
}

std::vector<std::string> WindowsVersions(const fs::path& scenario) {
  std::ifstream in(scenario, std::ios::binary);
  std::vector<std::string> versions;
  for (std::string line; std::getline(in, line);) {
    if (line.rfind("# windows versions: ", 0) != 0) continue;
    std::istringstream words(line.substr(20));
    for (std::string v; words >> v;) versions.push_back(v);
  }
  return versions;
}
#endif

TEST_P(ScenarioTest, OutputMatches) {
  fs::path base = SourcePath(KORVANTA_SOURCE_DIR "/tests/scenarios") / GetParam();
#ifdef _WIN32
  std::vector<std::string> versions = WindowsVersions(fs::path(base).concat(".txt"));
  if (!versions.empty() && GetProcAddress(GetModuleHandleA("ntdll.dll"), "wine_get_version")) {
    for (std::size_t i = 0; i < versions.size(); ++i) {
      SCOPED_TRACE("Windows version " + versions[i]);
      if (i > 0) StartAgain();
      WineVersion version(versions[i]);
      static const std::map<std::string, std::string> kNumbers = {
          {"win98", " 4.10."}, {"win2k", " 5.0."}, {"winxp", " 5.1."}};
      auto number = kNumbers.find(versions[i]);
      if (number != kNumbers.end()) {
        const std::string reported = ReportedVersion();
        EXPECT_NE(reported.find(number->second), std::string::npos)
            << "Wine does not report " << versions[i] << ": " << reported;
      }
      RunScenario(base);
      if (HasFatalFailure() || IsSkipped()) return;
    }
    return;
  }
#endif
  RunScenario(base);
}

INSTANTIATE_TEST_SUITE_P(Scenarios, ScenarioTest, ::testing::ValuesIn(ScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& p) { return p.param; });

// The scenarios in crash/ are an action and, after a line "# restart", what the
// user does at the next start. The action is killed at each of its changes to
// the machine in turn (the first, the second, ... until it runs to its end);
// after each death the machine is set up again, the restart part runs, and every
// check must hold: whatever the action took away is in its place or was given
// back by the restart.
class CrashTest : public ScenarioTest {};

std::vector<std::string> CrashScenarioNames() {
  std::vector<std::string> names;
  for (const auto& e :
       fs::directory_iterator(SourcePath(KORVANTA_SOURCE_DIR "/tests/scenarios/crash"))) {
    if (e.path().extension() == ".txt") names.push_back(e.path().stem().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST_P(CrashTest, NothingIsLost) {
  fs::path base = SourcePath(KORVANTA_SOURCE_DIR "/tests/scenarios/crash") / GetParam();
  std::ifstream in(fs::path(base).concat(".txt"), std::ios::binary);
  std::vector<std::string> setups, checks, afters;
  std::string action, restart;
  bool restarting = false;
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.rfind("# setup: ", 0) == 0) setups.push_back(line.substr(9));
    if (line.rfind("# check: ", 0) == 0) checks.push_back(line.substr(9));
    if (line.rfind("# after: ", 0) == 0) afters.push_back(line.substr(9));
    if (line == "# restart") restarting = true;
    (restarting ? restart : action) += line + "\n";
  }
  ASSERT_FALSE(restart.empty()) << "no restart part";
  const fs::path action_file = dir_.path() / "action.txt",
                 restart_file = dir_.path() / "restart.txt";
  WriteBytes(action_file, action);
  WriteBytes(restart_file, restart);
  int deaths = 0;
  for (long k = 1; k < 10000; ++k) {
    if (!machine_) OpenMachine();
    for (const auto& setup : setups) Setup(setup);
    ASSERT_FALSE(HasFailure());
    machine_.reset();
    RunResult run = Drive(action_file, k);
    bool died = run.status == store::kAbortSeamExit;
    ASSERT_TRUE(died || run.status == 0) << "status " << run.status << " at " << k << ":\n"
                                         << run.out;
    RunResult after = Drive(restart_file);
    ASSERT_EQ(after.status, 0) << after.out;
    OpenMachine();
    for (const auto& check : checks) Check(check);
    ASSERT_FALSE(HasFailure()) << "killed at change " << k << "; the restart wrote:\n" << after.out;
    if (!died) break;
    ++deaths;
  }
  EXPECT_GT(deaths, 3) << "the action made too few changes to test";
  for (const auto& after : afters) Setup(after);
}

INSTANTIATE_TEST_SUITE_P(Crashes, CrashTest, ::testing::ValuesIn(CrashScenarioNames()),
                         [](const ::testing::TestParamInfo<std::string>& p) { return p.param; });

}  // namespace
}  // namespace korvanta::test
