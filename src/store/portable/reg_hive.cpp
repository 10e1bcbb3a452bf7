#include "store/portable/reg_hive.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <unordered_set>
#include <utility>

namespace korvanta::store {
namespace {

constexpr std::u16string_view kSymbolicLinkValue = u"SymbolicLinkValue";
constexpr std::string_view kBranchLine = ";; All keys relative to ";
constexpr std::uint32_t kAfterHeader = 0;  // insertion anchor before every block
// How deep Wine 8 follows links in links, and how many link resolutions one
// walk may take in all before it gives up as on a loop.
constexpr int kMaxLinkDepth = 32;
constexpr std::size_t kLinkResolutionBudget = 1 << 16;

template <typename T, typename NameOf>
std::size_t LowerBound(const std::vector<T>& items, std::u16string_view name, NameOf name_of) {
  std::size_t lo = 0, hi = items.size();
  while (lo < hi) {
    const std::size_t mid = (lo + hi) / 2;
    if (CompareRegNames(name_of(items[mid]), name) < 0)
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

// Where a name is or would go in a sorted list, and whether it is there.
struct SortedPlace {
  std::size_t index;
  bool found;
};

template <typename T, typename NameOf>
SortedPlace FindSorted(const std::vector<T>& items, std::u16string_view name, NameOf name_of) {
  const std::size_t at = LowerBound(items, name, name_of);
  return {at, at < items.size() && RegNamesEqual(name_of(items[at]), name)};
}

std::u16string_view KeyName(const RegKey* k) {
  return k->name();
}
std::u16string_view ValueName(const RegValue& v) {
  return v.name;
}

// The ancestors of a key from the root down, the key included.
std::vector<const RegKey*> Chain(const RegKey* key) {
  std::vector<const RegKey*> chain;
  for (; key; key = key->parent()) chain.push_back(key);
  std::reverse(chain.begin(), chain.end());
  return chain;
}

// Whether a comes before b in wineserver's depth-first order.
bool BeforeInTree(const RegKey* a, const RegKey* b) {
  const auto ca = Chain(a), cb = Chain(b);
  for (std::size_t i = 1; i < ca.size() && i < cb.size(); ++i) {
    const int d = CompareRegNames(ca[i]->name(), cb[i]->name());
    if (d != 0) return d < 0;
  }
  return ca.size() < cb.size();
}

}  // namespace

struct RegHive::LoadState {
  // The keys of the previous "[" line from the root down, to reuse its levels.
  std::vector<RegKey*> last_chain;
  // Scratch space kept between lines.
  RegKeyLine line;
  std::vector<std::u16string_view> names;
};

RegHive::RegHive(std::string text) : text_(std::move(text)) {
  keys_.emplace_back();
  root_ = &keys_.back();
  Index();
}

std::string RegHive::EmptyFile(std::u16string_view branch, std::string_view arch) {
  std::string out(kRegFileSignature);
  out += "\n";
  out += kBranchLine;
  out += "REGISTRY\\\\";
  std::vector<std::u16string_view> names;
  SplitRegPath(branch, names);
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i) out += "\\\\";
    AppendRegEscaped(out, names[i], RegQuotes::kKeyName);
  }
  out += "\n";
  if (!arch.empty()) {
    out += "\n#arch=";
    out += arch;
    out += "\n";
  }
  return out;
}

void RegHive::Index() {
  const std::size_t n = text_.size();
  has_nul_ = std::memchr(text_.data(), '\0', n) != nullptr;
  RegLineReader reader(text_);
  std::string_view line;
  valid_ = reader.Next(line) && line == kRegFileSignature;
  if (!valid_) {
    header_end_ = trailer_begin_ = n;
    return;
  }
  // One pass with wineserver's reader: a hex value's continuation lines are
  // taken as it reads them, so a "[" line among them is no key line, and a
  // blank line ends the value.
  LoadState state;
  RegValue scratch;
  std::size_t blank_start = std::string_view::npos;
  std::uint32_t blank_buffer = 0;
  bool in_key = false;  // values have a key to go to (else wineserver skips them)
  for (;;) {
    const std::size_t line_begin = reader.offset();
    const std::uint32_t buffer = reader.buffer_size();
    if (!reader.Next(line)) break;
    const std::string_view t = SkipRegSpace(line);
    if (t.empty()) {
      if (blank_start == std::string_view::npos) {
        blank_start = line_begin;
        blank_buffer = buffer;
      }
      continue;
    }
    if (t[0] == '[') {
      const bool after_blank = blank_start != std::string_view::npos;
      const auto begin = static_cast<std::uint32_t>(after_blank ? blank_start : line_begin);
      if (blocks_.empty())
        header_end_ = begin;
      else
        blocks_.back().end = begin;
      const auto index = static_cast<std::uint32_t>(blocks_.size());
      Block block;
      block.begin = begin;
      block.reader_buffer = after_blank ? blank_buffer : buffer;
      block.key = KeyForLine(t.substr(1), index, state);
      if (RegKey* key = block.key) {
        if (key->first_block_ == RegKey::kNoBlock)
          key->first_block_ = index;
        else
          blocks_[key->last_block_].next_of_key = index;
        key->last_block_ = index;
      }
      blocks_.push_back(block);
      in_key = block.key != nullptr;
    } else if ((t[0] == '"' || t[0] == '@') && in_key && t.find('\\') != std::string_view::npos &&
               t.find("hex") != std::string_view::npos) {
      // Only hex data goes on over more lines, after a backslash.
      ParseRegValue(t, reader, scratch);
      ends_in_continuation_ = reader.ran_out();
    }
    blank_start = std::string_view::npos;
  }
  if (blocks_.empty()) {
    header_end_ = trailer_begin_ = n;
  } else {
    trailer_begin_ = blank_start != std::string_view::npos ? blank_start : n;
    blocks_.back().end = static_cast<std::uint32_t>(trailer_begin_);
  }
}

RegKey* RegHive::KeyForLine(std::string_view after_bracket, std::uint32_t block, LoadState& state) {
  RegKeyLine& parsed = state.line;
  if (!ParseRegKeyLine(after_bracket, parsed)) return nullptr;
  std::vector<std::u16string_view>& names = state.names;
  if (!SplitRegPath(parsed.path, names)) return nullptr;
  std::vector<RegKey*>& last_chain = state.last_chain;
  RegKey* key = root_;
  std::size_t level = 0;
  // Files are sorted, so a key mostly shares its first levels with the one before.
  while (level < names.size() && level < last_chain.size() &&
         last_chain[level]->name_ == names[level]) {
    key = last_chain[level++];
  }
  last_chain.resize(level);
  for (; level < names.size(); ++level) {
    key = &FindOrAddSubkey(*key, names[level]);
    if (key->spelled_by_ == RegKey::kNoBlock) key->spelled_by_ = block;
    last_chain.push_back(key);
  }
  return key;
}

RegKey& RegHive::NewKey(RegKey* parent, std::u16string_view name) {
  RegKey& key = keys_.emplace_back();
  key.name_ = name;
  key.parent_ = parent;
  return key;
}

RegKey& RegHive::FindOrAddSubkey(RegKey& parent, std::u16string_view name) {
  auto& subs = parent.subkeys_;
  if (subs.empty() || CompareRegNames(subs.back()->name_, name) < 0) {
    RegKey& key = NewKey(&parent, name);
    subs.push_back(&key);
    return key;
  }
  const SortedPlace place = FindSorted(subs, name, KeyName);
  if (place.found) return *subs[place.index];
  RegKey& key = NewKey(&parent, name);
  subs.insert(subs.begin() + static_cast<std::ptrdiff_t>(place.index), &key);
  return key;
}

std::u16string RegHive::branch() const {
  RegLineReader reader(std::string_view(text_).substr(0, header_end_));
  std::string_view line;
  if (!reader.Next(line) || !reader.Next(line)) return {};
  if (line.substr(0, kBranchLine.size()) != kBranchLine) return {};
  std::string escaped(line.substr(kBranchLine.size()));
  escaped.push_back(']');
  std::u16string path;
  if (!ParseRegEscaped(escaped, ']', path)) return {};
  constexpr std::u16string_view kRegistry = u"REGISTRY\\";
  if (path.size() >= kRegistry.size() &&
      RegNamesEqual(std::u16string_view(path).substr(0, kRegistry.size()), kRegistry)) {
    path.erase(0, kRegistry.size());
  }
  return path;
}

std::string RegHive::arch() const {
  RegLineReader reader(std::string_view(text_).substr(0, header_end_));
  std::string_view line;
  while (reader.Next(line)) {
    std::string_view t = SkipRegSpace(line);
    if (t.substr(0, 6) == "#arch=") return std::string(t.substr(6));
  }
  return {};
}

RegKey* RegHive::Subkey(RegKey& parent, std::u16string_view name) {
  const auto& subs = parent.subkeys_;
  const SortedPlace place = FindSorted(subs, name, KeyName);
  return place.found ? subs[place.index] : nullptr;
}

RegKey* RegHive::Open(std::u16string_view path) {
  std::vector<std::u16string_view> names;
  if (!SplitRegPath(path, names)) return nullptr;
  RegNamespace space;
  space.Mount(branch(), *this);
  auto walk = space.Descend({this, root_}, names);
  if (!walk.key || walk.found != names.size() || walk.key.hive != this) return nullptr;
  return walk.key.key;
}

void RegHive::Parse(RegKey& key) {
  if (key.parsed_) return;
  key.parsed_ = true;
  for (std::uint32_t b = key.first_block_; b != RegKey::kNoBlock; b = blocks_[b].next_of_key) {
    ParseBlock(key, blocks_[b], b == key.first_block_);
  }
}

void RegHive::ParseBlock(RegKey& key, const Block& block, bool first) {
  RegLineReader reader(std::string_view(text_).substr(block.begin, block.end - block.begin),
                       block.reader_buffer);
  std::string_view line;
  bool key_line_seen = false;
  RegValue value;
  while (reader.Next(line)) {
    std::string_view t = SkipRegSpace(line);
    if (t.empty()) continue;
    if (!key_line_seen) {
      key_line_seen = true;
      // wineserver takes N when the line creates the key; "#time=" overrides it.
      RegKeyLine parsed;
      if (first && ParseRegKeyLine(t.substr(1), parsed) && parsed.seconds) {
        key.modified_ = *parsed.seconds * kFiletimeTicksPerSecond + kFiletimeUnixEpoch;
      }
      continue;
    }
    if (t[0] == '"' || t[0] == '@') {
      if (ParseRegValue(t, reader, value) == RegValueParse::kBadName) continue;
      auto& values = key.values_;
      if (values.empty() || CompareRegNames(values.back().name, value.name) < 0) {
        values.push_back(std::move(value));
        continue;
      }
      const SortedPlace place = FindSorted(values, value.name, ValueName);
      if (place.found) {
        // The last of a repeated name wins, the first spelling stays.
        values[place.index].type = value.type;
        values[place.index].data = std::move(value.data);
      } else {
        values.insert(values.begin() + static_cast<std::ptrdiff_t>(place.index), std::move(value));
      }
    } else if (t.substr(0, 6) == "#time=") {
      key.modified_ = ParseRegTime(t.substr(6));
    } else if (t.substr(0, 8) == "#class=\"") {
      std::u16string text;
      if (ParseRegEscaped(t.substr(8), '"', text)) {
        key.class_ = std::make_unique<std::u16string>(std::move(text));
      }
    } else if (t.substr(0, 5) == "#link") {
      key.link_ = true;
    }
  }
}

void RegHive::Touch(RegKey& key, std::uint64_t now) {
  Parse(key);
  key.modified_ = now;
  if (!key.dirty_) {
    key.dirty_ = true;
    dirty_.push_back(&key);
  }
  modified_ = true;
}

RegKey& RegHive::CreateSubkey(RegKey& parent, std::u16string_view name, std::uint64_t now) {
  RegKey& key = FindOrAddSubkey(parent, name);
  key.parsed_ = true;
  Touch(key, now);
  Touch(parent, now);
  return key;
}

bool RegHive::DeleteKey(RegKey& key, std::uint64_t now) {
  if (&key == root_ || key.deleted_ || !key.subkeys_.empty()) return false;
  RegKey& parent = *key.parent_;
  auto& subs = parent.subkeys_;
  subs.erase(std::find(subs.begin(), subs.end(), &key));
  key.deleted_ = true;
  Touch(parent, now);
  return true;
}

const std::vector<RegValue>& RegHive::Values(RegKey& key) {
  Parse(key);
  return key.values_;
}

const RegValue* RegHive::Value(RegKey& key, std::u16string_view name) {
  Parse(key);
  const auto& values = key.values_;
  const SortedPlace place = FindSorted(values, name, ValueName);
  return place.found ? &values[place.index] : nullptr;
}

bool RegHive::SetValue(RegKey& key, std::u16string_view name, std::uint32_t type,
                       std::string_view data, std::uint64_t now) {
  Parse(key);
  auto& values = key.values_;
  const SortedPlace place = FindSorted(values, name, ValueName);
  if (place.found) {
    RegValue& value = values[place.index];
    if (value.type == type && value.data == data) return false;
    value.type = type;
    value.data = data;
  } else {
    RegValue value;
    value.name = name;
    value.type = type;
    value.data = data;
    values.insert(values.begin() + static_cast<std::ptrdiff_t>(place.index), std::move(value));
  }
  Touch(key, now);
  return true;
}

bool RegHive::DeleteValue(RegKey& key, std::u16string_view name, std::uint64_t now) {
  Parse(key);
  auto& values = key.values_;
  const SortedPlace place = FindSorted(values, name, ValueName);
  if (!place.found) return false;
  values.erase(values.begin() + static_cast<std::ptrdiff_t>(place.index));
  Touch(key, now);
  return true;
}

bool RegHive::IsLink(RegKey& key) {
  Parse(key);
  return key.link_;
}

std::optional<std::u16string> RegHive::LinkTarget(RegKey& key) {
  const RegValue* value = Value(key, kSymbolicLinkValue);
  if (!value) return std::nullopt;
  return BytesToUtf16(value->data);
}

const std::u16string* RegHive::Class(RegKey& key) {
  Parse(key);
  return key.class_.get();
}

std::uint64_t RegHive::ModificationTime(RegKey& key) {
  Parse(key);
  return key.modified_;
}

std::vector<std::u16string> RegHive::PathOf(const RegKey& key) const {
  std::vector<std::u16string> names;
  for (const RegKey* k = &key; k != root_ && k; k = k->parent_) names.push_back(k->name_);
  std::reverse(names.begin(), names.end());
  return names;
}

bool RegHive::NeedsBlock(const RegKey& key) const {
  return !key.values_.empty() || key.subkeys_.empty() || key.class_ || key.link_;
}

void RegHive::AppendBlock(std::string& out, const RegKey& key) const {
  if (!NeedsBlock(key)) return;
  if (!out.empty() && out.back() != '\n') out.push_back('\n');
  std::vector<const std::u16string*> path;
  for (const RegKey* k = &key; k != root_; k = k->parent_) path.push_back(&k->name_);
  std::reverse(path.begin(), path.end());
  AppendRegKeyHead(out, path, key.modified_, key.class_.get(), key.link_);
  for (const RegValue& value : key.values_) AppendRegValue(out, value);
}

// The block after which a new key's block goes: that of the nearest key before
// it in depth-first order that has a block in the file (1-based; 0 is right
// after the header). In a file wineserver wrote this is exactly its place.
std::uint32_t RegHive::AnchorOf(const RegKey& key) const {
  const RegKey* k = &key;
  while (const RegKey* parent = k->parent_) {
    const auto& subs = parent->subkeys_;
    const auto at = static_cast<std::size_t>(std::find(subs.begin(), subs.end(), k) - subs.begin());
    const RegKey* before = parent;
    if (at > 0) {
      before = subs[at - 1];
      while (!before->subkeys_.empty()) before = before->subkeys_.back();
    }
    if (before->first_block_ != RegKey::kNoBlock) return before->first_block_ + 1;
    k = before;
  }
  return kAfterHeader;
}

void RegHive::AppendUnchangedBlock(std::string& out, std::uint32_t index, bool respell) const {
  const Block& block = blocks_[index];
  std::string_view text = std::string_view(text_).substr(block.begin, block.end - block.begin);
  if (respell) {
    // Only blanks stand before the "[" of the block's key line.
    const std::size_t bracket = text.find('[');
    std::u16string path;
    if (auto used = ParseRegEscaped(text.substr(bracket + 1), ']', path)) {
      out.append(text.substr(0, bracket + 1));
      const std::vector<std::u16string> names = PathOf(*block.key);
      for (std::size_t i = 0; i < names.size(); ++i) {
        if (i) out += "\\\\";
        AppendRegEscaped(out, names[i], RegQuotes::kKeyName);
      }
      text.remove_prefix(bracket + *used);  // from the "]" on, as it was
    }
  }
  out.append(text);
}

std::string RegHive::Save() {
  if (!modified_ || !valid_) return text_;
  // What wineserver makes of a line with a NUL byte depends on the lines before
  // it, and a value continued past the end of the file takes the next line
  // written after it: then only text written anew reads back the same.
  if (has_nul_ || ends_in_continuation_) return SaveEveryBlock();
  std::vector<std::pair<std::uint32_t, const RegKey*>> inserts;
  for (const RegKey* key : dirty_) {
    if (!key->deleted_ && key->first_block_ == RegKey::kNoBlock && NeedsBlock(*key)) {
      inserts.emplace_back(AnchorOf(*key), key);
    }
  }
  std::sort(inserts.begin(), inserts.end(), [](const auto& a, const auto& b) {
    if (a.first != b.first) return a.first < b.first;
    return BeforeInTree(a.second, b.second);
  });
  // A key is spelled as the first "[" line that names it. When that line is not
  // written again (its key was deleted or lost its block), the next line that
  // names the key must spell it as the key was spelled, or the key's case
  // changes for Wine too.
  std::unordered_set<const RegKey*> named;
  auto name_chain = [&](const RegKey* key, std::uint32_t block) {
    bool named_elsewhere_first = false;
    for (; key && key != root_ && named.insert(key).second; key = key->parent_) {
      if (key->spelled_by_ != block) named_elsewhere_first = true;
    }
    return named_elsewhere_first;
  };
  std::string out;
  out.reserve(text_.size() + 256 * (inserts.size() + dirty_.size()));
  out.append(text_, 0, header_end_);
  auto append_new = [&](const RegKey& key) {
    AppendBlock(out, key);
    name_chain(&key, RegKey::kNoBlock);
  };
  auto next = inserts.begin();
  auto insert_after = [&](std::uint32_t anchor) {
    for (; next != inserts.end() && next->first == anchor; ++next) append_new(*next->second);
  };
  insert_after(kAfterHeader);
  for (std::uint32_t i = 0; i < blocks_.size(); ++i) {
    const Block& block = blocks_[i];
    const RegKey* key = block.key;
    if (!key) {
      out.append(text_, block.begin, block.end - block.begin);
    } else if (!key->dirty_ && !key->deleted_) {
      AppendUnchangedBlock(out, i, name_chain(key, i));
    } else if (!key->deleted_ && key->first_block_ == i && NeedsBlock(*key)) {
      append_new(*key);
    }
    insert_after(i + 1);
  }
  out.append(text_, trailer_begin_, std::string::npos);
  return out;
}

// The header as it was, then every key as wineserver writes it, in its order.
std::string RegHive::SaveEveryBlock() {
  std::string out(text_, 0, header_end_);
  std::vector<RegKey*> pending{root_};
  while (!pending.empty()) {
    RegKey& key = *pending.back();
    pending.pop_back();
    Parse(key);
    AppendBlock(out, key);
    pending.insert(pending.end(), key.subkeys_.rbegin(), key.subkeys_.rend());
  }
  return out;
}

void RegNamespace::Mount(std::u16string_view branch, RegHive& hive) {
  Mounted m;
  std::vector<std::u16string_view> names;
  SplitRegPath(branch, names);
  for (auto n : names) m.names.emplace_back(n);
  m.hive = &hive;
  mounts_.push_back(std::move(m));
}

// What the links of one walk resolved to, by key and depth: a file can nest
// links so that a naive walk resolves the same ones exponentially often.
struct RegNamespace::Resolution {
  std::map<std::pair<const RegKey*, int>, Ref> known;
  std::size_t budget = kLinkResolutionBudget;
  bool too_deep = false;
};

RegNamespace::Ref RegNamespace::Follow(Ref key, int depth, Resolution& resolution) const {
  if (depth > kMaxLinkDepth) {
    resolution.too_deep = true;
    return {};
  }
  if (!key || !key.hive->IsLink(*key.key)) return key;
  const auto [known, first] = resolution.known.try_emplace({key.key, depth});
  if (!first) return known->second;
  if (resolution.budget == 0) {
    resolution.too_deep = true;
    return {};
  }
  --resolution.budget;
  if (auto target = key.hive->LinkTarget(*key.key)) {
    known->second = Resolve(*target, depth, resolution);
  }
  return known->second;
}

RegNamespace::Ref RegNamespace::Resolve(std::u16string_view absolute, int depth,
                                        Resolution& resolution) const {
  constexpr std::u16string_view kRoot = u"\\Registry\\";
  if (absolute.size() <= kRoot.size() || !RegNamesEqual(absolute.substr(0, kRoot.size()), kRoot)) {
    return {};
  }
  // Every key of the target from the registry's root on is followed one level
  // deeper, the hives' own roots too.
  if (depth + 1 > kMaxLinkDepth) {
    resolution.too_deep = true;
    return {};
  }
  std::vector<std::u16string_view> names;
  if (!SplitRegPath(absolute.substr(kRoot.size()), names)) return {};
  const Mounted* best = nullptr;
  for (const Mounted& m : mounts_) {
    if (m.names.size() > names.size() || (best && best->names.size() >= m.names.size())) continue;
    bool match = true;
    for (std::size_t i = 0; match && i < m.names.size(); ++i) {
      match = RegNamesEqual(m.names[i], names[i]);
    }
    if (match) best = &m;
  }
  if (!best) return {};
  Ref cur{best->hive, &best->hive->root()};
  for (std::size_t i = best->names.size(); i < names.size(); ++i) {
    RegKey* sub = cur.hive->Subkey(*cur.key, names[i]);
    if (!sub) return {};
    cur = Follow({cur.hive, sub}, depth + 1, resolution);
    if (!cur) return {};
  }
  return cur;
}

RegNamespace::Walk RegNamespace::Descend(Ref start,
                                         const std::vector<std::u16string_view>& names) const {
  Resolution resolution;
  Walk walk;
  walk.key = start;
  for (; walk.found < names.size(); ++walk.found) {
    RegKey* sub = walk.key.hive->Subkey(*walk.key.key, names[walk.found]);
    if (!sub) return walk;
    walk.key = Follow({walk.key.hive, sub}, 0, resolution);
    if (!walk.key) {
      walk.too_deep = resolution.too_deep;
      return walk;
    }
  }
  return walk;
}

}  // namespace korvanta::store
