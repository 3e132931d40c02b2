// The one place that knows every control kind: it picks the peer that makes the window.
#include "ui/win32/PeerFactory.h"

#include "ui/win32/ButtonPeers.h"
#include "ui/win32/EditPeers.h"
#include "ui/win32/FormPeer.h"
#include "ui/win32/ListPeers.h"
#include "ui/win32/PageControlPeers.h"
#include "ui/win32/PaintedPeers.h"
#include "ui/win32/ProgressBarPeer.h"

namespace ui::win32 {

namespace {

std::unique_ptr<TWin32Peer> PeerOfKind(TControl& c) {
  switch (c.Kind()) {
    case TControlKind::Form: return std::make_unique<TFormPeer>(static_cast<TForm&>(c));
    case TControlKind::Panel: return std::make_unique<TContainerPeer>(c, false);
    case TControlKind::GroupBox: case TControlKind::RadioGroup: return std::make_unique<TContainerPeer>(c, true);
    case TControlKind::TabSheet: return std::make_unique<TTabSheetPeer>(static_cast<TTabSheet&>(c));
    case TControlKind::Label: return std::make_unique<TLabelPeer>(static_cast<TLabel&>(c));
    case TControlKind::Image: return std::make_unique<TImagePeer>(static_cast<TImage&>(c));
    case TControlKind::Bevel: return std::make_unique<TBevelPeer>(static_cast<TBevel&>(c));
    case TControlKind::Button: return std::make_unique<TButtonPeer>(static_cast<TButton&>(c));
    case TControlKind::CheckBox: return std::make_unique<TCheckBoxPeer>(static_cast<TCheckBox&>(c));
    case TControlKind::RadioButton: return std::make_unique<TRadioButtonPeer>(static_cast<TRadioButton&>(c));
    case TControlKind::Edit: return std::make_unique<TEditPeer>(static_cast<TEdit&>(c));
    case TControlKind::Memo: return std::make_unique<TMemoPeer>(static_cast<TMemo&>(c));
    case TControlKind::ComboBox: return std::make_unique<TComboBoxPeer>(static_cast<TComboBox&>(c));
    case TControlKind::ListBox: return std::make_unique<TListBoxPeer>(static_cast<TListBox&>(c));
    case TControlKind::ProgressBar: return std::make_unique<TProgressBarPeer>(static_cast<TProgressBar&>(c));
    case TControlKind::PageControl: return std::make_unique<TPageControlPeer>(static_cast<TPageControl&>(c));
  }
  return std::make_unique<TContainerPeer>(c, false);
}

}  // namespace

std::unique_ptr<TWin32Peer> CreatePeerFor(TControl& control) {
  std::unique_ptr<TWin32Peer> peer = PeerOfKind(control);
  peer->Create();
  return peer;
}

}  // namespace ui::win32
