#include "ui/win32/PaintedPeers.h"

#include "platform/win32/Wide.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Drawing.h"
#include "ui/win32/Gdi.h"

using platform::win32::Wide;

namespace ui::win32 {

namespace {

// A click on a label or a picture is the control's click.
bool ClickOnButtonUp(TControl& control, UINT msg, LRESULT& result) {
  if (msg != WM_LBUTTONUP) return false;
  control.Click();
  result = 0;
  return true;
}

// A control without a click of its own lets the mouse through to what lies under it.
bool TransparentToMouse(const TControl& control, UINT msg, LRESULT& result) {
  if (msg != WM_NCHITTEST || control.OnClick) return false;
  result = HTTRANSPARENT;
  return true;
}

}  // namespace

void TContainerPeer::Paint(HDC dc, const RECT& client) {
  TControl& control = Control();
  FillRect(dc, &client, Brush(control.EffectiveColor()));
  if (!FFramed) return;
  // The etched frame starts at the middle of the caption.
  TSelectObject font(dc, FontHandle(control.Font()));
  SIZE ext{};
  GetTextExtentPoint32W(dc, L"X", 1, &ext);
  RECT frame = client;
  frame.top += ext.cy / 2;
  DrawEdge(dc, &frame, EDGE_ETCHED, BF_RECT);
  std::wstring caption = Wide(control.Caption());
  if (caption.empty()) return;
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, Rgb(control.EffectiveColor()));
  SetTextColor(dc, Rgb(control.Font().Color));
  std::wstring padded = L" " + caption + L" ";
  RECT t{client.left + S(6), client.top, client.right, client.top + ext.cy};
  DrawTextW(dc, padded.c_str(), -1, &t, DT_SINGLELINE | DT_LEFT | DT_NOPREFIX);
}

void TLabelPeer::StyleChanged() {
  PublishFont();
  Invalidate();
}

void TLabelPeer::Rescaled() {
  TWin32Peer::Rescaled();
  FLabel.SetAutoSize(FLabel.AutoSize());
}

void TLabelPeer::Paint(HDC dc, const RECT& client) {
  RECT r = client;
  FillRect(dc, &r, Brush(FLabel.EffectiveColor()));
  TSelectObject font(dc, FontHandle(FLabel.Font()));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, FLabel.Enabled() ? Rgb(FLabel.Font().Color) : RGB(0xA0, 0xA0, 0xA0));
  UINT flags = DT_NOPREFIX | (FLabel.WordWrap() ? DT_WORDBREAK : 0);
  switch (FLabel.Alignment()) {
    case TAlignment::taCenter: flags |= DT_CENTER; break;
    case TAlignment::taRightJustify: flags |= DT_RIGHT; break;
    default: flags |= DT_LEFT; break;
  }
  std::wstring text = Wide(FLabel.Caption());
  if (FLabel.Layout() != TTextLayout::tlTop) {
    RECT calc = r;
    DrawTextW(dc, text.c_str(), -1, &calc, flags | DT_CALCRECT);
    int h = calc.bottom - calc.top, space = r.bottom - r.top;
    r.top += FLabel.Layout() == TTextLayout::tlCenter ? (space - h) / 2 : space - h;
  }
  DrawTextW(dc, text.c_str(), -1, &r, flags);
}

bool TLabelPeer::Message(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  return ClickOnButtonUp(FLabel, msg, result) || TransparentToMouse(FLabel, msg, result);
}

void TImagePeer::Paint(HDC dc, const RECT& client) {
  FillRect(dc, &client, Brush(FImage.EffectiveColor()));
  if (HBITMAP bmp = Picture(FImage.Picture())) DrawPicture(dc, bmp, client, FImage.Stretch(), FImage.Center());
}

bool TImagePeer::Message(UINT msg, WPARAM, LPARAM, LRESULT& result) { return ClickOnButtonUp(FImage, msg, result); }

void TBevelPeer::Paint(HDC dc, const RECT& client) {
  RECT r = client;
  FillRect(dc, &r, Brush(FBevel.EffectiveColor()));
  UINT edge = FBevel.Shape() == TBevelShape::bsTopLine      ? BF_TOP
              : FBevel.Shape() == TBevelShape::bsBottomLine ? BF_BOTTOM
                                                            : BF_RECT;
  DrawEdge(dc, &r, BDR_SUNKENOUTER, edge);
}

bool TBevelPeer::Message(UINT msg, WPARAM, LPARAM, LRESULT& result) { return TransparentToMouse(FBevel, msg, result); }

}  // namespace ui::win32
