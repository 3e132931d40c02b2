#include "ui/win32/EditPeers.h"

namespace ui::win32 {

bool TEditPeer::Command(WORD code) {
  if (code == EN_CHANGE) FEdit.NotifyTextEdited(WindowTextOf(Hwnd()));
  return true;
}

DWORD TMemoPeer::Style() const {
  DWORD style = TWin32Peer::Style() | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (FMemo.ScrollBars()) style |= WS_VSCROLL;
  if (!FMemo.WordWrap()) style |= ES_AUTOHSCROLL | (FMemo.ScrollBars() ? WS_HSCROLL : 0);
  return style;
}

}  // namespace ui::win32
