#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {
namespace {

LRESULT CALLBACK Unrouted(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  // Messages before the object takes the window (WM_NCCREATE, WM_CREATE).
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

void Register(HINSTANCE instance, const wchar_t* name, bool top_level) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  wc.style = top_level ? 0 : CS_DBLCLKS;
  wc.lpfnWndProc = &Unrouted;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
  if (top_level) {
    wc.hIcon = static_cast<HICON>(
        LoadImageW(instance, L"korvanta", IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  }
  wc.lpszClassName = name;
  RegisterClassExW(&wc);
}

// Whether window is a combo box, or the edit of one, whose list is open.
bool DroppedDown(HWND window) {
  for (HWND h = window; h; h = GetParent(h)) {
    wchar_t name[16] = {};
    GetClassNameW(h, name, 16);
    if (lstrcmpiW(name, L"ComboBox") == 0) return SendMessageW(h, CB_GETDROPPEDSTATE, 0, 0) != 0;
    if (h != window) break;
  }
  return false;
}

}  // namespace

Renderer::Renderer(HINSTANCE instance) : instance_(instance) {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES |
              ICC_WIN95_CLASSES;
  InitCommonControlsEx(&icc);
  Register(instance_, kFormClass, true);
  Register(instance_, kPictureClass, false);
}

Renderer::~Renderer() {
  // The program (and its forms) may be gone: nothing touches the model now.
  for (auto& [form, w] : forms_) w->DetachAll(false);
  for (auto& w : graveyard_) w->DetachAll(false);
  forms_.clear();
  graveyard_.clear();
  UnregisterClassW(kFormClass, instance_);
  UnregisterClassW(kPictureClass, instance_);
}

FormWindow* Renderer::Find(const Form& form) const {
  auto it = forms_.find(&form);
  return it == forms_.end() ? nullptr : it->second.get();
}

FormWindow* Renderer::MainWindow() const {
  for (const auto& [form, w] : forms_) {
    if (w->main_window()) return w.get();
  }
  return nullptr;
}

FormWindow& Renderer::Realize(Form& form) {
  if (FormWindow* existing = Find(form)) return *existing;
  bool main = is_main_window && is_main_window(form);
  FormWindow* main_window = main ? nullptr : MainWindow();
  auto made = std::make_unique<FormWindow>(*this, form, main);
  FormWindow& w = *made;
  forms_[&form] = std::move(made);
  // The other windows belong to the main window: they stay in front of it and
  // have no taskbar button of their own.
  w.Create(main_window ? main_window->hwnd() : nullptr);
  return w;
}

void Renderer::Show(Form& form, const Form* over) {
  FormWindow& w = Realize(form);
  if (!w.hwnd()) return;
  if (!w.placed_once()) {
    FormWindow* over_window = over ? Find(*over) : nullptr;
    w.Center(over_window ? over_window->hwnd() : nullptr);
    w.set_placed_once();
  } else {
    BringWindowToTop(w.hwnd());  // shown again: to the front
  }
  ShowWindow(w.hwnd(), form.minimized() ? SW_SHOWMINIMIZED : SW_SHOW);
  // Activation may come before the window counts as visible, when none of its
  // controls can take the focus yet.
  HWND focus = GetFocus();
  if (GetActiveWindow() == w.hwnd() && (!focus || focus == w.hwnd())) w.FocusFirst();
  UpdateWindow(w.hwnd());
}

void Renderer::Unload(Form& form) {
  auto it = forms_.find(&form);
  if (it == forms_.end()) return;
  std::unique_ptr<FormWindow> w = std::move(it->second);
  forms_.erase(it);
  w->DetachAll(true);
  if (w->hwnd()) {
    // Destroying a window destroys the windows it owns: they are let go first.
    for (auto& [other_form, other] : forms_) {
      if (other->hwnd() && GetWindow(other->hwnd(), GW_OWNER) == w->hwnd()) {
        SetWindowLongPtrW(other->hwnd(), GWLP_HWNDPARENT, 0);
      }
    }
    ShowWindow(w->hwnd(), SW_HIDE);
  }
  graveyard_.push_back(std::move(w));
}

void Renderer::MakeTopmost(Form& form) {
  FormWindow& w = Realize(form);
  if (w.hwnd()) {
    SetWindowPos(w.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE | SWP_NOREDRAW);
  }
}

HWND Renderer::WindowOf(const Control& control) const {
  Form* form = control.form();
  if (!form) return nullptr;
  FormWindow* w = Find(*form);
  if (!w) return nullptr;
  ControlWindow* cw = w->WindowOf(control);
  return cw ? cw->hwnd() : nullptr;
}

std::vector<FormWindow*> Renderer::windows() const {
  std::vector<FormWindow*> list;
  for (const auto& [form, w] : forms_) list.push_back(w.get());
  return list;
}

bool Renderer::PreTranslate(MSG& msg) {
  if (!msg.hwnd) return false;
  HWND root = GetAncestor(msg.hwnd, GA_ROOT);
  FormWindow* form = nullptr;
  for (const auto& [model, w] : forms_) {
    if (w->hwnd() == root) {
      form = w.get();
      break;
    }
  }
  if (!form || form->detached()) return false;
  if (msg.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_MENU) >= 0) {
    // Tab, Enter and Esc by the model's order and buttons; arrows and mnemonics by
    // the dialog manager.
    switch (msg.wParam) {
      case VK_TAB:
        if (form->Tab(GetKeyState(VK_SHIFT) < 0)) return true;
        break;
      case VK_RETURN:
      case VK_ESCAPE: {
        HWND focus = GetFocus();
        LRESULT code =
            focus ? SendMessageW(focus, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&msg))
                  : 0;
        if (code & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE)) break;
        if (DroppedDown(focus)) break;  // the open list closes first
        if (msg.wParam == VK_RETURN && (code & DLGC_BUTTON) &&
            (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))) {
          SendMessageW(focus, BM_CLICK, 0, 0);
          return true;
        }
        if (form->PressDefault(msg.wParam == VK_ESCAPE)) return true;
        break;
      }
      default:
        break;
    }
  }
  return IsDialogMessageW(root, &msg) != FALSE;
}

int Renderer::RunMessageLoop() {
  MSG msg{};
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) Dispatch(msg);
  return static_cast<int>(msg.wParam);
}

void Renderer::PumpPending() {
  MSG msg{};
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // Left for the loop that waits for it.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
  CollectGarbage();
}

void Renderer::Dispatch(MSG& msg) {
  if (!PreTranslate(msg)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  CollectGarbage();
}

void Renderer::CollectGarbage() {
  if (action_depth_ == 0) graveyard_.clear();
}

void Renderer::UserAction(const std::function<void()>& action) {
  // Windows that go during the action are destroyed once no action runs.
  ++action_depth_;
  if (run_user_action) {
    run_user_action(action);
  } else {
    action();
  }
  --action_depth_;
}

void Renderer::RequestClose(Form& form) {
  UserAction([this, &form] {
    if (on_close_request) {
      on_close_request(form);
    } else {
      form.set_visible(false);
    }
  });
}

}  // namespace korvanta::ui::win32
