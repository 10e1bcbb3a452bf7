#include "ui/lists.h"

#include <algorithm>

namespace korvanta::ui {

void ComboBox::AddItem(std::string item) {
  items_.push_back(std::move(item));
  Notify(Property::kItems);
}

void ComboBox::Clear() {
  items_.clear();
  list_index_ = -1;
  Notify(Property::kItems);
}

void ComboBox::set_list_index(int index) {
  if (index < -1 || index >= static_cast<int>(items_.size())) return;
  list_index_ = index;
  if (index >= 0) set_text(items_[static_cast<std::size_t>(index)]);
  Notify(Property::kValue);
}

bool ComboBox::UserPick(const std::string& item) {
  if (!Interactive()) return false;
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return false;
  set_list_index(static_cast<int>(it - items_.begin()));
  if (on_click) on_click();
  return true;
}

void ComboBox::UserType(std::string text) {
  if (!Interactive() || !editable) return;
  auto it = std::find(items_.begin(), items_.end(), text);
  list_index_ = it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
  set_text(std::move(text));
  if (on_change) on_change();
}

void ListBox::AddItem(std::string text) {
  items_.push_back({std::move(text), false});
  Notify(Property::kItems);
}

void ListBox::Clear() {
  items_.clear();
  list_index_ = -1;
  Notify(Property::kItems);
}

void ListBox::set_selected(int i, bool selected) {
  if (i < 0 || i >= count()) return;
  Item& item = items_[static_cast<std::size_t>(i)];
  if (item.selected == selected) return;
  if (selected && !multi_select) {
    for (Item& other : items_) other.selected = false;
  }
  item.selected = selected;
  if (selected) list_index_ = i;
  Notify(Property::kValue);
}

void ListBox::set_list_index(int index) {
  if (index < -1 || index >= count()) return;
  list_index_ = index;
  if (index >= 0 && !multi_select) set_selected(index, true);
  Notify(Property::kValue);
}

int ListBox::Find(const std::string& text) const {
  for (int i = 0; i < count(); ++i) {
    if (items_[static_cast<std::size_t>(i)].text == text) return i;
  }
  return -1;
}

void ListBox::UserClickItem(int i) {
  if (!Interactive() || i < 0 || i >= count()) return;
  if (multi_select) {
    set_selected(i, !selected(i));
    list_index_ = i;
  } else {
    set_selected(i, true);
  }
  if (on_click) on_click();
}

void ListBox::UserSetItem(int i, bool selected_now) {
  if (!Interactive() || i < 0 || i >= count() || selected(i) == selected_now) return;
  set_selected(i, selected_now);
  list_index_ = i;
  if (on_click) on_click();
}

void TabStrip::AddTab(std::string caption, std::string tool_tip) {
  tabs_.push_back({std::move(caption), std::move(tool_tip)});
  Notify(Property::kItems);
}

void TabStrip::set_selected(int tab) {
  if (tab < 1 || tab > static_cast<int>(tabs_.size()) || tab == selected_) return;
  selected_ = tab;
  Notify(Property::kValue);
}

void TabStrip::UserSelectTab(int tab) {
  if (!Interactive() || tab < 1 || tab > static_cast<int>(tabs_.size())) return;
  set_selected(tab);
  if (on_click) on_click();
}

void StatusBar::AddPanel(int width) {
  panels_.push_back({{}, width});
  Notify(Property::kItems);
}

const std::string& StatusBar::panel_text(int panel) const {
  static const std::string kNone;
  if (panel < 1 || panel > static_cast<int>(panels_.size())) return kNone;
  return panels_[static_cast<std::size_t>(panel - 1)].text;
}

void StatusBar::set_panel_text(int panel, std::string text) {
  if (panel < 1 || panel > static_cast<int>(panels_.size())) return;
  auto& p = panels_[static_cast<std::size_t>(panel - 1)];
  if (p.text == text) return;
  p.text = std::move(text);
  Notify(Property::kItems);
}

}  // namespace korvanta::ui
