#include "store/icon_reader.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace korvanta::store {
namespace {

constexpr std::uint32_t kIconType = 3;        // RT_ICON
constexpr std::uint32_t kGroupIconType = 14;  // RT_GROUP_ICON
constexpr std::size_t kGroupEntrySize = 14;   // GRPICONDIRENTRY
constexpr std::size_t kIcoEntrySize = 16;     // ICONDIRENTRY

// Little-endian reads that fail (nothing) past the end instead of reading it.
class Bytes {
 public:
  explicit Bytes(std::string_view data) : data_(data) {}
  std::optional<std::uint32_t> U16(std::size_t at) const { return Read(at, 2); }
  std::optional<std::uint32_t> U32(std::size_t at) const { return Read(at, 4); }
  std::optional<std::string_view> Slice(std::size_t at, std::size_t size) const {
    if (at > data_.size() || size > data_.size() - at) return std::nullopt;
    return data_.substr(at, size);
  }

 private:
  std::optional<std::uint32_t> Read(std::size_t at, std::size_t size) const {
    if (at > data_.size() || size > data_.size() - at) return std::nullopt;
    std::uint32_t value = 0;
    for (std::size_t i = size; i-- > 0;) {
      value = (value << 8) | static_cast<unsigned char>(data_[at + i]);
    }
    return value;
  }
  std::string_view data_;
};

void PutU16(std::string& out, std::uint32_t value) {
  out.push_back(static_cast<char>(value & 0xff));
  out.push_back(static_cast<char>((value >> 8) & 0xff));
}

void PutU32(std::string& out, std::uint32_t value) {
  PutU16(out, value & 0xffff);
  PutU16(out, value >> 16);
}

struct ResourceEntry {
  std::uint32_t id = 0;  // for named entries, 0
  bool named = false;
  std::uint32_t offset = 0;  // from the start of the resource section
  bool directory = false;
};

// The resource section of a PE file, walked through its three levels (type,
// name, language).
class Resources {
 public:
  static std::optional<Resources> Open(std::string_view file) {
    Bytes bytes(file);
    if (file.substr(0, 2) != "MZ") return std::nullopt;
    auto pe = bytes.U32(0x3c);
    if (!pe ||
        bytes.Slice(*pe, 4) != std::optional<std::string_view>(std::string_view("PE\0\0", 4)))
      return std::nullopt;
    const std::size_t coff = *pe + 4;
    auto sections = bytes.U16(coff + 2), optional_size = bytes.U16(coff + 16);
    const std::size_t optional = coff + 20;
    auto magic = bytes.U16(optional);
    if (!sections || !optional_size || !magic) return std::nullopt;
    std::size_t directories;
    if (*magic == 0x10b) {
      directories = optional + 92;
    } else if (*magic == 0x20b) {
      directories = optional + 108;
    } else {
      return std::nullopt;
    }
    auto count = bytes.U32(directories);
    if (!count || *count < 3) return std::nullopt;
    auto rva = bytes.U32(directories + 4 + 2 * 8);
    if (!rva || *rva == 0) return std::nullopt;
    Resources resources(file);
    const std::size_t table = optional + *optional_size;
    for (std::uint32_t i = 0; i < *sections; ++i) {
      const std::size_t at = table + i * 40;
      auto virtual_size = bytes.U32(at + 8), address = bytes.U32(at + 12);
      auto raw_size = bytes.U32(at + 16), raw = bytes.U32(at + 20);
      if (!virtual_size || !address || !raw_size || !raw) return std::nullopt;
      resources.sections_.push_back({*address, std::max(*virtual_size, *raw_size), *raw});
    }
    auto base = resources.FileOffset(*rva);
    if (!base) return std::nullopt;
    resources.base_ = *base;
    return resources;
  }

  // The entries of the directory at offset, named ones first, as stored.
  std::vector<ResourceEntry> Entries(std::uint32_t offset) const {
    std::vector<ResourceEntry> entries;
    auto named = bytes_.U16(base_ + offset + 12), ids = bytes_.U16(base_ + offset + 14);
    if (!named || !ids) return entries;
    for (std::uint32_t i = 0; i < *named + *ids; ++i) {
      const std::size_t at = base_ + offset + 16 + i * 8;
      auto name = bytes_.U32(at), data = bytes_.U32(at + 4);
      if (!name || !data) break;
      ResourceEntry entry;
      entry.named = (*name & 0x80000000u) != 0;
      entry.id = entry.named ? 0 : *name;
      entry.directory = (*data & 0x80000000u) != 0;
      entry.offset = *data & 0x7fffffffu;
      entries.push_back(entry);
    }
    return entries;
  }

  // The data of a resource: the first language of the named entry's directory.
  std::optional<std::string_view> Data(const ResourceEntry& entry) const {
    ResourceEntry leaf = entry;
    for (int depth = 0; leaf.directory && depth < 4; ++depth) {
      std::vector<ResourceEntry> languages = Entries(leaf.offset);
      if (languages.empty()) return std::nullopt;
      leaf = languages.front();
    }
    if (leaf.directory) return std::nullopt;
    auto rva = bytes_.U32(base_ + leaf.offset), size = bytes_.U32(base_ + leaf.offset + 4);
    if (!rva || !size) return std::nullopt;
    auto at = FileOffset(*rva);
    if (!at) return std::nullopt;
    return bytes_.Slice(*at, *size);
  }

  // The entries of one resource type.
  std::vector<ResourceEntry> OfType(std::uint32_t type) const {
    for (const ResourceEntry& entry : Entries(0)) {
      if (!entry.named && entry.id == type && entry.directory) return Entries(entry.offset);
    }
    return {};
  }

 private:
  struct Section {
    std::uint32_t address, size, raw;
  };
  explicit Resources(std::string_view file) : bytes_(file) {}

  std::optional<std::size_t> FileOffset(std::uint32_t rva) const {
    for (const Section& s : sections_) {
      if (rva >= s.address && rva - s.address < s.size)
        return std::size_t{s.raw} + (rva - s.address);
    }
    return std::nullopt;
  }

  Bytes bytes_;
  std::vector<Section> sections_;
  std::size_t base_ = 0;
};

bool IsIcoFile(std::string_view file) {
  Bytes bytes(file);
  auto reserved = bytes.U16(0), type = bytes.U16(2), count = bytes.U16(4);
  return reserved == 0u && type == 1u && count && *count > 0 &&
         bytes.Slice(6, *count * kIcoEntrySize).has_value();
}

// An .ico file made of a group icon and the icon images it names.
std::optional<std::string> IcoOfGroup(const Resources& resources, std::string_view group) {
  Bytes bytes(group);
  auto count = bytes.U16(4);
  if (!count || *count == 0) return std::nullopt;
  std::vector<ResourceEntry> images = resources.OfType(kIconType);
  std::string header, data;
  PutU16(header, 0);
  PutU16(header, 1);
  std::uint32_t kept = 0;
  std::string entries;
  std::vector<std::string_view> pictures;
  for (std::uint32_t i = 0; i < *count; ++i) {
    auto entry = bytes.Slice(6 + i * kGroupEntrySize, kGroupEntrySize);
    if (!entry) return std::nullopt;
    auto id = Bytes(*entry).U16(12);
    std::optional<std::string_view> picture;
    for (const ResourceEntry& image : images) {
      if (!image.named && image.id == *id) picture = resources.Data(image);
    }
    if (!picture || picture->empty()) continue;
    entries.append(entry->substr(0, 8));
    PutU32(entries, static_cast<std::uint32_t>(picture->size()));
    PutU32(entries, 0);  // the offset, set below
    pictures.push_back(*picture);
    ++kept;
  }
  if (kept == 0) return std::nullopt;
  PutU16(header, kept);
  std::uint32_t offset = 6 + kept * kIcoEntrySize;
  for (std::uint32_t i = 0; i < kept; ++i) {
    std::string at;
    PutU32(at, offset);
    entries.replace(i * kIcoEntrySize + 12, 4, at);
    offset += static_cast<std::uint32_t>(pictures[i].size());
    data.append(pictures[i]);
  }
  return header + entries + data;
}

}  // namespace

int CountIcons(std::string_view file) {
  if (IsIcoFile(file)) return 1;
  std::optional<Resources> resources = Resources::Open(file);
  return resources ? static_cast<int>(resources->OfType(kGroupIconType).size()) : 0;
}

std::vector<int> IconNumbers(std::string_view file) {
  if (IsIcoFile(file)) return {0};
  std::vector<int> numbers;
  if (std::optional<Resources> resources = Resources::Open(file)) {
    for (const ResourceEntry& group : resources->OfType(kGroupIconType)) {
      numbers.push_back(static_cast<int>(group.id & 0xffff));
    }
  }
  return numbers;
}

std::optional<std::string> IconAt(std::string_view file, int index) {
  if (IsIcoFile(file)) {
    if (index != 0) return std::nullopt;
    return std::string(file);
  }
  // -1 asks the shell for the number of icons, never for the icon numbered 1.
  if (index == -1) return std::nullopt;
  std::optional<Resources> resources = Resources::Open(file);
  if (!resources) return std::nullopt;
  std::vector<ResourceEntry> groups = resources->OfType(kGroupIconType);
  const ResourceEntry* chosen = nullptr;
  if (index >= 0) {
    if (static_cast<std::size_t>(index) < groups.size())
      chosen = &groups[static_cast<std::size_t>(index)];
  } else {
    for (const ResourceEntry& group : groups) {
      if (!group.named && static_cast<std::int64_t>(group.id) == -static_cast<std::int64_t>(index))
        chosen = &group;
    }
  }
  if (!chosen) return std::nullopt;
  std::optional<std::string_view> group = resources->Data(*chosen);
  if (!group) return std::nullopt;
  return IcoOfGroup(*resources, *group);
}

}  // namespace korvanta::store
