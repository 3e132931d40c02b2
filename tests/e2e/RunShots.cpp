// Test program, never shipped: runs real installations in the real wizard window under wine and
// saves pictures of the pages a run goes through (scripts/run-shots.sh).
//   RunShots.exe OUTDIR KITDIR TARGET NEWER
// KITDIR holds a kit (setup.dat and its packages); TARGET a previous installation; NEWER a
// folder whose VELMOR.EXE carries a newer version than the kit. Pictures OUTDIR\run-*.bmp:
// the directory page (update found, newer version refused), the backup page, the copy page,
// the restore question and page after a stop, and the completion page of a second run.
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "WindowPicture.h"
#include "app/Install.h"
#include "app/win32/Win32Host.h"
#include "platform/win32/Wide.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/MessageForm.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

using platform::win32::Utf8;
using platform::win32::Wide;

namespace {

std::wstring out;
int saved = 0;

bool SaveWindow(HWND wnd, const std::wstring& name) {
  if (!SaveWindowPicture(wnd, out + L"\\run-" + name + L".bmp")) return false;
  ++saved;
  return true;
}

void Settle(HWND wnd) {
  RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  DWORD end = GetTickCount() + 300;
  do {
    Application().ProcessMessages();
    Sleep(10);
  } while (GetTickCount() < end);
}

TFInstall* wizard = nullptr;

// The real host with one change: the second package's fetch is pictured and, when asked,
// followed by a Stop answered Yes.
class RunHost : public TSystemWizardHost {
 public:
  bool stopAfterSecondFetch = false;
  int fetches = 0;
  bool StahniSoubor(const TSetupDat& definition, const std::string& fileName, std::string& path,
                    engine::ProgressSink* progress, bool reportError, bool mssql, const std::string& sha256) override {
    bool ok = TSystemWizardHost::StahniSoubor(definition, fileName, path, progress, reportError, mssql, sha256);
    if (!mssql && ++fetches == 2 && wizard) {
      Settle(static_cast<HWND>(wizard->Handle()));
      SaveWindow(static_cast<HWND>(wizard->Handle()), L"4-copy");
      if (stopAfterSecondFetch) StopRequested = true;
    }
    return ok;
  }
};
bool backupShot = false;

// While the backup runs, its page is pictured once.
void CALLBACK WatchBackup(HWND, UINT, UINT_PTR, DWORD) {
  if (!backupShot && wizard && wizard->pgcInstall.ActivePage() == &wizard->tsZaloha &&
      wizard->ProgressBackup.Position() > 0) {
    backupShot = SaveWindow(static_cast<HWND>(wizard->Handle()), L"3-backup");
  }
}

// The restore question: pictured, then answered Yes.
void CALLBACK AnswerQuestion(HWND, UINT, UINT_PTR id, DWORD) {
  TFMessage* m = MessageFormPresenter().Showing();
  if (!m) return;
  KillTimer(nullptr, id);
  SaveWindow(static_cast<HWND>(m->Handle()), L"5-question");
  m->OKBtn.Click();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 5) {
    fwprintf(stderr, L"usage: RunShots OUTDIR KITDIR TARGET NEWER\n");
    return 2;
  }
  out = argv[1];
  std::string kit = Utf8(argv[2]), target = Utf8(argv[3]), newer = Utf8(argv[4]);
  ui::win32::UseWin32Backend();
  UseMessageForm();
  TWin32StartupHost host;
  host.ApplyStyle("Velmor setup white");
  if (!SetupDat().LoadSetupDat(kit + "\\setup.dat")) {
    fwprintf(stderr, L"the kit's setup.dat cannot be loaded\n");
    return 1;
  }
  SetupDat().SetLocalPath(kit);

  RunHost runHost;
  TFInstall w{runHost, SetupDat()};
  wizard = &w;
  w.SetIcon("IcoVel2");
  w.FormCreate();
  w.ShowForm();
  HWND wnd = static_cast<HWND>(w.Handle());
  SetWindowPos(wnd, HWND_TOP, 20, 20, 0, 0, SWP_NOSIZE);
  SetCurrentLanguage(langEN);
  w.rgbJazyk.SetItemIndex(2);
  w.ShowPage(w.tsAdresar);

  w.edDir.SetText(newer);
  Settle(wnd);
  SaveWindow(wnd, L"1-directory-newer");
  w.edDir.SetText(target);
  Settle(wnd);
  SaveWindow(wnd, L"2-directory-update");

  // First run: stopped during the copy, the backup restored.
  runHost.stopAfterSecondFetch = true;
  UINT_PTR watch = SetTimer(nullptr, 0, 15, WatchBackup);
  SetTimer(nullptr, 0, 300, AnswerQuestion);
  w.btnNextClick(&w.btnNext);
  KillTimer(nullptr, watch);
  Settle(wnd);
  SaveWindow(wnd, L"6-restore");
  fwprintf(stdout, L"first run ended on %ls\n", Wide(w.pgcInstall.ActivePage()->Name()).c_str());

  // Second run: to the end.
  runHost.stopAfterSecondFetch = false;
  runHost.fetches = 0;
  w.RunInstall();
  Settle(wnd);
  SaveWindow(wnd, L"7-completion");
  fwprintf(stdout, L"second run ended on %ls\n", Wide(w.pgcInstall.ActivePage()->Name()).c_str());
  fwprintf(stdout, L"log: %ls\n", Wide(InstallLog().Save()).c_str());
  fwprintf(stdout, L"%d pictures%ls\n", saved, backupShot ? L"" : L" (the backup was too quick to picture)");
  return saved > 0 ? 0 : 1;
}
