#pragma once
// The program's scale. Everything above this folder is laid out at 96 dots per inch; the windows
// are made at the program's scale, kept as a dpi value: the monitor's (the manifest declares
// per-monitor awareness, so Windows scales nothing itself) unless the main window would not fit
// the monitor's work area at that scale: then the largest scale at which it fits.
#include <windows.h>

namespace ui {
class TForm;
}

namespace ui::win32 {

// The scale in use and the dpi of the monitor the windows are on.
int ProgramDpi();
int MonitorDpi();
// Layout units to pixels and back.
int S(int v);
int U(int v);
// A measured text size back in layout units, rounded up: laid out again at the scale, the text
// must get at least its measured room.
int UpText(int v);

// The dpi of the monitor a window is on (the system dpi before Windows 10).
int WindowDpi(HWND hwnd);
// Frame and caption of a window style in pixels at a monitor's dpi.
SIZE FrameSize(DWORD style, DWORD exStyle, int atDpi);

// Reads the dpi of the screen once the window classes are registered.
void InitialiseScale();
// A form is about to be shown for the first time: unless the program has been told of a monitor
// change, the monitor it opens on sets the scale.
void NoteFormShowing(HWND hwnd);
// The window moved to a monitor of another dpi (WM_DPICHANGED).
void MonitorDpiChanged(int newDpi);

// Picks the scale at which every shown window of the program fits the work area of the
// monitor this one is on, then keeps the window inside that work area (centred when it is
// shown for the first time and wants to be centred).
void FitToWorkArea(TForm& form, HWND hwnd, bool firstShow);

}  // namespace ui::win32
