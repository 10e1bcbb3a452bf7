#include "ui/win32/control_window.h"

#include "store/win32/win32_text.h"
#include "ui/form.h"
#include "ui/win32/container_window.h"
#include "ui/win32/form_window.h"
#include "ui/win32/gdi_cache.h"
#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {
namespace {

constexpr const wchar_t* kObjectProperty = L"Korvanta.ControlWindow";

bool ShowsContainer(Kind kind) {
  switch (kind) {
    case Kind::kTextBox:
    case Kind::kComboBox:
    case Kind::kListBox:
    case Kind::kListView:
      return false;
    default:
      return true;
  }
}

}  // namespace

std::wstring WindowsText(const std::string& utf8) {
  std::wstring text = store::Widen(utf8);
  std::wstring out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == L'\n' && (i == 0 || text[i - 1] != L'\r')) out += L'\r';
    out += text[i];
  }
  return out;
}

ControlWindow::ControlWindow(FormWindow& form, Control& control) : form_(form), control_(&control) {
  control.set_observer(this);
}

ControlWindow::~ControlWindow() {
  // Forms destroy their windows; a child window destroyed with its parent has
  // already cleared hwnd_ in WM_NCDESTROY.
  if (hwnd_) {
    RemovePropW(hwnd_, kObjectProperty);
    if (original_) SetWindowLongPtrW(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original_));
  }
}

Renderer& ControlWindow::renderer() const {
  return form_.renderer();
}

void ControlWindow::Detach(bool touch_model) {
  if (detached_) return;
  detached_ = true;
  if (touch_model && control_->observer() == this) control_->set_observer(nullptr);
}

ControlWindow* ControlWindow::FromHwnd(HWND hwnd) {
  return hwnd ? static_cast<ControlWindow*>(GetPropW(hwnd, kObjectProperty)) : nullptr;
}

HWND ControlWindow::CreateChild(HWND host, const wchar_t* window_class, DWORD style, DWORD ex_style,
                                const std::wstring& text, int id) {
  PixelRect r = WindowRect();
  if (visible_in_host()) style |= WS_VISIBLE;
  if (!enabled_in_host()) style |= WS_DISABLED;
  HWND hwnd = CreateWindowExW(ex_style, window_class, text.c_str(),
                              style | WS_CHILD | WS_CLIPSIBLINGS, r.left, r.top, r.width, r.height,
                              host, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                              renderer().instance(), nullptr);
  placed_ = r;
  if (hwnd) Adopt(hwnd);
  return hwnd;
}

void ControlWindow::Adopt(HWND hwnd) {
  hwnd_ = hwnd;
  SetPropW(hwnd, kObjectProperty, this);
  auto proc = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC));
  if (proc != &Route) {
    original_ = proc;
    SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Route));
  }
  ApplyFont();
}

LRESULT CALLBACK ControlWindow::Route(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  ControlWindow* self = FromHwnd(hwnd);
  if (!self) return DefWindowProcW(hwnd, msg, wparam, lparam);
  if (msg == WM_NCDESTROY) {
    LRESULT result = self->Default(msg, wparam, lparam);
    RemovePropW(hwnd, kObjectProperty);
    self->hwnd_ = nullptr;
    return result;
  }
  return self->WindowProc(msg, wparam, lparam);
}

LRESULT ControlWindow::WindowProc(UINT msg, WPARAM wparam, LPARAM lparam) {
  return Default(msg, wparam, lparam);
}

LRESULT ControlWindow::Default(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (original_) return CallWindowProcW(original_, hwnd_, msg, wparam, lparam);
  return DefWindowProcW(hwnd_, msg, wparam, lparam);
}

void ControlWindow::RunUserAction(const std::function<void()>& action) {
  renderer().UserAction(action);
}

std::string ControlWindow::WindowText() const {
  int n = GetWindowTextLengthW(hwnd_);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  n = GetWindowTextW(hwnd_, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(n > 0 ? n : 0));
  return store::Narrow(text);
}

ContainerWindow* ControlWindow::host() const {
  for (Control* c = control_->parent(); c; c = c->parent()) {
    if (c->kind() == Kind::kForm || c->kind() == Kind::kPictureBox) {
      return static_cast<ContainerWindow*>(form_.WindowOf(*c));
    }
  }
  return nullptr;
}

int ControlWindow::dpi() const {
  return form_.dpi();
}

PixelRect ControlWindow::HostRect() const {
  // Frames are not windows that hold their controls: their offsets add up.
  int left = 0, top = 0;
  for (Control* c = control_->parent(); c && c->kind() == Kind::kFrame; c = c->parent()) {
    left += c->rect().left;
    top += c->rect().top;
  }
  return ToPixels(control_->rect(), dpi(), left, top);
}

bool ControlWindow::visible_in_host() const {
  if (!control_->visible()) return false;
  for (const Control* c = control_->parent(); c && c->kind() == Kind::kFrame; c = c->parent()) {
    if (!c->visible()) return false;
  }
  return true;
}

bool ControlWindow::enabled_in_host() const {
  if (!control_->enabled()) return false;
  for (const Control* c = control_->parent(); c && c->kind() == Kind::kFrame; c = c->parent()) {
    if (!c->enabled()) return false;
  }
  return true;
}

COLORREF ControlWindow::back_color() const {
  const Control* c = control_;
  if (!ShowsContainer(c->kind()))
    return ToColorRef(c->appearance().back, GetSysColor(COLOR_WINDOW));
  for (; c; c = c->parent()) {
    if (c->appearance().back.type != Color::Type::kDefault) {
      return ToColorRef(c->appearance().back, 0);
    }
  }
  return GetSysColor(COLOR_BTNFACE);
}

COLORREF ControlWindow::fore_color() const {
  int fallback = ShowsContainer(control_->kind()) ? COLOR_BTNTEXT : COLOR_WINDOWTEXT;
  return ToColorRef(control_->appearance().fore, GetSysColor(fallback));
}

HFONT ControlWindow::font() const {
  const Appearance& a = control_->appearance();
  int points = a.font_size;
  if (points == 0) points = form_.form().appearance().font_size;
  return renderer().gdi().Font(points, a.bold, dpi());
}

HBRUSH ControlWindow::OnCtlColor(HDC dc) {
  COLORREF back = back_color();
  SetTextColor(dc, enabled_in_host() || ShowsContainer(control_->kind())
                       ? fore_color()
                       : GetSysColor(COLOR_GRAYTEXT));
  SetBkColor(dc, back);
  return renderer().gdi().Brush(back);
}

void ControlWindow::Layout() {
  if (!hwnd_) return;
  PixelRect r = WindowRect();
  if (r == placed_) return;
  PixelRect old = placed_;
  placed_ = r;
  SetWindowPos(hwnd_, nullptr, r.left, r.top, r.width, r.height,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
  if (ContainerWindow* h = host()) {
    h->InvalidateSeeThrough(old, this);
    h->InvalidateSeeThrough(r, this);
  }
}

void ControlWindow::ApplyFont() {
  if (hwnd_) SendMessageW(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font()), TRUE);
}

void ControlWindow::ApplyVisible() {
  if (!hwnd_) return;
  bool show = visible_in_host();
  if (show == (IsWindowVisible(hwnd_) != FALSE)) return;
  ShowWindow(hwnd_, show ? SW_SHOWNA : SW_HIDE);
  if (ContainerWindow* h = host()) h->InvalidateSeeThrough(placed_, this);
}

void ControlWindow::ApplyEnabled() {
  if (hwnd_) EnableWindow(hwnd_, enabled_in_host());
}

void ControlWindow::Changed(Control&, Property what, int first, int count) {
  if (detached_ || (!hwnd_ && !windowless_)) return;
  Syncing syncing(*this);
  Sync(what, first, count);
}

void ControlWindow::Sync(Property what, int, int) {
  switch (what) {
    case Property::kCaption:
      SetWindowTextW(hwnd_, store::Widen(control_->caption()).c_str());
      break;
    case Property::kEnabled:
      form_.ForEachHosted(*control_, [](ControlWindow& w) { w.ApplyEnabled(); });
      InvalidateRect(hwnd_, nullptr, TRUE);
      break;
    case Property::kVisible:
      form_.ForEachHosted(*control_, [](ControlWindow& w) { w.ApplyVisible(); });
      break;
    case Property::kToolTip:
      form_.UpdateToolTip(*this);
      break;
    case Property::kRect:
      form_.ForEachHosted(*control_, [](ControlWindow& w) { w.Layout(); });
      break;
    case Property::kZOrder:
      form_.Arrange(*control_->parent());
      break;
    case Property::kAppearance:
      form_.ForEachHosted(*control_, [](ControlWindow& w) {
        w.ApplyFont();
        if (w.hwnd())
          RedrawWindow(w.hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
      });
      if (ContainerWindow* h = host()) h->InvalidateSeeThrough(placed_, this);
      break;
    default:
      break;
  }
}

void SelfPaintedWindow::Sync(Property what, int first, int count) {
  ControlWindow::Sync(what, first, count);
  if (what == Property::kCaption || what == Property::kEnabled || what == Property::kAppearance) {
    InvalidateSelf();
  }
}

void ItemsWindow::Sync(Property what, int first, int count) {
  switch (what) {
    case Property::kItems:
      ShowItems();
      break;
    case Property::kValue:
      ShowSelection();
      break;
    default:
      ControlWindow::Sync(what, first, count);
      break;
  }
}

bool ControlWindow::TrackMouse(UINT msg, WPARAM, LPARAM lparam) {
  int x = PixelsToTwips(static_cast<short>(LOWORD(lparam)), dpi());
  int y = PixelsToTwips(static_cast<short>(HIWORD(lparam)), dpi());
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
      Control& c = *control_;
      UserAction([&] { c.UserMouseDown(1, x, y); });
      if (detached_ || !hwnd_) return true;
      if (c.drags_window) {
        // The window moves as if its caption were dragged.
        HWND top = GetAncestor(hwnd_, GA_ROOT);
        POINT cursor{};
        GetCursorPos(&cursor);
        ReleaseCapture();
        SendMessageW(top, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(cursor.x, cursor.y));
        return true;
      }
      pressed_ = true;
      SetCapture(hwnd_);
      return true;
    }
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      Control& c = *control_;
      int button = msg == WM_RBUTTONDOWN ? 2 : 4;
      UserAction([&] { c.UserMouseDown(button, x, y); });
      return true;
    }
    case WM_LBUTTONUP: {
      if (!pressed_) return false;
      pressed_ = false;
      ReleaseCapture();
      RECT client{};
      GetClientRect(hwnd_, &client);
      POINT p{static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam))};
      if (PtInRect(&client, p)) {
        Control& c = *control_;
        UserAction([&] { c.UserClick(); });
      }
      return true;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return false;
    default:
      return false;
  }
}

void ControlWindow::PaintSelf(HDC dc) {
  PaintOffScreen(hwnd_, dc, [this](HDC memory) {
    if (see_through()) {
      if (ContainerWindow* h = host()) h->PaintBehind(memory, *this);
    }
    PaintTo(memory, {0, 0});
  });
}

bool ControlWindow::HandleSelfPaint(UINT msg, WPARAM wparam, LRESULT& result) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd_, &ps);
      PaintSelf(dc);
      EndPaint(hwnd_, &ps);
      result = 0;
      return true;
    }
    case WM_PRINTCLIENT:
      PaintSelf(reinterpret_cast<HDC>(wparam));
      result = 0;
      return true;
    case WM_ERASEBKGND:
      result = 1;
      return true;
    default:
      return false;
  }
}

void ControlWindow::InvalidateSelf() {
  InvalidateRect(hwnd_, nullptr, FALSE);
  if (ContainerWindow* h = host()) h->InvalidateSeeThrough(placed_, this);
}

}  // namespace korvanta::ui::win32
