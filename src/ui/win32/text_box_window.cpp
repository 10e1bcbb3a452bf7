#include "ui/win32/text_box_window.h"

#include "store/win32/win32_text.h"
#include "ui/win32/form_window.h"

namespace korvanta::ui::win32 {

void TextBoxWindow::Create(HWND host) {
  DWORD style = WS_TABSTOP;
  if (box_.multi_line) {
    style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL;
  } else {
    style |= ES_AUTOHSCROLL;
  }
  if (box_.password_char) style |= ES_PASSWORD;
  if (box_.locked) style |= ES_READONLY;
  if (box_.appearance().align == Align::kCenter) style |= ES_CENTER;
  if (box_.appearance().align == Align::kRight) style |= ES_RIGHT;
  DWORD ex_style = box_.appearance().border ? WS_EX_CLIENTEDGE : 0;
  CreateChild(host, L"EDIT", style, ex_style, WindowsText(box_.text()), form_window().NextId());
  if (hwnd_ && box_.password_char) {
    SendMessageW(hwnd_, EM_SETPASSWORDCHAR, static_cast<WPARAM>(box_.password_char), 0);
  }
}

void TextBoxWindow::ShowModelText() {
  std::wstring wanted = WindowsText(box_.text());
  if (store::Widen(WindowText()) != wanted) SetWindowTextW(hwnd_, wanted.c_str());
}

void TextBoxWindow::OnCommand(int code) {
  if (code != EN_CHANGE) return;
  std::string typed = WindowText();
  // A text box the model would not let change (locked) shows its text again.
  UserAction([this, &typed] { box_.UserType(typed); },
             [this, &typed] {
               if (box_.text() != typed) ShowModelText();
             });
}

void TextBoxWindow::Sync(Property what, int first, int count) {
  switch (what) {
    case Property::kCaption:
      ShowModelText();
      break;
    case Property::kAppearance:
      ControlWindow::Sync(what, first, count);
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    default:
      ControlWindow::Sync(what, first, count);
      break;
  }
}

LRESULT TextBoxWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_LBUTTONDOWN:
      mouse_down_ = true;
      break;
    case WM_LBUTTONUP: {
      LRESULT result = Default(msg, wparam, lparam);
      if (mouse_down_ && !detached()) {
        mouse_down_ = false;
        UserAction([this] { box_.UserClick(); });
      }
      return result;
    }
    default:
      break;
  }
  return Default(msg, wparam, lparam);
}

}  // namespace korvanta::ui::win32
