#include "ui/win32/slider_window.h"

#include <algorithm>

#include "ui/win32/form_window.h"

namespace korvanta::ui::win32 {

void SliderWindow::Create(HWND host) {
  CreateChild(host, TRACKBAR_CLASSW, WS_TABSTOP | TBS_HORZ | TBS_BOTTOM | TBS_AUTOTICKS, 0, L"",
              form_window().NextId());
  if (hwnd_) ShowRange();
}

void SliderWindow::ShowRange() {
  SendMessageW(hwnd_, TBM_SETRANGEMIN, FALSE, slider_.min());
  SendMessageW(hwnd_, TBM_SETRANGEMAX, FALSE, slider_.max());
  SendMessageW(hwnd_, TBM_SETLINESIZE, 0, slider_.small_change());
  SendMessageW(hwnd_, TBM_SETPAGESIZE, 0, slider_.large_change());
  SendMessageW(hwnd_, TBM_SETTICFREQ, static_cast<WPARAM>(std::max(1, slider_.tick_frequency())),
               0);
  SendMessageW(hwnd_, TBM_SETPOS, TRUE, slider_.value());
}

void SliderWindow::OnScroll(int code) {
  if (code == TB_ENDTRACK) return;
  int position = static_cast<int>(SendMessageW(hwnd_, TBM_GETPOS, 0, 0));
  if (position == slider_.value()) return;
  UserAction([this, position] { slider_.UserSlide(position); },
             [this, position] {
               if (slider_.value() != position)
                 SendMessageW(hwnd_, TBM_SETPOS, TRUE, slider_.value());
             });
}

void SliderWindow::Sync(Property what, int first, int count) {
  switch (what) {
    case Property::kRange:
      ShowRange();
      break;
    case Property::kValue:
      SendMessageW(hwnd_, TBM_SETPOS, TRUE, slider_.value());
      break;
    case Property::kAppearance:
      ControlWindow::Sync(what, first, count);
      // The trackbar keeps the background brush it was given last.
      SendMessageW(hwnd_, WM_SETFOCUS, 0, 0);
      SendMessageW(hwnd_, WM_KILLFOCUS, 0, 0);
      break;
    default:
      ControlWindow::Sync(what, first, count);
      break;
  }
}

}  // namespace korvanta::ui::win32
