#include "app/win32/window_camera.h"

#include "store/win32/win32_text.h"
#include "ui/win32/png_writer.h"

namespace korvanta::app::win32 {
namespace {

BOOL CALLBACK CheckPending(HWND child, LPARAM pending) {
  if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) {
    *reinterpret_cast<bool*>(pending) = true;
  }
  return TRUE;
}

}  // namespace

bool CaptureWindow(HWND window, int& width, int& height, std::vector<std::uint8_t>& rgb) {
  RECT r{};
  if (!GetWindowRect(window, &r)) return false;
  width = r.right - r.left;
  height = r.bottom - r.top;
  if (width <= 0 || height <= 0) return false;
  HDC source = GetWindowDC(window);
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top row first
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bitmap && bits) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    ok = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY | CAPTUREBLT) != FALSE;
    GdiFlush();
    SelectObject(memory, old);
    const auto* bgra = static_cast<const std::uint8_t*>(bits);
    std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    rgb.resize(pixels * 3);
    for (std::size_t i = 0; i < pixels; ++i) {
      rgb[i * 3] = bgra[i * 4 + 2];
      rgb[i * 3 + 1] = bgra[i * 4 + 1];
      rgb[i * 3 + 2] = bgra[i * 4];
    }
  }
  if (bitmap) DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(window, source);
  return ok;
}

bool WriteFileBytes(const std::wstring& path, const std::string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  BOOL ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
  CloseHandle(file);
  return ok && written == bytes.size();
}

WindowCamera::WindowCamera(ui::win32::Renderer& renderer, std::wstring out_dir)
    : renderer_(renderer), out_dir_(std::move(out_dir)) {
  if (!out_dir_.empty() && out_dir_.back() != L'\\' && out_dir_.back() != L'/') out_dir_ += L'\\';
  CreateDirectoryW(out_dir_.c_str(), nullptr);
}

bool WindowCamera::PaintPending() const {
  bool pending = false;
  for (ui::win32::FormWindow* w : renderer_.windows()) {
    HWND h = w->hwnd();
    if (!h || !IsWindowVisible(h)) continue;
    if (GetUpdateRect(h, nullptr, FALSE)) pending = true;
    EnumChildWindows(h, CheckPending, reinterpret_cast<LPARAM>(&pending));
  }
  return pending;
}

void WindowCamera::Settle() {
  // A few rounds at least: a new window is mapped and exposed by the window
  // system after it is shown.
  for (int round = 0; round < 80; ++round) {
    renderer_.PumpPending();
    for (ui::win32::FormWindow* w : renderer_.windows()) {
      if (w->hwnd() && IsWindowVisible(w->hwnd())) {
        RedrawWindow(w->hwnd(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
      }
    }
    GdiFlush();
    if (round >= 4 && !PaintPending() && !GetQueueStatus(QS_ALLINPUT)) break;
    Sleep(25);
  }
}

bool WindowCamera::Shoot(ui::Form& form, const std::string& name) {
  ui::win32::FormWindow* w = renderer_.Find(form);
  if (!w || !w->hwnd() || !IsWindowVisible(w->hwnd())) return false;
  SetWindowPos(w->hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  Settle();
  int width = 0, height = 0;
  std::vector<std::uint8_t> rgb;
  if (!CaptureWindow(w->hwnd(), width, height, rgb)) return false;
  if (!WriteFileBytes(out_dir_ + store::Widen(name) + L".png",
                      ui::win32::EncodePng(width, height, rgb))) {
    return false;
  }
  ui::PixelRect expected = w->ModelSize();
  list_ +=
      name + " " + std::to_string(expected.width) + " " + std::to_string(expected.height) + "\n";
  return true;
}

bool WindowCamera::Finish(const std::vector<std::string>& missed) {
  std::string list = list_;
  for (const std::string& name : missed) list += "missing " + name + "\n";
  bool written = WriteFileBytes(out_dir_ + L"smoke.txt", list);
  return written && missed.empty();
}

}  // namespace korvanta::app::win32
