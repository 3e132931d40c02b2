#pragma once
#include <memory>

#include "ui/win32/Peer.h"

namespace ui::win32 {

// The peer of a control's kind, with its window made.
std::unique_ptr<TWin32Peer> CreatePeerFor(TControl& control);

}  // namespace ui::win32
