#pragma once
// The one loop that carries out an installation plan (engine/InstallPlan.h): the check of files
// in use, the backup, each package's fetch and extraction, the configuration. The wizard and
// `velkit install` both call it; what they show, how they fetch and how they configure comes in
// through the view, the stop request as a flag. Every step writes a sentence naming it to the
// view's log, so the log reads as the story of the run.
#include <atomic>
#include <string>
#include <vector>

#include "engine/InstallPlan.h"
#include "engine/Progress.h"

namespace engine {

enum class FetchAnswer : unsigned char {
  Obtained,  // the archive is at the path given back
  Missing,   // not at a folder location: passed over (kits may leave packages out on purpose)
  Failed,    // a download failed (the fetch has told the user): the run is interrupted
};

class InstallView {
 public:
  virtual ~InstallView() = default;
  // One sentence of the run's story.
  virtual void Log(const std::string& /*sentence*/) {}
  // A step of the plan is about to begin (the wizard switches its page, sets its labels).
  virtual void StepBegins(const PlanStep& /*step*/, const InstallPlan& /*plan*/) {}
  // The backup's files (SetTotal with the count, Item per file); its ShouldStop stops the backup.
  virtual ProgressSink& BackupProgress() { return NoProgress(); }
  // One package's bar: the download's percentage, then the archive's entries.
  virtual ProgressSink& PackageProgress() { return NoProgress(); }
  // One package handled, installed or not: the overall bar moves on.
  virtual void PackageDone(const PlannedPackage& /*package*/) {}
  virtual FetchAnswer Fetch(const PlannedPackage& package, std::string& archivePath, ProgressSink& progress) = 0;
  // The check of an obtained archive before it is opened (the kit's SHA-256 of the package): a
  // non-empty text says why the archive is not the one the kit names, and fails the package.
  virtual std::string ArchiveProblem(const PlannedPackage& /*package*/, const std::string& /*archivePath*/) {
    return {};
  }
  // A package could not be installed: its archive (empty when none was obtained) and why.
  virtual void PackageFailed(const PlannedPackage& /*package*/, const std::string& /*archivePath*/,
                             const std::string& /*error*/) {}
  // Programs hold files the update will replace: true to look again (Retry), false to cancel.
  virtual bool FilesInUse(const std::vector<std::string>& /*programs*/) { return false; }
  // Writes the product's configuration at the end of a complete run.
  virtual void Configure() {}
  // The program is ending (its window was closed): the run stops where it is, asking nothing.
  virtual bool Abandoned() { return false; }
};

enum class RunOutcome : unsigned char {
  Completed,      // every step done (packages passed over or failed in a new installation are listed)
  Cancelled,      // files in use and the user cancelled: nothing was written
  BackupFailed,   // the backup was stopped or failed: the target is as it was
  Interrupted,    // a stop, a failed download or the program's end: the run ended between packages
  PackageFailed,  // a package of an update could not be installed: the run ended at it
};

struct InstallRunResult {
  RunOutcome Outcome = RunOutcome::Completed;
  std::vector<std::string> NotInstalled;  // FileNames of selected packages not installed
  std::string BackupArchive;              // the archive written; empty when nothing was backed up
  std::string FailedPackage;              // PackageFailed: its FileName
  std::string Error;                      // PackageFailed, BackupFailed: why (empty for a stop)
  std::vector<std::string> ProgramsInUse;  // Cancelled: the programs that held files
};

// Carries the plan out, step by step. `stop` is asked before each package, right after each
// archive is obtained and before the configuration (and, with the backup sink's own request,
// between backed-up files); a stop during an archive takes effect after that archive.
InstallRunResult ApplyInstallPlan(const InstallPlan& plan, InstallView& view, const std::atomic<bool>& stop);

}  // namespace engine
