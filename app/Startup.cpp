#include "app/Startup.h"

#include <exception>
#include <optional>
#include <filesystem>
#include <system_error>

#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "app/Unattended.h"
#include "platform/Files.h"
#include "support/SystemUtil.h"

#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"

const char* const ProductIndexURL = "https://download.velmor.cz/velmor/zb/VelmorInstall/DAT/dats.ini";


int TStartupHost::RunUnattended(const TCommandLine&) { return ExitFailed; }

bool WindowsTooOld(int winVerzeMajor, int winVerzeMinor, int systemMajor, int systemMinor) {
  if (winVerzeMajor == -1) return false;
  return winVerzeMajor > systemMajor || (winVerzeMajor == systemMajor && winVerzeMinor > systemMinor);
}

namespace {

// The end of the program saves the log, however it ends, and copies it to the /LOG= file.
class LogSaver {
 public:
  ~LogSaver() {
    try {
      InstallLog().Save();
    } catch (const std::exception&) {
      // Nowhere left to report it: the temporary folder is not writable.
    }
    if (Copy.empty()) return;
    try {
      InstallLog().SaveTo(Copy);
    } catch (const std::exception&) {
      // Checked writable at the start; a file taken away since then is not reported anywhere.
    }
  }
  std::string Copy;
};

// The /LOG= file as an absolute path (a relative one is taken from the current folder), checked
// writable now, so that a wrong one is refused before anything is done.
bool PrepareLogCopy(const std::string& file, std::string& path) {
  std::error_code ec;
  std::filesystem::path absolute = std::filesystem::absolute(platform::PathFromUtf8(file), ec);
  if (ec) return false;
  path = platform::Utf8FromPath(absolute);
  try {
    InstallLog().SaveTo(path);
  } catch (const std::exception&) {
    return false;
  }
  return true;
}

int Sequence(TStartupHost& host, LogSaver& saver, std::optional<TUnattendedAnswers>& answers) {
  // Before anything else: two copies started within the same second both see no wizard window
  // yet, but only one of them gets the lock.
  bool onlyCopy = host.TakeSingleInstanceLock();
  TCommandLineResult commandLine = ParseCommandLine(host.Arguments());
  const TCommandLine& options = commandLine.Options;
  const bool unattended = options.Unattended();
  host.InitializeApplication();
  TWizardState start;
  // An unattended installation shows no message from here on: each goes to the log.
  if (unattended) answers.emplace();
  std::string given;
  for (const std::string& argument : host.Arguments()) given += (given.empty() ? "" : " ") + argument;
  if (!given.empty()) InstallLog().Add("Command line: " + given);
  if (unattended)
    InstallLog().Add("Unattended installation: no message is shown, each question gets its safe answer");
  host.ApplyStyle(StyleName);
  if (!options.Log.empty() && !PrepareLogCopy(options.Log, saver.Copy)) {
    saver.Copy.clear();
    ShowError(FormatMsg(msgLogFileNotWritable, options.Log), "");
    host.Terminate();
    return ExitBadCommandLine;
  }
  // Each way out of an unattended installation before the wizard runs is a failure.
  const int refused = unattended ? ExitFailed : 1;

  // The window test still finds a copy of an earlier installer that takes no lock.
  bool otherWizard = host.FindRunningWizard(WizardWindowClass);
  if (!onlyCopy || otherWizard) {
    ShowError(Msg(msgInstallationAlreadyRunning), "");
    if (!unattended) host.BringRunningWizardToFront();
    host.Terminate();
    return ExitAnotherCopy;
  }

  if (!commandLine.Ok) {
    ShowError(commandLine.Problem, "");
    host.Terminate();
    return ExitBadCommandLine;
  }
  if (options.Help) {
    InstallLog().Add("Usage asked for on the command line");
    if (!host.WriteConsoleText(UsageText()) && !unattended) ShowInfo(UsageText(), "");
    host.Terminate();
    return ExitInstalled;
  }

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
      return refused;
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
      return refused;
    }
    start.ProductIndexSource = index;
    start.DatsIniFile = local;
  } else {
    int major = 0, minor = 0;
    host.WindowsVersion(major, minor);
    if (WindowsTooOld(def.WinVerzeMajor, def.WinVerzeMinor, major, minor)) ShowError(Msg(msgNewerWindowsRequired), "");
  }

  if (!host.HasAdminRights()) {
    ShowError(Msg(msgAdminRightsRequired), "");
    CloseWait();
    host.Terminate();
    return refused;
  }

  if (def.VersionProd == 1) {
    host.SetApplicationIcon("IcoVel3");
    start.IconVariant = 3;
  } else {
    host.SetApplicationIcon("IcoVel2");
    start.IconVariant = 2;
  }

  host.CreateWizard(start);
  CloseWait();
  if (unattended) return host.RunUnattended(options);
  host.RunMessageLoop();
  CloseWait();
  return 0;
}

}  // namespace

int RunVelSetup(TStartupHost& host) {
  LogSaver saver;
  // The presenter of an unattended installation lives until the log is saved.
  std::optional<TUnattendedAnswers> answers;
  // An unattended installation shows no error report either: the log says it.
  auto unhandled = [&](const std::string& message) {
    CloseWait();
    if (!answers) {
      host.UnhandledError(message);
      return 2;
    }
    InstallLog().AddError("Unattended: an error ended the installation: " + message);
    InstallLog().Add("Unattended: exit code " + std::to_string(ExitFailed));
    return ExitFailed;
  };
  try {
    int code = Sequence(host, saver, answers);
    if (answers) InstallLog().Add("Unattended: exit code " + std::to_string(code));
    return code;
  } catch (const std::exception& e) {
    return unhandled(e.what());
  } catch (...) {
    return unhandled("Unknown error");
  }
}
