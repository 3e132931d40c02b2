#pragma once
// The exit codes of VelSetup.exe, the ones deployment tools already know from Windows Installer.
// A script that starts the installer (start /wait, a management agent) reads them:
//   0     installed
//   3010  installed; Windows must be restarted to finish (a new SQL Server asked for it)
//   1602  cancelled by the user (the progress window of /SILENT closed or stopped)
//   1603  failed: the log says why; an update that failed has been restored from its backup
//   1618  another copy of the installer is running
//   87    a wrong command line (the log names the argument and why)
#include <optional>

#include "engine/InstallRun.h"

inline constexpr int ExitInstalled = 0;
inline constexpr int ExitRestartNeeded = 3010;
inline constexpr int ExitCancelled = 1602;
inline constexpr int ExitFailed = 1603;
inline constexpr int ExitAnotherCopy = 1618;
inline constexpr int ExitBadCommandLine = 87;

// How an unattended installation ended, as far as the exit code cares.
struct TUnattendedEnding {
  // The installation run's outcome; none when the run never started (a page refused first,
  // a SQL Server setup failed, the definition could not be loaded).
  std::optional<engine::RunOutcome> Outcome;
  // Selected packages that the run did not install (a new installation goes on without them).
  bool PackagesMissing = false;
  // The user closed the progress window of /SILENT or pressed its Stop.
  bool ClosedByUser = false;
  // A setup the installer ran (SQL Server) asked for a restart of Windows.
  bool RestartNeeded = false;
  // A value of the command line did not fit what the kit offers (/VERSION=, /SQLNEW=).
  bool BadArgument = false;
};

// The exit code of an unattended installation.
int ExitCodeOf(const TUnattendedEnding& ending);
