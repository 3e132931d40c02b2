#pragma once
// The unattended installation (/SILENT, /VERYSILENT): the wizard is driven page by page the way
// a user drives it (the language, the version, the folder in edDir, the SQL Server choice, the
// database, Next), so every check a page makes is made; nothing is shown but, with /SILENT, the
// run's progress pages; every question gets its safe answer and lands in the log; and the end
// becomes an exit code (app/ExitCode.h).
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "app/ExitCode.h"
#include "engine/InstallRun.h"
#include "engine/InstallTypes.h"
#include "support/MessageDialog.h"

class TFInstall;

// The message presenter of an unattended run: nothing is shown, each message is written to the
// log, and each question gets the answer that loses nothing: an interrupted update is restored
// (Yes), everything else is declined (No, Cancel): an existing Velmor.INI is kept, a folder of
// other files is not taken, files in use end the run before the backup. A Stop pressed in the
// progress window of /SILENT is the user's cancel. While it lives it is the program's presenter.
class TUnattendedAnswers : public TMessagePresenter {
 public:
  TUnattendedAnswers();
  ~TUnattendedAnswers() override;
  TUnattendedAnswers(const TUnattendedAnswers&) = delete;
  TUnattendedAnswers& operator=(const TUnattendedAnswers&) = delete;

  bool ShowMessageForm(const std::string& text, const std::string& title, const std::string& caption,
                       TMessageKind kind, int cursor, const TNotifyEvent& runProc) override;
  void UpdateWait(const std::string&, const std::string&) override {}
  void CloseWait() override {}

 private:
  TMessagePresenter* FPrevious;
};

// The options of the unattended installation running now; null in the interactive wizard.
const TCommandLine* UnattendedOptions();

// --- What the wizard asks of the unattended mode at its points ---------------------------------

// Whether the wizard window may be shown on the page now active: never with /VERYSILENT, only
// on the progress pages (backup, copy, restore) with /SILENT, always in the interactive wizard.
bool UnattendedWindowMayShow(const TFInstall& form);
// The installation type to use where the wizard chose `wizardChoice` (/TYPE= overrides it).
TTypeInstall UnattendedInstallType(TTypeInstall wizardChoice);
// The installation run has ended with this result / the restore after it has ended.
void UnattendedRunEnded(const engine::InstallRunResult& result);
void UnattendedRestoreEnded(bool restored);

// An error no handler caught: in an unattended run it is logged, the run stops at its next safe
// point (an update is restored) and the installation fails; true then. False in the wizard.
bool UnattendedError(const std::string& error);

// Drives the created wizard (not yet shown) from its first page to its end with the options;
// returns the exit code. The options stay in force until it returns.
int RunUnattendedWizard(TFInstall& form, const TCommandLine& options);
