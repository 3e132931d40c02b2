// The plan of an installation run as data: which packages, in which order, fetched under which
// name into which folder, and the restore planned beside every extraction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/InstallPlan.h"
#include "platform/Files.h"

namespace {

TZipFileCFG Package(const std::string& name, TTypeInstall type, const std::string& dir = "", bool forOnly = false,
                    const std::string& lang = "", bool existingOnly = false) {
  TZipFileCFG p;
  p.SetFileName(name);
  p.SetTypeInstall(type);
  p.SetDirInstall(dir);
  p.SetForOnlyVersion(forOnly);
  p.SetJazyk(!lang.empty());
  p.SetJazykKod(lang);
  p.SetInstallEnableExistFileOrNew(existingOnly);
  return p;
}

std::vector<std::string> Steps(const TInstallPlan& plan) {
  std::vector<std::string> out;
  for (const TInstallAction& a : plan.Actions) {
    std::string s = DescribeStep(a.Execute, plan) + " on " + a.Execute.Page;
    if (a.Rollback) s += " | undo: " + DescribeStep(*a.Rollback, plan) + " on " + a.Rollback->Page;
    out.push_back(s);
  }
  return out;
}

const std::string kTarget = "T";
std::string In(const std::string& dir) { return platform::IncludeTrailingPathDelimiter(kTarget) + dir; }

TEST(InstallPlan, BackupThenEachPackageThenConfigurationWithTheRestoreBesideEachExtraction) {
  std::vector<TZipFileCFG> packages = {
      Package("Program", tiKest),
      Package("Lang_DE.zip", tiKest, "Lang", false, "DE"),  // not an installable language
      Package("Lang_EN.zip", tiKest, "Lang", false, "EN"),
      Package("Tarpel.pak", tiTarpel, "Tarpel"),
      Package("Demo", tiVelmorDemo, "DemoData"),  // type not included
  };
  TInstallPlan plan = PlanInstall(packages, {kTarget, tiTarpel, TTypeInstallSet::Range(tiKest, tiTarpel), false});
  EXPECT_EQ(Steps(plan), (std::vector<std::string>{
                             "Backup on tsZaloha",
                             "Fetch Program.zip on tsCopyFiles",
                             "Extract Program.zip on tsCopyFiles | undo: Restore on tsObnova",
                             "Fetch Lang_EN.zip on tsCopyFiles",
                             "Extract Lang_EN.zip on tsCopyFiles | undo: Restore on tsObnova",
                             "Fetch Tarpel.pak on tsCopyFiles",
                             "Extract Tarpel.pak on tsCopyFiles | undo: Restore on tsObnova",
                             "Configure on tsCopyFiles",
                         }));
  EXPECT_EQ(plan.Packages, (std::vector<TPlannedPackage>{
                               {"Program", "Program.zip", In(""), false, 0},
                               {"Lang_EN.zip", "Lang_EN.zip", In("Lang"), false, 2},
                               {"Tarpel.pak", "Tarpel.pak", In("Tarpel"), false, 3},
                           }));
  // The overall bar counts the included types only: the German pack counts, the demo does not.
  EXPECT_EQ(plan.OverallTotal, 4);
}

TEST(InstallPlan, SelectionByEditionTypeAndLanguage) {
  std::vector<TZipFileCFG> packages = {
      Package("TarpelOnly", tiTarpel, "", true),  // only for a tiTarpel installation
      Package("Tarpel", tiTarpel),
      Package("Demo", tiVelmorDemo),
      Package("Upd", tiTarpelUpdate, "", true),
      Package("en", tiKest, "", false, "en"),  // language codes are case-sensitive
      Package("PL", tiKest, "", false, "PL"),
  };
  struct Case {
    TTypeInstall type;
    std::vector<std::string> names;
  } cases[] = {
      {tiTarpelUpdate, {"Tarpel", "Upd", "PL"}},
      {tiTarpel, {"TarpelOnly", "Tarpel", "PL"}},
      {tiKest, {"PL"}},
      {tiVelmorDemo, {"Tarpel", "Demo", "PL"}},
  };
  for (const Case& c : cases) {
    TInstallPlan plan = PlanInstall(packages, {kTarget, c.type, TTypeInstallSet::Range(tiKest, c.type), false});
    std::vector<std::string> names;
    for (const TPlannedPackage& p : plan.Packages) names.push_back(p.FileName);
    EXPECT_EQ(names, c.names) << int(c.type);
  }
}

TEST(InstallPlan, UpdateWritesOnlyExistingFilesOfPackagesThatAskForIt) {
  std::vector<TZipFileCFG> packages = {Package("Program", tiKest, "", false, "", true), Package("Data", tiKest)};
  for (bool update : {false, true}) {
    TInstallPlan plan = PlanInstall(packages, {kTarget, tiKest, {tiKest}, update});
    ASSERT_EQ(plan.Packages.size(), 2u);
    EXPECT_EQ(plan.Packages[0].OnlyExistingFiles, update);
    EXPECT_FALSE(plan.Packages[1].OnlyExistingFiles);
  }
}

TEST(InstallPlan, NothingToInstallStillBacksUpAndConfigures) {
  TInstallPlan plan = PlanInstall({}, {kTarget, tiKest, {tiKest}, false});
  EXPECT_EQ(Steps(plan), (std::vector<std::string>{"Backup on tsZaloha", "Configure on tsCopyFiles"}));
  EXPECT_EQ(plan.OverallTotal, 0);
}

}  // namespace
