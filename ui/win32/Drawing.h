#pragma once
// The fonts, brushes and pictures the windows draw with, made once per scale and kept until the
// program ends, and the drawing of a picture.
#include <windows.h>

#include <string>

#include "ui/Types.h"

namespace ui::win32 {

COLORREF Rgb(TColor c);
// The font at the program's current scale.
HFONT FontHandle(const TFont& font);
HBRUSH Brush(TColor color);
// The program's picture resource for the current scale; nullptr when there is none.
HBITMAP Picture(const std::string& name);
// A device context for measuring text.
HDC MeasureDC();

// Draws a bitmap into dest: stretched over it, centred in it, or at its top left corner.
void DrawPicture(HDC dc, HBITMAP bmp, const RECT& dest, bool stretch, bool center);
SIZE BitmapSize(HBITMAP bmp);

}  // namespace ui::win32
