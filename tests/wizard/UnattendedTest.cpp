// The unattended installation on the headless wizard with a real file system: the wizard driven
// through its pages without the user, each question answered safely and logged, nothing shown,
// and the exit code of each ending.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "WizardTestSupport.h"
#include "app/Unattended.h"
#include "platform/FilesInUse.h"

namespace wizard_test {
namespace {

// A message as the log line of the unattended run writes it.
std::string OneLineOf(std::string text) {
  for (char& c : text)
    if (c == '\n' || c == '\r') c = ' ';
  return text;
}

class UnattendedTest : public KitWizardTest {
 protected:
  void SetUp() override {
    KitWizardTest::SetUp();
    temp.Write("src/Program/VELMOR.EXE", "new program");
    temp.Write("src/Program/Data/a.txt", "new a");
    temp.Write("src/Lang/Velmor_EN.lng", "new english");
    Zip("Program", "Program.zip");
    Zip("Lang", "Lang_EN.zip");
    definition.ZipFiles() = {Package("Program", ""), Package("Lang_EN.zip", "Lang")};
    options.VerySilent = true;
    options.Dir = target;
  }
  void ExpectPreviousInstallation() {
    EXPECT_EQ(File("VELMOR.EXE"), "old program");
    EXPECT_EQ(File("Data/a.txt"), "old a");
    EXPECT_EQ(File("Data/mine.txt"), "the user's own");
    EXPECT_FALSE(testing_support::Exists(target + "/Lang/Velmor_EN.lng"));
  }
  // The wizard as start-up makes it (created, not shown), driven to its end.
  int Run() {
    // Each run is a program of its own: the last one's end (its window closed) is forgotten.
    Application().ResetTerminated();
    StopRequested = false;
    host.definitions = definitions;
    host.downloads.clear();
    host.configurations.clear();
    host.completions = 0;
    visibleAtCompletion = false;
    host.duringCompletion = [this] { visibleAtCompletion = wizard->Visible(); };
    wizard = std::make_unique<TFInstall>(host, definition, start);
    wizard->FormCreate();
    wizard->OnShow = [this](ui::TControl*) {
      ++windowShown;
      shownOn.push_back(Page(*wizard));
    };
    int code;
    {
      TUnattendedAnswers answers;  // start-up puts it in place of the program's presenter
      code = RunUnattendedWizard(*wizard, options);
    }
    return code;
  }
  // The log's lines that are not procedure entries, for a failure's message.
  static std::string LogText() {
    std::string text;
    for (const std::string& l : LogLines())
      if (l.find("procedura") == std::string::npos && l.find("-----") == std::string::npos) text += l + "\n";
    return text;
  }

  TCommandLine options;
  // The headless wizard, and whether its window was visible when the completion step ran.
  std::unique_ptr<TFInstall> wizard;
  bool visibleAtCompletion = false;
  int windowShown = 0;
  std::vector<std::string> shownOn;  // the page on top each time the window was shown
  std::map<std::string, std::string> definitions;  // the definitions the version page downloads
};

TEST_F(UnattendedTest, AnUpdateRunsWithoutAWindowOrAQuestion) {
  PreviousInstallation();
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(File("VELMOR.EXE"), "new program");
  EXPECT_EQ(File("Lang/Velmor_EN.lng"), "new english");
  EXPECT_EQ(File("Data/mine.txt"), "the user's own");
  EXPECT_EQ(host.configurations.size(), 1u);
  EXPECT_EQ(host.completions, 1);
  EXPECT_FALSE(wizard->chkRunVelmor.Checked()) << "the product is not started";
  EXPECT_EQ(windowShown, 0);
  EXPECT_FALSE(wizard->Visible());
  EXPECT_TRUE(messages->Shown().empty());
  EXPECT_TRUE(LogHas("Unattended: target folder " + target));
  EXPECT_EQ(UnattendedOptions(), nullptr) << "the options end with the run";
}

// /TYPE= overrides the wizard's installation type, so the packages of that type are installed;
// /LANG= is the language chosen on the first page.
TEST_F(UnattendedTest, TypeAndLanguageAreTheWizardsChoicesMadeForIt) {
  temp.Write("src/Demo/Demo.dat", "demo data");
  Zip("Demo", "Demo.zip");
  TZipFileCFG demo = Package("Demo", "Demo");
  demo.SetTypeInstall(tiVelmorDemo);
  definition.ZipFiles().push_back(demo);
  struct Case {
    const char* type;
    const char* lang;
    bool demoInstalled;
    TLanguage language;
  } cases[] = {{"", "", false, langEN}, {"4", "DE", true, langDE}, {"2", "SK", false, langSK}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.lang);
    std::filesystem::remove_all(target);
    PreviousInstallation();
    options.Type = c.type;
    options.Lang = c.lang;
    EXPECT_EQ(Run(), 0);
    EXPECT_EQ(File("VELMOR.EXE"), "new program");
    EXPECT_EQ(testing_support::Exists(target + "/Demo/Demo.dat"), c.demoInstalled);
    EXPECT_EQ(CurrentLanguage(), c.language);
  }
}

// A damaged package of an update: the restore question gets Yes, the previous installation
// comes back, and the installation fails.
TEST_F(UnattendedTest, AFailedUpdateIsRestoredAndFails) {
  temp.Write("kit/Damaged.zip", std::string("PK\x03\x04", 4) + "a damaged archive");
  definition.ZipFiles() = {Package("Program", ""), Package("Damaged", ""), Package("Lang_EN.zip", "Lang")};
  PreviousInstallation();
  EXPECT_EQ(Run(), 1603);
  ExpectPreviousInstallation();
  EXPECT_TRUE(messages->Shown().empty());
  EXPECT_TRUE(LogHas("Unattended: question answered Yes: " + OneLineOf(Msg(msgInstallationInterrupted))));
  EXPECT_TRUE(LogHas("Unattended: the previous installation has been restored from its backup"));
  EXPECT_TRUE(LogHas("Unattended: message not shown: " + OneLineOf(FormatMsg(msgPackageFailed, "Damaged", ""))));
  EXPECT_EQ(host.completions, 0);
}

// The questions that would let the run touch something the user did not ask for get No, and
// the run ends before anything is written.
TEST_F(UnattendedTest, QuestionsGetTheSafeAnswerAndEndTheRun) {
  SetCurrentLanguage(langEN);  // the definition's language, which the run takes: the texts below are in it
  struct Case {
    const char* name;
    std::function<void()> prepare;
    std::string logHas;
  } cases[] = {
      {"files in use", [this] {
         PreviousInstallation();
         platform::SetProgramsUsingFiles({{target + "/VELMOR.EXE", {"Velmor (1234)"}}});
       },
       "Unattended: question answered Cancel: " + OneLineOf(FormatMsg(msgFilesInUse, target, "    Velmor (1234)"))},
      {"a folder of other files", [this] { temp.Write("Velmor/letter.doc", "mine"); },
       "Unattended: question answered No: "},
      {"a Velmor.INI beside other files", [this] {
         temp.Write("Velmor/Velmor.INI", "[SQLServer]\r\n");
         temp.Write("Velmor/letter.doc", "mine");
       },
       "Unattended: question answered No: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(target);
    InstallLog().Reset();
    c.prepare();
    EXPECT_EQ(Run(), 1603);
    platform::SetProgramsUsingFiles({});
    EXPECT_FALSE(testing_support::Exists(target + "/Backup")) << "nothing was written";
    EXPECT_FALSE(testing_support::Exists(target + "/Lang"));
    EXPECT_TRUE(LogHas(c.logHas)) << LogText();
    EXPECT_TRUE(messages->Shown().empty());
  }
}

// A folder that holds only a Velmor.INI is one an administrator prepared: it is taken (the new
// installation then goes on to its SQL Server, which this computer lacks here).
TEST_F(UnattendedTest, AFolderWithOnlyAPreparedVelmorIniIsTaken) {
  temp.Write("Velmor/velmor.ini", "[SQLServer]\r\nServer=PC\\VELMOR\r\n");
  EXPECT_EQ(Run(), 1603);
  EXPECT_TRUE(LogHas("Unattended: the target folder holds only Velmor.INI: it is taken, and the file is kept"));
  EXPECT_TRUE(LogHas("Unattended: question answered Yes: "));
  EXPECT_TRUE(LogHas("a new installation needs /SQLSERVER= or /SQLNEW="));
  EXPECT_EQ(File("velmor.ini"), "[SQLServer]\r\nServer=PC\\VELMOR\r\n");
}

// The progress window of /SILENT: shown for the run's pages only; closed during the run, the
// run stops at its next safe point (a stopped backup has changed nothing; an interrupted copy
// is restored), and the user's cancel is the end.
TEST_F(UnattendedTest, ClosingTheSilentProgressWindowCancels) {
  for (const char* page : {"tsZaloha", "tsCopyFiles"}) {
    SCOPED_TRACE(page);
    std::filesystem::remove_all(target);
    InstallLog().Reset();
    windowShown = 0;
    PreviousInstallation();
    options.VerySilent = false;
    options.Silent = true;
    bool closed = false;
    std::function<void()> closeOnPage = [&] {
      if (Page(*wizard) != page) return ui::headless::QueueAction(closeOnPage);
      closed = true;
      wizard->Close();
    };
    ui::headless::QueueAction(closeOnPage);
    EXPECT_EQ(Run(), 1602);
    EXPECT_TRUE(closed);
    ExpectPreviousInstallation();
    // Shown for the run, hidden when it stopped, shown again for the restore.
    EXPECT_EQ(windowShown, std::string(page) == "tsCopyFiles" ? 2 : 1);
    EXPECT_FALSE(wizard->Visible());
    EXPECT_EQ(host.completions, 0);
    EXPECT_TRUE(LogHas("Unattended: the user closed the progress window"));
    EXPECT_EQ(LogHas("Unattended: the previous installation has been restored from its backup"),
              std::string(page) == "tsCopyFiles");
    EXPECT_TRUE(messages->Shown().empty());
  }
}

// /SILENT through to the end: the window showed the run and is gone before the completion page.
TEST_F(UnattendedTest, TheSilentWindowShowsTheRunOnly) {
  PreviousInstallation();
  options.VerySilent = false;
  options.Silent = true;
  EXPECT_EQ(Run(), 0);
  EXPECT_EQ(shownOn, std::vector<std::string>{"tsZaloha"});
  EXPECT_FALSE(visibleAtCompletion);
  EXPECT_EQ(File("VELMOR.EXE"), "new program");
  EXPECT_EQ(host.completions, 1);
}

// /VERSION= picks a version of the index by its name; the wizard's preselection without it; a
// name the index does not have is a wrong command line, naming what the index offers.
TEST_F(UnattendedTest, VersionPicksAVersionOfTheIndex) {
  start.DatsIniFile = temp.Write("dats.ini",
                           "[Velmor1]\r\nURL=http://h/one/setup.dat\r\nName=Velmor 3.0\r\n"
                           "[Velmor2]\r\nURL=http://h/two/setup.dat\r\nName=Velmor 3.1\r\n");
  definitions["http://h/one/setup.dat"] = std::string(VELSETUP_TEST_DATA) + "/definition/noentry.setup.dat";
  definitions["http://h/two/setup.dat"] = std::string(VELSETUP_TEST_DATA) + "/definition/full.setup.dat";
  struct Case {
    const char* version;
    int code;
    std::vector<std::string> downloads;
    std::string logHas;
  } cases[] = {
      // Loaded; the new installation then stops for want of a SQL Server.
      {"velmor 3.1", 1603, {"http://h/two/setup.dat"}, "Unattended: product version Velmor 3.1"},
      // The preselected first version's definition cannot be loaded: nothing goes on.
      {"", 1603, {"http://h/one/setup.dat"}, "the setup definition of the chosen version could not be loaded"},
      {"Velmor 9", 87, {}, "/VERSION=Velmor 9: the product index offers no such version (it offers: Velmor 3.0, Velmor 3.1)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.version);
    InstallLog().Reset();
    options.Version = c.version;
    EXPECT_EQ(Run(), c.code);
    EXPECT_EQ(host.downloads, c.downloads);
    EXPECT_TRUE(LogHas(c.logHas));
    EXPECT_FALSE(testing_support::Exists(target + "/VELMOR.EXE"));
    EXPECT_TRUE(messages->Shown().empty());
  }
}

// An error no handler caught during the run: no report window; the run stops at its next safe
// point, the update is restored, and the installation fails.
TEST_F(UnattendedTest, AnUncaughtErrorStopsTheRunAndRestores) {
  PreviousInstallation();
  std::function<void()> failOnCopy = [&] {
    if (Page(*wizard) != "tsCopyFiles") return ui::headless::QueueAction(failOnCopy);
    wizard->ApplicationEvents1Exception(nullptr, "the disk went away");
  };
  ui::headless::QueueAction(failOnCopy);
  EXPECT_EQ(Run(), 1603);
  ExpectPreviousInstallation();
  EXPECT_TRUE(LogHas("Unattended: an error ended the installation: the disk went away"));
  EXPECT_TRUE(LogHas("Unattended: the previous installation has been restored from its backup"));
  EXPECT_EQ(host.completions, 0);
  EXPECT_TRUE(messages->Shown().empty());
}

// A version the index does not offer is a wrong command line; a new installation without a SQL
// Server on this computer and none named is refused before anything is written.
TEST_F(UnattendedTest, WhatTheKitDoesNotOfferIsRefused) {
  options.Version = "Velmor 9";
  EXPECT_EQ(Run(), 87);
  EXPECT_TRUE(LogHas("/VERSION=Velmor 9: the installer has loaded a setup definition"));

  InstallLog().Reset();
  options.Version.clear();
  EXPECT_EQ(Run(), 1603);
  EXPECT_TRUE(LogHas("a new installation needs /SQLSERVER= or /SQLNEW="));
  EXPECT_FALSE(testing_support::Exists(target + "/VELMOR.EXE"));
  EXPECT_TRUE(messages->Shown().empty());
}

}  // namespace
}  // namespace wizard_test
