// Real windows for the control layer: each control gets the peer of its kind (PeerFactory);
// the backend measures text, reports the screen and hands the loops and dialogs to their files.
#include "ui/win32/Win32Backend.h"

#include <windows.h>

#include "platform/win32/Wide.h"
#include "ui/Application.h"
#include "ui/win32/Dialogs.h"
#include "ui/win32/Dpi.h"
#include "ui/win32/Drawing.h"
#include "ui/win32/Gdi.h"
#include "ui/win32/MessageLoop.h"
#include "ui/win32/PageControlPeers.h"
#include "ui/win32/PeerFactory.h"

using platform::win32::Wide;

namespace ui::win32 {

namespace {

class TWin32Backend : public TBackend {
 public:
  std::unique_ptr<IControlPeer> CreatePeer(TControl& control) override {
    RegisterClasses();
    std::unique_ptr<IControlPeer> peer = CreatePeerFor(control);
    RethrowPending();
    return peer;
  }

  void ControlDestroyed(TControl&) override {}

  TSize TextExtent(const std::string& text, const TFont& font) override {
    HDC dc = MeasureDC();
    TSelectObject selected(dc, FontHandle(font));
    std::wstring w = Wide(text);
    SIZE size{};
    GetTextExtentPoint32W(dc, w.c_str(), static_cast<int>(w.size()), &size);
    if (w.empty()) {
      TEXTMETRICW tm{};
      GetTextMetricsW(dc, &tm);
      size.cy = tm.tmHeight;
    }
    return {UpText(size.cx), UpText(size.cy)};
  }

  TSize WrappedTextExtent(const std::string& text, const TFont& font, int maxWidth) override {
    HDC dc = MeasureDC();
    TSelectObject selected(dc, FontHandle(font));
    RECT r{0, 0, S(maxWidth), 0};
    DrawTextW(dc, Wide(text).c_str(), -1, &r, DT_CALCRECT | DT_WORDBREAK);
    return {UpText(r.right), UpText(r.bottom)};
  }

  TSize ScreenSize() override { return {U(GetSystemMetrics(SM_CXSCREEN)), U(GetSystemMetrics(SM_CYSCREEN))}; }

  void SetCursor(TCursor cursor) override {
    LPCWSTR id = cursor == crHourGlass ? reinterpret_cast<LPCWSTR>(IDC_WAIT)
                 : cursor == crHandPoint ? reinterpret_cast<LPCWSTR>(IDC_HAND)
                                         : reinterpret_cast<LPCWSTR>(IDC_ARROW);
    ::SetCursor(LoadCursorW(nullptr, id));
  }

  TSize NonClientSize(const TForm& form) override {
    DWORD exStyle = 0;
    DWORD style = 0;
    switch (form.BorderStyle()) {
      case TBorderStyle::bsNone: return {0, 0};
      case TBorderStyle::bsSizeable: style = WS_OVERLAPPEDWINDOW; break;
      case TBorderStyle::bsSingle: style = WS_CAPTION | WS_SYSMENU | WS_BORDER; break;
      case TBorderStyle::bsDialog:
        style = WS_CAPTION | WS_SYSMENU | WS_DLGFRAME;
        exStyle = WS_EX_DLGMODALFRAME;
        break;
    }
    SIZE frame = FrameSize(style, exStyle, MonitorDpi());
    return {U(frame.cx), U(frame.cy)};
  }

  TRect PlatformPageRect(const TPageControl& control) override {
    if (auto* peer = dynamic_cast<TPageControlPeer*>(PeerOf(const_cast<TPageControl*>(&control))); peer && peer->Hwnd()) {
      RECT r = peer->PlatformPageRect();
      return {U(r.left), U(r.top), U(r.right), U(r.bottom)};
    }
    int row = control.TabHeight() > 0 ? control.TabHeight() : 18;
    return {0, row + 3, control.ClientWidth(), control.ClientHeight()};
  }

  TControl* FocusedControl() override { return ControlFromHandle(GetFocus()); }

  void FocusChanged(TControl*) override {}

  void RunModal(TForm& form) override { RunModalLoop(form); }
  void RunMainLoop(TForm& mainForm) override { RunMainMessageLoop(mainForm); }
  void ProcessMessages() override { ProcessPendingMessages(); }

  bool SaveFileDialog(TForm* owner, std::string& fileName) override { return ShowSaveFileDialog(owner, fileName); }
  bool BrowseForFolder(TForm* owner, const std::string& title, const std::string& root, const std::string& initial,
                       std::string& folder) override {
    return ShowFolderBrowser(owner, title, root, initial, folder);
  }
  void PlainMessageBox(TForm* owner, const std::string& text) override { ShowPlainMessageBox(owner, text); }
};

}  // namespace

TBackend& Win32Backend() {
  static TWin32Backend backend;
  return backend;
}

void UseWin32Backend() {
  RegisterClasses();
  SetBackend(&Win32Backend());
}

TControl* ControlFromHandle(void* hwnd) {
  for (HWND h = static_cast<HWND>(hwnd); h; h = GetParent(h))
    if (TControl* c = ControlOf(h)) return c;
  return nullptr;
}

}  // namespace ui::win32
