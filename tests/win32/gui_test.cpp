#include "gui_test.h"

#include <vector>

#include "store/win32/win32_text.h"

namespace korvanta::ui::win32::test {
namespace {

INPUT MouseInput(POINT screen, DWORD flags) {
  // Absolute coordinates: 0..65535 across the primary screen.
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((screen.x * 65536LL + width / 2) / width);
  in.mi.dy = static_cast<LONG>((screen.y * 65536LL + height / 2) / height);
  in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  return in;
}

}  // namespace

std::string TextOf(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(n) + 1, L'\0');
  n = GetWindowTextW(window, text.data(), n + 1);
  text.resize(static_cast<std::size_t>(n));
  return store::Narrow(text);
}

GuiTest::GuiTest() : renderer_(std::make_unique<Renderer>(GetModuleHandleW(nullptr))) {
  renderer_->run_user_action = [this](const std::function<void()>& action) {
    action();
    ++actions_done;
  };
}

GuiTest::~GuiTest() {
  renderer_.reset();
  Pump(0);
}

void GuiTest::ShowForm(Form& form) {
  form.set_visible(true);
  renderer_->Show(form, nullptr);
  HWND window = renderer_->WindowOf(form);
  if (window) SetForegroundWindow(window);
  Pump(150);
}

void GuiTest::Pump(int milliseconds) {
  DWORD start = GetTickCount();
  do {
    if (renderer_) {
      renderer_->PumpPending();
    } else {
      MSG msg;
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    }
    Sleep(10);
  } while (GetTickCount() - start < static_cast<DWORD>(milliseconds));
  if (renderer_) renderer_->PumpPending();
}

RECT GuiTest::ScreenRect(const Control& control) const {
  RECT r{};
  GetWindowRect(Window(control), &r);
  return r;
}

void GuiTest::Click(HWND window, POINT at) {
  ClientToScreen(window, &at);
  INPUT in[3] = {MouseInput(at, 0), MouseInput(at, MOUSEEVENTF_LEFTDOWN),
                 MouseInput(at, MOUSEEVENTF_LEFTUP)};
  SendInput(3, in, sizeof(INPUT));
  Pump();
}

void GuiTest::Click(const Control& control) {
  HWND window = Window(control);
  RECT client{};
  GetClientRect(window, &client);
  Click(window, {client.right / 2, client.bottom / 2});
}

void GuiTest::RightClick(const Control& control) {
  HWND window = Window(control);
  RECT client{};
  GetClientRect(window, &client);
  POINT at{client.right / 2, client.bottom / 2};
  ClientToScreen(window, &at);
  INPUT in[3] = {MouseInput(at, 0), MouseInput(at, MOUSEEVENTF_RIGHTDOWN),
                 MouseInput(at, MOUSEEVENTF_RIGHTUP)};
  SendInput(3, in, sizeof(INPUT));
  Pump();
}

void GuiTest::Drag(POINT from, POINT to) {
  POINT middle{(from.x + to.x) / 2, (from.y + to.y) / 2};
  INPUT in[5] = {MouseInput(from, 0), MouseInput(from, MOUSEEVENTF_LEFTDOWN), MouseInput(middle, 0),
                 MouseInput(to, 0), MouseInput(to, MOUSEEVENTF_LEFTUP)};
  SendInput(5, in, sizeof(INPUT));
  Pump(200);
}

void GuiTest::Press(WORD key) {
  INPUT in[2]{};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = key;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
  Pump();
}

void GuiTest::Type(const std::wstring& text) {
  std::vector<INPUT> in;
  for (wchar_t c : text) {
    INPUT down{};
    down.type = INPUT_KEYBOARD;
    down.ki.wScan = c;
    down.ki.dwFlags = KEYEVENTF_UNICODE;
    INPUT up = down;
    up.ki.dwFlags |= KEYEVENTF_KEYUP;
    in.push_back(down);
    in.push_back(up);
  }
  SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  Pump();
}

void GuiTest::Focus(const Control& control) {
  HWND window = Window(control);
  SetForegroundWindow(GetAncestor(window, GA_ROOT));
  SetFocus(window);
  Pump();
}

}  // namespace korvanta::ui::win32::test
