// The installation run: plans the run, then carries the plan out step by step on the steps'
// pages, logging each step's beginning and outcome. An interrupted extraction falls back on its
// planned undo, the restore of the backup, when the user wants it.
#include <optional>
#include <string>

#include "app/Install.h"
#include "app/InstallPlan.h"
#include "setup/SetupDat.h"
#include "support/Application.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"

namespace {

// Before the completion page: the selected packages that did not get installed.
const TMessage msgPackagesNotInstalled = {
    "Tyto balíčky nebyly nainstalovány:",
    "These packages were not installed:",
    "Diese Pakete wurden nicht installiert:",
    "Tieto balíky neboli nainštalované:",
};

enum class TStepOutcome { Done, NotObtained, Stopped, Failed };

const char* OutcomeText(TStepOutcome o) {
  switch (o) {
    case TStepOutcome::Done:
      return "done";
    case TStepOutcome::NotObtained:
      return "not obtained, passed over";
    case TStepOutcome::Stopped:
      return "stopped";
    case TStepOutcome::Failed:
      return "failed";
  }
  return "";
}

}  // namespace

void TFInstall::RunInstall() {
  LogProcedure log("RunInstall");
  const TInstallPlan plan =
      PlanInstall(SetupDat().ZipFiles(), {AdrInstall, FInstallType, SetOfInstallTypeFiles, UpdateVerion});
  NotInstalledPackages.clear();
  FRunning = true;
  struct RunningFlag {
    bool& flag;
    ~RunningFlag() { flag = false; }
  } running{FRunning};

  // The copy page's steps are one procedure in the log, as the copying step always was.
  std::optional<LogProcedure> copying;
  std::string archivePath;
  bool interrupted = false;

  for (size_t i = 0; i < plan.Actions.size(); ++i) {
    const TInstallStep& step = plan.Actions[i].Execute;
    if (pgcInstall.ActivePage()->Name() != step.Page) {
      ShowPage(step.Page == tsZaloha.Name() ? tsZaloha : tsCopyFiles);
      if (i == 0) StopRequested = false;
      if (step.Page == tsCopyFiles.Name()) {
        copying.emplace("CopyFiles");
        ProgressCopyInstall.SetMin(0);
        ProgressCopyInstall.SetMax(plan.OverallTotal);
        ProgressCopyInstall.SetPosition(0);
      }
    }
    // A stop (or a failed download) is seen before each package and once its archive is here.
    if ((step.Kind == TInstallStepKind::Fetch || step.Kind == TInstallStepKind::Extract ||
         step.Kind == TInstallStepKind::Configure) &&
        StopRequested) {
      InstallLog().Add("Step " + DescribeStep(step, plan) + ": not begun, the installation was stopped");
      interrupted = true;
      break;
    }
    InstallLog().Add("Step " + DescribeStep(step, plan) + ": begin");
    TStepOutcome outcome = TStepOutcome::Done;
    switch (step.Kind) {
      case TInstallStepKind::Backup:
        outcome = BackUpPreviousVelmor() ? TStepOutcome::Done : TStepOutcome::Failed;
        break;
      case TInstallStepKind::Fetch: {
        const TPlannedPackage& package = plan.Packages[static_cast<size_t>(step.Package)];
        archivePath.clear();
        if (!FetchPackage(package, archivePath)) {
          outcome = StopRequested ? TStepOutcome::Stopped : TStepOutcome::NotObtained;
          NotInstalledPackages.push_back(package.FileName);
        }
        break;
      }
      case TInstallStepKind::Extract:
        ExtractPackage(plan.Packages[static_cast<size_t>(step.Package)], archivePath);
        break;
      case TInstallStepKind::Configure:
        CreateVelmorINI();
        break;
      case TInstallStepKind::Restore:
        break;
    }
    InstallLog().Add("Step " + DescribeStep(step, plan) + ": " + OutcomeText(outcome));
    if (Application().Terminated()) {
      InstallLog().Add("The program ends: the run stops here");
      return;
    }

    if (step.Kind == TInstallStepKind::Backup && outcome != TStepOutcome::Done) return;  // back on tsJazyk
    if (step.Kind == TInstallStepKind::Fetch) {
      if (outcome == TStepOutcome::Done) continue;  // the extraction follows
      ProgressCopyInstall.StepBy(1);
      // Its extraction has nothing to work on.
      if (i + 1 < plan.Actions.size() && plan.Actions[i + 1].Execute.Kind == TInstallStepKind::Extract) ++i;
      continue;
    }
    if (step.Kind == TInstallStepKind::Extract) ProgressCopyInstall.StepBy(1);
  }
  copying.reset();

  if (!interrupted) {
    WarnNotInstalledPackages();
    ShowPage(tsUkonceni);
    return;
  }
  // The undo of an interrupted extraction is the restore of the backup, when there is one.
  TInstallStep restore{TInstallStepKind::Restore, tsObnova.Name()};
  for (const TInstallAction& action : plan.Actions)
    if (action.Execute.Kind == TInstallStepKind::Extract && action.Rollback) restore = *action.Rollback;
  if (BackupVelmor.empty()) {
    // Nothing was backed up, so there is nothing to restore.
    ShowPage(tsAdresar);
    return;
  }
  ObnovaPrevVelmor = ShowQuestion(Msg(msgInstallationInterrupted), "");
  if (!ObnovaPrevVelmor) {
    InstallLog().Add("Step " + DescribeStep(restore, plan) + ": declined, the wizard ends");
    Close();
    return;
  }
  InstallLog().Add("Step " + DescribeStep(restore, plan) + ": begin");
  ShowPage(tsObnova);
  bool restored = RecoveryPrevVelmor();
  InstallLog().Add("Step " + DescribeStep(restore, plan) + ": " + (restored ? "done" : "failed"));
}

void TFInstall::WarnNotInstalledPackages() {
  if (NotInstalledPackages.empty()) return;
  std::string text = Msg(msgPackagesNotInstalled);
  for (const std::string& name : NotInstalledPackages) text += "\n\r" + name;
  InstallLog().AddError(text);
  ShowMessageForm(text, "", Msg(msgWarning), mkWarning);
}
