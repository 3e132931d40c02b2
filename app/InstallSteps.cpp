// The wizard's own steps around an installation run: getting a package archive with the copy
// page's bar, and the restore of the backup on its page. The engine does the work; the sinks
// here move the pages' bars and labels, write the log lines and let pending input run.
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/Install.h"
#include "engine/BackupRestore.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/SetupDat.h"
#include "support/Application.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/SystemUtil.h"

namespace {

// The restore page: nothing on it can stop the restore.
class RestoreProgress : public engine::ProgressSink {
 public:
  explicit RestoreProgress(TFInstall& form) : F(form) {}
  void SetTotal(std::uint64_t total) override {
    F.ProgressBarRecov.SetMax(static_cast<int>(total));
    F.ProgressBarRecov.SetPosition(0);
  }
  void Item(std::uint64_t, const std::string& entry) override {
    LogProcedure log("onBackupExtractFile");
    InstallLog().Add(Msg(msgExtractingArchives) + entry);
    F.ProgressBarRecov.StepBy(1);
    F.lblFileNameRecov.SetCaption(entry);
    Application().ProcessMessages();
  }

 private:
  TFInstall& F;
};

}  // namespace

bool TFInstall::StahniSoubor(const std::string& fileName, std::string& fileNameWithPath) {
  const TSetupDat& def = SetupDat();
  DownloadSources sources{def.LocalPath(), def.InstallServer(), def.MSSQLInstall()};
  DownloadBar bar([this](int position) { ProgressCopyFile.SetPosition(position); });
  return ::StahniSoubor(sources, fileName, fileNameWithPath, &bar, true, false);
}

bool TFInstall::RecoveryPrevVelmor() {
  LogProcedure log("RecoveryPrevVelmor");
  ShowPageButtons(tsObnova.PageIndex(), 0);
  pnlRecovResult.SetVisible(false);
  pnlRecovProgr.SetVisible(true);
  bool outcome = false;
  try {
    ProgressBarRecov.SetMin(0);
    ProgressBarRecov.SetPosition(0);
    RestoreProgress progress(*this);
    engine::RestoreBackup(BackupVelmor, AdrInstall, progress);
    outcome = true;
  } catch (const std::exception& e) {
    std::string text = Msg(msgErrorRestoringPrevious) + e.what();
    PlainMessageBox(text);
    InstallLog().AddError(text);
  }
  ProgressBarRecov.SetPosition(0);
  lblFileNameRecov.SetCaption("");
  pnlRecovProgr.SetVisible(false);
  pnlRecovResult.SetVisible(true);
  std::string result = Msg(outcome ? msgRestorePreviousSucceeded : msgErrorRecoveringPrevious);
  lblResultRecov.SetCaption(result);
  InstallLog().Add(result);
  ShowPageButtons(tsObnova.PageIndex(), 1);
  return outcome;
}
