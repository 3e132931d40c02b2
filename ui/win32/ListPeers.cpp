#include "ui/win32/ListPeers.h"

#include "platform/win32/Wide.h"
#include "ui/win32/Dpi.h"

using platform::win32::Wide;

namespace ui::win32 {

namespace {
const int kDropDownHeight = 220;
}

DWORD TComboBoxPeer::Style() const {
  return TWin32Peer::Style() | WS_VSCROLL | CBS_AUTOHSCROLL |
         (FCombo.Style() == TComboStyle::csDropDownList ? CBS_DROPDOWNLIST : CBS_DROPDOWN);
}

void TComboBoxPeer::BoundsChanged() {
  SetWindowPos(Hwnd(), nullptr, S(FCombo.Left()), S(FCombo.Top()), S(FCombo.Width()),
               S(FCombo.Height() + kDropDownHeight), SWP_NOZORDER | SWP_NOACTIVATE);
}

void TComboBoxPeer::TextChanged() {
  if (FCombo.Style() == TComboStyle::csDropDownList)
    ItemIndexChanged();
  else
    SetText(FCombo.Text());
  Invalidate();
}

void TComboBoxPeer::ItemsChanged() {
  Send(CB_RESETCONTENT);
  for (const auto& item : FCombo.Items()) Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  ItemIndexChanged();
}

void TComboBoxPeer::ItemIndexChanged() {
  Send(CB_SETCURSEL, static_cast<WPARAM>(FCombo.ItemIndex()));
  if (FCombo.ItemIndex() < 0 && FCombo.Style() == TComboStyle::csDropDown) SetText(FCombo.Text());
}

bool TComboBoxPeer::Command(WORD code) {
  switch (code) {
    case CBN_SELCHANGE: FCombo.NotifySelected(static_cast<int>(Send(CB_GETCURSEL))); break;
    case CBN_EDITCHANGE: FCombo.NotifyTextEdited(WindowTextOf(Hwnd())); break;
    case CBN_SETFOCUS:
      if (TForm* f = FCombo.ParentForm()) f->NotifyFocused(&FCombo);
      break;
  }
  return true;
}

void TListBoxPeer::ItemsChanged() {
  Send(LB_RESETCONTENT);
  for (const auto& item : FList.Items()) Send(LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(item).c_str()));
  ItemIndexChanged();
}

bool TListBoxPeer::Command(WORD code) {
  if (code == LBN_SELCHANGE) FList.NotifySelected(static_cast<int>(Send(LB_GETCURSEL)));
  return true;
}

}  // namespace ui::win32
