#pragma once
// Small value types of the control layer. Every coordinate is in pixels of a 96-DPI
// screen; the Win32 backend scales them to the monitor it draws on.
#include <cstdint>
#include <string>

namespace ui {

struct TPoint {
  int X = 0;
  int Y = 0;
};

struct TSize {
  int Width = 0;
  int Height = 0;
  bool operator==(const TSize&) const = default;
};

struct TRect {
  int Left = 0;
  int Top = 0;
  int Right = 0;
  int Bottom = 0;
  int Width() const { return Right - Left; }
  int Height() const { return Bottom - Top; }
  bool operator==(const TRect&) const = default;
};

// A colour as 0x00BBGGRR, the way the forms state them (3355443 is a dark grey).
using TColor = std::uint32_t;
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clWhite = 0xFFFFFF;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clDefault = 0xFF000000;  // the control's natural colour (inherits the parent's)
inline constexpr TColor RGBColor(int r, int g, int b) {
  return static_cast<TColor>(r) | (static_cast<TColor>(g) << 8) | (static_cast<TColor>(b) << 16);
}

struct TFont {
  std::string Name = "Tahoma";
  int Height = 11;  // character height in pixels
  bool Bold = false;
  TColor Color = clBlack;
  bool operator==(const TFont&) const = default;
};

enum class TAlign : unsigned char { alNone, alTop, alBottom, alLeft, alRight, alClient };
enum class TAlignment : unsigned char { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout : unsigned char { tlTop, tlCenter, tlBottom };
enum class TBorderStyle : unsigned char { bsNone, bsSingle, bsSizeable, bsDialog };
enum class TComboStyle : unsigned char { csDropDown, csDropDownList };
enum class TBevelShape : unsigned char { bsTopLine, bsBottomLine, bsFrame };

// Margins used by a control whose AlignWithMargins is set.
struct TMargins {
  int Left = 3;
  int Top = 3;
  int Right = 3;
  int Bottom = 3;
};

// Modal results.
using TModalResult = int;
inline constexpr TModalResult mrNone = 0;
inline constexpr TModalResult mrOk = 1;
inline constexpr TModalResult mrCancel = 2;
inline constexpr TModalResult mrYes = 6;
inline constexpr TModalResult mrNo = 7;

// Shift state of a key press, as a small set.
using TShiftState = unsigned char;
inline constexpr TShiftState ssShift = 1;
inline constexpr TShiftState ssAlt = 2;
inline constexpr TShiftState ssCtrl = 4;
inline constexpr TShiftState ssLeft = 8;  // a mouse button held
inline constexpr TShiftState ssRight = 16;
inline constexpr TShiftState ssMiddle = 32;

// Virtual key codes the program uses (the Windows values).
inline constexpr int vkReturn = 0x0D;
inline constexpr int vkEscape = 0x1B;
inline constexpr int vkTab = 0x09;
inline constexpr int vkSpace = 0x20;

// Screen cursors (the values the forms use; 0 leaves the cursor as it is where an
// operation takes a cursor argument).
using TCursor = int;
inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crHandPoint = -21;

// What closing a form does.
enum class TCloseAction : unsigned char { caNone, caHide, caFree, caMinimize };

}  // namespace ui
