#pragma once
// Combo boxes, list boxes, tab strips and status bars.

#include <string>
#include <vector>

#include "ui/control.h"

namespace korvanta::ui {

class ComboBox final : public Control {
 public:
  explicit ComboBox(std::string name, int index = -1)
      : Control(Kind::kComboBox, std::move(name), index) {}
  const std::string& text() const { return caption(); }
  void set_text(std::string text) { set_caption(std::move(text)); }
  const std::vector<std::string>& items() const { return items_; }
  void AddItem(std::string item);
  void Clear();
  // -1 when the text is not an entry of the list.
  int list_index() const { return list_index_; }
  void set_list_index(int index);
  bool editable = true;  // a drop-down combo; otherwise a drop-down list
  std::function<void()> on_change;
  // Chooses an entry from the list: text and index, then Click. False when there
  // is no such entry.
  bool UserPick(const std::string& item);
  // Types text into the edit part, then Change.
  void UserType(std::string text);

 private:
  std::vector<std::string> items_;
  int list_index_ = -1;
};

class ListBox final : public Control {
 public:
  explicit ListBox(std::string name, int index = -1)
      : Control(Kind::kListBox, std::move(name), index) {}
  struct Item {
    std::string text;
    bool selected = false;
  };
  const std::vector<Item>& items() const { return items_; }
  int count() const { return static_cast<int>(items_.size()); }
  void AddItem(std::string text);
  void Clear();
  bool selected(int i) const { return items_.at(static_cast<std::size_t>(i)).selected; }
  void set_selected(int i, bool selected);
  int list_index() const { return list_index_; }
  void set_list_index(int index);
  int Find(const std::string& text) const;
  bool multi_select = false;
  // A click on item i: selects it (toggles it in a multi-select list), then Click.
  void UserClickItem(int i);
  // Selects or deselects item i as a user would; Click when it changed.
  void UserSetItem(int i, bool selected);

 private:
  std::vector<Item> items_;
  int list_index_ = -1;
};

class TabStrip final : public Control {
 public:
  explicit TabStrip(std::string name, int index = -1)
      : Control(Kind::kTabStrip, std::move(name), index) {}
  struct Tab {
    std::string caption;
    std::string tool_tip;
  };
  const std::vector<Tab>& tabs() const { return tabs_; }
  void AddTab(std::string caption, std::string tool_tip);
  // Tabs are numbered from 1.
  int selected() const { return selected_; }
  void set_selected(int tab);
  // A click on tab i (from 1): selects it, then Click.
  void UserSelectTab(int tab);

 private:
  std::vector<Tab> tabs_;
  int selected_ = 1;
};

class StatusBar final : public Control {
 public:
  explicit StatusBar(std::string name, int index = -1)
      : Control(Kind::kStatusBar, std::move(name), index) {}
  struct Panel {
    std::string text;
    int width = 0;  // twips; 0 takes the rest of the bar
  };
  const std::vector<Panel>& panels() const { return panels_; }
  void AddPanel(int width);
  // Panels are numbered from 1.
  const std::string& panel_text(int panel) const;
  void set_panel_text(int panel, std::string text);

 private:
  std::vector<Panel> panels_;
};

}  // namespace korvanta::ui
