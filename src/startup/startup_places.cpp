#include "startup/startup_places.h"

#include <algorithm>
#include <optional>

#include "store/paths.h"

namespace korvanta::startup {
namespace {

constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == ',';
}

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

// Where a program of a list stands: [begin, end).
struct Span {
  std::size_t begin = 0;
  std::size_t end = 0;
};

// A part with folders that is neither rooted nor on a drive ("Files\a.exe") goes
// on the path before it: a relative path in a startup entry would run from
// wherever Windows happens to be.
bool GoesOn(std::string_view part) {
  if (part.find('\\') == std::string_view::npos) return false;
  if (part.size() >= 2 && part[1] == ':') return false;
  return part[0] != '\\' && part[0] != '"' && part[0] != '.';
}

std::vector<Span> ProgramSpans(std::string_view list) {
  std::vector<Span> spans;
  std::size_t i = 0;
  while (i < list.size()) {
    const std::size_t gap = i;
    while (i < list.size() && IsSeparator(list[i])) ++i;
    if (i == list.size()) break;
    std::size_t end = i;
    while (end < list.size() && !IsSeparator(list[end])) ++end;
    const bool comma = list.substr(gap, i - gap).find(',') != std::string_view::npos;
    if (!spans.empty() && !comma && GoesOn(list.substr(i, end - i))) {
      spans.back().end = end;
    } else {
      spans.push_back({i, end});
    }
    i = end;
  }
  return spans;
}

// What a program is compared by: its letters in one case, each run of blanks
// inside it as one blank.
std::string Key(std::string_view list, Span span) {
  std::string key;
  for (std::size_t i = span.begin; i < span.end; ++i) {
    if (IsSeparator(list[i])) {
      if (key.back() != ' ') key.push_back(' ');
    } else {
      key.push_back(list[i]);
    }
  }
  return Lower(key);
}

std::vector<std::string> Keys(std::string_view list, const std::vector<Span>& spans) {
  std::vector<std::string> keys;
  for (Span span : spans) keys.push_back(Key(list, span));
  return keys;
}

// The programs of the list that keep[i] marks, each with the list's own
// separator after it before the next one; with_ends adds what stands before the
// first program and after the last, so that nothing but the dropped programs
// and one separator each leaves the text.
std::string Joined(std::string_view list, const std::vector<Span>& spans,
                   const std::vector<bool>& keep, bool with_ends) {
  if (spans.empty()) return with_ends ? std::string(list) : std::string();
  std::string out;
  if (with_ends) out = list.substr(0, spans.front().begin);
  std::optional<std::size_t> last;
  for (std::size_t i = 0; i < spans.size(); ++i) {
    if (!keep[i]) continue;
    if (last) out += list.substr(spans[*last].end, spans[*last + 1].begin - spans[*last].end);
    out += list.substr(spans[i].begin, spans[i].end - spans[i].begin);
    last = i;
  }
  if (with_ends) out += list.substr(spans.back().end);
  return out;
}

// Which programs of the entry the list takes out: for each of the list's, the
// first of the entry's that is the same and not taken already.
std::vector<bool> Taken(std::string_view entry, const std::vector<Span>& spans,
                        std::string_view programs) {
  std::vector<std::string> keys = Keys(entry, spans);
  std::vector<bool> taken(spans.size(), false);
  for (const std::string& wanted : Keys(programs, ProgramSpans(programs))) {
    for (std::size_t i = 0; i < keys.size(); ++i) {
      if (!taken[i] && keys[i] == wanted) {
        taken[i] = true;
        break;
      }
    }
  }
  return taken;
}

}  // namespace

std::vector<NamedText> ListValues(store::Registry& reg, std::string_view key) {
  std::vector<NamedText> values;
  store::KeyHandle handle;
  if (reg.OpenKey(store::RegRoot::kLocalMachine, key, store::kKeyQueryValue, handle) !=
      store::kSuccess)
    return values;
  std::string name;
  for (std::uint32_t index = 0; reg.EnumValue(handle, index, name) == store::kSuccess; ++index) {
    values.push_back({name, ""});
  }
  reg.CloseKey(handle);
  for (NamedText& value : values) {
    store::Variant data;
    std::uint32_t type = store::kRegSz;
    reg.QueryValue(store::RegRoot::kLocalMachine, key, value.name, data, type);
    value.text = data.ToText();
    if (type == store::kRegExpandSz) value.type = store::kRegExpandSz;
  }
  return values;
}

std::string StartupFolder(store::Registry& reg) {
  store::Variant folder;
  reg.QueryValue(store::RegRoot::kCurrentUser, kShellFolders, "startup", folder);
  std::string path = folder.ToText();
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

std::vector<std::string> ListFiles(store::FileSystem& files, std::string_view folder) {
  std::vector<store::FileEntry> entries;
  std::vector<std::string> names;
  if (folder.empty()) return names;
  files.List(std::string(folder) + "\\*.*", entries);
  for (const store::FileEntry& entry : entries) {
    if (!entry.is_directory() && !(entry.attributes & store::kAttrSystem))
      names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end(),
            [](const std::string& a, const std::string& b) { return Lower(a) < Lower(b); });
  return names;
}

std::string BootOptionsFile(std::string_view windows_folder) {
  std::size_t slash = windows_folder.find('\\');
  return std::string(windows_folder.substr(0, slash)) + "\\msdos.sys";
}

std::string WithPrograms(std::string_view entry, std::string_view programs) {
  std::vector<std::string> have = Keys(entry, ProgramSpans(entry));
  const std::vector<Span> spans = ProgramSpans(programs);
  std::vector<bool> lacking(spans.size(), false);
  for (std::size_t i = 0; i < spans.size(); ++i) {
    std::string key = Key(programs, spans[i]);
    if (std::find(have.begin(), have.end(), key) != have.end()) continue;
    lacking[i] = true;
    have.push_back(std::move(key));
  }
  if (std::find(lacking.begin(), lacking.end(), true) == lacking.end()) return std::string(entry);
  std::string added = Joined(programs, spans, lacking, false);
  if (ProgramSpans(entry).empty()) return added;
  std::string out(entry);
  if (!IsSeparator(out.back())) out.push_back(' ');
  return out + added;
}

std::string WithoutPrograms(std::string_view entry, std::string_view programs) {
  const std::vector<Span> spans = ProgramSpans(entry);
  std::vector<bool> keep = Taken(entry, spans, programs);
  keep.flip();
  return Joined(entry, spans, keep, true);
}

std::string TakenPrograms(std::string_view entry, std::string_view programs) {
  const std::vector<Span> spans = ProgramSpans(entry);
  return Joined(entry, spans, Taken(entry, spans, programs), false);
}

bool HasAnyProgram(std::string_view entry, std::string_view programs) {
  const std::vector<bool> taken = Taken(entry, ProgramSpans(entry), programs);
  return std::find(taken.begin(), taken.end(), true) != taken.end();
}

bool IsOneProgram(std::string_view path) {
  return !path.empty() && std::none_of(path.begin(), path.end(), IsSeparator);
}

}  // namespace korvanta::startup
