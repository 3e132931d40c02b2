#pragma once
// The Win32 backend: every control is a real window. Installing it makes the application's
// "process pending messages" a PeekMessage/DispatchMessage pump.
#include "ui/Backend.h"

namespace ui::win32 {

TBackend& Win32Backend();
// Installs the Win32 backend (SetBackend) after registering the window classes.
void UseWin32Backend();

// The control a window belongs to (the window or one of its parents), nullptr if none.
TControl* ControlFromHandle(void* hwnd);

}  // namespace ui::win32
