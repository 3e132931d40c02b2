#pragma once
// Combo boxes and list boxes: their items, the selected one, and what the user picks or types.
#include "ui/win32/Peer.h"

namespace ui::win32 {

class TComboBoxPeer : public TWin32Peer {
 public:
  explicit TComboBoxPeer(TComboBox& combo) : TWin32Peer(combo), FCombo(combo) {}
  // The window reaches below the control by the height of the drop-down list.
  void BoundsChanged() override;
  // A drop-down list shows the selected item; an editable combo box its own text.
  void TextChanged() override;
  void ItemsChanged() override;
  void ItemIndexChanged() override;
  bool Command(WORD code) override;

 protected:
  std::wstring ClassName() const override { return L"COMBOBOX"; }
  DWORD Style() const override;

 private:
  TComboBox& FCombo;
};

class TListBoxPeer : public TWin32Peer {
 public:
  explicit TListBoxPeer(TListBox& list) : TWin32Peer(list), FList(list) {}
  void ItemsChanged() override;
  void ItemIndexChanged() override { Send(LB_SETCURSEL, static_cast<WPARAM>(FList.ItemIndex())); }
  bool Command(WORD code) override;

 protected:
  std::wstring ClassName() const override { return L"LISTBOX"; }
  DWORD Style() const override { return TWin32Peer::Style() | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT; }
  DWORD ExStyle() const override { return WS_EX_CLIENTEDGE; }

 private:
  TListBox& FList;
};

}  // namespace ui::win32
