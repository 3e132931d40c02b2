// The SQL Server installation page and the completion page of the headless wizard: Next runs
// the installation sequence and moves on by its outcome, Stop download, the completion step
// with each box on and off, and the links and logos handed to the shell.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "TestSupport.h"
#include "app/Install.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/Registry.h"
#include "support/ScriptedMessages.h"
#include "ui/Application.h"

using testing::ElementsAre;
using testing_support::TempFolder;

namespace {

namespace fs = std::filesystem;

class SqlInstallPageTest : public testing::Test {
 protected:
  void SetUp() override {
    definition.SetLocalPath(localKit.Path());
    definition.SetMSSQLInstall(kit.Path());
    platform::ClearShellOpenRequests();
    w.FormCreate();
    w.ShowForm();
    w.rgbJazyk.SetItemIndex(ItemOfLanguage(langEN));
    w.SetLanguage(langEN);
    w.SQLServerInstall.Windows = [] { return TWindowsFacts{true, 10, 0}; };
    w.SQLServerInstall.ProgramFor = [](const std::string& f) { return f; };
    w.SQLServerInstall.Execute = [this](void*, const std::string& file, const std::string&, unsigned) {
      started.push_back(file);
      stopDownloadVisibleWhileRunning = w.btnStopDownload.Visible();
      int code = codes.empty() ? 0 : codes.front();
      if (!codes.empty()) codes.pop_front();
      return code;
    };
  }
  void OnInstallPage(const std::string& mssqlIni) {
    kit.Write("MSSQL.ini", mssqlIni);
    kit.Write("SQLEXPR.exe", "installer");
    kit.Write("SQLEXPR.ini", "[OPTIONS]\r\n");
    ASSERT_TRUE(w.GetMSSQLInstallINI("MSSQL.ini", false));
    w.rbNewMSSQL.SetChecked(true);
    w.ShowPage(w.tsSQLInstall);
  }
  std::vector<std::string> VisibleButtons() {
    std::vector<std::string> v;
    for (ui::TButton* b : {&w.btnPrevious, &w.btnNext, &w.btnStopDownload, &w.btnStop, &w.btnInstalovat})
      if (b->Visible()) v.push_back(b->Name());
    return v;
  }

  TempFolder kit, localKit;
  TScriptedMessages messages;
  // The real host: configurations, shortcuts and the product's start on this computer (the
  // native build's folders, in-memory registry and shell).
  TSystemWizardHost host;
  TSetupDat definition{false};
  TFInstall w{host, definition};
  std::vector<std::string> started;
  std::deque<int> codes;
  bool stopDownloadVisibleWhileRunning = true;
};

bool LogContains(const std::string& text) {
  for (const std::string& l : InstallLog().Log())
    if (l.find(text) != std::string::npos) return true;
  return false;
}

TEST_F(SqlInstallPageTest, NextInstallsAndMovesOnByTheOutcome) {
  struct Case {
    int code;
    const char* page;
    std::vector<std::string> buttons;
  } cases[] = {
      {0, "tsSQL", {"btnPrevious", "btnNext"}},
      {3010, "tsSQL", {"btnPrevious", "btnNext"}},
      {1603, "tsSQLInstall", {"btnPrevious"}},
  };
  for (const Case& c : cases) {
    OnInstallPage("[SQL]\r\nExpress=SQLEXPR.exe;1;1\r\n");
    EXPECT_EQ(w.btnNext.Caption(), "Install the Microsoft SQL Server");
    EXPECT_TRUE(w.btnNext.Enabled());
    codes = {c.code};
    started.clear();
    w.btnNext.Click();
    EXPECT_EQ(started.size(), 1u);
    EXPECT_FALSE(stopDownloadVisibleWhileRunning) << "no button while the installer runs";
    EXPECT_EQ(w.pgcInstall.ActivePage()->Name(), c.page) << c.code;
    EXPECT_EQ(VisibleButtons(), c.buttons) << c.code;
  }
}

// Exit code 1641: the setup has started a restart of Windows. The user is told, the wizard
// closes and the program ends, with the restart in the log.
TEST_F(SqlInstallPageTest, ARestartStartedBySetupEndsTheInstaller) {
  OnInstallPage("[SQL]\r\nExpress=SQLEXPR.exe;1;1\r\n");
  codes = {1641};
  messages.Clear();
  w.btnNext.Click();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(w.pgcInstall.ActivePage()->Name(), "tsSQLInstall");  // no page after it
  std::vector<TShownMessage> boxes;
  for (const TShownMessage& m : messages.Shown())
    if (m.Kind != mkWait) boxes.push_back(m);
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].Kind, mkInformation);
  EXPECT_THAT(boxes[0].Text, testing::HasSubstr("has started a restart of Windows"));
  EXPECT_TRUE(LogContains("The installer ends: Windows is restarting"));
  Application().ResetTerminated();
}

TEST_F(SqlInstallPageTest, AnEmptyEditionListSaysWhyAndKeepsNextDisabled) {
  OnInstallPage("[SQL]\r\nExpress x86=SQLEXPR.exe;1;0\r\n");
  EXPECT_FALSE(w.btnNext.Enabled());
  ASSERT_FALSE(messages.Texts().empty());
  EXPECT_THAT(messages.Texts().back(), testing::HasSubstr("is meant for this Windows (64-bit, 10.0)"));
}

TEST_F(SqlInstallPageTest, StopDownloadAsksAndBringsBackPreviousAndNext) {
  OnInstallPage("[SQL]\r\nExpress=SQLEXPR.exe;1;1\r\n");
  w.ShowPageButtons(w.tsSQLInstall.PageIndex(), 1);
  EXPECT_EQ(VisibleButtons(), std::vector<std::string>{"btnStopDownload"});
  messages.Answer(false);
  w.btnStopDownload.Click();
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(VisibleButtons(), std::vector<std::string>{"btnStopDownload"});
  messages.Answer(true);
  w.btnStopDownload.Click();
  EXPECT_TRUE(StopRequested);
  EXPECT_EQ(VisibleButtons(), (std::vector<std::string>{"btnPrevious", "btnNext"}));
  EXPECT_EQ(messages.Texts().back(), "Abort the download");
}

TEST_F(SqlInstallPageTest, TheRunsConfigureStepWritesTheChosenServerAndDatabase) {
  TempFolder t;
  w.State.AdrInstall = t.Path();
  w.State.SQLServerName = "PC01\\VELMOR";
  w.State.DBName = "Účetnictví_2024";
  w.CreateVelmorINI();
  std::string text = platform::Utf8FromAnsi(testing_support::ReadFile(t / "Velmor.INI"));
  EXPECT_NE(text.find("\r\n[SQLServer]\r\nServer=PC01\\VELMOR\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nSystemDB=Účetnictví_2024\r\n"), std::string::npos);
  // An update into the folder keeps the file without a question.
  w.State.DBName = "Other";
  w.State.UpdateVerion = true;
  messages.Clear();
  w.CreateVelmorINI();
  EXPECT_TRUE(messages.Shown().empty());
  EXPECT_EQ(platform::Utf8FromAnsi(testing_support::ReadFile(t / "Velmor.INI")), text);

  // A new installation asks; No keeps the file, and the answer is in the log.
  w.State.UpdateVerion = false;
  messages.Answer(false);
  w.CreateVelmorINI();
  ASSERT_EQ(messages.Shown().size(), 1u);
  EXPECT_EQ(messages.Shown()[0].Kind, mkQuestion);
  EXPECT_NE(messages.Shown()[0].Text.find("server PC01\\VELMOR and database Other"), std::string::npos);
  EXPECT_EQ(platform::Utf8FromAnsi(testing_support::ReadFile(t / "Velmor.INI")), text);
  EXPECT_TRUE(LogContains("kept as it is"));
  // Yes writes the chosen database and keeps the previous file.
  messages.Answer(true);
  w.CreateVelmorINI();
  EXPECT_NE(platform::Utf8FromAnsi(testing_support::ReadFile(t / "Velmor.INI")).find("\r\nSystemDB=Other\r\n"),
            std::string::npos);
  EXPECT_EQ(platform::Utf8FromAnsi(testing_support::ReadFile(t / "Velmor.INI.bak")), text);
  EXPECT_TRUE(LogContains("the previous file is kept as"));
}

// ---- completion -------------------------------------------------------------------------------

// Points the Desktop and Programs shell folders at test folders while it lives.
class ShellFolders {
 public:
  explicit ShellFolders(const std::string& root) {
    FReg.SetRootKey(platform::RegRoot::CurrentUser);
    FReg.OpenKey(kKey, true);
    for (const char* name : {"Desktop", "Programs"}) {
      FOld.push_back({name, FReg.ValueExists(name) ? std::optional(FReg.ReadString(name)) : std::nullopt});
      fs::create_directories(platform::PathFromUtf8(root + "/" + name));
      FReg.WriteString(name, root + "/" + name);
    }
  }
  ~ShellFolders() {
    for (auto& [name, value] : FOld)
      if (value)
        FReg.WriteString(name, *value);
      else
        FReg.DeleteValue(name);
  }

 private:
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  TRegistry FReg;
  std::vector<std::pair<std::string, std::optional<std::string>>> FOld;
};

TEST_F(SqlInstallPageTest, CloseMakesTheChosenShortcutsAndStartsTheProduct) {
  struct Case {
    TTypeInstall type;
    bool desktop, menu, run;
    const char* name;
  } cases[] = {
      {tiTarpel, true, true, true, "Velmor Tarpel"},
      {tiKest, true, false, false, "Velmor Kest"},
      {tiVelmorDemo, false, true, false, "Velmor Tarpel"},
      {tiKestUpdate, false, false, true, "Velmor Kest"},
      {tiTarpelUpdate, false, false, false, "Velmor Tarpel"},
  };
  for (const Case& c : cases) {
    TempFolder t;
    ShellFolders folders(t.Path());
    std::string adr = t / "Velmor";
    // The product: a program that leaves a mark when it is started.
    std::string product = t.Write("Velmor/velmor.exe", "#!/bin/sh\ntouch \"$0.ran\"\n");
    fs::permissions(platform::PathFromUtf8(product), fs::perms::owner_exec, fs::perm_options::add);
    InstallLog().Reset();
    w.State.AdrInstall = adr;
    w.ApplyInstallType(c.type);
    w.chkPlocha.SetChecked(c.desktop);
    w.chkStartMenu.SetChecked(c.menu);
    w.chkRunVelmor.SetChecked(c.run);
    w.ShowPage(w.tsUkonceni);
    EXPECT_EQ(w.btnNext.Caption(), "Close");
    w.btnNext.Click();

    std::string name = c.name;
    auto desktop = platform::LoadShellLink(t / ("Desktop/" + name + ".lnk"));
    auto menu = platform::LoadShellLink(t / ("Programs/Dromak Solutions/" + name + ".lnk"));
    EXPECT_EQ(desktop.has_value(), c.desktop) << name;
    EXPECT_EQ(menu.has_value(), c.menu) << name;
    for (auto& link : {desktop, menu}) {
      if (!link) continue;
      EXPECT_EQ(link->target, platform::IncludeTrailingPathDelimiter(adr) + "Velmor.EXE");
      EXPECT_EQ(link->workingDirectory, platform::IncludeTrailingPathDelimiter(adr));
      EXPECT_EQ(link->description, name);
    }
    bool logged = false;
    for (const std::string& line : InstallLog().Log()) logged = logged || line.find("Spouštím : " + product) != std::string::npos;
    EXPECT_EQ(logged, c.run) << name;
    if (c.run) {
      for (int i = 0; i < 100 && !fs::exists(platform::PathFromUtf8(product + ".ran")); ++i)
        platform::SleepMilliseconds(20);
    }
    EXPECT_EQ(fs::exists(platform::PathFromUtf8(product + ".ran")), c.run) << name;
  }
}

TEST_F(SqlInstallPageTest, LinksAndLogosAreHandedToTheShell) {
  w.Label6.Click();
  for (ui::TLabel* l : {&w.Label9, &w.Label11, &w.Label13}) l->Click();
  for (ui::TImage* logo : {&w.Image1, &w.imgVelTarpel, &w.Image3}) logo->Click();
  w.Label4.Click();  // the telephone number is no link
  const auto& asked = platform::ShellOpenRequests();
  std::vector<std::string> files;
  for (const platform::ShellRequest& r : asked) {
    files.push_back(r.file);
    EXPECT_EQ(r.verb, "open");
    EXPECT_EQ(r.parameters, "");
  }
  EXPECT_THAT(files, ElementsAre(std::string("mailto: ") + maker::HotlineMail, maker::KnowledgeBase, maker::Manual,
                                 maker::WebAddress, maker::WebAddress, maker::WebAddress, maker::WebAddress));
  ASSERT_EQ(asked.size(), 7u);
  for (size_t i = 0; i < 4; ++i) EXPECT_TRUE(asked[i].hidden) << files[i];
  for (size_t i = 4; i < 7; ++i) {
    EXPECT_FALSE(asked[i].hidden) << "a logo opens the web site shown normally";
    EXPECT_EQ(asked[i].owner, w.Handle());
  }
}

}  // namespace
