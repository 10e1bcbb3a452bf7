#pragma once
// The settings table of a settings page: one row per setting, as data, and one
// engine that loads the rows into their controls and applies the controls back.
// A row binds one kind of control (a check box, a check box with its text box,
// option buttons, a slider); what a table cannot say is a hook row of the page's
// own. Each row carries its places in the load and the apply order: which
// registry write comes first is part of what a page does.

#include <climits>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

#include "store/reg.h"
#include "ui/form.h"

namespace korvanta::services {

// What apply does in one state of a row's control.
enum class RowAction {
  kNothing,
  kWrite,        // write the row's data (or its text box's text)
  kDeleteValue,  // the value goes, the key stays
  kDeleteKey,
};

// A registry value; an empty name is the key's default value.
struct RegValue {
  store::RegRoot root = store::RegRoot::kCurrentUser;
  std::string key{};
  std::string name{};
};

// The registry types a row writes: the system's, and a text written in the ANSI
// code page with its own byte count and no terminating zero.
inline constexpr std::uint32_t kRegCountedText = 0x10001;

// A row's places in the page's load and apply orders: the engine runs the rows
// by ascending place. A row left unplaced runs in neither and Misplaced() names
// it; kNever says it is deliberately not in that order.
inline constexpr int kUnplaced = -1;
inline constexpr int kNever = -2;
struct Places {
  int load = kUnplaced;
  int apply = kUnplaced;
};

// A check box, optionally with its text box.
struct CheckRow {
  Places at{};
  std::string control{};
  std::string text_box{};  // "" for a plain check box
  RegValue value{};
  std::uint32_t type = store::kRegDword;
  int width = 4;  // bytes of a REG_BINARY value
  RowAction ticked = RowAction::kWrite;
  store::Variant ticked_data{};  // what kWrite writes when ticked; empty: the text box's text
  RowAction unticked = RowAction::kDeleteValue;
  store::Variant unticked_data{};
  // Unticked, a stored value other than the ticked data stays: it already means
  // unticked, and writing unticked_data over it would change what it says.
  bool unticked_keeps_other = false;
  // A second text value of the same key that goes with the row's own: written
  // before it, deleted with it.
  std::string companion{};
  store::Variant companion_data{};

  // Load: the control starts in its starting state (and its text box with its
  // starting text); the value is read into a variable that starts as start; when
  // it then compares (loosely) equal to match, or different from it when
  // match_when_equal is false, the control takes the other state.
  bool starts_ticked = false;
  std::string start_text{};
  store::Variant start{};
  std::optional<store::Variant> match{};  // none: the state stays as it starts
  bool match_when_equal = true;
  // The key's presence is the setting: the control takes the other state when
  // the key exists, whatever its value holds (match is not looked at).
  bool match_key_exists = false;
  enum class Text { kNone, kAlways, kOnMatch } fill_text = Text::kNone;
};

// The commonest row: a check box whose value holds data when ticked and which
// is ticked when the value reads (loosely) that data.
CheckRow FlagRow(Places at, std::string control, RegValue value, std::uint32_t type,
                 store::Variant data, RowAction unticked = RowAction::kDeleteValue,
                 store::Variant unticked_data = store::Variant(0));

// Option buttons that each stand for one value of a setting.
struct OptionRow {
  Places at{};
  std::vector<std::pair<std::string, store::Variant>>
      options{};  // control, the value it stands for
  RegValue value{};
  std::uint32_t type = store::kRegDword;
  int width = 4;
};

// A slider whose position is the setting, with the label that reads it out.
struct SliderRow {
  Places at{};
  std::string control{};
  std::string readout{};  // label: prefix + the value + suffix
  std::string prefix{};
  std::string suffix{};
  RegValue value{};
  int absent_position = 0;  // where the slider stands when the value is absent
  // The read-out's prefix after the load, when it differs from the one the
  // slider's moves show.
  std::optional<std::string> load_prefix{};
};

// What a table cannot say: the page's own load and apply, in the row's place.
struct HookRow {
  Places at{};
  std::string name{};
  std::function<void()> load{};
  std::function<void()> apply{};
};

using SettingRow = std::variant<CheckRow, OptionRow, SliderRow, HookRow>;

// The row's name: its control (the first option's).
std::string_view RowName(const SettingRow& row);
const Places& RowPlaces(const SettingRow& row);

class SettingsTable {
 public:
  // The rows' controls are found by name on form when they are loaded or applied.
  SettingsTable(store::Registry& reg, const ui::Form& form, std::vector<SettingRow> rows);

  // Loads the rows whose load places lie in first..last, by place.
  void Load(int first = 0, int last = INT_MAX);
  // Applies every row with an apply place, by place. Every step runs whatever
  // the one before did.
  void Apply();

  const std::vector<SettingRow>& rows() const { return rows_; }
  // Names of rows whose controls the form lacks or has as another kind.
  std::vector<std::string> Unbound() const;
  // Names of rows without a place in an order, or with a place another row of
  // that order has too.
  std::vector<std::string> Misplaced() const;

 private:
  // The rows whose places (load or apply) lie in first..last, by place.
  std::vector<const SettingRow*> InOrder(int Places::*order, int first, int last) const;

  void LoadRow(const CheckRow& row);
  void ApplyRow(const CheckRow& row);
  void LoadRow(const OptionRow& row);
  void ApplyRow(const OptionRow& row);
  void LoadRow(const SliderRow& row);
  void ApplyRow(const SliderRow& row);

  // Whether writing data would create value from nothing: an empty text over an
  // absent value is a box nobody filled in.
  bool CreatesFromNothing(const RegValue& value, const store::Variant& data);
  // Writes data as the row's type says, unless it creates a value from nothing.
  void Write(const RegValue& value, std::uint32_t type, int width, const store::Variant& data);
  void Do(RowAction action, const RegValue& value, std::uint32_t type, int width,
          const store::Variant& data);

  store::Registry& reg_;
  const ui::Form& form_;
  std::vector<SettingRow> rows_;
  // A stored number the slider's range cannot show, by slider: where the load
  // put the slider, and the number, which an apply keeps while it stands there.
  struct Unshown {
    int position;
    std::int32_t stored;
  };
  std::map<std::string, Unshown, std::less<>> unshown_;
};

class Program;
// A settings page's "设置": the restart flag, the page's log entry (first, so it
// stands whatever the writes do), then the rows in that order.
void ApplySettingsPage(Program& program, std::string_view log_entry, SettingsTable& table);

// Wires a slider's read-out to its position, as the row's load fills it.
void BindSliderReadout(const ui::Form& form, const SliderRow& row);

}  // namespace korvanta::services
