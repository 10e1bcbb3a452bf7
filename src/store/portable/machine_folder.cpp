#include "store/portable/machine_folder.h"

#include <sys/stat.h>

#include <algorithm>
#include <iterator>
#include <system_error>
#include <vector>

#include "store/utf.h"

namespace korvanta::store {
namespace fs = std::filesystem;

MachineFolder::MachineFolder(fs::path root, bool host_drives)
    : root_(std::move(root)), host_drives_(host_drives) {}

bool MachineFolder::Under(const fs::path& host) const {
  std::error_code ec;
  if (canonical_root_.empty()) canonical_root_ = fs::weakly_canonical(root_, ec);
  if (ec) return false;
  const fs::path& base = canonical_root_;
  fs::path target = fs::weakly_canonical(host, ec);
  if (ec) return false;
  auto [b, t] = std::mismatch(base.begin(), base.end(), target.begin(), target.end());
  // A trailing separator makes an empty last element.
  return b == base.end() || (std::next(b) == base.end() && b->empty());
}

// Following every link of every component is what a delete of ten thousand
// files would spend its time on, so the answer is kept per folder: a folder
// that is still the same folder (device and inode, links on the way followed)
// is still where it was found to be. Only the last component is looked at anew.
bool MachineFolder::Inside(const std::string& host, const Walk* walk) const {
  const std::size_t slash = host.find_last_of('/');
  if (slash == std::string::npos || slash == 0) return Under(host);
  const std::string folder = host.substr(0, slash);
  struct stat st;
  if (walk && walk->folder_known) {
    st = walk->folder;
  } else if (::stat(folder.c_str(), &st) != 0) {
    return Under(host);
  }
  bool folder_inside;
  auto it = folders_.find(folder);
  if (it != folders_.end() && it->second.device == st.st_dev && it->second.inode == st.st_ino) {
    folder_inside = it->second.inside;
  } else {
    if (folders_.size() > 4096) folders_.clear();
    folder_inside = Under(folder);
    folders_[folder] = {st.st_dev, st.st_ino, folder_inside};
  }
  bool link;
  if (walk && walk->leaf.state != Leaf::kUnknown) {
    link = walk->leaf.state == Leaf::kPresent && S_ISLNK(walk->leaf.st.st_mode);
  } else {
    struct stat leaf;
    link = ::lstat(host.c_str(), &leaf) == 0 && S_ISLNK(leaf.st_mode);
  }
  return link ? Under(host) : folder_inside;
}

std::optional<fs::path> MachineFolder::DriveFolder(char letter) const {
  std::optional<fs::path> drive = Drive(letter);
  if (drive && !host_drives_ && !Inside(drive->string())) return std::nullopt;
  return drive;
}

std::optional<fs::path> MachineFolder::Drive(char letter) const {
  if (letter >= 'A' && letter <= 'Z') letter = static_cast<char>(letter - 'A' + 'a');
  if (letter < 'a' || letter > 'z') return std::nullopt;
  std::error_code ec;
  fs::path entry = root_ / "dosdevices" / (std::string(1, letter) + ":");
  if (fs::exists(entry, ec)) return entry;
  // Wine creates dosdevices at its first start; a machine folder that Wine has not
  // run on yet still has its C: drive.
  if (letter == 'c' && !fs::exists(root_ / "dosdevices", ec) &&
      fs::is_directory(root_ / "drive_c", ec)) {
    return root_ / "drive_c";
  }
  return std::nullopt;
}

namespace {

std::int64_t ChangeTime(const struct stat& st) {
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

std::optional<std::int64_t> ChangeTime(const std::string& folder) {
  struct stat st;
  if (::stat(folder.c_str(), &st) != 0) return std::nullopt;
  return ChangeTime(st);
}

}  // namespace

std::optional<std::string> MachineFolder::FindEntry(const std::string& folder,
                                                    const std::string& name, Walk* walk) const {
  std::error_code ec;
  std::optional<std::int64_t> changed;
  const std::string exact = folder + '/' + name;
  if (walk) {
    if (::lstat(exact.c_str(), &walk->leaf.st) == 0) {
      walk->leaf.state = Leaf::kPresent;
      return name;
    }
    if (walk->folder_known) changed = ChangeTime(walk->folder);
  } else if (fs::exists(exact, ec)) {
    return name;
  }
  if (!changed) changed = ChangeTime(folder);
  if (!changed) return std::nullopt;
  if (listings_.size() > 256) listings_.clear();  // a long walk of typed paths: start again
  Listing& listing = listings_[folder];
  if (listing.changed != *changed || listing.names.empty()) {
    listing.names.clear();
    fs::directory_iterator it(folder, ec), end;
    if (ec) return std::nullopt;
    for (; it != end; it.increment(ec)) {
      if (ec) break;
      std::string candidate = it->path().filename().string();
      listing.names.emplace(AsciiUpper(candidate), candidate);
    }
    listing.changed = *changed;
  }
  // Wine compares names through Unicode case folding; the listing keys fold
  // ASCII only, so a name with other letters is compared in full.
  std::optional<std::string> found;
  auto it = listing.names.find(AsciiUpper(name));
  if (it != listing.names.end() && EqualsIgnoreCase(it->second, name)) {
    found = it->second;
  } else if (!std::all_of(name.begin(), name.end(), [](char c) { return (c & 0x80) == 0; })) {
    for (const auto& [folded, candidate] : listing.names) {
      if (EqualsIgnoreCase(candidate, name)) {
        found = candidate;
        break;
      }
    }
  }
  if (walk && !found && walk->folder_known) walk->leaf.state = Leaf::kAbsent;
  return found;
}

void MachineFolder::Note(const fs::path& host, bool added) const {
  // Once per file of a long delete: the folder and name straight from the text.
  const std::string& path = host.native();
  const std::size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return;
  auto it = listings_.find(path.substr(0, slash));
  if (it == listings_.end()) return;
  std::optional<std::int64_t> changed = ChangeTime(it->first);
  if (!changed) {
    listings_.erase(it);
    return;
  }
  const std::string name = path.substr(slash + 1);
  if (added) {
    it->second.names.emplace(AsciiUpper(name), name);
  } else {
    it->second.names.erase(AsciiUpper(name));
  }
  it->second.changed = *changed;
}

void MachineFolder::Added(const fs::path& host) const {
  Note(host, true);
}
void MachineFolder::Removed(const fs::path& host) const {
  Note(host, false);
}

std::optional<fs::path> MachineFolder::HostPath(std::string_view windows_path) const {
  Leaf leaf;
  return HostPath(windows_path, leaf);
}

std::optional<fs::path> MachineFolder::HostPath(std::string_view windows_path, Leaf& leaf) const {
  Walk walk;
  std::optional<std::string> host = Resolve(windows_path, walk);
  if (!host || (!host_drives_ && !Inside(*host, &walk))) return std::nullopt;
  leaf = walk.leaf;
  return fs::path(std::move(*host));
}

bool MachineFolder::LeadsOutside(std::string_view windows_path) const {
  if (host_drives_) return false;
  Walk walk;
  std::optional<std::string> host = Resolve(windows_path, walk);
  return host && !Inside(*host, &walk);
}

std::optional<std::string> MachineFolder::Resolve(std::string_view windows_path, Walk& walk) const {
  if (windows_path.size() < 2 || windows_path[1] != ':') return std::nullopt;

  std::vector<std::string> parts;
  std::string part;
  auto flush = [&] {
    if (part.empty() || part == ".") {
    } else if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else {
      parts.push_back(part);
    }
    part.clear();
  };
  for (char c : windows_path.substr(2)) {
    if (c == '\\' || c == '/')
      flush();
    else
      part.push_back(c);
  }
  flush();

  // The folder part of a path: the one resolved before, when its host path is
  // still the folder it was. (A folder whose name matched without regard to
  // case keeps that match even if a name spelt exactly so appears beside it
  // later; Wine's choice between two such names is no better defined.)
  std::string key(1, static_cast<char>(windows_path[0] & ~0x20));
  key += ':';
  for (std::size_t i = 0; i + 1 < parts.size(); ++i) key += "\\" + AsciiUpper(parts[i]);
  std::string host;
  std::size_t next = 0;
  struct stat st;
  auto cached = parts.size() > 1 ? resolved_.find(key) : resolved_.end();
  if (cached != resolved_.end() && ::stat(cached->second.host.c_str(), &st) == 0 &&
      S_ISDIR(st.st_mode) && st.st_dev == cached->second.device &&
      st.st_ino == cached->second.inode) {
    host = cached->second.host;
    next = parts.size() - 1;
    walk.folder_known = true;
    walk.folder = st;
  } else {
    std::optional<fs::path> drive = Drive(windows_path[0]);
    if (!drive) return std::nullopt;
    host = drive->string();
  }

  bool exists = true;
  for (std::size_t i = next; i < parts.size(); ++i) {
    const bool last = i + 1 == parts.size();
    if (last && exists && !walk.folder_known && parts.size() > 1 &&
        ::stat(host.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) {
      if (resolved_.size() > 4096) resolved_.clear();
      resolved_[key] = {host, st.st_dev, st.st_ino};
      walk.folder_known = true;
      walk.folder = st;
    }
    if (exists) {
      std::optional<std::string> found = FindEntry(host, parts[i], last ? &walk : nullptr);
      if (found) {
        (host += '/') += *found;
        continue;
      }
      exists = false;
    }
    (host += '/') += parts[i];
  }
  return host;
}

std::optional<std::string> MachineFolder::WindowsPath(const fs::path& host) const {
  std::error_code ec;
  fs::path target = fs::weakly_canonical(host, ec);
  if (ec) return std::nullopt;
  std::optional<std::string> best;
  std::size_t best_length = 0;
  bool best_is_z = false;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    std::optional<fs::path> drive = DriveFolder(letter);
    if (!drive) continue;
    fs::path base = fs::weakly_canonical(*drive, ec);
    if (ec) continue;
    auto [b, t] = std::mismatch(base.begin(), base.end(), target.begin(), target.end());
    if (b != base.end()) continue;
    std::size_t length = static_cast<std::size_t>(std::distance(base.begin(), base.end()));
    bool is_z = letter == 'z';
    bool better = !best || (best_is_z && !is_z) || (best_is_z == is_z && length > best_length);
    if (!better) continue;
    std::string path(1, static_cast<char>(letter - 'a' + 'A'));
    path += ":";
    for (auto it = t; it != target.end(); ++it) {
      if (it->empty()) continue;
      path += "\\" + it->string();
    }
    if (path.size() == 2) path += "\\";
    best = path;
    best_length = length;
    best_is_z = is_z;
  }
  return best;
}

}  // namespace korvanta::store
