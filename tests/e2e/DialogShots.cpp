// Test program, never shipped: shows the installer's dialogs (every message kind, the wait
// window, the system information, the error report and its log viewer) as real windows and
// saves a picture of each, for people to look at (scripts/dialog-shots.sh).
//   DialogShots.exe OUTDIR [LANGS]      LANGS: any of CZ,EN,DE,SK (default all)
// Pictures are 24-bit BMP files OUTDIR\<lang>-<dialog>.bmp of the client area as on screen.
#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "WindowPicture.h"
#include "support/Catalogue.h"
#include "support/ErrorReport.h"
#include "support/InstallLog.h"
#include "support/MessageForm.h"
#include "support/SetupInfo.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

namespace {

std::wstring outDir, shotName;
const wchar_t* shotClass = nullptr;
int saved = 0;

// Saves a picture of the window and counts it.
bool SaveWindow(HWND wnd, const std::wstring& file) {
  if (!SaveWindowPicture(wnd, file)) return false;
  ++saved;
  return true;
}

void CALLBACK CaptureAndClose(HWND, UINT, UINT_PTR id, DWORD) {
  HWND w = FindWindowW(shotClass, nullptr);
  if (!w || !IsWindowVisible(w)) return;
  KillTimer(nullptr, id);
  RedrawWindow(w, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  SaveWindow(w, outDir + L"\\" + shotName + L".bmp");
  PostMessageW(w, WM_CLOSE, 0, 0);
}

// Shows a modal dialog with show() and saves it once it is on the screen.
void ShotModal(const std::wstring& name, const wchar_t* windowClass, const std::function<void()>& show) {
  shotName = name;
  shotClass = windowClass;
  SetTimer(nullptr, 0, 400, CaptureAndClose);
  show();
}

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    Application().ProcessMessages();
    Sleep(10);
  } while (GetTickCount() < end);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fwprintf(stderr, L"usage: DialogShots OUTDIR [CZ,EN,DE,SK]\n");
    return 2;
  }
  outDir = argv[1];
  std::wstring langs = argc > 2 ? argv[2] : L"CZ,EN,DE,SK";
  ui::win32::UseWin32Backend();
  UseMessageForm();
  for (int i = 0; i < 12; ++i) InstallLog().Add("Krok instalace číslo " + std::to_string(i) + ": hotovo");
  InstallLog().AddError("Soubor C:\\Velmor\\Velmor.exe nelze přepsat");

  struct Lang { const wchar_t* code; TLanguage language; } all[] = {
      {L"CZ", langCZ}, {L"EN", langEN}, {L"DE", langDE}, {L"SK", langSK}};
  for (const Lang& l : all) {
    if (langs.find(l.code) == std::wstring::npos) continue;
    SetCurrentLanguage(l.language);
    std::wstring p = std::wstring(l.code) + L"-";
    ShotModal(p + L"question", L"TFMessage", [] { ShowQuestion(Msg(msgAbortInstallation), ""); });
    ShotModal(p + L"files-in-use", L"TFMessage", [] {
      ShowRetryCancel(FormatMsg(msgFilesInUse, "C:\\Velmor", "    Velmor\n\r    Velmor Tools"), "");
    });
    ShotModal(p + L"package-failed", L"TFMessage", [] {
      ShowError(FormatMsg(msgPackageFailed, "Lang_EN.zip",
                          "Cannot write the file \"C:\\Velmor\\Velmor.exe\": Permission denied"), "");
    });
    ShotModal(p + L"target-refused", L"TFMessage", [] {
      ShowError(FormatMsg(msgTargetNotInstallationFolder, "C:\\", "C:\\Velmor"), "");
    });
    ShotModal(p + L"folder-not-empty", L"TFMessage", [] {
      ShowQuestion(FormatMsg(msgFolderNotEmpty, "D:\\Documents"), "");
    });
    ShotModal(p + L"error", L"TFMessage", [] {
      ShowError(FormatMsg(msgErrorOccurredWhenInstalling, "C:\\Program Files\\Velmor\\Data\\Sestavy.zip"), "");
    });
    ShotModal(p + L"error-list", L"TFMessage", [] {
      ShowMessageForm("- The path contains characters that are not allowed\n- The disk C: has only 120 MB free\n"
                      "- The directory is a network folder",
                      "These errors was found during checking", "", mkError);
    });
    ShotModal(p + L"information", L"TFMessage", [] { ShowInfo(Msg(msgRestorePreviousSucceeded), ""); });
    ShotModal(p + L"warning", L"TFMessage", [] { ShowMessageForm(FormatMsg(msgCannotCreateDestinationPath, "D:\\Velmor"), "", "", mkWarning); });
    ShotModal(p + L"info", L"TFMessage", [] { ShowMessageForm("SQL Server was found.", "", "", mkInfo); });
    ShotModal(p + L"plain", L"TFMessage", [] { ShowMessageForm("A plain message.", "", "", mkPlain); });
    ShowWait(Msg(msgInitializing), "", "Installation");
    Pump(2500);
    if (TFMessage* wait = MessageFormPresenter().WaitForm()) {
      SaveWindow(static_cast<HWND>(wait->Handle()), outDir + L"\\" + p + L"wait.bmp");
    }
    CloseWait();
    ShotModal(p + L"error-report", L"TFInstallErrDlg", [] {
      FInstallErrDlg().SetSupportAddress("podpora@velmor.cz");
      FInstallErrDlg().ShowModal();
    });
    ShotModal(p + L"log-view", L"TFInstalllogView", [] { FInstallErrDlg().LogView().ShowModal(); });
  }
  ShotModal(L"setup-info", L"TFSetupInfo", [] { ShowSetupInfo(nullptr); });
  ResetInstallErrDlg();
  fwprintf(stderr, L"%d pictures\n", saved);
  return saved > 0 ? 0 : 1;
}
