#include "WindowPicture.h"

#include <cstdio>
#include <vector>

bool SaveWindowPicture(HWND wnd, const std::wstring& file) {
  // The client area: under Xvfb there is no window manager to draw a frame.
  RECT r{};
  if (!GetClientRect(wnd, &r)) {
    fwprintf(stderr, L"%ls: no window to picture\n", file.c_str());
    return false;
  }
  MapWindowPoints(wnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  int w = r.right - r.left, h = r.bottom - r.top;
  // A window that is gone or not laid out yet gives no picture, never a file of a garbage size.
  if (w <= 0 || h <= 0 || w > 16384 || h > 16384) {
    fwprintf(stderr, L"%ls: a window of %dx%d is not pictured\n", file.c_str(), w, h);
    return false;
  }
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(mem, bmp);
  BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(mem, old);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = w;
  info.bmiHeader.biHeight = h;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  int stride = ((w * 3 + 3) / 4) * 4;
  std::vector<unsigned char> pixels(static_cast<size_t>(stride) * static_cast<size_t>(h));
  int lines = GetDIBits(mem, bmp, 0, static_cast<UINT>(h), pixels.data(), &info, DIB_RGB_COLORS);
  if (lines != h) fwprintf(stderr, L"%ls: GetDIBits gave %d of %d lines\n", file.c_str(), lines, h);
  DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER fh{};
  fh.bfType = 0x4D42;
  fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
  fh.bfSize = fh.bfOffBits + static_cast<DWORD>(pixels.size());
  FILE* f = _wfopen(file.c_str(), L"wb");
  if (!f) {
    fwprintf(stderr, L"%ls: cannot be written\n", file.c_str());
    return false;
  }
  fwrite(&fh, sizeof(fh), 1, f);
  fwrite(&info.bmiHeader, sizeof(BITMAPINFOHEADER), 1, f);
  fwrite(pixels.data(), 1, pixels.size(), f);
  fclose(f);
  return true;
}
