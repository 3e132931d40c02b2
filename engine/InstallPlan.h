#pragma once
// The plan of an installation run: what the run will do, worked out from the kit's package list,
// its password and the user's choices before anything is touched. The plan is the only place the
// run's rules live: which packages an installation takes, the folder each one goes to, which of
// them an update may only refresh, and where the backup archive lies. Each action carries its
// undo beside it. A pure function: the plan is data that tests read without a disk, and the loop
// of engine/InstallRun.h carries it out as it stands.
#include <optional>
#include <string>
#include <vector>

#include "engine/InstallTypes.h"

namespace engine {

// A package of the kit as the plan reads it (the setup definition's package record).
struct KitPackage {
  std::string FileName;
  TTypeInstall TypeInstall = tiKest;
  std::string DirInstall;  // a folder below the target; empty is the target itself
  bool Jazyk = false;      // a language pack, installed only for an installable JazykKod
  std::string JazykKod;
  bool InstallEnableExistFileOrNew = false;  // an update refreshes only the files it finds
  bool ForOnlyVersion = false;               // installed only by its own installation type
};

// The installable language codes of language packs, compared case-sensitively.
bool InstallableLanguage(const std::string& jazykKod);
// Whether the package belongs to this installation: its language, its edition and its type.
bool PackageSelected(const KitPackage& package, TTypeInstall installType, TTypeInstallSet typeFiles);
// The package types an installation type includes: every type from tiKest up to its own.
TTypeInstallSet InstallTypeFiles(TTypeInstall installType);
// The archive name of a package: its FileName, with ".zip" appended when it has no extension.
std::string PackageArchiveName(const std::string& fileName);

// The folder a package goes to: the target, or its DirInstall below the target. A leading
// backslash stays relative to the target ("\Lang" is the target's Lang). Refused (nullopt, with
// the reason in *why) only when DirInstall climbs out of the target ("..") or names another
// drive or a network root ("D:\", "\\server\share").
std::optional<std::string> PackageBaseFolder(const std::string& target, const std::string& dirInstall,
                                             std::string* why = nullptr);

// The user's choices the run depends on, settled before it starts.
struct InstallChoices {
  std::string Target;  // the target directory the directory check accepted
  TTypeInstall InstallType = tiKest;
  TTypeInstallSet TypeFiles;
  bool Update = false;    // an installation of the product was found in the target
  std::string TimeStamp;  // names the backup archive (the time the run starts)
};

enum class StepKind : unsigned char { CheckFilesInUse, Backup, Fetch, Extract, Configure, Restore };

struct PlanStep {
  StepKind Kind = StepKind::Backup;
  int Package = -1;  // Fetch and Extract: the index into InstallPlan::Packages
  bool operator==(const PlanStep&) const = default;
};

// An action and, beside it, what undoes it when the run ends after it without completing.
struct PlanAction {
  PlanStep Execute;
  std::optional<PlanStep> Rollback;
  bool operator==(const PlanAction&) const = default;
};

// One package the run installs, in the kit's order.
struct PlannedPackage {
  std::string FileName;     // as the kit names it
  std::string ArchiveName;  // the archive fetched: FileName, ".zip" added without an extension
  std::string BaseFolder;   // where its entries go; empty when Refused
  bool OnlyExistingFiles = false;  // an update writes only files that already exist in BaseFolder
  std::string Refused;             // why the package cannot be installed (its folder leaves the target)
  int Source = -1;                 // its index in the kit's package list
  bool operator==(const PlannedPackage&) const = default;
};

struct InstallPlan {
  std::string Target;
  std::string Password;       // the kit's password, as the kit gives it
  std::string TimeStamp;      // the backup archive's time stamp
  std::string BackupArchive;  // where the backup goes (written only when the target has files)
  bool Update = false;
  // A package that fails during an update interrupts the run (half old, half new is no
  // installation); in a new installation the run goes on and names it at the end.
  bool FailedPackageInterrupts = false;
  std::vector<PlannedPackage> Packages;
  int OverallTotal = 0;  // the range of the overall bar: the packages of the included types
  std::vector<PlanAction> Actions;
};

// For an update, the check of files in use first; then the backup; then fetch and extract of
// every selected package in the kit's order, each extraction with the restore of the backup as
// its undo; the configuration last.
InstallPlan PlanInstall(const std::vector<KitPackage>& packages, const std::string& password,
                        const InstallChoices& choices);

// "Backup", "Fetch Program.zip", "Extract Program.zip", "Configure", "Restore" (log and tests).
std::string DescribeStep(const PlanStep& step, const InstallPlan& plan);

}  // namespace engine
