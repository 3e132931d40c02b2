#include "ui/win32/PageControlPeers.h"

#include <commctrl.h>

#include <algorithm>

#include "platform/win32/Wide.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Drawing.h"

using platform::win32::Wide;

namespace ui::win32 {

std::wstring TPageControlPeer::ClassName() const { return WC_TABCONTROLW; }

DWORD TPageControlPeer::TabStyle() const {
  switch (FPages.Style()) {
    case TTabStyle::tsButtons: return TCS_BUTTONS;
    case TTabStyle::tsFlatButtons: return TCS_BUTTONS | TCS_FLATBUTTONS;
    default: return TCS_TABS;
  }
}

DWORD TPageControlPeer::Style() const { return TWin32Peer::Style() | WS_CLIPCHILDREN | TCS_FIXEDWIDTH | TabStyle(); }

RECT TPageControlPeer::PlatformPageRect() {
  RECT r{};
  GetClientRect(Hwnd(), &r);
  FRawPageRect = true;
  Send(TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&r));
  FRawPageRect = false;
  return r;
}

void TPageControlPeer::StyleChanged() {
  LONG_PTR s = GetWindowLongPtrW(Hwnd(), GWL_STYLE) & ~static_cast<LONG_PTR>(TCS_BUTTONS | TCS_FLATBUTTONS);
  SetWindowLongPtrW(Hwnd(), GWL_STYLE, s | static_cast<LONG_PTR>(TabStyle()));
  Send(TCM_SETITEMSIZE, 0,
       MAKELPARAM(S(std::max(FPages.TabWidth(), 1)), S(FPages.TabHeight() > 0 ? FPages.TabHeight() : 18)));
  Invalidate();
}

bool TPageControlPeer::Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(Hwnd(), &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, Brush(FPages.EffectiveColor()));
      result = 1;
      return true;
    }
    case TCM_ADJUSTRECT: {
      result = DefSubclassProc(Hwnd(), msg, wParam, lParam);
      if (!FRawPageRect && lParam) {
        auto* rc = reinterpret_cast<RECT*>(lParam);
        RECT client;
        GetClientRect(Hwnd(), &client);
        TRect page = TablessPageRect({rc->left, rc->top, rc->right, rc->bottom}, client.right, client.bottom);
        *rc = RECT{page.Left, page.Top, page.Right, page.Bottom};
      }
      return true;
    }
  }
  return false;
}

namespace {
// Sets or inserts the tab of a page in its page control's tab row.
void SendTab(HWND tabs, UINT msg, const TTabSheet& sheet) {
  std::wstring caption = Wide(sheet.Caption());
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = caption.data();
  SendMessageW(tabs, msg, static_cast<WPARAM>(sheet.PageIndex()), reinterpret_cast<LPARAM>(&item));
}
}  // namespace

void TTabSheetPeer::TextChanged() {
  SendTab(ParentWindow(), TCM_SETITEMW, FSheet);
  Invalidate();
}

void TTabSheetPeer::Created() { SendTab(ParentWindow(), TCM_INSERTITEMW, FSheet); }

}  // namespace ui::win32
