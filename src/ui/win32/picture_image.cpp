#include "ui/win32/picture_image.h"

#include <olectl.h>

#include <string>

#include "store/win32/win32_text.h"
#include "ui/form.h"
#include "ui/win32/dpi.h"

namespace korvanta::ui::win32 {
namespace {

// The system's message icons by the model's resource names (IDI_ numbers).
int SystemIcon(const std::string& name) {
  switch (MessageIconOfResource(name).value_or(MessageIcon::kNone)) {
    case MessageIcon::kInformation:
      return 32516;
    case MessageIcon::kCritical:
      return 32513;
    case MessageIcon::kExclamation:
      return 32515;
    case MessageIcon::kQuestion:
      return 32514;
    case MessageIcon::kNone:
      break;
  }
  return 0;
}

bool EndsWith(const std::wstring& text, const wchar_t* tail) {
  std::wstring t(tail);
  if (text.size() < t.size()) return false;
  return CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, text.c_str() + text.size() - t.size(),
                        static_cast<int>(t.size()), t.c_str(),
                        static_cast<int>(t.size())) == CSTR_EQUAL;
}

}  // namespace

PictureImage::~PictureImage() {
  Clear();
}

void PictureImage::Clear() {
  if (bitmap_) DeleteObject(bitmap_);
  if (icon_ && own_icon_) DestroyIcon(icon_);
  if (ole_) ole_->Release();
  bitmap_ = nullptr;
  icon_ = nullptr;
  own_icon_ = false;
  ole_ = nullptr;
}

void PictureImage::Load(const Picture& picture, HINSTANCE instance, int dpi) {
  Clear();
  int icon_pixels = MulDiv(icon_size_, dpi, kBaseDpi);
  std::wstring source = store::Widen(picture.source);
  switch (picture.type) {
    case Picture::Type::kNone:
      return;
    case Picture::Type::kResource:
      if (int id = SystemIcon(picture.source)) {
        // Crisp at any size on Vista and later; the shared 32-pixel icon before.
        using LoadIconWithScaleDownFn = HRESULT(WINAPI*)(HINSTANCE, PCWSTR, int, int, HICON*);
        static const auto scale_down =
            reinterpret_cast<LoadIconWithScaleDownFn>(reinterpret_cast<void*>(
                GetProcAddress(GetModuleHandleW(L"comctl32.dll"), "LoadIconWithScaleDown")));
        if (scale_down && SUCCEEDED(scale_down(nullptr, MAKEINTRESOURCEW(id), icon_pixels,
                                               icon_pixels, &icon_))) {
          own_icon_ = true;
        } else {
          icon_ = LoadIconW(nullptr, MAKEINTRESOURCEW(id));
        }
        return;
      }
      bitmap_ = static_cast<HBITMAP>(
          LoadImageW(instance, source.c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
      if (!bitmap_) {
        icon_ = static_cast<HICON>(
            LoadImageW(instance, source.c_str(), IMAGE_ICON, icon_pixels, icon_pixels, 0));
        own_icon_ = icon_ != nullptr;
      }
      break;
    case Picture::Type::kFile:
      if (EndsWith(source, L".bmp")) {
        bitmap_ = static_cast<HBITMAP>(LoadImageW(nullptr, source.c_str(), IMAGE_BITMAP, 0, 0,
                                                  LR_LOADFROMFILE | LR_CREATEDIBSECTION));
      } else if (EndsWith(source, L".ico")) {
        icon_ = static_cast<HICON>(LoadImageW(nullptr, source.c_str(), IMAGE_ICON, icon_pixels,
                                              icon_pixels, LR_LOADFROMFILE));
        own_icon_ = icon_ != nullptr;
      } else {
        void* loaded = nullptr;
        if (SUCCEEDED(OleLoadPicturePath(source.data(), nullptr, 0, 0, IID_IPicture, &loaded))) {
          ole_ = static_cast<IPicture*>(loaded);
        }
      }
      break;
    case Picture::Type::kIcon: {
      // Icon locations often name their file through %SystemRoot%, which
      // ExtractIconEx does not expand itself.
      wchar_t expanded[MAX_PATH] = {};
      DWORD n = ExpandEnvironmentStringsW(source.c_str(), expanded, MAX_PATH);
      if (n > 0 && n <= MAX_PATH) source = expanded;
      HICON large = nullptr;
      if (ExtractIconExW(source.c_str(), picture.icon_index, &large, nullptr, 1) > 0 && large) {
        icon_ = large;
        own_icon_ = true;
      }
      break;
    }
  }
  if (bitmap_) {
    BITMAP info{};
    GetObjectW(bitmap_, sizeof(info), &info);
    bitmap_size_ = {info.bmWidth, info.bmHeight};
  }
}

SIZE PictureImage::Size(int dpi) const {
  if (bitmap_) {
    return {MulDiv(bitmap_size_.cx, dpi, kBaseDpi), MulDiv(bitmap_size_.cy, dpi, kBaseDpi)};
  }
  if (icon_) {
    int n = MulDiv(icon_size_, dpi, kBaseDpi);
    return {n, n};
  }
  if (ole_) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    ole_->get_Width(&width);
    ole_->get_Height(&height);
    return {MulDiv(width, dpi, 2540), MulDiv(height, dpi, 2540)};
  }
  return {0, 0};
}

void PictureImage::Draw(HDC dc, int x, int y, int dpi) const {
  SIZE size = Size(dpi);
  if (bitmap_) {
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ old = SelectObject(memory, bitmap_);
    if (size.cx == bitmap_size_.cx && size.cy == bitmap_size_.cy) {
      BitBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, SRCCOPY);
    } else {
      int mode = SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, x, y, size.cx, size.cy, memory, 0, 0, bitmap_size_.cx, bitmap_size_.cy,
                 SRCCOPY);
      SetStretchBltMode(dc, mode);
    }
    SelectObject(memory, old);
    DeleteDC(memory);
  } else if (icon_) {
    DrawIconEx(dc, x, y, icon_, size.cx, size.cy, 0, nullptr, DI_NORMAL);
  } else if (ole_) {
    OLE_XSIZE_HIMETRIC width = 0;
    OLE_YSIZE_HIMETRIC height = 0;
    ole_->get_Width(&width);
    ole_->get_Height(&height);
    ole_->Render(dc, x, y, size.cx, size.cy, 0, height, width, -height, nullptr);
  }
}

}  // namespace korvanta::ui::win32
