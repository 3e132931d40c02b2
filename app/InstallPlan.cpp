#include "app/InstallPlan.h"

#include "engine/PackageExtraction.h"
#include "platform/Files.h"

TInstallPlan PlanInstall(const std::vector<TZipFileCFG>& packages, const TInstallChoices& choices) {
  TInstallPlan plan;
  plan.OverallTotal = engine::CountPackagesOfTypes(packages, choices.TypeFiles);
  for (size_t index = 0; index < packages.size(); ++index) {
    const TZipFileCFG& p = packages[index];
    if (!engine::PackageSelected(p, choices.InstallType, choices.TypeFiles)) continue;
    TPlannedPackage planned;
    planned.FileName = p.FileName();
    planned.ArchiveName = engine::PackageArchiveName(p.FileName());
    planned.BaseFolder = platform::IncludeTrailingPathDelimiter(choices.AdrInstall) + p.DirInstall();
    planned.OnlyExistingFiles = choices.UpdateVersion && p.InstallEnableExistFileOrNew();
    planned.Source = static_cast<int>(index);
    plan.Packages.push_back(planned);
  }

  const TInstallStep restore{TInstallStepKind::Restore, "tsObnova"};
  plan.Actions.push_back({{TInstallStepKind::Backup, "tsZaloha"}, std::nullopt});
  for (int i = 0; i < static_cast<int>(plan.Packages.size()); ++i) {
    plan.Actions.push_back({{TInstallStepKind::Fetch, "tsCopyFiles", i}, std::nullopt});
    plan.Actions.push_back({{TInstallStepKind::Extract, "tsCopyFiles", i}, restore});
  }
  plan.Actions.push_back({{TInstallStepKind::Configure, "tsCopyFiles"}, std::nullopt});
  return plan;
}

std::string DescribeStep(const TInstallStep& step, const TInstallPlan& plan) {
  auto archive = [&] {
    return step.Package >= 0 && step.Package < static_cast<int>(plan.Packages.size())
               ? " " + plan.Packages[static_cast<size_t>(step.Package)].ArchiveName
               : std::string();
  };
  switch (step.Kind) {
    case TInstallStepKind::Backup:
      return "Backup";
    case TInstallStepKind::Fetch:
      return "Fetch" + archive();
    case TInstallStepKind::Extract:
      return "Extract" + archive();
    case TInstallStepKind::Configure:
      return "Configure";
    case TInstallStepKind::Restore:
      return "Restore";
  }
  return {};
}
