#pragma once
// What the Win32 renderer's tests share: a renderer whose windows are real
// windows on Wine's (virtual) screen, and a user who clicks and types through
// SendInput, so every action goes the way a real one does (hit testing,
// capture, focus, the control's own message handling).

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "ui/form.h"
#include "ui/win32/renderer.h"

namespace korvanta::ui::win32::test {

class GuiTest : public ::testing::Test {
 protected:
  GuiTest();
  ~GuiTest() override;

  Renderer& renderer() { return *renderer_; }
  // Shows the form as the program would (visible, then shown) and lets it paint.
  void ShowForm(Form& form);
  // Handles messages for a while (at least one round).
  void Pump(int milliseconds = 60);
  HWND Window(const Control& control) const { return renderer_->WindowOf(control); }
  // Where the control's window is on the screen.
  RECT ScreenRect(const Control& control) const;

  // The left button pressed and released at a point of the window's client area
  // (its middle by default).
  void Click(HWND window, POINT at);
  void Click(const Control& control);
  void RightClick(const Control& control);
  // Presses the left button on from, moves to to (screen points) and lets go.
  void Drag(POINT from, POINT to);
  // A key pressed and released (virtual-key code) in the window with the focus.
  void Press(WORD key);
  // Characters typed into the window with the focus.
  void Type(const std::wstring& text);
  // Gives the control's form the foreground and the control the focus.
  void Focus(const Control& control);

  // User actions the renderer ended (Program::RunPosted would run after each).
  int actions_done = 0;

 private:
  std::unique_ptr<Renderer> renderer_;
};

// The text of a window, as UTF-8.
std::string TextOf(HWND window);

}  // namespace korvanta::ui::win32::test
