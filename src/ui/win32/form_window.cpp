#include "ui/win32/form_window.h"

#include "store/win32/win32_text.h"
#include "ui/controls.h"
#include "ui/win32/renderer.h"
#include "ui/win32/timer_control.h"

namespace korvanta::ui::win32 {
namespace {

bool TakesFocus(Kind kind) {
  switch (kind) {
    case Kind::kCommandButton:
    case Kind::kCheckBox:
    case Kind::kOptionButton:
    case Kind::kTextBox:
    case Kind::kComboBox:
    case Kind::kListBox:
    case Kind::kListView:
    case Kind::kSlider:
    case Kind::kTabStrip:
      return true;
    default:
      return false;
  }
}

Control& HostOf(const Control& control) {
  Control* c = const_cast<Control*>(&control);
  while (c->parent() && c->kind() != Kind::kForm && c->kind() != Kind::kPictureBox) {
    c = c->parent();
  }
  return *c;
}

// Not behind another page: a picture box the user can see at its centre.
bool Uncovered(HWND control, HWND form) {
  for (HWND h = GetParent(control); h && h != form; h = GetParent(h)) {
    HWND parent = GetParent(h);
    RECT r{};
    GetWindowRect(h, &r);
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ScreenToClient(parent, &centre);
    if (ChildWindowFromPointEx(parent, centre, CWP_SKIPINVISIBLE) != h) return false;
  }
  return true;
}

}  // namespace

FormWindow::FormWindow(Renderer& renderer, Form& form, bool main_window)
    : ContainerWindow(*this, form), renderer_(renderer), model_(form), main_window_(main_window) {}

FormWindow::~FormWindow() {
  if (tool_tip_) DestroyWindow(tool_tip_);
  if (hwnd_) DestroyWindow(hwnd_);
  windows_.clear();
  for (HICON icon : icons_) DestroyIcon(icon);
}

PixelRect FormWindow::ModelSize() const {
  return ToPixels({0, 0, model_.rect().width, model_.rect().height}, dpi_);
}

void FormWindow::Create(HWND owner) {
  dpi_ = SystemDpi();
  DWORD style = WS_POPUP | WS_CLIPCHILDREN;
  if (main_window_) style |= WS_SYSMENU | WS_MINIMIZEBOX;
  if (model_.appearance().border) style |= WS_BORDER;
  PixelRect size = ModelSize();
  HWND hwnd = CreateWindowExW(WS_EX_CONTROLPARENT, Renderer::kFormClass,
                              store::Widen(model_.caption()).c_str(), style, 0, 0, size.width,
                              size.height, owner, nullptr, renderer_.instance(), nullptr);
  if (!hwnd) return;
  Adopt(hwnd);
  int actual = WindowDpi(hwnd);
  if (actual != dpi_) {
    dpi_ = actual;
    size = ModelSize();
    SetWindowPos(hwnd, nullptr, 0, 0, size.width, size.height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  if (!model_.icon.empty()) {
    std::wstring name = store::Widen(model_.icon);
    for (bool big : {true, false}) {
      int cx = GetSystemMetrics(big ? SM_CXICON : SM_CXSMICON);
      int cy = GetSystemMetrics(big ? SM_CYICON : SM_CYSMICON);
      auto icon =
          static_cast<HICON>(LoadImageW(renderer_.instance(), name.c_str(), IMAGE_ICON, cx, cy, 0));
      if (!icon) continue;
      icons_.push_back(icon);
      SendMessageW(hwnd, WM_SETICON, big ? ICON_BIG : ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    }
  }
  tool_tip_ =
      CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                      WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT, CW_USEDEFAULT,
                      CW_USEDEFAULT, CW_USEDEFAULT, hwnd, nullptr, renderer_.instance(), nullptr);
  if (tool_tip_) SendMessageW(tool_tip_, TTM_SETMAXTIPWIDTH, 0, 480);

  Build(model_);
  Arrange(model_);
  for (const auto& [control, w] : windows_) {
    if (control->kind() == Kind::kPictureBox) Arrange(*control);
    if (!control->tool_tip().empty()) UpdateToolTip(*w);
  }
  ReportSize();
}

void FormWindow::Build(Control& container) {
  for (Control* child : container.children()) {
    std::unique_ptr<ControlWindow> made = MakeControlWindow(*this, *child);
    if (!made) continue;
    ControlWindow& w = *made;
    windows_[child] = std::move(made);
    ContainerWindow* h = w.host();
    w.Create(h ? h->hwnd() : hwnd_);
    if (child->kind() == Kind::kPictureBox || child->kind() == Kind::kFrame) Build(*child);
  }
}

ControlWindow* FormWindow::WindowOf(const Control& control) const {
  if (&control == &model_) return const_cast<FormWindow*>(this);
  auto it = windows_.find(&control);
  return it == windows_.end() ? nullptr : it->second.get();
}

void FormWindow::Collect(const Control& container, std::vector<ControlWindow*>& out) const {
  for (Control* child : container.children()) {
    if (child->kind() == Kind::kFrame) Collect(*child, out);
    if (ControlWindow* w = WindowOf(*child)) out.push_back(w);
  }
}

std::vector<ControlWindow*> FormWindow::HostedOrder(const Control& host) const {
  std::vector<ControlWindow*> out;
  Collect(HostOf(host), out);
  return out;
}

void FormWindow::Arrange(const Control& any) {
  HWND previous = HWND_TOP;
  for (ControlWindow* w : HostedOrder(any)) {
    HWND h = w->hwnd();
    if (!h) continue;
    HWND above = GetWindow(h, GW_HWNDPREV);
    if (above != (previous == HWND_TOP ? nullptr : previous)) {
      SetWindowPos(h, previous, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    }
    previous = h;
  }
}

void FormWindow::ForEachHosted(const Control& root, const std::function<void(ControlWindow&)>& fn) {
  if (ControlWindow* w = WindowOf(root)) fn(*w);
  if (root.kind() != Kind::kFrame) return;
  for (Control* child : root.children()) ForEachHosted(*child, fn);
}

void FormWindow::UpdateToolTip(ControlWindow& w) {
  if (!tool_tip_ || !w.hwnd() || &w == this || w.control().kind() == Kind::kTabStrip) return;
  TTTOOLINFOW info{};
  info.cbSize = TTTOOLINFOW_V2_SIZE;
  info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  info.hwnd = GetParent(w.hwnd());
  info.uId = reinterpret_cast<UINT_PTR>(w.hwnd());
  SendMessageW(tool_tip_, TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&info));
  std::wstring tip = store::Widen(w.control().tool_tip());
  if (tip.empty()) return;
  info.lpszText = tip.data();
  SendMessageW(tool_tip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&info));
}

ControlWindow* FormWindow::ToolTipOwner(HWND tool_tip) const {
  for (const auto& [control, w] : windows_) {
    if (control->kind() == Kind::kTabStrip && w->hwnd() &&
        reinterpret_cast<HWND>(SendMessageW(w->hwnd(), TCM_GETTOOLTIPS, 0, 0)) == tool_tip) {
      return w.get();
    }
  }
  return nullptr;
}

void FormWindow::DetachAll(bool touch_model) {
  for (auto& [control, w] : windows_) w->Detach(touch_model);
  Detach(touch_model);
}

void FormWindow::Center(HWND over) {
  if (!hwnd_) return;
  RECT mine{};
  GetWindowRect(hwnd_, &mine);
  int width = mine.right - mine.left, height = mine.bottom - mine.top;
  MONITORINFO monitor{};
  monitor.cbSize = sizeof(monitor);
  bool over_shown = over && IsWindowVisible(over) && !IsIconic(over);
  GetMonitorInfoW(MonitorFromWindow(over_shown ? over : hwnd_, MONITOR_DEFAULTTOPRIMARY), &monitor);
  RECT area = monitor.rcWork;
  if (over_shown) GetWindowRect(over, &area);
  int x = area.left + (area.right - area.left - width) / 2;
  int y = area.top + (area.bottom - area.top - height) / 2;
  // Kept on the screen, title first.
  const RECT& work = monitor.rcWork;
  if (x + width > work.right) x = work.right - width;
  if (y + height > work.bottom) y = work.bottom - height;
  if (x < work.left) x = work.left;
  if (y < work.top) y = work.top;
  SetWindowPos(hwnd_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::vector<HWND> FormWindow::TabStops() const {
  std::vector<HWND> stops;
  for (Control* c : model_.all()) {
    ControlWindow* w = WindowOf(*c);
    if (!w || !w->hwnd() || !TakesFocus(c->kind())) continue;
    if (!IsWindowVisible(w->hwnd()) || !IsWindowEnabled(w->hwnd())) continue;
    // Of a group of option buttons only the selected one is a stop.
    if (c->kind() == Kind::kOptionButton && !static_cast<OptionButton*>(c)->selected()) continue;
    if (!Uncovered(w->hwnd(), hwnd_)) continue;
    stops.push_back(w->hwnd());
  }
  return stops;
}

void FormWindow::FocusFirst() {
  std::vector<HWND> stops = TabStops();
  SetFocus(stops.empty() ? hwnd_ : stops.front());
}

bool FormWindow::Tab(bool backwards) {
  std::vector<HWND> stops = TabStops();
  if (stops.empty()) return false;
  HWND focus = GetFocus();
  std::size_t at = stops.size();
  for (std::size_t i = 0; i < stops.size(); ++i) {
    if (stops[i] == focus || IsChild(stops[i], focus)) at = i;
  }
  std::size_t next;
  if (at == stops.size()) {
    next = backwards ? stops.size() - 1 : 0;
  } else {
    next = backwards ? (at + stops.size() - 1) % stops.size() : (at + 1) % stops.size();
  }
  HWND target = stops[next];
  SetFocus(target);
  // As in a dialog, an edit box reached with Tab has its text selected.
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) {
    SendMessageW(target, EM_SETSEL, 0, -1);
  }
  return true;
}

bool FormWindow::PressDefault(bool cancel) {
  for (Control* c : model_.all()) {
    if (c->kind() != Kind::kCommandButton) continue;
    auto* button = static_cast<CommandButton*>(c);
    if (cancel ? !button->is_cancel : !button->is_default) continue;
    UserAction([button] { button->UserClick(); });
    return true;
  }
  return false;
}

void FormWindow::ReportSize() {
  if (!hwnd_ || IsIconic(hwnd_) || reporting_size_) return;
  RECT r{};
  GetWindowRect(hwnd_, &r);
  PixelRect model = ModelSize();
  int width = r.right - r.left, height = r.bottom - r.top;
  // The model's own twips when the window has the size they make, so that
  // rounding never creeps into the model.
  int tw = width == model.width ? model_.rect().width : PixelsToTwips(width, dpi_);
  int th = height == model.height ? model_.rect().height : PixelsToTwips(height, dpi_);
  reporting_size_ = true;
  model_.Resize(tw, th);
  reporting_size_ = false;
}

void FormWindow::DpiChanged(int dpi, const RECT& suggested) {
  dpi_ = dpi;
  PixelRect size = ModelSize();
  SetWindowPos(hwnd_, nullptr, suggested.left, suggested.top, size.width, size.height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  for (auto& [control, w] : windows_) {
    w->ApplyFont();
    w->Layout();
  }
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  ReportSize();
}

void FormWindow::Sync(Property what, int first, int count) {
  switch (what) {
    case Property::kVisible:
      if (!model_.visible()) {
        ShowWindow(hwnd_, SW_HIDE);
      } else if (placed_once_) {
        ShowWindow(hwnd_, SW_SHOW);
      }
      break;
    case Property::kRect: {
      if (reporting_size_) break;
      PixelRect size = ModelSize();
      SetWindowPos(hwnd_, nullptr, 0, 0, size.width, size.height,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
      break;
    }
    case Property::kValue:
      if (model_.minimized() != (IsIconic(hwnd_) != FALSE)) {
        ShowWindow(hwnd_, model_.minimized() ? SW_MINIMIZE : SW_RESTORE);
      }
      break;
    case Property::kAppearance: {
      auto style = static_cast<DWORD>(GetWindowLongPtrW(hwnd_, GWL_STYLE));
      DWORD wanted = model_.appearance().border ? style | WS_BORDER : style & ~DWORD{WS_BORDER};
      if (wanted != style) {
        SetWindowLongPtrW(hwnd_, GWL_STYLE, static_cast<LONG_PTR>(wanted));
        SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
      }
      RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      break;
    }
    default:
      ContainerWindow::Sync(what, first, count);
      break;
  }
}

LRESULT FormWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_COMMAND:
      // Enter and Esc, as the dialog manager reports them (lparam 0: the button
      // is not a direct child of the form).
      if (lparam == 0 && (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL)) {
        if (!detached()) PressDefault(LOWORD(wparam) == IDCANCEL);
        return 0;
      }
      break;
    case WM_SIZE:
      if (detached() || reporting_size_) break;
      if (wparam == SIZE_MINIMIZED) {
        if (!model_.minimized()) {
          Syncing syncing(*this);
          model_.set_minimized(true);
        }
      } else {
        if (model_.minimized()) {
          Syncing syncing(*this);
          model_.set_minimized(false);
        }
        ReportSize();
      }
      break;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(hwnd_, focus)) saved_focus_ = focus;
      } else if (!IsIconic(hwnd_)) {
        if (saved_focus_ && IsWindow(saved_focus_) && IsChild(hwnd_, saved_focus_) &&
            IsWindowVisible(saved_focus_)) {
          SetFocus(saved_focus_);
        } else {
          FocusFirst();
        }
        return 0;
      }
      break;
    case WM_CLOSE:
      if (!detached()) renderer_.RequestClose(model_);
      return 0;
    case WM_TIMER:
      for (auto& [control, w] : windows_) {
        if (control->kind() == Kind::kTimer && static_cast<TimerControl&>(*w).Fire(wparam)) {
          return 0;
        }
      }
      break;
    case kWmDpiChanged:
      DpiChanged(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
      return 0;
    default:
      break;
  }
  return ContainerWindow::WindowProc(msg, wparam, lparam);
}

}  // namespace korvanta::ui::win32
