#include "ui/win32/button_windows.h"

#include "store/win32/win32_text.h"
#include "ui/win32/form_window.h"

namespace korvanta::ui::win32 {
namespace {

DWORD TextPlacement(const Appearance& a) {
  return a.align == Align::kRight ? BS_RIGHTBUTTON | BS_RIGHT : 0;
}

}  // namespace

void KeepColors(HWND button, const Appearance& appearance) {
  if (button && appearance.fore.type != Color::Type::kDefault) SetWindowTheme(button, L"", L"");
}

void CommandButtonWindow::Create(HWND host) {
  // Enter and Esc press these two, by the dialog manager's numbers.
  int id = button_.is_default ? IDOK : button_.is_cancel ? IDCANCEL : form_window().NextId();
  DWORD style = WS_TABSTOP | (button_.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  CreateChild(host, L"BUTTON", style, 0, Widen(button_.caption()), id);
}

void CommandButtonWindow::OnCommand(int code) {
  if (code == BN_CLICKED) UserAction([this] { button_.UserClick(); });
}

void CheckBoxWindow::Create(HWND host) {
  DWORD style = WS_TABSTOP | BS_CHECKBOX | BS_MULTILINE | TextPlacement(box_.appearance());
  CreateChild(host, L"BUTTON", style, 0, Widen(box_.caption()), form_window().NextId());
  KeepColors(hwnd_, box_.appearance());
  SendMessageW(hwnd_, BM_SETCHECK, box_.ticked() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void CheckBoxWindow::OnCommand(int code) {
  if (code != BN_CLICKED) return;
  UserAction([this] { box_.UserClick(); });
}

void CheckBoxWindow::Sync(Property what, int first, int count) {
  ControlWindow::Sync(what, first, count);
  if (what == Property::kValue) {
    SendMessageW(hwnd_, BM_SETCHECK, box_.ticked() ? BST_CHECKED : BST_UNCHECKED, 0);
  } else if (what == Property::kAppearance) {
    KeepColors(hwnd_, box_.appearance());
  }
}

void OptionButtonWindow::Create(HWND host) {
  DWORD style = WS_TABSTOP | BS_RADIOBUTTON | BS_MULTILINE | TextPlacement(option_.appearance());
  CreateChild(host, L"BUTTON", style, 0, Widen(option_.caption()), form_window().NextId());
  KeepColors(hwnd_, option_.appearance());
  SendMessageW(hwnd_, BM_SETCHECK, option_.selected() ? BST_CHECKED : BST_UNCHECKED, 0);
}

void OptionButtonWindow::OnCommand(int code) {
  // A radio button reports the second click of a double click as such.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
  UserAction([this] { option_.UserClick(); });
}

void OptionButtonWindow::Sync(Property what, int first, int count) {
  ControlWindow::Sync(what, first, count);
  if (what == Property::kValue) {
    SendMessageW(hwnd_, BM_SETCHECK, option_.selected() ? BST_CHECKED : BST_UNCHECKED, 0);
  } else if (what == Property::kAppearance) {
    KeepColors(hwnd_, option_.appearance());
  }
}

}  // namespace korvanta::ui::win32
