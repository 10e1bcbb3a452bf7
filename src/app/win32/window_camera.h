#pragma once
// The smoke tour's camera for the Win32 windows: waits until the windows have
// painted, then copies a form's window from the screen into a PNG file. Each
// picture is listed in smoke.txt with the size the model gives the window, so a
// check can compare the two.

#include <cstdint>
#include <string>
#include <vector>

#include "app/smoke_tour.h"
#include "ui/win32/renderer.h"

namespace korvanta::app::win32 {

class WindowCamera final : public app::SmokeCamera {
 public:
  WindowCamera(ui::win32::Renderer& renderer, std::wstring out_dir);
  void Settle() override;
  bool Shoot(ui::Form& form, const std::string& name) override;
  // Notes what could not be taken in the list; false when anything is missing.
  bool Finish(const std::vector<std::string>& missed);

 private:
  bool PaintPending() const;

  ui::win32::Renderer& renderer_;
  std::wstring out_dir_;
  std::string list_;
};

// The window's pixels as they are on the screen, three bytes per pixel.
bool CaptureWindow(HWND window, int& width, int& height, std::vector<std::uint8_t>& rgb);
bool WriteFileBytes(const std::wstring& path, const std::string& bytes);

}  // namespace korvanta::app::win32
