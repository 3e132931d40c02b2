#pragma once
// Push buttons (drawn in the program's white look), check boxes and radio buttons.
#include "ui/win32/Peer.h"

namespace ui::win32 {

class TButtonPeer : public TWin32Peer {
 public:
  explicit TButtonPeer(TButton& button) : TWin32Peer(button), FButton(button) {}
  bool Command(WORD code) override;
  bool DrawItem(const DRAWITEMSTRUCT& item) override;
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  std::wstring ClassName() const override { return L"BUTTON"; }
  DWORD Style() const override { return TWin32Peer::Style() | BS_OWNERDRAW; }

 private:
  TButton& FButton;
};

class TCheckBoxPeer : public TWin32Peer {
 public:
  explicit TCheckBoxPeer(TCheckBox& box) : TWin32Peer(box), FBox(box) {}
  void CheckedChanged() override;
  bool Command(WORD code) override;

 protected:
  std::wstring ClassName() const override { return L"BUTTON"; }
  DWORD Style() const override { return TWin32Peer::Style() | BS_CHECKBOX; }

 private:
  TCheckBox& FBox;
};

class TRadioButtonPeer : public TWin32Peer {
 public:
  explicit TRadioButtonPeer(TRadioButton& button) : TWin32Peer(button), FButton(button) {}
  // Only the checked button of a group is a tab stop, as the dialog manager expects.
  void CheckedChanged() override;
  bool Command(WORD code) override;

 protected:
  std::wstring ClassName() const override { return L"BUTTON"; }
  DWORD Style() const override { return TWin32Peer::Style() | BS_RADIOBUTTON; }

 private:
  TRadioButton& FButton;
};

}  // namespace ui::win32
