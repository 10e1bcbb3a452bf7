#include "ui/win32/button_windows.h"

#include "store/win32/win32_text.h"
#include "ui/win32/form_window.h"

namespace korvanta::ui::win32 {
namespace {

DWORD TextPlacement(const Appearance& a) {
  return a.align == Align::kRight ? BS_RIGHTBUTTON | BS_RIGHT : 0;
}

}  // namespace

void CommandButtonWindow::Create(HWND host) {
  // Enter and Esc press these two, by the dialog manager's numbers.
  int id = button_.is_default ? IDOK : button_.is_cancel ? IDCANCEL : form_window().NextId();
  DWORD style = WS_TABSTOP | (button_.is_default ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
  CreateChild(host, L"BUTTON", style, 0, store::Widen(button_.caption()), id);
}

void CommandButtonWindow::OnCommand(int code) {
  if (code == BN_CLICKED) UserAction([this] { button_.UserClick(); });
}

void StateButtonWindow::Create(HWND host) {
  DWORD style = WS_TABSTOP | style_ | BS_MULTILINE | TextPlacement(control().appearance());
  CreateChild(host, L"BUTTON", style, 0, store::Widen(control().caption()), form_window().NextId());
  KeepColors();
  ShowState();
}

void StateButtonWindow::OnCommand(int code) {
  // A radio button reports the second click of a double click as such.
  bool click = code == BN_CLICKED || (style_ == BS_RADIOBUTTON && code == BN_DOUBLECLICKED);
  if (click) UserAction([this] { control().UserClick(); });
}

void StateButtonWindow::Sync(Property what, int first, int count) {
  ControlWindow::Sync(what, first, count);
  if (what == Property::kValue) {
    ShowState();
  } else if (what == Property::kAppearance) {
    KeepColors();
  }
}

void StateButtonWindow::ShowState() {
  SendMessageW(hwnd_, BM_SETCHECK, on_() ? BST_CHECKED : BST_UNCHECKED, 0);
}

// One with a colour of its own draws unthemed: the visual styles ignore the text
// colour.
void StateButtonWindow::KeepColors() {
  if (hwnd_ && control().appearance().fore.type != Color::Type::kDefault) {
    SetWindowTheme(hwnd_, L"", L"");
  }
}

}  // namespace korvanta::ui::win32
