#include "app/Startup.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "app/CommandLine.h"
#include "platform/Files.h"
#include "support/SystemUtil.h"

#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"

const char* const ProductIndexURL = "https://download.velmor.cz/velmor/zb/VelmorInstall/DAT/dats.ini";
std::string ProductIndexSource;
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
  // Before anything else: two copies started within the same second both see no wizard window
  // yet, but only one of them gets the lock.
  bool onlyCopy = host.TakeSingleInstanceLock();
  host.InitializeApplication();
  IconVariant = 0;
  host.ApplyStyle(StyleName);

  // The window test still finds a copy of an earlier installer that takes no lock.
  bool otherWizard = host.FindRunningWizard(WizardWindowClass);
  if (!onlyCopy || otherWizard) {
    ShowError(Msg(msgInstallationAlreadyRunning), "");
    host.BringRunningWizardToFront();
    host.Terminate();
    return 1;
  }

  TCommandLineResult commandLine = ParseCommandLine(host.Arguments());
  if (!commandLine.Ok) {
    ShowError(commandLine.Problem, "");
    host.Terminate();
    return 1;
  }
  const TCommandLine& options = commandLine.Options;

  ShowWait(Msg(msgInitializing), "", Msg(msgInstallation));
  host.WriteSSLLibraries();
  host.MainFormOnTaskbar();
  // A definition or an index named on the command line is what the user asked for: the
  // "setup.dat" beside the program does not take its place.
  host.CreateSetupDat(options.SetupDat.empty() && options.Index.empty());

  // From here every way out closes the wait window first.
  struct WaitCloser {
    ~WaitCloser() { CloseWait(); }
  } waitCloser;

  if (!options.SetupDat.empty()) {
    InstallLog().Add("Setup definition from the command line: " + options.SetupDat);
    if (!host.LoadSetupDatFile(options.SetupDat)) {
      ShowError(FormatMsg(msgDefinitionFileNotLoaded, options.SetupDat), "");
      CloseWait();
      host.Terminate();
      return 1;
    }
  }

  TStartupDefinition def = host.Definition();
  if (!def.LoadedSetupDat) {
    std::string index = options.Index.empty() ? std::string(ProductIndexURL) : options.Index;
    if (!options.Index.empty()) InstallLog().Add("Product index from the command line: " + index);
    std::string local;
    bool obtained = false;
    if (IsURL(index)) {
      obtained = host.DownloadFile(index, local);
    } else {
      std::error_code ec;
      std::filesystem::path path = platform::PathFromUtf8(index);
      obtained = std::filesystem::is_regular_file(path, ec);
      if (obtained) local = platform::Utf8FromPath(std::filesystem::absolute(path, ec));
      if (!obtained) InstallLog().AddError("The product index " + index + " is no file");
    }
    if (!obtained) {
      ShowError(Msg(msgSetupDatNotFound), "");
      CloseWait();
      host.Terminate();
      return 1;
    }
    ProductIndexSource = index;
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
