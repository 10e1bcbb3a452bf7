#include "ui/win32/picture_box_window.h"

#include "ui/win32/renderer.h"

namespace korvanta::ui::win32 {

void PictureBoxWindow::Create(HWND host) {
  DWORD ex_style = WS_EX_CONTROLPARENT | (box_.appearance().border ? WS_EX_CLIENTEDGE : 0);
  CreateChild(host, Renderer::kPictureClass, WS_CLIPCHILDREN, ex_style, L"");
  image_.Load(box_.picture(), renderer().instance(), dpi());
  image_dpi_ = dpi();
}

void PictureBoxWindow::ApplyFont() {
  // A new DPI: icons are loaded for their size on screen.
  if (image_dpi_ != 0 && image_dpi_ != dpi()) {
    image_.Load(box_.picture(), renderer().instance(), dpi());
    image_dpi_ = dpi();
  }
}

void PictureBoxWindow::PaintBackground(HDC dc, POINT origin) {
  ContainerWindow::PaintBackground(dc, origin);
  image_.Draw(dc, origin.x, origin.y, dpi());
}

void PictureBoxWindow::Sync(Property what, int first, int count) {
  if (what == Property::kPicture) {
    image_.Load(box_.picture(), renderer().instance(), dpi());
    image_dpi_ = dpi();
    RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    return;
  }
  ContainerWindow::Sync(what, first, count);
}

}  // namespace korvanta::ui::win32
