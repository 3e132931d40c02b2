#pragma once
// One-line edits and memos.
#include "ui/win32/Peer.h"

namespace ui::win32 {

class TEditPeer : public TWin32Peer {
 public:
  explicit TEditPeer(TEdit& edit) : TWin32Peer(edit), FEdit(edit) {}
  void ReadOnlyChanged() override { Send(EM_SETREADONLY, FEdit.ReadOnly()); }
  bool Command(WORD code) override;
  bool IsField() const override { return true; }

 protected:
  std::wstring ClassName() const override { return L"EDIT"; }
  DWORD Style() const override { return TWin32Peer::Style() | ES_AUTOHSCROLL; }
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }

 private:
  TEdit& FEdit;
};

class TMemoPeer : public TEditPeer {
 public:
  explicit TMemoPeer(TMemo& memo) : TEditPeer(memo), FMemo(memo) {}

 protected:
  DWORD Style() const override;

 private:
  TMemo& FMemo;
};

}  // namespace ui::win32
