#pragma once
// A picture of the model, loaded for drawing: a bitmap or icon of the program's
// own resources, one of the system's message icons, a picture file of the machine
// (bmp, ico, or what OLE reads: jpg, gif, wmf) or one icon of a file.

#include "ui/controls.h"
#include "ui/win32/win32_ui.h"

struct IPicture;

namespace korvanta::ui::win32 {

class PictureImage {
 public:
  PictureImage() = default;
  ~PictureImage();
  PictureImage(const PictureImage&) = delete;
  PictureImage& operator=(const PictureImage&) = delete;

  void Load(const Picture& picture, HINSTANCE instance, int dpi);
  void Clear();
  // Draws at its natural size for the DPI, top-left corner at (x, y).
  void Draw(HDC dc, int x, int y, int dpi) const;
  // The natural size in pixels at dpi.
  SIZE Size(int dpi) const;

 private:
  HBITMAP bitmap_ = nullptr;
  SIZE bitmap_size_{};
  HICON icon_ = nullptr;
  bool own_icon_ = false;
  int icon_size_ = 32;  // pixels at 96 DPI
  IPicture* ole_ = nullptr;
};

}  // namespace korvanta::ui::win32
