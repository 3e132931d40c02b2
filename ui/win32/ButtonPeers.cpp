#include "ui/win32/ButtonPeers.h"

#include "platform/win32/Wide.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Drawing.h"
#include "ui/win32/Gdi.h"

using platform::win32::Wide;

namespace ui::win32 {

namespace {

// The white look: a light face, a thin grey frame, a blue frame on the focused button; a glyph
// left of the caption when the button has one.
void PaintButton(const DRAWITEMSTRUCT& di, const TButton& button) {
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  bool pressed = di.itemState & ODS_SELECTED;
  bool focused = di.itemState & ODS_FOCUS;
  bool disabled = di.itemState & ODS_DISABLED;
  FillRect(dc, &r, Brush(pressed ? RGBColor(0xE5, 0xE5, 0xE5) : RGBColor(0xFA, 0xFA, 0xFA)));
  HBRUSH frame = Brush(focused ? RGBColor(0x00, 0x78, 0xD7) : RGBColor(0xAD, 0xAD, 0xAD));
  FrameRect(dc, &r, frame);
  if (focused) {
    RECT inner{r.left + 1, r.top + 1, r.right - 1, r.bottom - 1};
    FrameRect(dc, &inner, frame);
  }
  TSelectObject font(dc, FontHandle(button.Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? RGB(0xA0, 0xA0, 0xA0) : Rgb(button.Font().Color));
  RECT text = r;
  if (HBITMAP glyph = Picture(button.Glyph())) {
    SIZE size = BitmapSize(glyph);
    RECT g{r.left + S(8), r.top + (r.bottom - r.top - size.cy) / 2, 0, 0};
    g.right = g.left + size.cx;
    g.bottom = g.top + size.cy;
    DrawPicture(dc, glyph, g, false, false);
    text.left = g.right + S(10);
    DrawTextW(dc, Wide(button.Caption()).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  } else {
    if (pressed) OffsetRect(&text, 1, 1);
    DrawTextW(dc, Wide(button.Caption()).c_str(), -1, &text, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
  }
}

}  // namespace

bool TButtonPeer::Command(WORD code) {
  if (code == BN_CLICKED) FButton.Click();
  return true;
}

bool TButtonPeer::DrawItem(const DRAWITEMSTRUCT& item) {
  PaintButton(item, FButton);
  return true;
}

bool TButtonPeer::Message(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_GETDLGCODE:
      // Owner-drawn buttons still behave as push buttons to the dialog manager, so Enter on
      // a focused button presses it.
      result = DLGC_BUTTON | (GetFocus() == Hwnd() ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
      return true;
    case BM_SETSTYLE:  // the dialog manager's default-button style would end the owner drawing
      Invalidate();
      result = 0;
      return true;
  }
  return false;
}

void TCheckBoxPeer::CheckedChanged() { Send(BM_SETCHECK, FBox.Checked() ? BST_CHECKED : BST_UNCHECKED); }

bool TCheckBoxPeer::Command(WORD code) {
  if (code == BN_CLICKED) FBox.Click();
  return true;
}

void TRadioButtonPeer::CheckedChanged() {
  bool on = FButton.Checked();
  Send(BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED);
  LONG_PTR style = GetWindowLongPtrW(Hwnd(), GWL_STYLE);
  SetWindowLongPtrW(Hwnd(), GWL_STYLE, on ? style | WS_TABSTOP : style & ~static_cast<LONG_PTR>(WS_TABSTOP));
}

bool TRadioButtonPeer::Command(WORD code) {
  if (code == BN_CLICKED) FButton.Click();
  return true;
}

}  // namespace ui::win32
