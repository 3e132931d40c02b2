// The window procedures: each message goes to the peer of the window it is for, and a child's
// notifications (WM_COMMAND, WM_DRAWITEM, the colour requests) to the peer of the child.
#include <windows.h>
#include <commctrl.h>

#include <exception>

#include "ui/win32/Drawing.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Gdi.h"
#include "ui/win32/Peer.h"

namespace ui::win32 {

const wchar_t* const kContainerClass = L"VelSetupContainer";
const wchar_t* const kLabelClass = L"VelSetupLabel";
const wchar_t* const kImageClass = L"VelSetupImage";
const wchar_t* const kBevelClass = L"VelSetupBevel";

namespace {

std::exception_ptr pendingException;

// Messages a window gets about its children: notifications and colours.
bool ChildMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
  switch (msg) {
    case WM_COMMAND: {
      TWin32Peer* peer = PeerOf(ControlOf(reinterpret_cast<HWND>(lParam)));
      if (!peer || peer->Syncing() || !peer->Command(HIWORD(wParam))) return false;
      result = 0;
      return true;
    }
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<DRAWITEMSTRUCT*>(lParam);
      TWin32Peer* peer = PeerOf(ControlOf(item.hwndItem));
      if (!peer || !peer->DrawItem(item)) return false;
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC: case WM_CTLCOLORBTN: case WM_CTLCOLOREDIT: case WM_CTLCOLORLISTBOX: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      TControl* c = ControlOf(reinterpret_cast<HWND>(lParam));
      if (!c) return false;
      TWin32Peer* peer = PeerOf(c);
      bool field = msg == WM_CTLCOLOREDIT || msg == WM_CTLCOLORLISTBOX || (peer && peer->IsField());
      TColor back = field ? clWhite : c->EffectiveColor();
      SetTextColor(dc, c->Enabled() ? Rgb(c->Font().Color) : RGB(0x80, 0x80, 0x80));
      SetBkColor(dc, Rgb(back));
      result = reinterpret_cast<LRESULT>(Brush(back));
      return true;
    }
  }
  return false;
}

void NoteFocus(HWND hwnd) {
  TControl* c = ControlOf(hwnd);
  if (!c) return;
  if (TForm* f = c->ParentForm(); f && f != c) f->NotifyFocused(c);
}

HCURSOR CursorFor(TControl& c) {
  TCursor cursor = Screen().Cursor() != crDefault ? Screen().Cursor() : c.Cursor();
  if (cursor == crHourGlass) return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT));
  if (cursor == crHandPoint) return LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_HAND));
  return nullptr;
}

LRESULT ControlWndProcBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* c = ControlOf(hwnd);
  if (!c) return DefWindowProcW(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  if (ChildMessage(msg, wParam, lParam, result)) return result;
  TWin32Peer* peer = PeerOf(c);
  if (peer && peer->Hwnd() == hwnd && peer->Message(msg, wParam, lParam, result)) return result;
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(hwnd, &r);
      FillRect(reinterpret_cast<HDC>(wParam), &r, Brush(c->EffectiveColor()));
      return 1;
    }
    case WM_PAINT: {
      TPaintDC dc(hwnd);
      RECT r;
      GetClientRect(hwnd, &r);
      if (peer && peer->Hwnd() == hwnd) peer->Paint(dc.Get(), r);
      return 0;
    }
    case WM_SETCURSOR:
      if (HCURSOR cursor = CursorFor(*c)) {
        SetCursor(cursor);
        return TRUE;
      }
      break;
    case WM_SETFOCUS: NoteFocus(hwnd); break;
    case WM_NCDESTROY: WindowDestroyed(hwnd); break;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT StandardSubclassBody(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  TControl* c = ControlOf(hwnd);
  if (!c) return DefSubclassProc(hwnd, msg, wParam, lParam);
  LRESULT result = 0;
  if (ChildMessage(msg, wParam, lParam, result)) return result;
  if (msg == WM_SETFOCUS) NoteFocus(hwnd);
  if (msg == WM_NCDESTROY) {
    WindowDestroyed(hwnd);
    return DefSubclassProc(hwnd, msg, wParam, lParam);
  }
  TWin32Peer* peer = PeerOf(c);
  if (peer && peer->Hwnd() == hwnd && peer->Message(msg, wParam, lParam, result)) return result;
  return DefSubclassProc(hwnd, msg, wParam, lParam);
}

}  // namespace

void KeepException() {
  if (!pendingException) pendingException = std::current_exception();
}

void RethrowPending() {
  if (pendingException) {
    std::exception_ptr e = pendingException;
    pendingException = nullptr;
    std::rethrow_exception(e);
  }
}

LRESULT CALLBACK ControlWndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  try {
    return ControlWndProcBody(hwnd, msg, wParam, lParam);
  } catch (...) {
    KeepException();
    return 0;
  }
}

LRESULT CALLBACK StandardSubclassProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  try {
    return StandardSubclassBody(hwnd, msg, wParam, lParam);
  } catch (...) {
    KeepException();
    return 0;
  }
}

void RegisterClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
  InitCommonControlsEx(&icc);
  for (const wchar_t* name : {kContainerClass, kLabelClass, kImageClass, kBevelClass}) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS | (name == kLabelClass ? CS_HREDRAW | CS_VREDRAW : 0);
    wc.lpfnWndProc = ControlWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    wc.lpszClassName = name;
    RegisterClassExW(&wc);
  }
  InitialiseScale();
}

}  // namespace ui::win32
