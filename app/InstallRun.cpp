// The installation run as the wizard shows it: the user's choices make the plan, the engine's
// loop carries it out through the view below (the backup and copy pages, their bars and labels,
// the questions), and the outcome decides the page that follows.
#include <optional>
#include <string>

#include "app/Install.h"
#include "app/Unattended.h"
#include "engine/InstallRun.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "setup/PackageHash.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/SystemUtil.h"
#include "ui/Application.h"

namespace {

// The backup page: one file after another into the archive; Stop is seen between files.
class BackupProgress : public engine::ProgressSink {
 public:
  BackupProgress(TFInstall& form, const std::string& archive) : F(form), FArchive(archive) {}
  void SetTotal(std::uint64_t total) override {
    InstallLog().Add(Msg(msgCreateArchive) + FArchive);
    F.ProgressBackup.SetMin(0);
    F.ProgressBackup.SetMax(static_cast<int>(total));
    F.ProgressBackup.SetPosition(0);
  }
  void Item(std::uint64_t completed, const std::string& file) override {
    F.lblFileName.SetCaption(file);
    InstallLog().Add(Msg(msgAddFileToArchive) + file);
    F.ProgressBackup.SetPosition(static_cast<int>(completed));
    Application().ProcessMessages();
  }
  bool ShouldStop() override {
    if (!StopRequested) return false;
    if (!FLogged) InstallLog().Add(Msg(msgCancelingInstallation));
    FLogged = true;
    return true;
  }

 private:
  TFInstall& F;
  std::string FArchive;
  bool FLogged = false;
};

// The copy page's per-file bar: the download's percentage, then the archive's entries.
class PackageProgress : public engine::ProgressSink {
 public:
  explicit PackageProgress(TFInstall& form) : F(form) {}
  void SetTotal(std::uint64_t total) override {
    F.ProgressCopyFile.SetMin(0);
    F.ProgressCopyFile.SetMax(static_cast<int>(total));
    F.ProgressCopyFile.SetPosition(0);
  }
  void Item(std::uint64_t, const std::string& entry) override {
    LogProcedure log("onInstallExtractFile");
    InstallLog().Add(Msg(msgExtractingArchives) + entry);
    F.ProgressCopyFile.StepBy(1);
    Application().ProcessMessages();
  }

 private:
  TFInstall& F;
};

// The wizard's view of the run: the backup page, then the copy page; the log procedures of the
// two pages' steps, so that the log reads as the call tree it always did.
class WizardRunView : public engine::InstallView {
 public:
  WizardRunView(TFInstall& form, const engine::InstallPlan& plan)
      : F(form), FTarget(plan.Target), FBackup(form, plan.BackupArchive), FPackage(form) {}

  void Log(const std::string& sentence) override { InstallLog().Add(sentence); }

  void StepBegins(const engine::PlanStep& step, const engine::InstallPlan& plan) override {
    switch (step.Kind) {
      case engine::StepKind::CheckFilesInUse:
      case engine::StepKind::Restore:
        return;
      case engine::StepKind::Backup:
        F.State.ObnovaPrevVelmor = false;
        F.ShowPage(F.tsZaloha);
        StopRequested = false;
        FProcedure.emplace("BackUpPreviousVelmor");
        InstallLog().Add(Msg(msgLoadingBackupDirectoryStructure));
        return;
      case engine::StepKind::Fetch:
      case engine::StepKind::Extract:
      case engine::StepKind::Configure:
        if (F.pgcInstall.ActivePage() != &F.tsCopyFiles) {
          FProcedure.reset();
          F.ProgressBackup.SetPosition(0);
          F.lblFileName.SetCaption("");
          F.ShowPage(F.tsCopyFiles);
          FProcedure.emplace("CopyFiles");
          F.ProgressCopyInstall.SetMin(0);
          F.ProgressCopyInstall.SetMax(plan.OverallTotal);
          F.ProgressCopyInstall.SetPosition(0);
        }
        if (step.Kind == engine::StepKind::Fetch) {
          F.lblCopyFile.SetCaption(FormatMsg(msgDownloadFile, Package(step, plan).FileName));
          F.ProgressCopyFile.Repaint();
        } else if (step.Kind == engine::StepKind::Extract) {
          F.lblCopyFile.SetCaption(FormatMsg(msgExtractFile, Package(step, plan).FileName));
        }
        return;
    }
  }

  engine::ProgressSink& BackupProgress() override { return FBackup; }
  engine::ProgressSink& PackageProgress() override { return FPackage; }
  void PackageDone(const engine::PlannedPackage&) override { F.ProgressCopyInstall.StepBy(1); }

  engine::FetchAnswer Fetch(const engine::PlannedPackage& package, std::string& archivePath,
                            engine::ProgressSink&) override {
    const std::string& sha256 = F.Definition().ZipFiles().at(static_cast<size_t>(package.Source)).Sha256();
    if (F.StahniSoubor(package.ArchiveName, archivePath, sha256)) return engine::FetchAnswer::Obtained;
    // A failed download has shown its error box and asked the run to stop.
    return StopRequested ? engine::FetchAnswer::Failed : engine::FetchAnswer::Missing;
  }

  std::string ArchiveProblem(const engine::PlannedPackage& package, const std::string& archivePath) override {
    return PackageHashFault(F.Definition().ZipFiles().at(static_cast<size_t>(package.Source)), archivePath);
  }

  void PackageFailed(const engine::PlannedPackage&, const std::string& archivePath,
                     const std::string& error) override {
    if (archivePath.empty())
      InstallLog().AddError(error);
    else
      InstallLog().AddError(Msg(msgErrorUnpackingFile) + archivePath + "\". " + error);
  }

  bool FilesInUse(const std::vector<std::string>& programs) override {
    std::string list;
    for (const std::string& p : programs) list += (list.empty() ? "    " : "\n\r    ") + p;
    return ShowRetryCancel(FormatMsg(msgFilesInUse, FTarget, list), "");
  }

  void Configure() override { F.CreateVelmorINI(); }
  bool Abandoned() override { return Application().Terminated(); }

  // The pages' procedures end with the run.
  void End() { FProcedure.reset(); }

 private:
  static const engine::PlannedPackage& Package(const engine::PlanStep& step, const engine::InstallPlan& plan) {
    return plan.Packages[static_cast<size_t>(step.Package)];
  }

  TFInstall& F;
  std::string FTarget;
  ::BackupProgress FBackup;
  ::PackageProgress FPackage;
  std::optional<LogProcedure> FProcedure;
};

}  // namespace

void TFInstall::RunInstall() {
  LogProcedure log("RunInstall");
  engine::InstallChoices choices{State.AdrInstall, State.FInstallType, State.SetOfInstallTypeFiles, State.UpdateVerion,
                                 TimeStampText(platform::NowLocal())};
  const TSetupDat& def = FDefinition;
  const engine::InstallPlan plan = engine::PlanInstall(KitPackages(def.ZipFiles()), def.ZipPassword(), choices);
  State.NotInstalledPackages.clear();
  State.BackupVelmor.clear();
  State.AdrBackup = platform::IncludeTrailingPathDelimiter(plan.Target) + "Backup" + platform::PathDelimiter();
  FRunning = true;
  struct RunningFlag {
    bool& flag;
    ~RunningFlag() { flag = false; }
  } running{FRunning};

  engine::InstallRunResult result;
  {
    WizardRunView view(*this, plan);
    result = engine::ApplyInstallPlan(plan, view, StopRequested);
    view.End();
  }
  State.NotInstalledPackages = result.NotInstalled;
  State.BackupVelmor = result.BackupArchive;
  UnattendedRunEnded(result);
  if (Application().Terminated()) return;

  switch (result.Outcome) {
    case engine::RunOutcome::Completed:
      WarnNotInstalledPackages();
      ShowPage(tsUkonceni);
      return;
    case engine::RunOutcome::Cancelled:
      // Nothing was written: the user closes the programs and tries again from the page.
      ShowPage(tsAdresar);
      return;
    case engine::RunOutcome::BackupFailed:
      if (!result.Error.empty()) {
        std::string text = Msg(msgErrorBackingUp) + result.Error;
        PlainMessageBox(text);
        InstallLog().AddError(text);
      }
      ProgressBackup.SetPosition(0);
      lblFileName.SetCaption("");
      ShowPage(tsJazyk);
      return;
    case engine::RunOutcome::PackageFailed:
      ShowError(FormatMsg(msgPackageFailed, result.FailedPackage, result.Error), "");
      break;
    case engine::RunOutcome::Interrupted:
      break;
  }

  // The undo of an interrupted extraction is the restore of the backup, when there is one.
  if (State.BackupVelmor.empty()) {
    ShowPage(tsAdresar);
    return;
  }
  State.ObnovaPrevVelmor = ShowQuestion(Msg(msgInstallationInterrupted), "");
  if (!State.ObnovaPrevVelmor) {
    InstallLog().Add("Step Restore: declined, the wizard ends");
    Close();
    return;
  }
  InstallLog().Add("Step Restore: begin");
  ShowPage(tsObnova);
  bool restored = RecoveryPrevVelmor();
  UnattendedRestoreEnded(restored);
  InstallLog().Add(std::string("Step Restore: ") + (restored ? "done" : "failed"));
}

void TFInstall::WarnNotInstalledPackages() {
  if (State.NotInstalledPackages.empty()) return;
  std::string text = Msg(msgPackagesNotInstalled);
  for (const std::string& name : State.NotInstalledPackages) text += "\n\r" + name;
  InstallLog().AddError(text);
  ShowMessageForm(text, "", Msg(msgWarning), mkWarning);
}
