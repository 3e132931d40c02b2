#include "engine/InstallRun.h"

#include <exception>
#include <filesystem>
#include <system_error>

#include "engine/BackupFileList.h"
#include "engine/BackupRestore.h"
#include "engine/PackageExtraction.h"
#include "platform/Files.h"
#include "platform/FilesInUse.h"
#include "platform/Text.h"

namespace engine {

namespace {

// The backup asks to stop when the run's stop flag or the view's own sink says so.
class BackupSink : public ProgressSink {
 public:
  BackupSink(ProgressSink& view, const std::atomic<bool>& stop) : FView(view), FStop(stop) {}
  void SetTotal(std::uint64_t total) override { FView.SetTotal(total); }
  void Item(std::uint64_t completed, const std::string& item) override { FView.Item(completed, item); }
  bool ShouldStop() override { return FView.ShouldStop() || FStop; }

 private:
  ProgressSink& FView;
  const std::atomic<bool>& FStop;
};

class Run {
 public:
  Run(const InstallPlan& plan, InstallView& view, const std::atomic<bool>& stop)
      : P(plan), V(view), FStop(stop) {}

  InstallRunResult Apply() {
    DescribePlan();
    for (FAction = 0; FAction < P.Actions.size(); ++FAction) {
      const PlanStep& step = P.Actions[FAction].Execute;
      if (step.Kind != StepKind::CheckFilesInUse && step.Kind != StepKind::Backup && Stopped(step)) break;
      V.StepBegins(step, P);
      if (step.Kind == StepKind::Backup && FStop) {
        // The request came before the first file: the backup is stopped at once.
        Say(step, "stopped");
        R.Outcome = RunOutcome::BackupFailed;
        return R;
      }
      if (!Carry(step)) break;
      if (V.Abandoned()) {
        V.Log("The program ends: the run stops here");
        R.Outcome = RunOutcome::Interrupted;
        break;
      }
    }
    if (R.Outcome == RunOutcome::Interrupted || R.Outcome == RunOutcome::PackageFailed) ListRestNotInstalled();
    return R;
  }

 private:
  void Say(const PlanStep& step, const std::string& what) { V.Log("Step " + DescribeStep(step, P) + ": " + what); }

  void DescribePlan() {
    V.Log("Installation plan: " + std::string(P.Update ? "an update of the installation in " : "a new installation into ") +
          P.Target + "; the backup archive " + P.BackupArchive + "; " + std::to_string(P.Packages.size()) +
          " packages");
    for (const PlannedPackage& p : P.Packages) {
      if (!p.Refused.empty())
        V.Log("Package " + p.FileName + " cannot be installed: " + p.Refused);
      else
        V.Log("Package " + p.FileName + " (" + p.ArchiveName + ") goes to " + p.BaseFolder +
              (p.OnlyExistingFiles ? ", refreshing only the files found there" : ""));
    }
  }

  bool Stopped(const PlanStep& step) {
    if (!FStop && !V.Abandoned()) return false;
    Say(step, "not begun, the installation was stopped");
    R.Outcome = RunOutcome::Interrupted;
    return true;
  }

  // Carries one step out; false ends the run (R.Outcome says how).
  bool Carry(const PlanStep& step) {
    Say(step, "begin");
    switch (step.Kind) {
      case StepKind::CheckFilesInUse:
        return CheckFilesInUse(step);
      case StepKind::Backup:
        return Backup(step);
      case StepKind::Fetch:
        return Fetch(step);
      case StepKind::Extract:
        return Extract(step);
      case StepKind::Configure:
        V.Configure();
        Say(step, "done");
        return true;
      case StepKind::Restore:
        return true;  // only ever an undo, carried out by the caller
    }
    return true;
  }

  const std::vector<std::string>& TargetFiles() {
    if (!FListed) {
      std::error_code ec;
      if (std::filesystem::is_directory(platform::PathFromUtf8(P.Target), ec)) ListFilesForBackup(P.Target, FFiles);
      FListed = true;
    }
    return FFiles;
  }

  bool CheckFilesInUse(const PlanStep& step) {
    for (;;) {
      std::vector<std::string> programs = platform::ProgramsUsingFiles(TargetFiles());
      if (programs.empty()) {
        Say(step, "no program holds a file of the target");
        return true;
      }
      std::string names;
      for (const std::string& p : programs) names += (names.empty() ? "" : ", ") + p;
      Say(step, "files of the target are in use by " + names);
      bool retry = V.FilesInUse(programs);
      Say(step, retry ? "answered Retry, looking again" : "answered Cancel, nothing was written");
      if (!retry) {
        R.Outcome = RunOutcome::Cancelled;
        R.ProgramsInUse = programs;
        return false;
      }
    }
  }

  bool Backup(const PlanStep& step) {
    const std::vector<std::string>& files = TargetFiles();
    if (files.empty()) {
      Say(step, "nothing to back up");
      return true;
    }
    BackupSink sink(V.BackupProgress(), FStop);
    try {
      BackupResult backup = BackUpFiles(P.Target, files, P.TimeStamp, sink);
      if (!backup.Complete || FStop) {
        // A stop after the last file still counts: the user asked before the run went on.
        if (backup.Complete) RemoveFile(backup.ArchivePath);
        Say(step, "stopped");
        R.Outcome = RunOutcome::BackupFailed;
        return false;
      }
      R.BackupArchive = backup.ArchivePath;
    } catch (const std::exception& e) {
      Say(step, std::string("failed: ") + e.what());
      R.Outcome = RunOutcome::BackupFailed;
      R.Error = e.what();
      return false;
    }
    Say(step, "done, " + std::to_string(files.size()) + " files in " + R.BackupArchive);
    return true;
  }

  static void RemoveFile(const std::string& path) {
    std::error_code ec;
    std::filesystem::remove(platform::PathFromUtf8(path), ec);
  }

  bool Fetch(const PlanStep& step) {
    const PlannedPackage& package = P.Packages[static_cast<size_t>(step.Package)];
    FArchive.clear();
    if (!package.Refused.empty()) return Failed(step, package, "", package.Refused);
    ProgressSink& progress = V.PackageProgress();
    progress.SetTotal(100);
    FetchAnswer answer = V.Fetch(package, FArchive, progress);
    if (answer == FetchAnswer::Failed) {
      Say(step, "failed, the installation is interrupted");
      R.Outcome = RunOutcome::Interrupted;
      return false;
    }
    if (answer == FetchAnswer::Missing) {
      Say(step, "not obtained, passed over");
      return PackageEnds(package, false);
    }
    if (std::string problem = V.ArchiveProblem(package, FArchive); !problem.empty())
      return Failed(step, package, FArchive, problem);
    Say(step, "done, " + FArchive);
    return true;
  }

  bool Extract(const PlanStep& step) {
    const PlannedPackage& package = P.Packages[static_cast<size_t>(step.Package)];
    try {
      ProgressSink& entries = V.PackageProgress();
      entries.SetTotal(0);
      ExtractPackageArchive(FArchive, package.BaseFolder, platform::AnsiFromUtf8(P.Password),
                            package.OnlyExistingFiles, entries);
    } catch (const std::exception& e) {
      return Failed(step, package, FArchive, e.what());
    }
    Say(step, "done");
    return PackageEnds(package, true);
  }

  // A package that cannot be installed ends an update at it; a new installation goes on.
  bool Failed(const PlanStep& step, const PlannedPackage& package, const std::string& archive,
              const std::string& error) {
    Say(step, "failed: " + (archive.empty() ? error : archive + ": " + error));
    V.PackageFailed(package, archive, error);
    if (P.FailedPackageInterrupts) {
      V.Log("The update stops at the failed package " + package.FileName + ": the packages after it are not installed");
      R.Outcome = RunOutcome::PackageFailed;
      R.FailedPackage = package.FileName;
      R.Error = error;
      return false;
    }
    return PackageEnds(package, false);
  }

  // The package is handled; the plan's extract step of a package that has no archive is skipped.
  bool PackageEnds(const PlannedPackage& package, bool installed) {
    if (!installed) R.NotInstalled.push_back(package.FileName);
    V.PackageDone(package);
    if (!installed && FAction + 1 < P.Actions.size() && P.Actions[FAction + 1].Execute.Kind == StepKind::Extract)
      ++FAction;
    FHandled[static_cast<size_t>(&package - P.Packages.data())] = true;
    return true;
  }

  // A run that ends early leaves the package it ended at and those after it not installed.
  void ListRestNotInstalled() {
    for (size_t i = 0; i < P.Packages.size(); ++i)
      if (!FHandled[i]) R.NotInstalled.push_back(P.Packages[i].FileName);
  }

  const InstallPlan& P;
  InstallView& V;
  const std::atomic<bool>& FStop;
  InstallRunResult R;
  size_t FAction = 0;
  std::vector<bool> FHandled = std::vector<bool>(P.Packages.size(), false);
  std::string FArchive;
  bool FListed = false;
  std::vector<std::string> FFiles;
};

}  // namespace

InstallRunResult ApplyInstallPlan(const InstallPlan& plan, InstallView& view, const std::atomic<bool>& stop) {
  return Run(plan, view, stop).Apply();
}

}  // namespace engine
