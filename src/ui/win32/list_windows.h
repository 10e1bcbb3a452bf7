#pragma once
// Combo boxes (CBS_DROPDOWN when editable, CBS_DROPDOWNLIST when not) and list
// boxes (LBS_NOTIFY; LBS_MULTIPLESEL for multi-select lists). A list box draws
// its own items so that one wider than the list wraps onto further lines; it
// keeps its strings (LBS_HASSTRINGS), so LB_GETTEXT and the like still answer.

#include "ui/lists.h"
#include "ui/win32/control_window.h"

namespace korvanta::ui::win32 {

class ComboBoxWindow final : public ItemsWindow {
 public:
  ComboBoxWindow(FormWindow& form, ComboBox& combo) : ItemsWindow(form, combo), combo_(combo) {}
  void Create(HWND host) override;
  void OnCommand(int code) override;
  PixelRect WindowRect() const override;

 protected:
  void Sync(Property what, int first, int count) override;

 private:
  void ShowItems() override;
  void ShowSelection() override;
  ComboBox& combo_;
};

class ListBoxWindow final : public ItemsWindow {
 public:
  ListBoxWindow(FormWindow& form, ListBox& list) : ItemsWindow(form, list), list_(list) {}
  void Create(HWND host) override;
  void OnCommand(int code) override;
  bool OnMeasureItem(MEASUREITEMSTRUCT& item) override;
  bool OnDrawItem(const DRAWITEMSTRUCT& item) override;
  void ApplyFont() override;

 private:
  void ShowItems() override;
  void ShowSelection() override;
  // Where an item's text goes: the width the list leaves it with its scroll bar
  // shown, so the lines do not change when the bar comes.
  RECT TextRoom(int top) const;
  ListBox& list_;
};

}  // namespace korvanta::ui::win32
