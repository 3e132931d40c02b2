#include "app/Startup.h"

#include <exception>

#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"

const char* const ProductIndexURL = "https://download.velmor.cz/velmor/zb/VelmorInstall/DAT/dats.ini";
std::string DatsIniFile;
unsigned char IconVariant = 0;


bool WindowsTooOld(int winVerzeMajor, int winVerzeMinor, int systemMajor, int systemMinor) {
  if (winVerzeMajor == -1) return false;
  return winVerzeMajor > systemMajor || (winVerzeMajor == systemMajor && winVerzeMinor > systemMinor);
}

namespace {

// The end of the program saves the log, however it ends.
class LogSaver {
 public:
  ~LogSaver() {
    try {
      InstallLog().Save();
    } catch (const std::exception&) {
      // Nowhere left to report it: the temporary folder is not writable.
    }
  }
};

int Sequence(TStartupHost& host) {
  host.InitializeApplication();
  IconVariant = 0;
  host.ApplyStyle(StyleName);

  if (host.FindRunningWizard(WizardWindowClass)) {
    ShowError(Msg(msgInstallationAlreadyRunning), "");
    host.BringRunningWizardToFront();
    host.Terminate();
    return 1;
  }

  ShowWait(Msg(msgInitializing), "", Msg(msgInstallation));
  host.WriteSSLLibraries();
  host.MainFormOnTaskbar();
  host.CreateSetupDat();

  // From here every way out closes the wait window first.
  struct WaitCloser {
    ~WaitCloser() { CloseWait(); }
  } waitCloser;

  TStartupDefinition def = host.Definition();
  if (!def.LoadedSetupDat) {
    std::string local;
    if (!host.DownloadFile(ProductIndexURL, local)) {
      ShowError(Msg(msgSetupDatNotFound), "");
      CloseWait();
      host.Terminate();
      return 1;
    }
    DatsIniFile = local;
  } else {
    int major = 0, minor = 0;
    host.WindowsVersion(major, minor);
    if (WindowsTooOld(def.WinVerzeMajor, def.WinVerzeMinor, major, minor)) ShowError(Msg(msgNewerWindowsRequired), "");
  }

  if (!host.HasAdminRights()) {
    ShowError(Msg(msgAdminRightsRequired), "");
    CloseWait();
    host.Terminate();
    return 1;
  }

  if (def.VersionProd == 1) {
    host.SetApplicationIcon("IcoVel3");
    IconVariant = 3;
  } else {
    host.SetApplicationIcon("IcoVel2");
    IconVariant = 2;
  }

  host.CreateWizard();
  CloseWait();
  host.RunMessageLoop();
  CloseWait();
  return 0;
}

}  // namespace

int RunVelSetup(TStartupHost& host) {
  LogSaver saver;
  try {
    return Sequence(host);
  } catch (const std::exception& e) {
    CloseWait();
    host.UnhandledError(e.what());
  } catch (...) {
    CloseWait();
    host.UnhandledError("Unknown error");
  }
  return 2;
}
