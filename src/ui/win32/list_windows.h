#pragma once
// Combo boxes (CBS_DROPDOWN when editable, CBS_DROPDOWNLIST when not) and list
// boxes (LBS_NOTIFY; LBS_MULTIPLESEL for multi-select lists).

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

 private:
  void ShowItems() override;
  void ShowSelection() override;
  ListBox& list_;
};

}  // namespace korvanta::ui::win32
