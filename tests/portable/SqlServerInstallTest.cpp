// Installing a new SQL Server: MSSQL.ini into the edition list, and the installation sequence
// with its companion files, exit codes and Management Studio, from a folder kit and from a
// loopback web kit. The program run is recorded here; the real runs of a stand-in setup are in
// the Windows tests.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>

#include "LoopbackServer.h"
#include "TestSupport.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "setup/Downloader.h"
#include "setup/SetupDat.h"
#include "sql/SqlServerInstall.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/ScriptedMessages.h"
#include "ui/Application.h"

using testing::ElementsAre;
using testing::HasSubstr;
using testing_support::ServerRequests;
using testing_support::TempFolder;
using testing_support::TestServer;

namespace {

bool LogHas(const std::string& text) {
  for (const std::string& line : InstallLog().Log())
    if (line.find(text) != std::string::npos) return true;
  return false;
}

struct ProgramRun {
  std::string file, parameters;
  unsigned flags;
  bool panelVisible;
};

class SqlServerInstallTest : public testing::Test {
 protected:
  void SetUp() override {
    ReplaceSetupDat(std::make_unique<TSetupDat>(false));
    SetupDat().SetLocalPath(localKit.Path());
    SetupDat().SetMSSQLInstall(kit.Path());
    SetCurrentLanguage(langEN);
    StopRequested = false;
    Application().ResetTerminated();
    panel.SetVisible(false);  // as the page has it until a download starts
    install.Windows = [] { return TWindowsFacts{true, 10, 0}; };
    install.ProgramFor = [](const std::string& file) { return file; };
    install.Execute = [this](void*, const std::string& file, const std::string& parameters, unsigned flags) {
      runs.push_back({file, parameters, flags, panel.Visible()});
      int code = codes.empty() ? 0 : codes.front();
      if (!codes.empty()) codes.pop_front();
      return code;
    };
    // Names unique to the test: downloads land in the shared temporary folder.
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    prefix = std::string(info->name()).substr(0, 12) + "_";
  }
  void TearDown() override {
    Application().SetMessagePump({});
    std::error_code ec;
    for (const char* ext : {".exe", ".ini", ".bat", ".cmd"})
      for (const char* base : {"SQLEXPR", "SSMS"})
        std::filesystem::remove(platform::PathFromUtf8(platform::TempPath() + prefix + base + ext), ec);
    ReplaceSetupDat(nullptr);
    SetCurrentLanguage(langCZ);
  }
  std::string Name(const std::string& base) { return prefix + base; }
  void Program(const std::string& name, const std::string& bytes) { kit.Write(name, bytes); }
  // The web kit: the loopback server hands out the files of the kit folder.
  // "GET /kit/.../" of a request for a file of the kit folder.
  std::string KitPath() {
    std::string url = TestServer().Kit(kit.Path());
    return "GET " + url.substr(url.find('/', url.find("//") + 2)) + "/";
  }
  void ServeKitFromWeb() { SetupDat().SetMSSQLInstall(TestServer().Kit(kit.Path())); }
  void Editions(const std::string& sqlSection, const std::string& params = "") {
    kit.Write("MSSQL.ini", "[SQL]\r\n" + sqlSection + "[Params]\r\n" + params);
    ASSERT_TRUE(install.GetMSSQLInstallINI("MSSQL.ini", false));
  }

  TempFolder kit, localKit;
  ui::TForm form{"SqlInstallPage"};
  ui::TComboBox combo{&form, "cmbMSSQLInstallINI"};
  ui::TPanel panel{&form, "PnlDownLoad"};
  ui::TLabel label{&panel, "lblDownload"};
  ui::TProgressBar bar{&panel, "ProgressDownload"};
  std::vector<std::string> buttons;
  TScriptedMessages messages;
  std::vector<ProgramRun> runs;
  std::deque<int> codes;
  std::string prefix;
  TSQLServerInstall install{{combo, panel, label, bar,
                             [this](bool stop) { buttons.push_back(stop ? "Stop download" : "none"); },
                             [] { return nullptr; }}};
};

// ---- MSSQL.ini into the list ------------------------------------------------------------------

TEST_F(SqlServerInstallTest, EditionListFromAFolderKitAndFromTheWeb) {
  for (bool web : {false, true}) {
    if (web) ServeKitFromWeb();
    kit.Write("MSSQL.ini",
              "[SQL]\r\nExpress 2019 x64=SQLEXPR_x64.exe;0;1;;6;1\r\nExpress 2022 x64=SQLEXPR22.exe;1;1;SSMS.exe;10;0\r\n"
              "Express x86=SQLEXPR_x86.exe;1;0\r\n[Params]\r\nExpress 2022 x64=/Q /ACTION=Install\r\n");
    combo.SetItems({"stale"});
    ASSERT_TRUE(install.GetMSSQLInstallINI("MSSQL.ini", true)) << web;
    EXPECT_THAT(combo.Items(), ElementsAre("Express 2019 x64", "Express 2022 x64")) << web;
    EXPECT_EQ(combo.ItemIndex(), 1);
    ASSERT_EQ(install.Entries().size(), 2u);
    EXPECT_EQ(install.Entries()[1].ParamSQL, "/Q /ACTION=Install");
    EXPECT_EQ(install.Entries()[1].FileSQLManStudio, "SSMS.exe");
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_FALSE(Application().Terminated());
    EXPECT_TRUE(LogHas("\"Express x86\" is not for this Windows"));
  }
}

TEST_F(SqlServerInstallTest, MissingListIsReportedAndEndsTheInstallerOnlyWhenAsked) {
  for (bool terminate : {false, true}) {
    messages.Clear();
    Application().ResetTerminated();
    EXPECT_FALSE(install.GetMSSQLInstallINI("MSSQL.ini", terminate));
    EXPECT_EQ(messages.Texts(),
              std::vector<std::string>{"Failed to download MSSQL.ini file (Information for installing MSSQL Server)"});
    EXPECT_EQ(Application().Terminated(), terminate);
  }
  Application().ResetTerminated();  // once the program is ending, nothing is shown
  ServeKitFromWeb();  // 404 from the web source: the same message, the downloader stays silent
  messages.Clear();
  EXPECT_FALSE(install.GetMSSQLInstallINI("MSSQL.ini", false));
  EXPECT_EQ(messages.Texts().size(), 1u);
  Application().ResetTerminated();
}

TEST_F(SqlServerInstallTest, ADamagedListLeavesItEmptyWithItsReason) {
  kit.Write("MSSQL.ini", "<html>Not here</html>");
  combo.SetItems({"stale"});
  EXPECT_TRUE(install.GetMSSQLInstallINI("MSSQL.ini", true)) << "an installation onto another server can go on";
  EXPECT_TRUE(combo.Items().empty());
  EXPECT_EQ(combo.ItemIndex(), -1);
  EXPECT_THAT(install.Problem(), HasSubstr("has no section [SQL]"));
  EXPECT_TRUE(LogHas("has no section [SQL]"));
  EXPECT_FALSE(Application().Terminated());
}

// ---- companions and the command line ----------------------------------------------------------

TEST(CompanionTest, CmdBeforeBatBeforeTheInstallerWithItsConfigurationFile) {
  EXPECT_EQ(CompanionNames("SQLEXPR_x64_ENU.exe").Cmd, "SQLEXPR_x64_ENU.cmd");
  EXPECT_EQ(CompanionNames("setup.v2.exe").Ini, "setup.v2.ini");
  EXPECT_EQ(CompanionNames("setup").Bat, "setup.bat");
  EXPECT_EQ(CompanionNames("C:\\kit.d\\setup").Ini, "C:\\kit.d\\setup.ini");
  struct Case {
    const char *ini, *bat, *cmd, *file, *params;
  } cases[] = {
      {"C:\\k\\S.ini", "C:\\k\\S.bat", "C:\\k\\S.cmd", "C:\\k\\S.cmd", "/Q"},
      {"C:\\k\\S.ini", "", "C:\\k\\S.cmd", "C:\\k\\S.cmd", "/Q"},
      {"C:\\k\\S.ini", "C:\\k\\S.bat", "", "C:\\k\\S.bat", "/Q"},
      {"C:\\k\\S.ini", "", "", "C:\\k\\S.exe", "/Q /ConfigurationFile=\"C:\\k\\S.ini\""},
      {"", "", "", "C:\\k\\S.exe", "/Q"},
  };
  for (const Case& c : cases) {
    TInstallCommand command = ChooseInstallCommand("C:\\k\\S.exe", "/Q", c.ini, c.bat, c.cmd);
    EXPECT_EQ(command.File, c.file);
    EXPECT_EQ(command.Parameters, c.params);
  }
}

TEST_F(SqlServerInstallTest, FolderKitWithCompanionsIsUsedWhereItLies) {
  Program(Name("SQLEXPR.exe"), "installer");
  kit.Write(Name("SQLEXPR.ini"), "[OPTIONS]\r\n");
  Editions(Name("Express") + "=" + Name("SQLEXPR.exe") + ";1;1\r\n", Name("Express") + "=/Q /IACCEPTSQLSERVERLICENSETERMS\r\n");
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::Installed);
  ASSERT_EQ(runs.size(), 1u);
  std::string dir = platform::IncludeTrailingPathDelimiter(kit.Path());
  EXPECT_EQ(runs[0].file, dir + Name("SQLEXPR.exe"));
  EXPECT_EQ(runs[0].parameters, "/Q /IACCEPTSQLSERVERLICENSETERMS /ConfigurationFile=\"" + dir + Name("SQLEXPR.ini") + "\"");
  EXPECT_EQ(runs[0].flags, RunWait);
  EXPECT_FALSE(runs[0].panelVisible);
  EXPECT_THAT(buttons, ElementsAre("Stop download", "none")) << "nothing was downloaded";
  EXPECT_THAT(InstallLog().Log(), testing::Contains(HasSubstr("  /Q /IACCEPTSQLSERVERLICENSETERMS /ConfigurationFile=")));

  // With a .cmd beside it, the script runs with the entry's parameters and no configuration file.
  Program(Name("SQLEXPR.cmd"), "@exit /b 0\r\n");
  Program(Name("SQLEXPR.bat"), "@exit /b 0\r\n");
  runs.clear();
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::Installed);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(platform::Utf8FromPath(platform::PathFromUtf8(runs[0].file).filename()), Name("SQLEXPR.cmd"));
  EXPECT_EQ(runs[0].parameters, "/Q /IACCEPTSQLSERVERLICENSETERMS");
}

TEST_F(SqlServerInstallTest, WebKitDownloadsTheInstallerThenItsCompanionsInOrder) {
  Program(Name("SQLEXPR.exe"), std::string(300000, 'x'));
  Program(Name("SQLEXPR.bat"), "@exit /b 0\r\n");
  kit.Write(Name("SQLEXPR.ini"), "[OPTIONS]\r\n");
  Editions(Name("Express") + "=" + Name("SQLEXPR.exe") + ";1;1\r\n", Name("Express") + "=/Q\r\n");
  ServeKitFromWeb();
  bool panelShownDuringDownload = false;
  Application().SetMessagePump([&] { panelShownDuringDownload = panelShownDuringDownload || panel.Visible(); });
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::Installed);
  ASSERT_EQ(runs.size(), 1u);
  EXPECT_EQ(runs[0].file, platform::TempPath() + Name("SQLEXPR.bat"));
  EXPECT_EQ(runs[0].parameters, "/Q");
  EXPECT_FALSE(runs[0].panelVisible);
  EXPECT_TRUE(panelShownDuringDownload);
  EXPECT_EQ(label.Caption(), "Downloading selected version of the product MSSQL Server");
  std::string requests = ServerRequests(prefix);
  size_t exe = requests.find(KitPath() + Name("SQLEXPR.exe"));
  size_t ini = requests.find(KitPath() + Name("SQLEXPR.ini"));
  size_t bat = requests.find(KitPath() + Name("SQLEXPR.bat"));
  size_t cmd = requests.find(Name("SQLEXPR.cmd"));
  ASSERT_NE(exe, std::string::npos);
  EXPECT_LT(exe, ini);
  EXPECT_LT(ini, bat);
  EXPECT_LT(bat, cmd) << "the missing .cmd is asked for last";
  EXPECT_TRUE(messages.Shown().size() == 1 && messages.Shown()[0].Kind == mkWait) << "a missing companion is no error";
}

TEST_F(SqlServerInstallTest, AnInstallerThatCannotBeFetchedFails) {
  Editions(Name("Express") + "=" + Name("SQLEXPR.exe") + ";1;1\r\n");
  // From a folder: silently.
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::Failed);
  EXPECT_TRUE(runs.empty());
  EXPECT_TRUE(messages.Shown().empty());
  EXPECT_FALSE(panel.Visible());
  // From the web: the downloader's own message.
  ServeKitFromWeb();
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::Failed);
  EXPECT_TRUE(runs.empty());
  EXPECT_EQ(messages.Shown().size(), 1u);
  EXPECT_FALSE(panel.Visible());
}

TEST_F(SqlServerInstallTest, StopDuringACompanionDownloadEndsTheAttempt) {
  Program(Name("SQLEXPR.exe"), "small");
  kit.Write(Name("SQLEXPR.ini"), std::string(4 << 20, ';'));
  Editions(Name("Express") + "=" + Name("SQLEXPR.exe") + ";1;1\r\n");
  ServeKitFromWeb();
  // The user presses Stop download while the configuration file arrives.
  Application().SetMessagePump([&] {
    if (!StopRequested && !ServerRequests(KitPath() + Name("SQLEXPR.ini")).empty())
      StopRequested = true;
  });
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::Failed);
  EXPECT_TRUE(runs.empty()) << "the installer must not run without the companion the user stopped";
  EXPECT_EQ(ServerRequests(Name("SQLEXPR.cmd")), "");
}

// ---- exit codes and Management Studio ---------------------------------------------------------

TEST_F(SqlServerInstallTest, ExitCodesDecideTheOutcome) {
  Program(Name("SQLEXPR.exe"), "installer");
  Editions(Name("Express") + "=" + Name("SQLEXPR.exe") + ";1;1\r\n");
  struct Case {
    int code;
    TInstallOutcome outcome;
    const char* message;
  } cases[] = {
      {0, TInstallOutcome::Installed, nullptr},
      {1603, TInstallOutcome::Failed, "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted\n\rError Code1603"},
      {-1, TInstallOutcome::Failed, "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted\n\rError Code-1"},
      {259, TInstallOutcome::Failed, "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted\n\rError Code259"},
      {3010, TInstallOutcome::InstalledRestartNeeded, "Microsoft SQL Server has been installed, but Windows must be restarted"},
      {1641, TInstallOutcome::RestartInitiated, "The Microsoft SQL Server setup has started a restart of Windows."},
  };
  for (const Case& c : cases) {
    messages.Clear();
    InstallLog().Reset();
    Application().ResetTerminated();
    codes = {c.code};
    EXPECT_EQ(install.InstallSelected(), c.outcome) << c.code;
    std::vector<TShownMessage> boxes;
    for (const TShownMessage& m : messages.Shown())
      if (m.Kind != mkWait) boxes.push_back(m);
    if (!c.message) {
      EXPECT_TRUE(boxes.empty()) << c.code;
      continue;
    }
    ASSERT_EQ(boxes.size(), 1u) << c.code;
    EXPECT_THAT(boxes[0].Text, testing::StartsWith(c.message));
    EXPECT_EQ(boxes[0].Kind, c.outcome == TInstallOutcome::Failed ? mkError : mkInformation) << c.code;
    // Only a restart already under way ends the installer.
    EXPECT_EQ(Application().Terminated(), c.outcome == TInstallOutcome::RestartInitiated) << c.code;
    if (c.outcome == TInstallOutcome::InstalledRestartNeeded)
      EXPECT_TRUE(LogHas("exit code " + std::to_string(c.code) + ": Windows must be restarted")) << c.code;
    else if (c.outcome == TInstallOutcome::RestartInitiated)
      EXPECT_TRUE(LogHas("exit code 1641: its setup has started a restart of Windows")) << c.code;
    else
      EXPECT_TRUE(LogHas("Error Code" + std::to_string(c.code))) << c.code;
  }
  EXPECT_FALSE(messages.Wait().has_value()) << "the wait window is closed in every case";
}

TEST_F(SqlServerInstallTest, ManagementStudioOnlyAfterSqlServerInstalled) {
  Program(Name("SQLEXPR.exe"), "installer");
  Program(Name("SSMS.exe"), "studio");
  Editions(Name("Express") + "=" + Name("SQLEXPR.exe") + ";1;1;" + Name("SSMS.exe") + "\r\n");
  struct Case {
    std::deque<int> codes;
    size_t runs;
    TInstallOutcome outcome;
    const char* error;
  } cases[] = {
      {{0, 0}, 2, TInstallOutcome::Installed, nullptr},
      {{3010, 0}, 2, TInstallOutcome::InstalledRestartNeeded, nullptr},
      {{0, 3010}, 2, TInstallOutcome::InstalledRestartNeeded, nullptr},
      {{1603}, 1, TInstallOutcome::Failed, "An Microsoft SQL Installation Error"},
      {{1641}, 1, TInstallOutcome::RestartInitiated, nullptr},  // no Management Studio while Windows goes down
      {{0, 1641}, 2, TInstallOutcome::RestartInitiated, nullptr},
      {{0, 1602}, 2, TInstallOutcome::Failed, "An Microsoft Management Studio Installation Error Occurred, or prematurely Interrupted\n\rError Code1602"},
  };
  for (const Case& c : cases) {
    runs.clear();
    messages.Clear();
    Application().ResetTerminated();
    codes = c.codes;
    EXPECT_EQ(install.InstallSelected(), c.outcome);
    ASSERT_EQ(runs.size(), c.runs);
    if (c.runs == 2) {
      EXPECT_THAT(runs[1].file, HasSubstr(Name("SSMS.exe")));
      EXPECT_EQ(runs[1].parameters, " /install /quiet /norestart ");
    }
    std::vector<std::string> errors;
    for (const TShownMessage& m : messages.Shown())
      if (m.Kind == mkError) errors.push_back(m.Text);
    if (c.error) {
      ASSERT_EQ(errors.size(), 1u);
      EXPECT_THAT(errors[0], testing::StartsWith(c.error));
    } else {
      EXPECT_TRUE(errors.empty());
    }
  }
}

TEST_F(SqlServerInstallTest, NothingSelectedOrNoInstallerNameFailsWithoutRunning) {
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::Failed);
  Program(Name("SQLEXPR.exe"), "installer");
  Editions(Name("Express") + "=" + Name("SQLEXPR.exe") + ";1;1\r\n");
  combo.SetItemIndex(-1);
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::Failed);
  EXPECT_TRUE(runs.empty());
}

}  // namespace
