// Test program, never shipped: shows the real wizard window and saves a picture of every
// page in every interface language, for people to look at (scripts/screenshots.sh).
//   WizardShots.exe OUTDIR [LANGS]      LANGS: any of CZ,EN,DE,SK (default all)
// Pictures are 24-bit BMP files OUTDIR\<lang>-<nn>-<page>.bmp of the window as on screen.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "WindowPicture.h"
#include "app/Install.h"
#include "app/win32/Win32Host.h"
#include "platform/win32/Wide.h"
#include "setup/SetupDat.h"
#include "sql/Ssrp.h"
#include "support/Catalogue.h"
#include "support/MessageDialog.h"
#include "support/MessageForm.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

using platform::win32::Utf8;
using platform::win32::Wide;

namespace {

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    Application().ProcessMessages();
    Sleep(10);
  } while (GetTickCount() < end);
}

// Sample content, so every page shows what it looks like in use.
void FillSamples(TFInstall& w) {
  w.lblVerze.SetCaption("Velmor Tarpel 2.14.3");
  w.lblErrorDirVer.SetCaption(FormatMsg(msgNewerVersionInLocation, "Velmor Tarpel 2.14.3"));
  w.rbExistMSSQL.SetChecked(true);
  w.cmbSQLServers.SetItems({"VELMOR-PC\\SQLEXPRESS", "VELMOR-PC\\VELMOR"});
  w.cmbSQLServers.SetItemIndex(0);
  w.edDBName.SetText("VelmorData");
  w.cmbMSSQLInstallINI.SetItems({"Microsoft SQL Server 2019 Express (64-bit)"});
  w.cmbMSSQLInstallINI.SetItemIndex(0);
  w.btnInstallMSSQL.SetVisible(true);
  w.PnlDownLoad.SetVisible(true);
  w.ProgressDownload.SetPosition(40);
  w.lblFileName.SetCaption("C:\\Velmor\\Data\\Sestavy\\Faktura - přehled plateb.rep");
  w.ProgressBackup.SetPosition(35);
  w.lblCopyFile.SetCaption(Msg(msgCopyingTheFile) + "Program.zip");
  w.ProgressCopyFile.SetPosition(70);
  w.ProgressCopyInstall.SetPosition(45);
  w.lblFileNameRecov.SetCaption("C:\\Velmor\\Velmor.exe");
  w.ProgressBarRecov.SetPosition(80);
  w.cmbMSSQLNetList.SetItems({"SERVER01\\SQL2019", "SERVER02"});
  w.cmbMSSQLNetList.SetItemIndex(0);
  w.edtNetDBName.SetText("VelmorData");
  w.rgVerzeSW.SetItems({"   Velmor Tarpel 2.14", "   Velmor Kest 2.14", "   Velmor Tarpel 3.0 (beta)"});
  w.rgVerzeSW.SetItemIndex(0);
}

// A modal message is pictured from a timer that runs inside its modal loop, then closed.
std::wstring pendingShot;
void CALLBACK ShootMessage(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (TFMessage* m = MessageFormPresenter().Showing()) {
    SaveWindowPicture(static_cast<HWND>(m->Handle()), pendingShot);
    PostMessageW(static_cast<HWND>(m->Handle()), WM_CLOSE, 0, 0);
  }
}

// Waits (up to five seconds) for the network page's error, since the scan runs first, then
// pictures and closes it.
int scanErrorTries = 0;
void CALLBACK ShootScanError(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  if (TFMessage* m = MessageFormPresenter().Showing()) {
    SaveWindowPicture(static_cast<HWND>(m->Handle()), pendingShot);
    PostMessageW(static_cast<HWND>(m->Handle()), WM_CLOSE, 0, 0);
  } else if (++scanErrorTries < 50) {
    SetTimer(nullptr, 0, 100, ShootScanError);
  }
}

void ShootMessages(const std::wstring& out, const wchar_t* lang) {
  struct Kind {
    TMessageKind kind;
    const wchar_t* name;
    const TMessage* text;
    const TMessage* title;
  } kinds[] = {{mkQuestion, L"question", &msgAbortInstallation, nullptr},
               {mkWarning, L"warning", &msgCannotUseForUpgrade, nullptr},
               {mkInfo, L"info", &msgRestorePreviousSucceeded, nullptr},
               {mkError, L"error", &msgCannotCreateDestinationFolder, &msgErrorMessage},
               {mkInformation, L"information", &msgInstallationInterrupted, nullptr}};
  for (const Kind& k : kinds) {
    wchar_t name[64];
    swprintf(name, 64, L"\\%ls-msg-%ls.bmp", lang, k.name);
    pendingShot = out + name;
    SetTimer(nullptr, 0, 400, ShootMessage);
    std::string text = Format(Msg(*k.text), {"C:\\Velmor"});
    ShowMessageForm(text, k.title ? Msg(*k.title) : "", "", k.kind);
  }
  ShowWait(Msg(msgInitializing), "", Msg(msgInstallation));
  Pump(300);
  if (TFMessage* wait = MessageFormPresenter().WaitForm())
    SaveWindowPicture(static_cast<HWND>(wait->Handle()), out + L"\\" + lang + L"-msg-wait.bmp");
  CloseWait();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) {
    fwprintf(stderr, L"usage: WizardShots OUTDIR [CZ,EN,DE,SK]\n");
    return 2;
  }
  std::wstring out = argv[1];
  std::wstring langs = argc > 2 ? argv[2] : L"CZ,EN,DE,SK";
  ui::win32::UseWin32Backend();
  UseMessageForm();
  // The network page scans when shown: nothing is broadcast from here, and the error of the
  // missing provider (Wine has none) is pictured and closed.
  SqlBrowserTarget() = {"127.0.0.1", 1434, 200};
  TWin32StartupHost host;
  host.ApplyStyle("Velmor setup white");
  TSystemWizardHost wizardHost;
  TFInstall w{wizardHost, SetupDat()};
  w.SetIcon("IcoVel2");
  w.FormCreate();
  w.ShowForm();
  FillSamples(w);
  // The version page lists the versions of a product index: a sample one in the temporary folder.
  wchar_t tempDir[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, tempDir);
  std::wstring index = std::wstring(tempDir) + L"VelSetupShots-dats.ini";
  if (FILE* f = _wfopen(index.c_str(), L"wb")) {
    fputs("[Velmor1]\r\nURL=http://localhost/1/setup.dat\r\nName=Velmor Tarpel 2.14\r\n"
          "[Velmor2]\r\nURL=http://localhost/2/setup.dat\r\nName=Velmor Kest 2.14\r\n"
          "[Velmor3]\r\nURL=http://localhost/3/setup.dat\r\nName=Velmor Tarpel 3.0 (beta)\r\n", f);
    fclose(f);
  }
  w.State.DatsIniFile = Utf8(index);
  HWND wnd = static_cast<HWND>(w.Handle());
  SetWindowPos(wnd, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
  struct Lang {
    const wchar_t* code;
    int item;
  } all[] = {{L"CZ", 0}, {L"SK", 1}, {L"EN", 2}, {L"DE", 3}};
  int saved = 0;
  for (const Lang& l : all) {
    if (langs.find(l.code) == std::wstring::npos) continue;
    for (int p = 0; p < w.pgcInstall.PageCount(); ++p) {
      w.rgbJazyk.SetItemIndex(l.item);
      ui::TTabSheet& page = w.pgcInstall.Pages(p);
      if (&page == &w.tsSQLNet) {
        pendingShot = out + L"\\" + l.code + L"-msg-network-scan.bmp";
        scanErrorTries = 0;
        SetTimer(nullptr, 0, 400, ShootScanError);
      }
      w.ShowPage(page);
      w.SetPageCaption(p);
      if (&page == &w.tsAdresar) w.SetHeadingText(Msg(msgSelectTargetDirectory));
      FillSamples(w);
      // The three heading looks take turns, so each is seen with long and short headings.
      ui::TTabSheet* looks[] = {&w.tsLogov2, &w.tsLogov3, &w.tsLogoV3Kest};
      w.pgcLogo.SetActivePage(looks[p % 3]);
      RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
      Pump(250);
      wchar_t name[64];
      swprintf(name, 64, L"\\%ls-%02d-%ls.bmp", l.code, p + 1, Wide(page.Name()).c_str());
      if (SaveWindowPicture(wnd, out + name)) ++saved;
    }
    ShootMessages(out, l.code);
  }
  fwprintf(stdout, L"%d pictures\n", saved);
  return saved > 0 ? 0 : 1;
}
