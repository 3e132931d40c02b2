// The wizard's own steps around an installation run: getting a package archive with the copy
// page's bar, and the restore of the backup on its page. The engine does the work; the sinks
// here move the pages' bars and labels, write the log lines and let pending input run.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/Install.h"
#include "engine/BackupRestore.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/SystemUtil.h"
#include "ui/Application.h"

namespace {

// A message box lists this many files at most; the log lists them all.
constexpr std::size_t kListedFilesLeft = 15;

// The files a restore left as they were: every one in the log with why, the first ones in a
// message box.
void ReportFilesLeft(TFInstall& form, const std::vector<engine::RestoreSkippedFile>& skipped) {
  std::string heading = Msg(msgRestoreFilesLeft);
  InstallLog().AddError(heading);
  std::string text = heading;
  std::size_t listed = skipped.size() <= kListedFilesLeft ? skipped.size() : kListedFilesLeft - 1;
  for (std::size_t i = 0; i < skipped.size(); ++i) {
    std::string name = skipped[i].Name;
    std::replace(name.begin(), name.end(), '\\', platform::PathDelimiter());
    std::string path = platform::IncludeTrailingPathDelimiter(form.State.AdrInstall) + name;
    InstallLog().AddError(path + " : " + skipped[i].Why);
    if (i < listed) text.append("\n").append(path);
  }
  if (listed < skipped.size())
    text.append("\n").append(FormatMsg(msgRestoreMoreFilesLeft, std::to_string(skipped.size() - listed)));
  form.PlainMessageBox(text);
}

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

bool TFInstall::StahniSoubor(const std::string& fileName, std::string& fileNameWithPath, const std::string& sha256) {
  DownloadBar bar([this](int position) { ProgressCopyFile.SetPosition(position); });
  return FHost.StahniSoubor(FDefinition, fileName, fileNameWithPath, &bar, true, false, sha256);
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
    engine::RestoreResult restored = engine::RestoreBackup(State.BackupVelmor, State.AdrInstall, progress);
    outcome = restored.Skipped.empty();
    if (!outcome) ReportFilesLeft(*this, restored.Skipped);
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
