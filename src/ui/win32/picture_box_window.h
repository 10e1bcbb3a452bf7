#pragma once
// A picture box: a window of our own class that shows its picture and holds
// controls (the main window's pages, the cleaner's panels).

#include "ui/controls.h"
#include "ui/win32/container_window.h"
#include "ui/win32/picture_image.h"

namespace korvanta::ui::win32 {

class PictureBoxWindow final : public ContainerWindow {
 public:
  PictureBoxWindow(FormWindow& form, PictureBox& box) : ContainerWindow(form, box), box_(box) {}
  void Create(HWND host) override;
  void PaintBackground(HDC dc, POINT origin) override;
  void ApplyFont() override;

 protected:
  void Sync(Property what, int first, int count) override;

 private:
  PictureBox& box_;
  PictureImage image_;
  int image_dpi_ = 0;
};

}  // namespace korvanta::ui::win32
