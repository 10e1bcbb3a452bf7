#pragma once
// One Wine registry file in memory. The file's text is kept: loading only
// indexes its key blocks and builds the key tree, a key's values are parsed when
// first used, and saving writes every block that was not changed back byte for
// byte. Changed keys get their block regenerated as wineserver writes it, at
// the place wineserver's order gives it, so Wine and we can edit the same file
// in turn without either losing the other's text.

#include <cstdint>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "store/portable/reg_text.h"

namespace korvanta::store {

class RegHive;

// A key of a hive. Owned by its hive; a deleted key stays valid as an object
// (deleted() tells) so that handles to it can report it.
class RegKey {
 public:
  const std::u16string& name() const { return name_; }
  RegKey* parent() const { return parent_; }
  // Subkeys in wineserver's order.
  const std::vector<RegKey*>& subkeys() const { return subkeys_; }
  bool deleted() const { return deleted_; }

 private:
  friend class RegHive;
  static constexpr std::uint32_t kNoBlock = 0xffffffffu;

  std::u16string name_;
  RegKey* parent_ = nullptr;
  std::vector<RegKey*> subkeys_;
  std::vector<RegValue> values_;  // in wineserver's order, once parsed_
  std::unique_ptr<std::u16string> class_;
  std::uint64_t modified_ = 0;  // FILETIME
  std::uint32_t first_block_ = kNoBlock;
  std::uint32_t last_block_ = kNoBlock;
  // The block whose "[" line named this key first: its spelling is the key's.
  std::uint32_t spelled_by_ = kNoBlock;
  bool parsed_ = false;
  bool link_ = false;
  bool dirty_ = false;
  bool deleted_ = false;
};

class RegHive {
 public:
  // Takes the file's bytes. A file whose first line is not the signature is
  // kept as it is but holds no keys, as wineserver ignores it (valid() false).
  explicit RegHive(std::string text);
  RegHive(const RegHive&) = delete;
  RegHive& operator=(const RegHive&) = delete;

  // The bytes of a hive with no keys, as wineserver starts a file: branch is
  // the line-2 root ("Machine", "User\\S-1-5-21-0-0-0-1000"), arch "win64" or
  // "win32" or empty for none.
  static std::string EmptyFile(std::u16string_view branch, std::string_view arch);

  bool valid() const { return valid_; }
  // The root named on line 2 without the leading "REGISTRY\", e.g. u"Machine".
  std::u16string branch() const;
  // The value of the "#arch=" line before the first key, or empty.
  std::string arch() const;
  // Whether anything changed since loading.
  bool modified() const { return modified_; }
  // The file's bytes with the changes applied; the original text when nothing
  // changed.
  std::string Save();

  RegKey& root() { return *root_; }
  // The subkey of that name (case-insensitive), or null. Links are not followed.
  RegKey* Subkey(RegKey& parent, std::u16string_view name);
  // The key at a path below root (names separated by backslashes), following
  // links whose targets lie in this hive. Null when a level is missing.
  RegKey* Open(std::u16string_view path);

  // Creates a subkey (which must not exist); the parent counts as changed, as
  // wineserver touches it. now is a FILETIME.
  RegKey& CreateSubkey(RegKey& parent, std::u16string_view name, std::uint64_t now);
  // Deletes a key without subkeys; false for a key with subkeys or the root.
  bool DeleteKey(RegKey& key, std::uint64_t now);

  const std::vector<RegValue>& Values(RegKey& key);
  const RegValue* Value(RegKey& key, std::u16string_view name);
  // Sets a value; returns false, changing nothing, when the same type and data
  // are already stored (wineserver skips those writes too).
  bool SetValue(RegKey& key, std::u16string_view name, std::uint32_t type, std::string_view data,
                std::uint64_t now);
  bool DeleteValue(RegKey& key, std::u16string_view name, std::uint64_t now);

  bool IsLink(RegKey& key);
  // The "SymbolicLinkValue" of a link key as UTF-16 (\Registry\...), if any.
  std::optional<std::u16string> LinkTarget(RegKey& key);
  const std::u16string* Class(RegKey& key);
  std::uint64_t ModificationTime(RegKey& key);
  // The names from the root down to key.
  std::vector<std::u16string> PathOf(const RegKey& key) const;

 private:
  struct Block {
    std::uint32_t begin = 0;  // its blank lines, then the "[" line
    std::uint32_t end = 0;
    std::uint32_t reader_buffer = 0;  // the size of wineserver's line buffer at begin
    RegKey* key = nullptr;            // null when wineserver could not read the key line
    std::uint32_t next_of_key = RegKey::kNoBlock;
  };

  // What loading carries from one "[" line to the next.
  struct LoadState;

  void Index();
  RegKey* KeyForLine(std::string_view after_bracket, std::uint32_t block, LoadState& state);
  RegKey& NewKey(RegKey* parent, std::u16string_view name);
  RegKey& FindOrAddSubkey(RegKey& parent, std::u16string_view name);
  void Parse(RegKey& key);
  void ParseBlock(RegKey& key, const Block& block, bool first);
  void Touch(RegKey& key, std::uint64_t now);
  bool NeedsBlock(const RegKey& key) const;
  void AppendBlock(std::string& out, const RegKey& key) const;
  void AppendUnchangedBlock(std::string& out, std::uint32_t index, bool respell) const;
  std::uint32_t AnchorOf(const RegKey& key) const;
  std::string SaveEveryBlock();

  std::string text_;
  bool valid_ = false;
  bool modified_ = false;
  bool has_nul_ = false;
  bool ends_in_continuation_ = false;  // the last hex value waits for a line past the end
  std::size_t header_end_ = 0;
  std::size_t trailer_begin_ = 0;
  std::vector<Block> blocks_;
  std::deque<RegKey> keys_;  // stable addresses; keys_[0] is the root
  RegKey* root_ = nullptr;
  std::vector<RegKey*> dirty_;
};

// The hives of one prefix as the single tree wineserver builds from them
// (\Registry\Machine, \Registry\User\<sid>), so that a link can lead from one
// hive into another as it does in Wine.
class RegNamespace {
 public:
  struct Ref {
    RegHive* hive = nullptr;
    RegKey* key = nullptr;
    explicit operator bool() const { return key != nullptr; }
  };
  // Where a walk stopped: the deepest key reached with links followed, and the
  // index of the first name that does not exist (names.size() when all do).
  // key is null when a link on the way leads nowhere; too_deep tells that it
  // took more links than Wine follows (a loop, for one).
  struct Walk {
    Ref key;
    std::size_t found = 0;
    bool too_deep = false;
  };

  // branch as on line 2 of the file: u"Machine", u"User\\S-1-5-21-0-0-0-1000".
  void Mount(std::u16string_view branch, RegHive& hive);
  // Walks names from start, following every link reached as Wine opens keys:
  // each key on a link's target path is followed one level deeper than the
  // link, and a link leads nowhere when its target is missing or lies more
  // than 32 levels deep.
  Walk Descend(Ref start, const std::vector<std::u16string_view>& names) const;

 private:
  struct Mounted {
    std::vector<std::u16string> names;
    RegHive* hive;
  };
  struct Resolution;
  Ref Follow(Ref key, int depth, Resolution& resolution) const;
  Ref Resolve(std::u16string_view absolute, int depth, Resolution& resolution) const;

  std::vector<Mounted> mounts_;
};

}  // namespace korvanta::store
