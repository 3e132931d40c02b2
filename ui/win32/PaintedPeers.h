#pragma once
// The program's own window classes, painted by the program: containers (panels, group boxes,
// pages), labels, pictures and bevels.
#include "ui/win32/Peer.h"

namespace ui::win32 {

class TContainerPeer : public TWin32Peer {
 public:
  // A framed container is a group: an etched frame with its caption on top.
  TContainerPeer(TControl& control, bool framed) : TWin32Peer(control), FFramed(framed) {}
  void Paint(HDC dc, const RECT& client) override;

 protected:
  std::wstring ClassName() const override { return kContainerClass; }
  DWORD Style() const override { return TWin32Peer::Style() | WS_CLIPCHILDREN; }
  DWORD ExStyle() const override { return WS_EX_CONTROLPARENT; }
  bool StandardClass() const override { return false; }

 private:
  bool FFramed;
};

class TLabelPeer : public TWin32Peer {
 public:
  explicit TLabelPeer(TLabel& label) : TWin32Peer(label), FLabel(label) {}
  // Word wrap is part of how the text is drawn.
  void StyleChanged() override;
  // The label measures its text again at the new scale.
  void Rescaled() override;
  void Paint(HDC dc, const RECT& client) override;
  // A label lets the mouse through unless it reacts to clicks.
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  std::wstring ClassName() const override { return kLabelClass; }
  bool StandardClass() const override { return false; }
  bool WrapsText() const override { return FLabel.WordWrap(); }

 private:
  TLabel& FLabel;
};

class TImagePeer : public TWin32Peer {
 public:
  explicit TImagePeer(TImage& image) : TWin32Peer(image), FImage(image) {}
  void Paint(HDC dc, const RECT& client) override;
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  std::wstring ClassName() const override { return kImageClass; }
  bool StandardClass() const override { return false; }

 private:
  TImage& FImage;
};

class TBevelPeer : public TWin32Peer {
 public:
  explicit TBevelPeer(TBevel& bevel) : TWin32Peer(bevel), FBevel(bevel) {}
  void Paint(HDC dc, const RECT& client) override;
  bool Message(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

 protected:
  std::wstring ClassName() const override { return kBevelClass; }
  bool StandardClass() const override { return false; }

 private:
  TBevel& FBevel;
};

}  // namespace ui::win32
