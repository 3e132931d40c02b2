#pragma once
// The form: a top-level window of the class the program names, its frame, icon and size, and
// what the system tells a top-level window (close box, sizing, activation, dpi change).
#include "ui/win32/Peer.h"

namespace ui::win32 {

// The window style of a form's border settings.
DWORD FormWindowStyle(const TForm& form, DWORD& exStyle);

class TFormPeer : public TWin32Peer {
 public:
  explicit TFormPeer(TForm& form) : TWin32Peer(form), FForm(form) {}
  // A form's client size in layout units, as the program last set it.
  TSize DesignedClient() const { return FDesignedClient; }

  void BoundsChanged() override;
  void VisibleChanged() override;
  void IconChanged() override;
  void BorderStyleChanged() override;
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  std::wstring ClassName() const override;
  DWORD Style() const override;
  DWORD ExStyle() const override;
  HWND ParentWindow() const override;
  bool StandardClass() const override { return false; }

 private:
  TForm& FForm;
  TSize FDesignedClient{0, 0};
};

}  // namespace ui::win32
