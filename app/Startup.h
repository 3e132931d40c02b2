#pragma once
// The installer's start-up: everything that runs before the first wizard page is seen.
// The sequence is written once, over a host that does the platform's part (finding the
// other copy, the wait window, rights, icons, the wizard window, the message loop), so the
// order and every refusal run the same in the headless tests and in VelSetup.exe.
#include <string>
#include <vector>

#include "app/WizardState.h"
#include "app/CommandLine.h"

// The look every window of the installer wears.
inline constexpr const char* StyleName = "Velmor setup white";
// Window class of the wizard; a second copy finds the first by it.
inline constexpr const char* WizardWindowClass = "TFInstall";
// The product index on the maker's download server.
extern const char* const ProductIndexURL;

// What start-up reads of the setup definition once it is created.
struct TStartupDefinition {
  bool LoadedSetupDat = false;
  int WinVerzeMajor = -1;
  int WinVerzeMinor = 0;
  int VersionProd = 0;
};

class TStartupHost {
 public:
  virtual ~TStartupHost() = default;

  // The first act of start-up: takes the installer's named lock, which lives until the process
  // ends. False when another copy holds it.
  virtual bool TakeSingleInstanceLock() = 0;
  // The command-line arguments after the program name.
  virtual std::vector<std::string> Arguments() = 0;
  virtual void InitializeApplication() = 0;
  // Applies a built-in visual style; when it cannot, reports that itself and returns false.
  virtual bool ApplyStyle(const std::string& styleName) = 0;
  // True when a top-level window of the class exists (any title); remembers it.
  virtual bool FindRunningWizard(const std::string& windowClass) = 0;
  virtual void BringRunningWizardToFront() = 0;
  virtual void WriteSSLLibraries() = 0;
  virtual void MainFormOnTaskbar() = 0;
  // Creates the program-wide setup definition; with loadBesideProgram it tries the local
  // "setup.dat".
  virtual void CreateSetupDat(bool loadBesideProgram) = 0;
  // Loads a setup definition file named on the command line into it.
  virtual bool LoadSetupDatFile(const std::string& path) = 0;
  virtual TStartupDefinition Definition() = 0;
  // Downloads url into the temporary folder without a progress bar or a message.
  virtual bool DownloadFile(const std::string& url, std::string& localPath) = 0;
  virtual void WindowsVersion(int& major, int& minor) = 0;
  virtual bool HasAdminRights() = 0;
  // Makes the icon stored at the start of the raw-data resource the application's icon.
  virtual void SetApplicationIcon(const std::string& resourceName) = 0;
  // Creates the wizard window as the application's main window, starting from what start-up
  // found out (the product index, the icon).
  virtual void CreateWizard(const TWizardState& start) = 0;
  // Runs until the main window closes.
  virtual void RunMessageLoop() = 0;
  virtual void Terminate() = 0;
  // An error nothing else caught: the error report sequence (log, error log, report).
  virtual void UnhandledError(const std::string& message) = 0;

  // The unattended installation (/SILENT, /VERYSILENT): drives the created wizard without the
  // user instead of the message loop (app/Unattended.h) and returns the exit code.
  // A host without a wizard has nothing to drive: the installation fails.
  virtual int RunUnattended(const TCommandLine& options);
  // Writes the text to the console the program was started from; false when there is none.
  virtual bool WriteConsoleText(const std::string&) { return false; }
};

// True when a definition asking for Windows major.minor cannot run on the system's version.
bool WindowsTooOld(int winVerzeMajor, int winVerzeMinor, int systemMajor, int systemMinor);

// Runs the start-up sequence and the wizard; returns the exit code: 0 after the wizard
// closed, 1 after a refusal, 2 after an error nothing caught (handed to UnhandledError),
// 1618 when another copy runs, 87 for a wrong command line, and for an unattended
// installation the codes of app/ExitCode.h (every refusal 1603). The installation log is saved
// on every way out, and copied to the /LOG= file when one was named.
int RunVelSetup(TStartupHost& host);
