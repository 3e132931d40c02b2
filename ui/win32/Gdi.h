#pragma once
// Small owners for GDI resources: each handle is given back by its destructor, and an object
// selected into a device context is put back when the selection goes out of scope.
#include <windows.h>

#include <utility>

namespace ui::win32 {

// Owns a font, brush or bitmap (anything DeleteObject frees).
template <class H>
class TGdiObject {
 public:
  TGdiObject() = default;
  explicit TGdiObject(H handle) : FHandle(handle) {}
  ~TGdiObject() { Reset(); }
  TGdiObject(TGdiObject&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
  TGdiObject& operator=(TGdiObject&& other) noexcept {
    if (this != &other) {
      Reset();
      FHandle = std::exchange(other.FHandle, nullptr);
    }
    return *this;
  }
  H Get() const { return FHandle; }
  explicit operator bool() const { return FHandle != nullptr; }
  void Reset(H handle = nullptr) {
    if (FHandle) DeleteObject(FHandle);
    FHandle = handle;
  }

 private:
  H FHandle = nullptr;
};
using TFontHandle = TGdiObject<HFONT>;
using TBrushHandle = TGdiObject<HBRUSH>;
using TBitmapHandle = TGdiObject<HBITMAP>;

// A device context made compatible with another (or with the screen); deleted on scope exit.
class TMemoryDC {
 public:
  explicit TMemoryDC(HDC compatibleWith = nullptr) : FDC(CreateCompatibleDC(compatibleWith)) {}
  ~TMemoryDC() {
    if (FDC) DeleteDC(FDC);
  }
  TMemoryDC(const TMemoryDC&) = delete;
  TMemoryDC& operator=(const TMemoryDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HDC FDC;
};

// The screen's (or a window's) device context, released on scope exit.
class TWindowDC {
 public:
  explicit TWindowDC(HWND hwnd = nullptr) : FHwnd(hwnd), FDC(GetDC(hwnd)) {}
  ~TWindowDC() {
    if (FDC) ReleaseDC(FHwnd, FDC);
  }
  TWindowDC(const TWindowDC&) = delete;
  TWindowDC& operator=(const TWindowDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HWND FHwnd;
  HDC FDC;
};

// BeginPaint ... EndPaint of one WM_PAINT.
class TPaintDC {
 public:
  explicit TPaintDC(HWND hwnd) : FHwnd(hwnd) { FDC = BeginPaint(hwnd, &FPaint); }
  ~TPaintDC() { EndPaint(FHwnd, &FPaint); }
  TPaintDC(const TPaintDC&) = delete;
  TPaintDC& operator=(const TPaintDC&) = delete;
  HDC Get() const { return FDC; }

 private:
  HWND FHwnd;
  PAINTSTRUCT FPaint{};
  HDC FDC;
};

// An object selected into a device context for a scope; the one it replaced goes back after.
class TSelectObject {
 public:
  TSelectObject(HDC dc, HGDIOBJ object) : FDC(dc), FOld(object ? SelectObject(dc, object) : nullptr) {}
  ~TSelectObject() {
    if (FOld) SelectObject(FDC, FOld);
  }
  TSelectObject(const TSelectObject&) = delete;
  TSelectObject& operator=(const TSelectObject&) = delete;

 private:
  HDC FDC;
  HGDIOBJ FOld;
};

}  // namespace ui::win32
