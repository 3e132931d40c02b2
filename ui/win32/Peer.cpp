#include "ui/win32/Peer.h"

#include <commctrl.h>

#include "platform/win32/Wide.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Drawing.h"

using platform::win32::Utf8;
using platform::win32::Wide;

namespace ui::win32 {

namespace {

const wchar_t* const kControlProp = L"VelSetup.Control";
const UINT_PTR kSubclassId = 0x56454C;
// Readable from other processes (the test driver): the control's name and how its text is drawn
// ("face;pixel height;weight;wrap"), each as a global atom.
const wchar_t* const kNameProp = L"VelSetup.Name";
const wchar_t* const kFontProp = L"VelSetup.Font";

void SetAtomProp(HWND hwnd, const wchar_t* prop, const std::wstring& value) {
  if (ATOM old = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(hwnd, prop)))) GlobalDeleteAtom(old);
  if (value.empty() || value.size() > 255) return;
  if (ATOM atom = GlobalAddAtomW(value.c_str()))
    SetPropW(hwnd, prop, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(atom)));
}

// Marks the peer as changing its window for the length of a scope.
class TSyncing {
 public:
  explicit TSyncing(int& counter) : FCounter(counter) { ++FCounter; }
  ~TSyncing() { --FCounter; }
  TSyncing(const TSyncing&) = delete;
  TSyncing& operator=(const TSyncing&) = delete;

 private:
  int& FCounter;
};

}  // namespace

TWin32Peer* PeerOf(TControl* control) { return control ? static_cast<TWin32Peer*>(control->Peer()) : nullptr; }

TControl* ControlOf(HWND hwnd) { return hwnd ? static_cast<TControl*>(GetPropW(hwnd, kControlProp)) : nullptr; }

std::string WindowTextOf(HWND hwnd) {
  int len = GetWindowTextLengthW(hwnd);
  std::wstring text(static_cast<size_t>(len) + 1, L'\0');
  GetWindowTextW(hwnd, text.data(), len + 1);
  text.resize(static_cast<size_t>(len));
  return Utf8(text);
}

void WindowDestroyed(HWND hwnd) {
  TControl* c = ControlOf(hwnd);
  if (TWin32Peer* p = PeerOf(c); p && p->Hwnd() == hwnd) p->Forget();
  RemovePropW(hwnd, kControlProp);
  for (const wchar_t* prop : {kNameProp, kFontProp})
    if (ATOM old = static_cast<ATOM>(reinterpret_cast<UINT_PTR>(RemovePropW(hwnd, prop)))) GlobalDeleteAtom(old);
  RemoveWindowSubclass(hwnd, StandardSubclassProc, kSubclassId);
}

TWin32Peer::~TWin32Peer() {
  if (FHwnd) {
    HWND h = FHwnd;
    FHwnd = nullptr;
    RemovePropW(h, kControlProp);
    DestroyWindow(h);
  }
}

void TWin32Peer::Create() {
  HWND parent = ParentWindow();
  bool child = (Style() & WS_CHILD) != 0;
  if (child && !parent) return;  // a control without a parent window has no window itself
  FHwnd = CreateWindowExW(ExStyle(), ClassName().c_str(), L"", Style(), 0, 0, 0, 0, parent, nullptr,
                          GetModuleHandleW(nullptr), nullptr);
  if (!FHwnd) return;
  SetPropW(FHwnd, kControlProp, &FControl);
  SetAtomProp(FHwnd, kNameProp, Wide(FControl.Name()));
  if (StandardClass()) SetWindowSubclass(FHwnd, StandardSubclassProc, kSubclassId, 0);
  TSyncing syncing(FSyncing);
  for (TChange change : {&IControlPeer::FontChanged, &IControlPeer::TextChanged, &IControlPeer::ItemsChanged,
                         &IControlPeer::ItemIndexChanged, &IControlPeer::CheckedChanged,
                         &IControlPeer::PositionChanged, &IControlPeer::ReadOnlyChanged,
                         &IControlPeer::EnabledChanged, &IControlPeer::StyleChanged, &IControlPeer::IconChanged,
                         &IControlPeer::BoundsChanged})
    (this->*change)();
  Created();
}

DWORD TWin32Peer::Style() const {
  return WS_CHILD | WS_CLIPSIBLINGS | (FControl.Visible() ? WS_VISIBLE : 0) | (FControl.TabStop() ? WS_TABSTOP : 0);
}

HWND TWin32Peer::ParentWindow() const {
  return FControl.Parent() ? static_cast<HWND>(FControl.Parent()->Handle()) : nullptr;
}

void TWin32Peer::Apply(TChange change) {
  if (!FHwnd) return;
  {
    TSyncing syncing(FSyncing);
    (this->*change)();
  }
  RethrowPending();
}

void TWin32Peer::SetFocus() {
  if (FHwnd) ::SetFocus(FHwnd);
}

void TWin32Peer::Repaint() {
  if (!FHwnd) return;
  InvalidateRect(FHwnd, nullptr, TRUE);
  UpdateWindow(FHwnd);
}

void TWin32Peer::BoundsChanged() {
  SetWindowPos(FHwnd, nullptr, S(FControl.Left()), S(FControl.Top()), S(FControl.Width()), S(FControl.Height()),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

void TWin32Peer::VisibleChanged() { ShowWindow(FHwnd, FControl.Visible() ? SW_SHOWNA : SW_HIDE); }

void TWin32Peer::EnabledChanged() { EnableWindow(FHwnd, FControl.Enabled()); }

void TWin32Peer::TextChanged() {
  SetText(FControl.Text());
  Invalidate();
}

void TWin32Peer::FontChanged() {
  Send(WM_SETFONT, reinterpret_cast<WPARAM>(FontHandle(FControl.Font())), TRUE);
  PublishFont();
  Invalidate();
}

void TWin32Peer::Rescaled() {
  TSyncing syncing(FSyncing);
  FontChanged();
  StyleChanged();
  BoundsChanged();
}

LRESULT TWin32Peer::Send(UINT msg, WPARAM wParam, LPARAM lParam) const { return SendMessageW(FHwnd, msg, wParam, lParam); }

void TWin32Peer::SetText(const std::string& text) const { ::SetWindowTextW(FHwnd, Wide(text).c_str()); }

void TWin32Peer::Invalidate() const { InvalidateRect(FHwnd, nullptr, TRUE); }

void TWin32Peer::PublishFont() const {
  const TFont& f = FControl.Font();
  SetAtomProp(FHwnd, kFontProp,
              Wide(f.Name) + L";" + std::to_wstring(S(f.Height)) + L";" + (f.Bold ? L"700" : L"400") +
                  (WrapsText() ? L";wrap" : L";"));
}

}  // namespace ui::win32
