#include "services/settings_table.h"

#include <algorithm>

#include "services/program.h"
#include "ui/controls.h"

namespace korvanta::services {
namespace {

bool Exists(store::Registry& reg, const RegValue& value) {
  store::Variant ignored;
  return reg.QueryValue(value.root, value.key, value.name, ignored) != store::kFileNotFound;
}

}  // namespace

CheckRow FlagRow(Places at, std::string control, RegValue value, std::uint32_t type,
                 store::Variant data, RowAction unticked, store::Variant unticked_data) {
  CheckRow row;
  row.at = at;
  row.control = std::move(control);
  row.value = std::move(value);
  row.type = type;
  row.ticked_data = data;
  row.unticked = unticked;
  row.unticked_data = std::move(unticked_data);
  row.match = std::move(data);
  return row;
}

void ApplySettingsPage(Program& program, std::string_view log_entry, SettingsTable& table) {
  program.RestartPending = 1;
  program.log().AppendLogEntry(log_entry);
  table.Apply();
}

std::string_view RowName(const SettingRow& row) {
  struct Namer {
    std::string_view operator()(const CheckRow& r) const { return r.control; }
    std::string_view operator()(const OptionRow& r) const {
      return r.options.empty() ? std::string_view() : std::string_view(r.options.front().first);
    }
    std::string_view operator()(const SliderRow& r) const { return r.control; }
    std::string_view operator()(const HookRow& r) const { return r.name; }
  };
  return std::visit(Namer{}, row);
}

const Places& RowPlaces(const SettingRow& row) {
  return std::visit([](const auto& r) -> const Places& { return r.at; }, row);
}

SettingsTable::SettingsTable(store::Registry& reg, const ui::Form& form,
                             std::vector<SettingRow> rows)
    : reg_(reg), form_(form), rows_(std::move(rows)) {}

std::vector<const SettingRow*> SettingsTable::InOrder(int Places::*order, int first,
                                                      int last) const {
  std::vector<const SettingRow*> chosen;
  for (const SettingRow& row : rows_) {
    const int place = RowPlaces(row).*order;
    if (place >= 0 && place >= first && place <= last) chosen.push_back(&row);
  }
  std::stable_sort(chosen.begin(), chosen.end(), [order](const SettingRow* a, const SettingRow* b) {
    return RowPlaces(*a).*order < RowPlaces(*b).*order;
  });
  return chosen;
}

void SettingsTable::Load(int first, int last) {
  for (const SettingRow* placed : InOrder(&Places::load, first, last)) {
    const SettingRow& row = *placed;
    if (const auto* hook = std::get_if<HookRow>(&row)) {
      if (hook->load) hook->load();
    } else {
      std::visit(
          [this](const auto& r) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(r)>, HookRow>) LoadRow(r);
          },
          row);
    }
  }
}

void SettingsTable::Apply() {
  for (const SettingRow* placed : InOrder(&Places::apply, 0, INT_MAX)) {
    const SettingRow& row = *placed;
    if (const auto* hook = std::get_if<HookRow>(&row)) {
      if (hook->apply) hook->apply();
    } else {
      std::visit(
          [this](const auto& r) {
            if constexpr (!std::is_same_v<std::decay_t<decltype(r)>, HookRow>) ApplyRow(r);
          },
          row);
    }
  }
}

std::vector<std::string> SettingsTable::Unbound() const {
  std::vector<std::string> missing;
  auto need = [&](bool bound, std::string_view name) {
    if (!bound) missing.emplace_back(name);
  };
  for (const SettingRow& row : rows_) {
    if (const auto* c = std::get_if<CheckRow>(&row)) {
      need(form_.Get<ui::CheckBox>(c->control) != nullptr, c->control);
      if (!c->text_box.empty()) need(form_.Get<ui::TextBox>(c->text_box) != nullptr, c->text_box);
    } else if (const auto* o = std::get_if<OptionRow>(&row)) {
      for (const auto& [name, data] : o->options) {
        need(form_.Get<ui::OptionButton>(name) != nullptr, name);
      }
    } else if (const auto* s = std::get_if<SliderRow>(&row)) {
      need(form_.Get<ui::Slider>(s->control) != nullptr, s->control);
      need(form_.Get<ui::Label>(s->readout) != nullptr, s->readout);
    }
  }
  return missing;
}

std::vector<std::string> SettingsTable::Misplaced() const {
  std::vector<std::string> misplaced;
  for (int Places::*order : {&Places::load, &Places::apply}) {
    std::map<int, int> rows_at;
    for (const SettingRow& row : rows_) ++rows_at[RowPlaces(row).*order];
    for (const SettingRow& row : rows_) {
      const int place = RowPlaces(row).*order;
      if (place < 0 ? place != kNever : rows_at[place] > 1) {
        misplaced.emplace_back(RowName(row));
      }
    }
  }
  return misplaced;
}

// --- check boxes --------------------------------------------------------------

void SettingsTable::LoadRow(const CheckRow& row) {
  auto* box = form_.Get<ui::CheckBox>(row.control);
  auto* text = row.text_box.empty() ? nullptr : form_.Get<ui::TextBox>(row.text_box);
  if (!box) return;
  box->set_ticked(row.starts_ticked);
  if (text) text->set_text(row.start_text);
  store::Variant read = row.start;
  reg_.QueryValue(row.value.root, row.value.key, row.value.name, read);
  bool matched = row.match && ((read == *row.match) == row.match_when_equal);
  if (row.match_key_exists) {
    store::KeyHandle key;
    matched = reg_.OpenKey(row.value.root, row.value.key, store::kKeyRead, key) == store::kSuccess;
    if (matched) reg_.CloseKey(key);
  }
  if (matched) box->set_ticked(!row.starts_ticked);
  if (text && (row.fill_text == CheckRow::Text::kAlways ||
               (row.fill_text == CheckRow::Text::kOnMatch && matched))) {
    text->set_text(read.ToText());
  }
}

void SettingsTable::ApplyRow(const CheckRow& row) {
  auto* box = form_.Get<ui::CheckBox>(row.control);
  if (!box) return;
  const bool ticked = box->ticked();
  store::Variant data = ticked ? row.ticked_data : row.unticked_data;
  if (data.is_empty() && !row.text_box.empty()) {
    if (auto* text = form_.Get<ui::TextBox>(row.text_box)) data = store::Variant(text->text());
  }
  const RowAction action = ticked ? row.ticked : row.unticked;
  if (!ticked && row.unticked_keeps_other) {
    store::Variant stored;
    if (reg_.QueryValue(row.value.root, row.value.key, row.value.name, stored) == store::kSuccess &&
        !(stored == row.ticked_data)) {
      return;
    }
  }
  if (!row.companion.empty()) {
    const RegValue companion{row.value.root, row.value.key, row.companion};
    if (action == RowAction::kWrite && !CreatesFromNothing(row.value, data)) {
      Write(companion, store::kRegSz, 0, row.companion_data);
    } else if (action == RowAction::kDeleteValue) {
      reg_.DeleteValue(companion.root, companion.key, companion.name);
    }
  }
  Do(action, row.value, row.type, row.width, data);
}

// --- option buttons -----------------------------------------------------------

void SettingsTable::LoadRow(const OptionRow& row) {
  store::Variant read;
  if (reg_.QueryValue(row.value.root, row.value.key, row.value.name, read) != store::kSuccess)
    return;
  for (const auto& [name, data] : row.options) {
    if (read == data) {
      if (auto* option = form_.Get<ui::OptionButton>(name)) option->set_selected(true);
      return;
    }
  }
}

void SettingsTable::ApplyRow(const OptionRow& row) {
  for (const auto& [name, data] : row.options) {
    auto* option = form_.Get<ui::OptionButton>(name);
    if (option && option->selected()) {
      Write(row.value, row.type, row.width, data);
      return;
    }
  }
}

// --- sliders ------------------------------------------------------------------

void SettingsTable::LoadRow(const SliderRow& row) {
  auto* slider = form_.Get<ui::Slider>(row.control);
  if (!slider) return;
  store::Variant read;
  reg_.QueryValue(row.value.root, row.value.key, row.value.name, read);
  std::optional<std::int32_t> number = read.is_empty() ? std::nullopt : read.ToInt32();
  const std::int32_t stored = number.value_or(row.absent_position);
  slider->set_value(stored);
  unshown_.erase(row.control);
  if (number && slider->value() != stored) unshown_[row.control] = {slider->value(), stored};
  if (auto* label = form_.Get<ui::Label>(row.readout)) {
    std::string shown = read.is_empty() ? std::string() : read.ToText();
    if (read.is_empty() && row.absent_position != 0) shown = std::to_string(row.absent_position);
    label->set_caption(row.load_prefix.value_or(row.prefix) + shown + row.suffix);
  }
}

void SettingsTable::ApplyRow(const SliderRow& row) {
  auto* slider = form_.Get<ui::Slider>(row.control);
  if (!slider) return;
  // A stored value is always rewritten with the position; an absent one is
  // created only when the slider left 0. A number beyond the slider's end stays
  // while the slider stands where the load put it: the read-out still shows it.
  std::int32_t position = slider->value();
  if (auto it = unshown_.find(row.control);
      it != unshown_.end() && it->second.position == position) {
    position = it->second.stored;
  }
  store::Variant stored;
  reg_.QueryValue(row.value.root, row.value.key, row.value.name, stored);
  const bool present = !stored.is_empty() && !(stored.is_text() && stored.ToText().empty());
  if (present || !(stored == store::Variant(position))) {
    reg_.SetValue(row.value.root, row.value.key, row.value.name, store::kRegDword,
                  store::Variant(position));
  }
}

void BindSliderReadout(const ui::Form& form, const SliderRow& row) {
  auto* slider = form.Get<ui::Slider>(row.control);
  auto* label = form.Get<ui::Label>(row.readout);
  if (!slider || !label) return;
  auto show = [slider, label, row] {
    label->set_caption(row.prefix + std::to_string(slider->value()) + row.suffix);
  };
  slider->on_scroll = show;
  slider->on_change = show;
}

// --- writes -------------------------------------------------------------------

bool SettingsTable::CreatesFromNothing(const RegValue& value, const store::Variant& data) {
  return data.ToText().empty() && !Exists(reg_, value);
}

void SettingsTable::Write(const RegValue& value, std::uint32_t type, int width,
                          const store::Variant& data) {
  if (CreatesFromNothing(value, data)) return;
  if (type == kRegCountedText) {
    reg_.SetRawValue(value.root, value.key, value.name, store::kRegSz,
                     reg_.codepage().ToAnsi(data.ToText()));
    return;
  }
  store::Variant copy = data;
  std::int32_t size = width;
  reg_.SetValue(value.root, value.key, value.name, type, copy, size);
}

void SettingsTable::Do(RowAction action, const RegValue& value, std::uint32_t type, int width,
                       const store::Variant& data) {
  switch (action) {
    case RowAction::kNothing:
      break;
    case RowAction::kWrite:
      Write(value, type, width, data);
      break;
    case RowAction::kDeleteValue:
      reg_.DeleteValue(value.root, value.key, value.name);
      break;
    case RowAction::kDeleteKey:
      reg_.DeleteKey(value.root, value.key);
      break;
  }
}

}  // namespace korvanta::services
