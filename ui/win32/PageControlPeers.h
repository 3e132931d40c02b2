#pragma once
// The page control (the system's tab control, its page area widened to the tab-less rule) and
// its pages, each a tab of it and a container window on it.
#include <windows.h>
#include <commctrl.h>

#include "ui/win32/PaintedPeers.h"

namespace ui::win32 {

class TPageControlPeer : public TWin32Peer {
 public:
  explicit TPageControlPeer(TPageControl& pages) : TWin32Peer(pages), FPages(pages) {}
  // The page rectangle the system's tab control gives, before the tab-less rule.
  RECT PlatformPageRect();

  void StyleChanged() override;
  void ActivePageChanged() override { Send(TCM_SETCURSEL, static_cast<WPARAM>(FPages.ActivePageIndex())); }
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  std::wstring ClassName() const override;
  DWORD Style() const override;
  DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
  void Created() override { ActivePageChanged(); }

 private:
  DWORD TabStyle() const;
  TPageControl& FPages;
  bool FRawPageRect = false;
};

class TTabSheetPeer : public TContainerPeer {
 public:
  explicit TTabSheetPeer(TTabSheet& sheet) : TContainerPeer(sheet, false), FSheet(sheet) {}
  // The caption is the tab's.
  void TextChanged() override;

 protected:
  void Created() override;

 private:
  TTabSheet& FSheet;
};

}  // namespace ui::win32
