#include "ui/win32/Drawing.h"

#include <map>
#include <tuple>
#include <utility>

#include "platform/win32/Wide.h"
#include "ui/PictureScale.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Gdi.h"

using platform::win32::Wide;

namespace ui::win32 {

namespace {

// Everything made here lives as long as the program and is freed when it ends. A window that
// outlives it (a form held by another static object) still gets usable stock objects then.
struct TGdiCache {
  std::map<std::tuple<std::string, int, bool>, TFontHandle> fonts;
  std::map<TColor, TBrushHandle> brushes;
  std::map<std::pair<std::string, int>, TBitmapHandle> pictures;
  TMemoryDC measure;
  ~TGdiCache() { gone = true; }
  static inline bool gone = false;
};

TGdiCache& Cache() {
  static TGdiCache cache;
  return cache;
}

HINSTANCE Instance() { return GetModuleHandleW(nullptr); }

// A 32-bit top-down copy of a bitmap at a smaller size (ShrinkPixels).
TBitmapHandle ShrinkPicture(HBITMAP source, int width, int height) {
  SIZE size = BitmapSize(source);
  TPixels src{size.cx, size.cy, {}};
  if (src.Width <= 0 || src.Height <= 0 || width <= 0 || height <= 0) return {};
  src.Data.resize(static_cast<size_t>(src.Width) * src.Height * 4);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = src.Width;
  bi.bmiHeader.biHeight = -src.Height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biCompression = BI_RGB;
  TWindowDC screen;
  if (!GetDIBits(screen.Get(), source, 0, static_cast<UINT>(src.Height), src.Data.data(), &bi, DIB_RGB_COLORS))
    return {};
  TPixels small = ShrinkPixels(src, width, height);
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  void* bits = nullptr;
  TBitmapHandle result(CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!result || small.Data.empty()) return {};
  std::copy(small.Data.begin(), small.Data.end(), static_cast<unsigned char*>(bits));
  return result;
}

// The resources hold each picture drawn for 100, 150 and 200 % (NAME, NAME_150, NAME_200); the
// exact one is used as it is, otherwise the nearest larger one is made smaller. A picture is
// never enlarged: above 200 % the 200 % one is drawn.
TBitmapHandle LoadPicture(const std::string& name) {
  struct Drawn {
    int percent;
    const char* suffix;
  } drawn[] = {{100, ""}, {150, "_150"}, {200, "_200"}};
  const int want = MulDiv(ProgramDpi(), 100, 96);
  TBitmapHandle bmp;
  int percent = 0;
  for (const Drawn& d : drawn) {
    auto* b = static_cast<HBITMAP>(
        LoadImageW(Instance(), Wide(name + d.suffix).c_str(), IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!b) continue;
    bmp.Reset(b);
    percent = d.percent;
    if (d.percent >= want) break;
  }
  if (bmp && percent > want) {
    SIZE size = BitmapSize(bmp.Get());
    if (TBitmapHandle small =
            ShrinkPicture(bmp.Get(), MulDiv(size.cx, want, percent), MulDiv(size.cy, want, percent)))
      bmp = std::move(small);
  }
  return bmp;
}

}  // namespace

COLORREF Rgb(TColor c) { return static_cast<COLORREF>(c & 0xFFFFFF); }

HFONT FontHandle(const TFont& font) {
  if (TGdiCache::gone) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto key = std::make_tuple(font.Name, S(font.Height), font.Bold);
  TFontHandle& f = Cache().fonts[key];
  if (!f)
    f.Reset(CreateFontW(-S(font.Height), 0, 0, 0, font.Bold ? FW_BOLD : FW_NORMAL, FALSE, FALSE, FALSE,
                        DEFAULT_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                        DEFAULT_PITCH | FF_DONTCARE, Wide(font.Name).c_str()));
  return f.Get();
}

HBRUSH Brush(TColor color) {
  if (TGdiCache::gone) return static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  TBrushHandle& b = Cache().brushes[color];
  if (!b) b.Reset(CreateSolidBrush(Rgb(color)));
  return b.Get();
}

HBITMAP Picture(const std::string& name) {
  if (name.empty() || TGdiCache::gone) return nullptr;
  auto key = std::make_pair(name, ProgramDpi());
  auto& pictures = Cache().pictures;
  auto it = pictures.find(key);
  if (it == pictures.end()) it = pictures.emplace(key, LoadPicture(name)).first;
  return it->second.Get();
}

HDC MeasureDC() { return TGdiCache::gone ? nullptr : Cache().measure.Get(); }

SIZE BitmapSize(HBITMAP bmp) {
  BITMAP info{};
  GetObjectW(bmp, sizeof info, &info);
  return {info.bmWidth, info.bmHeight};
}

void DrawPicture(HDC dc, HBITMAP bmp, const RECT& dest, bool stretch, bool center) {
  SIZE size = BitmapSize(bmp);
  TMemoryDC mem(dc);
  TSelectObject selected(mem.Get(), bmp);
  if (stretch) {
    SetStretchBltMode(dc, HALFTONE);
    StretchBlt(dc, dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top, mem.Get(), 0, 0, size.cx,
               size.cy, SRCCOPY);
  } else {
    int x = dest.left, y = dest.top;
    if (center) {
      x += (dest.right - dest.left - size.cx) / 2;
      y += (dest.bottom - dest.top - size.cy) / 2;
    }
    BitBlt(dc, x, y, size.cx, size.cy, mem.Get(), 0, 0, SRCCOPY);
  }
}

}  // namespace ui::win32
