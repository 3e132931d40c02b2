#pragma once
// The progress bar: its range and position.
#include <windows.h>
#include <commctrl.h>

#include "ui/win32/Peer.h"

namespace ui::win32 {

class TProgressBarPeer : public TWin32Peer {
 public:
  explicit TProgressBarPeer(TProgressBar& bar) : TWin32Peer(bar), FBar(bar) {}
  void PositionChanged() override {
    Send(PBM_SETRANGE32, static_cast<WPARAM>(FBar.Min()), FBar.Max());
    Send(PBM_SETPOS, static_cast<WPARAM>(FBar.Position()));
  }

 protected:
  std::wstring ClassName() const override { return PROGRESS_CLASSW; }

 private:
  TProgressBar& FBar;
};

}  // namespace ui::win32
