// The error report as real windows: the unhandled-error sequence shows it, a real button
// press closes it, and the program is asked to end.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/ErrorReport.h"
#include "support/InstallLog.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

namespace {

struct Seen {
  bool shown = false;
  bool sendEnabled = true;
  bool okFound = false;
} seen;

BOOL CALLBACK FindOk(HWND h, LPARAM p) {
  wchar_t text[64];
  GetWindowTextW(h, text, 64);
  if (std::wstring(text) == L"OK") {
    *reinterpret_cast<HWND*>(p) = h;
    return FALSE;
  }
  return TRUE;
}

void CALLBACK PressOkWhenShown(HWND, UINT, UINT_PTR id, DWORD) {
  HWND w = FindWindowW(L"TFInstallErrDlg", nullptr);
  if (!w || !IsWindowVisible(w)) return;
  KillTimer(nullptr, id);
  seen.shown = true;
  seen.sendEnabled = IsWindowEnabled(static_cast<HWND>(FInstallErrDlg().btnSendLog.Handle()));
  HWND ok = nullptr;
  EnumChildWindows(w, FindOk, reinterpret_cast<LPARAM>(&ok));
  seen.okFound = ok != nullptr;
  if (ok)
    SendMessageW(ok, BM_CLICK, 0, 0);
  else
    PostMessageW(w, WM_CLOSE, 0, 0);
}

}  // namespace

TEST(RealErrorReport, UnhandledErrorShowsTheReportAndEndsTheProgram) {
  ui::win32::UseWin32Backend();
  ResetInstallErrDlg();
  InstallLog().Add("before");
  SetTimer(nullptr, 0, 50, PressOkWhenShown);
  HandleUnhandledError("Division by zero", "");
  EXPECT_TRUE(seen.shown);
  EXPECT_TRUE(seen.okFound);
  EXPECT_FALSE(seen.sendEnabled);  // no support address
  EXPECT_TRUE(Application().Terminated());
  EXPECT_NE(InstallLogText().find("Division by zero"), std::string::npos);
  Application().ResetTerminated();
  ResetInstallErrDlg();
  Application().ProcessMessages();
  ui::SetBackend(nullptr);
}
