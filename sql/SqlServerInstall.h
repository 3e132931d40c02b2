#pragma once
// Installing a new SQL Server on this computer: the editions of "MSSQL.ini" in the list of the
// installation page, and the installation sequence that fetches the chosen installer with its
// companion files, runs it unattended, judges its exit code and installs Management Studio.
#include <functional>
#include <string>
#include <vector>

#include "engine/Progress.h"
#include "sql/MSSQLIni.h"
#include "support/SystemUtil.h"

class TSetupDat;
#include "ui/Controls.h"

// Exit codes of an installer that finished but wants Windows restarted: the product is
// installed and the restart is up to the user (ERROR_SUCCESS_REBOOT_REQUIRED), or the installer
// has started the restart itself (ERROR_SUCCESS_REBOOT_INITIATED): Windows is going down now.
constexpr int ExitCodeRestartRequired = 3010;
constexpr int ExitCodeRestartInitiated = 1641;

enum class TInstallOutcome { Failed, Installed, InstalledRestartNeeded, RestartInitiated };

// The companions of an installer at its source: the base name (without extension) with
// ".ini", ".bat" and ".cmd".
struct TCompanionNames {
  std::string Ini, Bat, Cmd;
};
TCompanionNames CompanionNames(const std::string& installerFile);

// What a fetched installer and its companions make run: a .cmd before a .bat before the
// installer itself, which then gets /ConfigurationFile="<ini>" when a .ini is there.
struct TInstallCommand {
  std::string File, Parameters;
};
TInstallCommand ChooseInstallCommand(const std::string& installer, const std::string& parameters,
                                     const std::string& ini, const std::string& bat, const std::string& cmd);

// The text shown for an exit code that is neither success nor a restart request.
std::string InstallErrorText(const std::string& errorMessage, int exitCode);

class TSQLServerInstall {
 public:
  // The controls of the installation page and the wizard's services the sequence uses.
  struct TPage {
    ui::TComboBox& cmbMSSQLInstallINI;
    ui::TPanel& PnlDownLoad;
    ui::TLabel& lblDownload;
    ui::TProgressBar& ProgressDownload;
    // Shows only the Stop download button (true) or no button at all (false).
    std::function<void(bool stopDownload)> ShowButtons;
    // The wizard window's handle, owner of the started installers.
    std::function<void*()> Owner;
  };

  explicit TSQLServerInstall(TPage page) : FPage(std::move(page)) {}

  // Fetches fileName ("MSSQL.ini") from the SQL Server source and fills the edition list.
  // False when it cannot be fetched (the user has been told; with terminateOnFailure the
  // program is also asked to end). A file that can be fetched but offers nothing leaves the
  // list empty and keeps the reason in Problem().
  bool GetMSSQLInstallINI(const std::string& fileName, bool terminateOnFailure);

  // Fetches one installer with its companions, runs it and waits. Installed when it ended
  // with 0, InstalledRestartNeeded with 3010, RestartInitiated with 1641 (logged, nothing
  // shown); every other end has been shown to the user with errorMessage and the exit code.
  TInstallOutcome InstallMSSQL(const std::string& fileName, const std::string& parameters,
                               const std::string& product, const std::string& errorMessage);

  // Next on the installation page: SQL Server of the selected edition, then its Management
  // Studio when it names one and SQL Server was installed. A needed restart is told and logged.
  // A restart the installer has started ends the installer: the user is told, and the
  // application is asked to end (RestartInitiated); nothing more is installed.
  TInstallOutcome InstallSelected();

  const std::vector<TMSSQLini>& Entries() const { return FEntries; }
  // True once a SQL Server setup run here ended asking for a restart of Windows (3010): the
  // installation's exit code reports it.
  bool WindowsRestartRequested() const { return FRestartRequested; }
  // Why the edition list is empty (one sentence for the user), or empty.
  const std::string& Problem() const { return FProblem; }

  // The Windows the edition filters compare with, and how a program is run and waited for
  // (tests put in their own).
  std::function<TWindowsFacts()> Windows = RunningWindows;
  std::function<std::string(const std::string& file)> ProgramFor = [](const std::string& file) {
    return ExecutableFor(file);
  };
  std::function<int(void* owner, const std::string& file, const std::string& parameters, unsigned flags)> Execute =
      [](void* owner, const std::string& file, const std::string& parameters, unsigned flags) {
        return ExecuteProgram(owner, file, parameters, flags);
      };
  // The definition whose SQL Server location is used; the program's when none is named.
  const TSetupDat* Definition = nullptr;
  // How a file of the SQL Server location (MSSQL.ini, an installer, a companion) is fetched:
  // from that definition unless the owner puts in its own way.
  std::function<bool(const std::string& fileName, std::string& path, engine::ProgressSink* progress, bool reportError)>
      Fetch = [this](const std::string& fileName, std::string& path, engine::ProgressSink* progress, bool reportError) {
        return FetchFromDefinition(fileName, path, progress, reportError);
      };

 private:
  const TSetupDat& SetupDefinition() const;
  bool FetchFromDefinition(const std::string& fileName, std::string& path, engine::ProgressSink* progress,
                           bool reportError) const;
  bool FetchInstaller(const std::string& fileName, const TCompanionNames& names, std::string& installer,
                      TCompanionNames& local);

  TPage FPage;
  std::vector<TMSSQLini> FEntries;
  std::string FProblem;
  bool FRestartRequested = false;
};
