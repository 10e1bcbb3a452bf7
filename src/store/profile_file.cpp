#include "store/profile_file.h"

#include "store/portable/profile_text.h"
#include "store/utf.h"

namespace korvanta::store {
namespace {

bool IsProfileSpace(char16_t c) {
  return (c >= 0x09 && c <= 0x0d) || c == 0x1a || c == 0x20;
}

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && IsProfileSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsProfileSpace(s.back())) s.remove_suffix(1);
  return s;
}

}  // namespace

ProfileFile::ProfileFile(FileSystem& files, std::string path)
    : files_(files), path_(std::move(path)) {}

ProfileFile::~ProfileFile() = default;

std::u16string ProfileFile::Fold(std::u16string_view name) {
  std::u16string folded(Trim(name));
  for (char16_t& c : folded) {
    if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
  }
  return folded;
}

void ProfileFile::Reindex() {
  section_index_.clear();
  key_index_.clear();
  for (std::size_t s = 0; s < sections_.size(); ++s) {
    std::u16string name = Fold(sections_[s].name);
    if (!section_index_.emplace(name, s).second) continue;
    for (std::size_t k = 0; k < sections_[s].keys.size(); ++k)
      key_index_.emplace(name + u'\n' + Fold(sections_[s].keys[k].name), Place{s, k});
  }
}

bool ProfileFile::Load() {
  std::string bytes;
  Status status = files_.ReadFile(path_, bytes);
  sections_.clear();
  changed_ = false;
  profile::Encoding encoding = profile::Encoding::kAnsi;
  if (status == kSuccess && !bytes.empty()) {
    sections_ = profile::Parse(profile::DecodeFile(bytes, encoding));
  }
  encoding_ = static_cast<int>(encoding);
  Reindex();
  return status == kSuccess || status == kFileNotFound || status == kPathNotFound;
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  auto it = key_index_.find(Fold(Utf8ToUtf16(section)) + u'\n' + Fold(Utf8ToUtf16(key)));
  if (it == key_index_.end()) return std::nullopt;
  const std::optional<std::u16string>& value =
      sections_[it->second.section].keys[it->second.key].value;
  if (!value) return std::string();
  std::u16string_view v = *value;
  if (v.size() > 1 && (v.front() == u'"' || v.front() == u'\'') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  return Utf16ToUtf8(v);
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::u16string s = Utf8ToUtf16(section), k = Utf8ToUtf16(key), v = Utf8ToUtf16(value);
  std::u16string_view stored = v;
  while (!stored.empty() && IsProfileSpace(stored.front())) stored.remove_prefix(1);
  std::u16string folded_section = Fold(s);
  std::u16string place = folded_section + u'\n' + Fold(k);
  if (auto it = key_index_.find(place); it != key_index_.end()) {
    std::optional<std::u16string>& old = sections_[it->second.section].keys[it->second.key].value;
    if (old && *old == stored) return;
    old = std::u16string(stored);
    changed_ = true;
    return;
  }
  auto found = section_index_.find(folded_section);
  std::size_t at = found == section_index_.end() ? sections_.size() : found->second;
  if (at == sections_.size()) {
    if (sections_.empty()) sections_.emplace_back();  // the nameless part before any header
    at = sections_.size();
    sections_.push_back({std::u16string(Trim(s)), {}});
    section_index_.emplace(folded_section, at);
  }
  sections_[at].keys.push_back({std::u16string(Trim(k)), std::u16string(stored)});
  key_index_.emplace(place, Place{at, sections_[at].keys.size() - 1});
  changed_ = true;
}

void ProfileFile::RemoveSection(std::string_view section) {
  auto it = section_index_.find(Fold(Utf8ToUtf16(section)));
  if (it == section_index_.end()) return;
  sections_.erase(sections_.begin() + static_cast<std::ptrdiff_t>(it->second));
  changed_ = true;
  Reindex();
}

bool ProfileFile::Save() {
  if (!changed_) return true;
  auto encoding = static_cast<profile::Encoding>(encoding_);
  if (files_.WriteFile(path_, profile::Serialize(sections_, encoding)) != kSuccess) return false;
  changed_ = false;
  return true;
}

}  // namespace korvanta::store
