// The plan of an installation run as data, no disk touched: which packages, in which order,
// fetched under which name into which folder, which of them an update only refreshes, where
// the backup goes, and the undo planned beside every extraction.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/InstallPlan.h"
#include "platform/Files.h"

using engine::KitPackage;
using engine::PlanAction;
using engine::PlannedPackage;

namespace {

KitPackage Package(const std::string& name, TTypeInstall type, const std::string& dir = "", bool forOnly = false,
                    const std::string& lang = "", bool existingOnly = false) {
  return {name, type, dir, !lang.empty(), lang, existingOnly, forOnly};
}

std::vector<std::string> Steps(const engine::InstallPlan& plan) {
  std::vector<std::string> out;
  for (const PlanAction& a : plan.Actions) {
    std::string s = DescribeStep(a.Execute, plan);
    if (a.Rollback) s += " | undo: " + DescribeStep(*a.Rollback, plan);
    out.push_back(s);
  }
  return out;
}

const std::string kTarget = "T";
std::string In(const std::string& dir) { return platform::IncludeTrailingPathDelimiter(kTarget) + dir; }

engine::InstallChoices Choices(TTypeInstall type, bool update = false) {
  return {kTarget, type, engine::InstallTypeFiles(type), update, "20261211120000"};
}

TEST(InstallPlan, BackupThenEachPackageThenConfigurationWithTheRestoreBesideEachExtraction) {
  std::vector<KitPackage> packages = {
      Package("Program", tiKest),
      Package("Lang_DE.zip", tiKest, "Lang", false, "DE"),  // not an installable language
      Package("Lang_EN.zip", tiKest, "\\Lang", false, "EN"),
      Package("Tarpel.pak", tiTarpel, "Tarpel"),
      Package("Demo", tiVelmorDemo, "DemoData"),  // type not included
  };
  engine::InstallPlan plan = engine::PlanInstall(packages, "heslo", Choices(tiTarpel));
  EXPECT_EQ(Steps(plan), (std::vector<std::string>{
                             "Backup",
                             "Fetch Program.zip",
                             "Extract Program.zip | undo: Restore",
                             "Fetch Lang_EN.zip",
                             "Extract Lang_EN.zip | undo: Restore",
                             "Fetch Tarpel.pak",
                             "Extract Tarpel.pak | undo: Restore",
                             "Configure",
                         }));
  EXPECT_EQ(plan.Packages, (std::vector<PlannedPackage>{
                               {"Program", "Program.zip", kTarget, false, "", 0},
                               {"Lang_EN.zip", "Lang_EN.zip", In("Lang"), false, "", 2},
                               {"Tarpel.pak", "Tarpel.pak", In("Tarpel"), false, "", 3},
                           }));
  // The overall bar counts the included types only: the German pack counts, the demo does not.
  EXPECT_EQ(plan.OverallTotal, 4);
  EXPECT_EQ(plan.Target, kTarget);
  EXPECT_EQ(plan.Password, "heslo");
  EXPECT_FALSE(plan.FailedPackageInterrupts) << "a new installation names a failed package at the end";
}

TEST(InstallPlan, AnUpdateChecksFilesInUseFirstAndStopsAtAFailedPackage) {
  engine::InstallPlan plan = engine::PlanInstall({Package("Program", tiKest)}, "", Choices(tiKestUpdate, true));
  EXPECT_EQ(Steps(plan), (std::vector<std::string>{"Check files in use", "Backup", "Fetch Program.zip",
                                                   "Extract Program.zip | undo: Restore", "Configure"}));
  EXPECT_TRUE(plan.Update);
  EXPECT_TRUE(plan.FailedPackageInterrupts);
}

TEST(InstallPlan, TheBackupArchiveLiesInTheTargetsBackupFolderNamedByTheTimeStamp) {
  engine::InstallPlan plan = engine::PlanInstall({}, "", Choices(tiKest));
  EXPECT_EQ(plan.BackupArchive,
            platform::IncludeTrailingPathDelimiter(In("Backup")) + "Backup20261211120000.zip");
  EXPECT_EQ(plan.TimeStamp, "20261211120000");
}

TEST(InstallPlan, SelectionByLanguageEditionAndType) {
  struct Case {
    bool jazyk;
    std::string kod;
    bool forOnly;
    TTypeInstall packageType, installType;
    bool selected;
  } cases[] = {
      {false, "", false, tiKest, tiTarpel, true},
      {false, "XX", false, tiKest, tiKest, true},  // the code counts only for language packs
      {true, "EN", false, tiKest, tiKest, true},
      {true, "RO", false, tiKest, tiKest, true},
      {true, "en", false, tiKest, tiKest, false},  // codes compare case-sensitively
      {true, "CZ", false, tiKest, tiKest, false},  // Czech is no installable language pack
      {true, "DE", false, tiKest, tiKest, false},
      {false, "", true, tiTarpel, tiTarpel, true},  // only for its own edition
      {false, "", true, tiKest, tiTarpel, false},
      {false, "", false, tiTarpel, tiKest, false},  // a type above the installation
      {false, "", false, tiTarpelUpdate, tiVelmorDemo, true},
  };
  for (const Case& c : cases) {
    KitPackage p{"p.zip", c.packageType, "", c.jazyk, c.kod, false, c.forOnly};
    engine::InstallPlan plan = engine::PlanInstall({p}, "", Choices(c.installType));
    EXPECT_EQ(plan.Packages.size(), c.selected ? 1u : 0u)
        << c.kod << " " << int(c.packageType) << " for " << int(c.installType);
  }
  EXPECT_EQ(engine::InstallTypeFiles(tiKest), (TTypeInstallSet{tiKest}));
  EXPECT_EQ(engine::InstallTypeFiles(tiTarpel), (TTypeInstallSet{tiKest, tiKestUpdate, tiTarpel}));
  EXPECT_EQ(engine::InstallTypeFiles(tiVelmorDemo), TTypeInstallSet::Range(tiKest, tiVelmorDemo));
}

TEST(InstallPlan, ArchiveNames) {
  EXPECT_EQ(engine::PackageArchiveName("Program"), "Program.zip");
  EXPECT_EQ(engine::PackageArchiveName("Program.zip"), "Program.zip");
  EXPECT_EQ(engine::PackageArchiveName("Data.pak"), "Data.pak");
  EXPECT_EQ(engine::PackageArchiveName("v1.2\\Program"), "v1.2\\Program.zip");
}

// A package's folder stays inside the target; a leading backslash is the target's own root.
TEST(InstallPlan, PackageFolderBySafeRule) {
  struct Case {
    std::string dir;
    std::string folder;  // empty: refused
  } cases[] = {
      {"", kTarget},
      {".", kTarget},
      {"\\", kTarget},
      {"Lang", In("Lang")},
      {"\\Lang", In("Lang")},
      {"/Lang", In("Lang")},
      {"Lang\\", In("Lang")},
      {".\\Lang\\Sub", platform::IncludeTrailingPathDelimiter(In("Lang")) + "Sub"},
      {"..", ""},
      {"..\\Other", ""},
      {"Lang\\..\\..\\Other", ""},
      {"\\..\\Other", ""},
      {"D:\\Other", ""},
      {"D:Other", ""},
      {"\\\\server\\share", ""},
      {"//server/share", ""},
      {"Lang:stream", ""},
      {"COM1", ""},
  };
  for (const Case& c : cases) {
    std::string why;
    std::optional<std::string> folder = engine::PackageBaseFolder(kTarget, c.dir, &why);
    EXPECT_EQ(folder.value_or(""), c.folder) << "DirInstall \"" << c.dir << "\"";
    EXPECT_EQ(why.empty(), !c.folder.empty()) << c.dir << ": " << why;
    // The plan carries the same folder, or the refusal with its reason.
    engine::InstallPlan plan = engine::PlanInstall({Package("P", tiKest, c.dir)}, "", Choices(tiKest));
    ASSERT_EQ(plan.Packages.size(), 1u);
    EXPECT_EQ(plan.Packages[0].BaseFolder, c.folder) << c.dir;
    EXPECT_EQ(plan.Packages[0].Refused, why) << c.dir;
    if (!why.empty()) {
      EXPECT_NE(why.find("\"" + c.dir + "\""), std::string::npos) << why;
    }
  }
}

TEST(InstallPlan, AnUpdateRefreshesOnlyExistingFilesOfPackagesThatAskForIt) {
  std::vector<KitPackage> packages = {Package("Program", tiKest, "", false, "", true), Package("Data", tiKest)};
  for (bool update : {false, true}) {
    engine::InstallPlan plan = engine::PlanInstall(packages, "", Choices(tiKest, update));
    ASSERT_EQ(plan.Packages.size(), 2u);
    EXPECT_EQ(plan.Packages[0].OnlyExistingFiles, update);
    EXPECT_FALSE(plan.Packages[1].OnlyExistingFiles);
  }
}

TEST(InstallPlan, NothingToInstallStillBacksUpAndConfigures) {
  engine::InstallPlan plan = engine::PlanInstall({}, "", Choices(tiKest));
  EXPECT_EQ(Steps(plan), (std::vector<std::string>{"Backup", "Configure"}));
  EXPECT_EQ(plan.OverallTotal, 0);
}

}  // namespace
