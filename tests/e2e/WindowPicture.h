#pragma once
// A picture of a window's client area as on screen, saved as a 24-bit BMP file, for the review
// tools that picture the wizard's pages, its dialogs and its runs.
#include <windows.h>

#include <string>

// False, with the reason on stderr, when the window is gone, has no size yet or an absurd one,
// or the file cannot be written.
bool SaveWindowPicture(HWND wnd, const std::wstring& file);
