#pragma once
// The plan of an installation run: what the run will do, worked out from the definition and
// the user's choices before anything is touched. Each step names the page it runs on; the
// extraction carries its undo, the restore of the backup, beside it. A pure function: the
// plan is data that tests read without a disk.
#include <optional>
#include <string>
#include <vector>

#include "setup/PackageRecords.h"

enum class TInstallStepKind : unsigned char { Backup, Fetch, Extract, Configure, Restore };

// One package the run installs, in definition order.
struct TPlannedPackage {
  std::string FileName;     // as the definition names it
  std::string ArchiveName;  // the archive fetched: FileName, ".zip" added without an extension
  std::string BaseFolder;   // where its entries go: the target directory + DirInstall
  // An update run writes only files that already exist in BaseFolder.
  bool OnlyExistingFiles = false;
  int Source = -1;  // its index in the definition's package list
  bool operator==(const TPlannedPackage&) const = default;
};

struct TInstallStep {
  TInstallStepKind Kind;
  std::string Page;  // the wizard page the step runs on
  int Package = -1;  // Fetch and Extract: the index into TInstallPlan::Packages
  bool operator==(const TInstallStep&) const = default;
};

// An action and, beside it, what undoes it when the run is interrupted after it.
struct TInstallAction {
  TInstallStep Execute;
  std::optional<TInstallStep> Rollback;
  bool operator==(const TInstallAction&) const = default;
};

struct TInstallChoices {
  std::string AdrInstall;
  TTypeInstall InstallType = tiKest;
  TTypeInstallSet TypeFiles;
  bool UpdateVersion = false;
};

struct TInstallPlan {
  std::vector<TPlannedPackage> Packages;
  // The range of the overall bar: the packages of the included types (only that condition).
  int OverallTotal = 0;
  std::vector<TInstallAction> Actions;
};

// Backup first; then fetch and extract of every selected package in definition order, each
// extraction with the restore of the backup as its undo; the configuration last.
TInstallPlan PlanInstall(const std::vector<TZipFileCFG>& packages, const TInstallChoices& choices);

// "Backup", "Fetch Program.zip", "Extract Program.zip", "Configure", "Restore" (log and tests).
std::string DescribeStep(const TInstallStep& step, const TInstallPlan& plan);
