// Installation runs on the headless wizard with a real file system: archives made by Info-ZIP
// zip, the backup read back by unzip, Stop pressed in the middle of the backup and of the
// extraction, downloads that fail on the loopback server, and the log the run leaves.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "WizardTestSupport.h"
#include "platform/FilesInUse.h"
#include "support/Catalogue.h"

namespace wizard_test {
namespace {

using Names = std::vector<std::string>;

class InstallRunTest : public KitWizardTest {
 protected:
  void SetUp() override {
    KitWizardTest::SetUp();
    // Two packages: the program and a language pack in a subfolder.
    temp.Write("src/Program/VELMOR.EXE", "new program");
    temp.Write("src/Program/Data/a.txt", "new a");
    temp.Write("src/Program/Data/b.txt", "new b");
    temp.Write("src/Lang/Velmor_EN.lng", "new english");
    Zip("Program", "Program.zip");
    Zip("Lang", "Lang_EN.zip");
    definition.ZipFiles() = {Package("Program", ""), Package("Lang_EN.zip", "Lang", "EN")};
  }
  // The wizard on the directory page with the target typed in, ready for Next.
  std::unique_ptr<TFInstall> AtDirectory() {
    auto w = Create();
    ui::headless::UserClick(w->btnNext);
    w->edDir.SetText(target);
    return w;
  }
  std::string Backups() const {
    std::string found;
    std::error_code ec;
    for (auto& e : std::filesystem::directory_iterator(target + "/Backup", ec)) found += e.path().filename().string();
    return found;
  }
  // Presses Stop at the n-th point where the step lets input run, answering the question.
  void StopAt(TFInstall& w, int point, bool answer) {
    for (int i = 1; i < point; ++i) ui::headless::QueueAction([] {});
    ui::headless::QueueAction([&w] { ui::headless::UserClick(w.btnStop); });
    messages->Answer(answer);
  }
  // Runs the installation of an update from the directory page.
  std::unique_ptr<TFInstall> RunUpdate() {
    auto w = AtDirectory();
    EXPECT_TRUE(w->State.UpdateVerion);
    return w;
  }

};

TEST_F(InstallRunTest, UpdateGoesFromTheDirectoryPageStraightIntoTheRun) {
  PreviousInstallation();
  auto w = AtDirectory();
  EXPECT_TRUE(w->State.UpdateVerion);  // a program without a version is older than any kit
  EXPECT_EQ(w->btnNext.Caption(), Msg(msgUpdateVersion));
  std::vector<std::string> pagesSeen;
  w->pgcInstall.OnChange = [&](ui::TControl*) { pagesSeen.push_back(Page(*w)); };
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsUkonceni");
  for (const std::string& p : pagesSeen) EXPECT_EQ(p.find("tsSQL"), std::string::npos) << p;
  EXPECT_TRUE(LogHas("pgcInstall.ActivePage : tsAdresar -> tsZaloha"));

  EXPECT_EQ(File("VELMOR.EXE"), "new program");
  EXPECT_EQ(File("Data/a.txt"), "new a");
  EXPECT_EQ(File("Data/mine.txt"), "the user's own");
  EXPECT_EQ(File("Lang/Velmor_EN.lng"), "new english");
  // An update keeps the configuration: written without a question, with the definition's database.
  ASSERT_EQ(host.configurations.size(), 1u);
  EXPECT_EQ(host.configurations[0].AdrInstall, target);
  EXPECT_FALSE(host.configurations[0].Asked);
  EXPECT_EQ(host.configurations[0].Database, definition.DBName());
  // The backup holds the previous files, readable by Info-ZIP.
  ASSERT_FALSE(w->State.BackupVelmor.empty());
  EXPECT_EQ(testing_support::Run("unzip -tq '" + w->State.BackupVelmor + "' >/dev/null"), 0);
  EXPECT_EQ(testing_support::Run("unzip -p '" + w->State.BackupVelmor + "' VELMOR.EXE | grep -q 'old program'"), 0);
  EXPECT_EQ(w->ProgressCopyInstall.Position(), 2);
  EXPECT_EQ(w->ProgressCopyInstall.Max(), 2);
  EXPECT_TRUE(messages->Shown().empty());  // no warning: every package was installed
}

TEST_F(InstallRunTest, StopDuringTheBackup) {
  for (bool yes : {true, false}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    std::filesystem::remove_all(target);
    PreviousInstallation();
    auto w = RunUpdate();
    StopAt(*w, 1, yes);
    ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
    if (yes) {
      EXPECT_EQ(Page(*w), "tsJazyk");
      EXPECT_EQ(Backups(), "");  // the partial archive is gone
      EXPECT_EQ(w->State.BackupVelmor, "");
      EXPECT_EQ(File("VELMOR.EXE"), "old program");  // the target untouched
      EXPECT_TRUE(LogHas(Msg(msgCancelingInstallation)));
    } else {
      EXPECT_EQ(Page(*w), "tsUkonceni");
      EXPECT_EQ(File("VELMOR.EXE"), "new program");
      EXPECT_NE(Backups(), "");
    }
    EXPECT_EQ(messages->Texts().back(), Msg(msgAbortInstallation));
  }
}

TEST_F(InstallRunTest, StopDuringTheExtractionAnsweredNoGoesOn) {
  PreviousInstallation();
  auto w = RunUpdate();
  // Three files are backed up, then the first entry of Program.zip lets input run.
  StopAt(*w, 4, false);
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsUkonceni");
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(File("Lang/Velmor_EN.lng"), "new english");
}

TEST_F(InstallRunTest, StopDuringTheExtractionWithABackupOffersTheRestore) {
  for (bool restore : {true, false}) {
    SCOPED_TRACE(restore ? "restore" : "decline");
    std::filesystem::remove_all(target);
    PreviousInstallation();
    auto w = RunUpdate();
    StopAt(*w, 4, true);
    messages->Answer(restore);
    ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
    // The archive being extracted is finished; the next one is not fetched.
    EXPECT_FALSE(testing_support::Exists(target + "/Lang/Velmor_EN.lng"));
    ASSERT_GE(messages->Shown().size(), 2u);
    const TShownMessage& question = messages->Shown().back();
    EXPECT_EQ(question.Kind, mkQuestion);
    EXPECT_EQ(question.Text, Msg(msgInstallationInterrupted));
    EXPECT_EQ(w->State.ObnovaPrevVelmor, restore);
    EXPECT_EQ(host.configurations.size(), 0u);
    if (restore) {
      EXPECT_EQ(Page(*w), "tsObnova");
      EXPECT_EQ(VisibleButtons(*w), (Names{"btnNext"}));
      EXPECT_EQ(w->btnNext.Caption(), Msg(msgClose));
      EXPECT_TRUE(w->pnlRecovResult.Visible());
      EXPECT_FALSE(w->pnlRecovProgr.Visible());
      EXPECT_EQ(w->lblResultRecov.Caption(), Msg(msgRestorePreviousSucceeded));
      EXPECT_EQ(File("VELMOR.EXE"), "old program");  // back byte for byte
      EXPECT_EQ(File("Data/a.txt"), "old a");
      EXPECT_EQ(File("Data/b.txt"), "new b");  // files the run added stay
      EXPECT_TRUE(w->Visible());
    } else {
      EXPECT_FALSE(w->Visible());  // the wizard ends
      EXPECT_EQ(File("VELMOR.EXE"), "new program");
    }
  }
}

TEST_F(InstallRunTest, ClosingTheWindowDuringTheRunEndsItWithoutQuestions) {
  PreviousInstallation();
  auto w = RunUpdate();
  for (int i = 1; i < 4; ++i) ui::headless::QueueAction([] {});
  ui::headless::QueueAction([&] { w->Close(); });  // the close box, during the first archive
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_FALSE(w->Visible());  // and it stays closed
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(messages->Shown().empty());
  EXPECT_EQ(File("VELMOR.EXE"), "new program");  // the archive begun is finished
  EXPECT_FALSE(testing_support::Exists(target + "/Lang/Velmor_EN.lng"));
  EXPECT_NE(Backups(), "");  // the backup stays for a later restore
  EXPECT_EQ(host.configurations.size(), 0u);
  Application().ResetTerminated();
}

TEST_F(InstallRunTest, StopWithNothingBackedUpReturnsToTheDirectoryPage) {
  std::filesystem::create_directories(target);
  auto w = AtDirectory();
  EXPECT_FALSE(w->State.UpdateVerion);
  ASSERT_TRUE(w->KontrolaObrAdresare());
  StopAt(*w, 1, true);
  w->RunInstall();
  EXPECT_EQ(w->State.BackupVelmor, "");
  EXPECT_EQ(Page(*w), "tsAdresar");
  ASSERT_FALSE(messages->Shown().empty());
  EXPECT_EQ(messages->Shown().back().Text, Msg(msgAbortInstallation));  // no restore question
  EXPECT_EQ(Backups(), "");
}

TEST_F(InstallRunTest, FailedDownloadEndsTheRunLikeAStop) {
  const auto& server = testing_support::TestServer();
  ASSERT_TRUE(server.error.empty()) << server.error;
  PreviousInstallation();
  definition.SetLocalPath(temp / "empty-kit");
  std::filesystem::create_directories(temp / "empty-kit");
  definition.SetInstallServer(server.Http("/status/404/kit/"));
  auto w = RunUpdate();
  messages->Answer(true);  // restore
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  Names texts = messages->Texts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(messages->Shown()[0].Kind, mkError);  // the download's own error box
  EXPECT_EQ(texts.back(), Msg(msgInstallationInterrupted));
  EXPECT_EQ(Page(*w), "tsObnova");
  EXPECT_EQ(File("VELMOR.EXE"), "old program");
  EXPECT_EQ(host.configurations.size(), 0u);
}

TEST_F(InstallRunTest, PackagesNotInstalledAreNamedBeforeTheCompletionPage) {
  std::filesystem::remove(kit + "/Lang_EN.zip");  // missing from the folder location
  temp.Write("kit/Broken.zip", "this is no archive");
  definition.ZipFiles().push_back(Package("Broken", ""));
  auto w = AtDirectory();
  ASSERT_TRUE(w->KontrolaObrAdresare());
  w->RunInstall();
  EXPECT_EQ(Page(*w), "tsUkonceni");
  ASSERT_EQ(messages->Shown().size(), 1u);
  EXPECT_EQ(messages->Shown()[0].Kind, mkWarning);
  EXPECT_NE(messages->Shown()[0].Text.find("Lang_EN.zip"), std::string::npos);
  EXPECT_NE(messages->Shown()[0].Text.find("Broken"), std::string::npos);
  EXPECT_EQ(messages->Shown()[0].Text.find("Program"), std::string::npos);
  EXPECT_TRUE(LogHas("Lang_EN.zip"));
  EXPECT_TRUE(LogHas(Msg(msgErrorUnpackingFile)));
  EXPECT_EQ(File("VELMOR.EXE"), "new program");
  EXPECT_EQ(host.configurations.size(), 1u);
}

// An update that meets a package it cannot install is interrupted there: the user is told which
// package failed and why, then gets the restore question; Velmor.INI is not written and the
// completion page never shows.
TEST_F(InstallRunTest, AFailedPackageInterruptsAnUpdateWithTheRestoreQuestion) {
  temp.Write("kit/Damaged.zip", std::string("PK\x03\x04", 4) + "a damaged archive");
  temp.Write("src/Third/third.txt", "third");
  Zip("Third", "Third.zip");
  definition.ZipFiles() = {Package("Program", ""), Package("Damaged", ""), Package("Third", "")};
  for (bool restore : {true, false}) {
    SCOPED_TRACE(restore ? "restore" : "decline");
    std::filesystem::remove_all(target);
    PreviousInstallation();
    messages->Clear();
    InstallLog().Reset();
    auto w = RunUpdate();
    std::vector<std::string> pagesSeen;
    w->pgcInstall.OnChange = [&](ui::TControl*) { pagesSeen.push_back(Page(*w)); };
    messages->Answer(restore);
    ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
    ASSERT_EQ(messages->Shown().size(), 2u);
    EXPECT_EQ(messages->Shown()[0].Kind, mkError);
    EXPECT_EQ(messages->Shown()[0].Text.rfind(FormatMsg(msgPackageFailed, "Damaged", ""), 0), 0u)
        << messages->Shown()[0].Text;
    EXPECT_GT(messages->Shown()[0].Text.size(), FormatMsg(msgPackageFailed, "Damaged", "").size()) << "and why";
    EXPECT_EQ(messages->Shown()[1].Kind, mkQuestion);
    EXPECT_EQ(messages->Shown()[1].Text, Msg(msgInstallationInterrupted));
    EXPECT_EQ(host.configurations.size(), 0u) << "no Velmor.INI";
    EXPECT_EQ(std::count(pagesSeen.begin(), pagesSeen.end(), "tsUkonceni"), 0);
    EXPECT_FALSE(testing_support::Exists(target + "/third.txt")) << "the run stops at the failed package";
    EXPECT_EQ(w->State.NotInstalledPackages, (Names{"Damaged", "Third"}));
    EXPECT_TRUE(LogHas("Step Extract Damaged.zip: failed: "));
    EXPECT_TRUE(LogHas("The update stops at the failed package Damaged"));
    EXPECT_FALSE(LogHas("Step Fetch Third.zip"));
    if (restore) {
      EXPECT_EQ(Page(*w), "tsObnova");
      EXPECT_EQ(File("VELMOR.EXE"), "old program");
      EXPECT_EQ(File("Data/a.txt"), "old a");
    } else {
      EXPECT_FALSE(w->Visible());
    }
  }
}

// Programs holding files of the installation: their names, Retry or Cancel, before the backup.
TEST_F(InstallRunTest, FilesInUseAreNamedWithRetryAndCancelBeforeTheBackup) {
  PreviousInstallation();
  platform::SetProgramsUsingFiles({{target + "/VELMOR.EXE", {"Velmor (1234)"}}});
  struct Reset {
    ~Reset() { platform::SetProgramsUsingFiles({}); }
  } reset;
  auto w = RunUpdate();
  messages->Answer({true, false});  // Retry (still in use), then Cancel
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  ASSERT_EQ(messages->Shown().size(), 2u);
  for (const TShownMessage& m : messages->Shown()) {
    EXPECT_EQ(m.Kind, mkRetryCancel);
    EXPECT_EQ(m.Text, FormatMsg(msgFilesInUse, target, "    Velmor (1234)"));
  }
  EXPECT_EQ(Page(*w), "tsAdresar");
  EXPECT_EQ(Backups(), "") << "nothing was written";
  EXPECT_EQ(File("VELMOR.EXE"), "old program");
  EXPECT_EQ(host.configurations.size(), 0u);
  EXPECT_TRUE(LogHas("files of the target are in use by Velmor (1234)"));
  EXPECT_TRUE(LogHas("answered Retry, looking again"));
  EXPECT_TRUE(LogHas("answered Cancel, nothing was written"));

  // Closed, the next attempt runs through.
  platform::SetProgramsUsingFiles({});
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsUkonceni");
  EXPECT_EQ(File("VELMOR.EXE"), "new program");
}

TEST_F(InstallRunTest, BackupErrorIsShownInThePlainMessageBox) {
  PreviousInstallation();
  auto w = RunUpdate();
  // The backup folder cannot be made: a file stands where it would be.
  temp.Write("Velmor/Backup", "in the way");
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsJazyk");
  ASSERT_EQ(host.plainMessages.size(), 1u);
  EXPECT_EQ(host.plainMessages[0].rfind(Msg(msgErrorBackingUp), 0), 0u);
  EXPECT_TRUE(LogHas(Msg(msgErrorBackingUp)));
  EXPECT_EQ(File("VELMOR.EXE"), "old program");
}

TEST_F(InstallRunTest, TheLogReadsAsACallTree) {
  PreviousInstallation();
  auto w = RunUpdate();
  StopAt(*w, 4, true);
  messages->Answer(true);
  InstallLog().Reset();
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  // The procedures with their depth (the stars are 2 x depth + 1).
  std::vector<std::pair<std::string, int>> tree;
  for (const std::string& line : InstallLog().Log()) {
    size_t at = line.find(" procedura ");
    if (at == std::string::npos) continue;
    size_t stars = line.rfind(' ', at - 1);
    int depth = static_cast<int>((at - stars - 1 - 1) / 2);
    tree.emplace_back(line.substr(at + 11), depth);
  }
  auto depthOf = [&](const std::string& name) {
    for (auto& [n, d] : tree)
      if (n == name) return d;
    return -1;
  };
  int run = depthOf("RunInstall");
  // The plan's story names the target, the backup archive and each package's folder, once.
  EXPECT_TRUE(LogHas("an update of the installation in " + target));
  EXPECT_TRUE(LogHas("the backup archive " + w->State.BackupVelmor));
  EXPECT_TRUE(LogHas("Package Lang_EN.zip (Lang_EN.zip) goes to " + target + "/Lang"));
  ASSERT_EQ(depthOf("btnNextClick"), 0);
  EXPECT_EQ(run, 1);
  EXPECT_EQ(depthOf("BackUpPreviousVelmor"), run + 1);
  EXPECT_EQ(depthOf("CopyFiles"), run + 1);
  EXPECT_EQ(depthOf("StahniSoubor"), run + 2);
  EXPECT_EQ(depthOf("onInstallExtractFile"), run + 2);
  EXPECT_EQ(depthOf("RecoveryPrevVelmor"), run + 1);
  EXPECT_EQ(depthOf("onBackupExtractFile"), run + 2);
  // Each step of the plan says when it begins and how it ended.
  for (const char* line : {"Step Backup: begin", "Step Backup: done", "Step Fetch Program.zip: begin",
                           "Step Extract Program.zip: done",
                           "Step Fetch Lang_EN.zip: not begun, the installation was stopped", "Step Restore: begin",
                           "Step Restore: done"})
    EXPECT_TRUE(LogHas(line)) << line;
  EXPECT_TRUE(LogHas(Msg(msgAddFileToArchive)));
  EXPECT_TRUE(LogHas(Msg(msgExtractingArchives) + "VELMOR.EXE"));
  EXPECT_TRUE(LogHas(Msg(msgRestorePreviousSucceeded)));
}

}  // namespace
}  // namespace wizard_test
