#include "engine/InstallPlan.h"

#include "engine/BackupRestore.h"
#include "engine/ZipEntryName.h"
#include "platform/Files.h"

namespace engine {

bool InstallableLanguage(const std::string& jazykKod) {
  static const char* const kCodes[] = {"EN", "GR", "SK", "PL", "ES", "RU", "RO"};
  for (const char* code : kCodes)
    if (jazykKod == code) return true;
  return false;
}

bool PackageSelected(const KitPackage& package, TTypeInstall installType, TTypeInstallSet typeFiles) {
  bool language = !package.Jazyk || InstallableLanguage(package.JazykKod);
  bool edition = !package.ForOnlyVersion || package.TypeInstall == installType;
  return language && edition && typeFiles.Contains(package.TypeInstall);
}

TTypeInstallSet InstallTypeFiles(TTypeInstall installType) { return TTypeInstallSet::Range(tiKest, installType); }

std::string PackageArchiveName(const std::string& fileName) {
  // Only the name's own part counts: "v1.2\Program" has no extension.
  std::size_t leaf = fileName.find_last_of("\\/");
  std::size_t dot = fileName.rfind('.');
  bool extension = dot != std::string::npos && (leaf == std::string::npos || dot > leaf);
  return extension ? fileName : fileName + ".zip";
}

namespace {
bool Separator(char c) { return c == '\\' || c == '/'; }
}  // namespace

std::optional<std::string> PackageBaseFolder(const std::string& target, const std::string& dirInstall,
                                             std::string* why) {
  auto refuse = [&](const std::string& reason) -> std::optional<std::string> {
    if (why) *why = "The package folder \"" + dirInstall + "\" " + reason;
    return std::nullopt;
  };
  std::string_view rest = dirInstall;
  if (rest.size() >= 2 && Separator(rest[0]) && Separator(rest[1]))
    return refuse("names a network folder outside the folder \"" + target + "\"");
  // One leading separator is the target's own root: Windows reads "C:\Velmor\\Lang" as C:\Velmor\Lang.
  if (!rest.empty() && Separator(rest[0])) rest.remove_prefix(1);
  bool blank = true;
  for (char c : rest) blank = blank && (Separator(c) || c == '.');
  if (blank && rest.find("..") == std::string_view::npos) return target;
  std::vector<std::string> components;
  std::string reason = UnsafeEntryNameReason(rest, &components);
  if (!reason.empty()) return refuse(reason + ", outside the folder \"" + target + "\"");
  std::string folder = target;
  for (const std::string& c : components) folder = platform::IncludeTrailingPathDelimiter(folder) + c;
  return folder;
}

InstallPlan PlanInstall(const std::vector<KitPackage>& packages, const std::string& password,
                        const InstallChoices& choices) {
  InstallPlan plan;
  plan.Target = choices.Target;
  plan.Password = password;
  plan.TimeStamp = choices.TimeStamp;
  plan.BackupArchive = BackupArchivePath(choices.Target, choices.TimeStamp);
  plan.Update = choices.Update;
  plan.FailedPackageInterrupts = choices.Update;
  for (size_t index = 0; index < packages.size(); ++index) {
    const KitPackage& p = packages[index];
    if (choices.TypeFiles.Contains(p.TypeInstall)) ++plan.OverallTotal;
    if (!PackageSelected(p, choices.InstallType, choices.TypeFiles)) continue;
    PlannedPackage planned;
    planned.FileName = p.FileName;
    planned.ArchiveName = PackageArchiveName(p.FileName);
    planned.BaseFolder = PackageBaseFolder(choices.Target, p.DirInstall, &planned.Refused).value_or("");
    planned.OnlyExistingFiles = choices.Update && p.InstallEnableExistFileOrNew;
    planned.Source = static_cast<int>(index);
    plan.Packages.push_back(planned);
  }

  const PlanStep restore{StepKind::Restore};
  if (plan.Update) plan.Actions.push_back({{StepKind::CheckFilesInUse}, std::nullopt});
  // A backup that does not complete removes its own partial archive: nothing to undo.
  plan.Actions.push_back({{StepKind::Backup}, std::nullopt});
  for (int i = 0; i < static_cast<int>(plan.Packages.size()); ++i) {
    plan.Actions.push_back({{StepKind::Fetch, i}, std::nullopt});
    plan.Actions.push_back({{StepKind::Extract, i}, restore});
  }
  plan.Actions.push_back({{StepKind::Configure}, std::nullopt});
  return plan;
}

std::string DescribeStep(const PlanStep& step, const InstallPlan& plan) {
  auto archive = [&] {
    return step.Package >= 0 && step.Package < static_cast<int>(plan.Packages.size())
               ? " " + plan.Packages[static_cast<size_t>(step.Package)].ArchiveName
               : std::string();
  };
  switch (step.Kind) {
    case StepKind::CheckFilesInUse:
      return "Check files in use";
    case StepKind::Backup:
      return "Backup";
    case StepKind::Fetch:
      return "Fetch" + archive();
    case StepKind::Extract:
      return "Extract" + archive();
    case StepKind::Configure:
      return "Configure";
    case StepKind::Restore:
      return "Restore";
  }
  return {};
}

}  // namespace engine
