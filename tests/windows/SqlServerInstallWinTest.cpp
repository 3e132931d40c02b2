// The SQL Server installation sequence and the completion step against Windows itself, under
// Wine: a stand-in SQL Server setup (tests/windows/standin) served from a folder kit and from
// the loopback web kit registers its instance and ends with the exit code it is given; the
// shortcuts are real shell links; the support links reach a handler through the shell.
#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "LoopbackServer.h"
#include "RecordingShellHandler.h"
#include "TestSupport.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "setup/Downloader.h"
#include "setup/SetupDat.h"
#include "sql/Completion.h"
#include "sql/SqlServerInstall.h"
#include "support/Catalogue.h"
#include "support/ScriptedMessages.h"
#include "ui/Application.h"

using platform::win32::Wide;
using testing::HasSubstr;
using testing_support::ReadFile;
using testing_support::TempFolder;
using testing_support::TestServer;

namespace {

namespace fs = std::filesystem;

// The Linux side of the loopback server sees the Windows paths of this program through Wine.
std::string StandIn() { return VELSETUP_SQL_STANDIN; }

void CopyStandIn(const std::string& to) {
  fs::copy_file(platform::PathFromUtf8(StandIn()), platform::PathFromUtf8(to), fs::copy_options::overwrite_existing);
}

bool InstanceRegistered(const std::string& instance, REGSAM view) {
  std::wstring path = L"SOFTWARE\\Microsoft\\Microsoft SQL Server\\" + Wide(instance) + L"\\MSSQLServer\\CurrentVersion";
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  DWORD size = 0;
  bool has = RegQueryValueExW(key, L"CurrentVersion", nullptr, nullptr, nullptr, &size) == ERROR_SUCCESS;
  RegCloseKey(key);
  return has;
}

// Removes what the stand-in registered for the instance, in both views.
void Unregister(const std::string& instance) {
  for (REGSAM view : {KEY_WOW64_32KEY, KEY_WOW64_64KEY}) {
    std::wstring path = L"SOFTWARE\\Microsoft\\Microsoft SQL Server\\" + Wide(instance);
    RegDeleteTreeW(HKEY_LOCAL_MACHINE, path.c_str());  // the default view
    HKEY parent;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Microsoft SQL Server", 0, KEY_ALL_ACCESS | view,
                      &parent) == ERROR_SUCCESS) {
      RegDeleteTreeW(parent, Wide(instance).c_str());
      RegCloseKey(parent);
    }
  }
}

std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 200; ++i) {
    std::error_code ec;
    if (fs::exists(platform::PathFromUtf8(path), ec)) {
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
      return ReadFile(path);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return "<never written>";
}

class SqlServerInstallWinTest : public testing::Test {
 protected:
  void SetUp() override {
    ReplaceSetupDat(std::make_unique<TSetupDat>(false));
    SetupDat().SetLocalPath(localKit.Path());
    SetupDat().SetMSSQLInstall(kit.Path());
    SetCurrentLanguage(langEN);
    StopRequested = false;
    install.Windows = [] { return TWindowsFacts{true, 10, 0}; };
    prefix = "W" + std::to_string(GetCurrentProcessId() % 10000) + "_";
  }
  void TearDown() override {
    for (const std::string& i : instances) Unregister(i);
    std::error_code ec;
    for (const char* name : {"SQLEXPR.exe", "SQLEXPR.cmd", "SQLEXPR.exe.ran", "SSMS.exe", "SSMS.exe.ran"})
      fs::remove(platform::PathFromUtf8(platform::TempPath() + prefix + name), ec);
    ReplaceSetupDat(nullptr);
    SetCurrentLanguage(langCZ);
  }
  std::string Instance(const std::string& name) {
    instances.push_back(prefix + name);
    return prefix + name;
  }
  void Editions(const std::string& line, const std::string& params) {
    kit.Write("MSSQL.ini", "[SQL]\r\nExpress=" + line + "\r\n[Params]\r\nExpress=" + params + "\r\n");
    ASSERT_TRUE(install.GetMSSQLInstallINI("MSSQL.ini", false));
    ASSERT_EQ(cmb.ItemIndex(), 0);
  }
  std::vector<std::string> Errors() const {
    std::vector<std::string> e;
    for (const TShownMessage& m : messages.Shown())
      if (m.Kind == mkError) e.push_back(m.Text);
    return e;
  }

  TempFolder kit, localKit;
  ui::TForm form{"SqlInstallWinPage"};
  ui::TComboBox cmb{&form, "cmbMSSQLInstallINI"};
  ui::TPanel panel{&form, "PnlDownLoad"};
  ui::TLabel label{&panel, "lblDownload"};
  ui::TProgressBar bar{&panel, "ProgressDownload"};
  TScriptedMessages messages;
  std::vector<std::string> instances;
  std::string prefix;
  TSQLServerInstall install{{cmb, panel, label, bar, [](bool) {}, [] { return nullptr; }}};
};

TEST_F(SqlServerInstallWinTest, FolderKitInstallerWithItsConfigurationFileAndEachExitCode) {
  CopyStandIn(kit / "SQLEXPR.exe");
  struct Case {
    int code;
    TInstallOutcome outcome;
    bool registered;
  } cases[] = {
      {0, TInstallOutcome::Installed, true},
      {1603, TInstallOutcome::Failed, false},
      {3010, TInstallOutcome::InstalledRestartNeeded, true},
  };
  for (const Case& c : cases) {
    std::string instance = Instance("VELMOR" + std::to_string(c.code));
    kit.Write("SQLEXPR.ini", "[OPTIONS]\r\nINSTANCENAME=\"" + instance + "\"\r\n");
    Editions("SQLEXPR.exe;1;1", "/Q /VIEW=32 /EXITCODE=" + std::to_string(c.code));
    messages.Clear();
    EXPECT_EQ(install.InstallSelected(), c.outcome) << c.code;
    EXPECT_EQ(InstanceRegistered(instance, KEY_WOW64_32KEY), c.registered) << c.code;
    EXPECT_FALSE(InstanceRegistered(instance, KEY_WOW64_64KEY)) << "the 64-bit view was not asked for";
    std::string ran = ReadFile(kit / "SQLEXPR.exe.ran");
    EXPECT_THAT(ran, HasSubstr("/EXITCODE=" + std::to_string(c.code) + " /ConfigurationFile=\"" +
                               platform::IncludeTrailingPathDelimiter(kit.Path()) + "SQLEXPR.ini\""));
    if (c.outcome == TInstallOutcome::Failed)
      EXPECT_EQ(Errors(), std::vector<std::string>{
                              "An Microsoft SQL Installation Error Occurred, or prematurely Interrupted\n\rError Code1603"});
    else
      EXPECT_TRUE(Errors().empty()) << c.code;
  }
}

TEST_F(SqlServerInstallWinTest, WebKitScriptCompanionRunsInsteadAndManagementStudioFollows) {
  ASSERT_EQ(TestServer().error, "");
  std::string instance = Instance("VIACMD");
  CopyStandIn(kit / (prefix + "SQLEXPR.exe"));
  CopyStandIn(kit / (prefix + "SSMS.exe"));
  // The script beside the downloaded installer starts it with the instance it chooses.
  kit.Write(prefix + "SQLEXPR.cmd", "@\"%~dp0" + prefix + "SQLEXPR.exe\" /INSTANCENAME=" + instance +
                                       " %*\r\n@exit /b %ERRORLEVEL%\r\n");
  Editions(prefix + "SQLEXPR.exe;1;1;" + prefix + "SSMS.exe", "/VIEW=64 /EXITCODE=3010");
  SetupDat().SetMSSQLInstall(TestServer().Kit(kit.Path()));
  messages.Clear();
  EXPECT_EQ(install.InstallSelected(), TInstallOutcome::InstalledRestartNeeded);
  EXPECT_TRUE(Errors().empty()) << (Errors().empty() ? "" : Errors()[0]);
  EXPECT_TRUE(InstanceRegistered(instance, KEY_WOW64_64KEY));
  std::string temp = platform::TempPath();
  EXPECT_THAT(WaitForFile(temp + prefix + "SQLEXPR.exe.ran"), HasSubstr("/INSTANCENAME=" + instance + " /VIEW=64 /EXITCODE=3010"));
  EXPECT_THAT(WaitForFile(temp + prefix + "SSMS.exe.ran"), HasSubstr("/install /quiet /norestart"));
  bool toldRestart = false;
  for (const TShownMessage& m : messages.Shown()) toldRestart = toldRestart || (m.Kind == mkInformation && m.Text.find("restarted") != std::string::npos);
  EXPECT_TRUE(toldRestart);
}

// ---- completion -------------------------------------------------------------------------------

// Points the user's Desktop and Programs shell folders at test folders while it lives.
class ShellFoldersAt {
 public:
  explicit ShellFoldersAt(const std::string& root) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey, nullptr);
    for (const wchar_t* name : {L"Desktop", L"Programs"}) {
      wchar_t old[MAX_PATH] = {};
      DWORD size = sizeof old - sizeof(wchar_t);
      bool had = RegQueryValueExW(FKey, name, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
      FOld.push_back({name, had ? std::optional<std::wstring>(old) : std::nullopt});
      std::wstring dir = Wide(root + "\\" + platform::win32::Utf8(name));
      fs::create_directories(dir);
      RegSetValueExW(FKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(dir.c_str()),
                     static_cast<DWORD>((dir.size() + 1) * sizeof(wchar_t)));
    }
  }
  ~ShellFoldersAt() {
    for (auto& [name, old] : FOld) {
      if (old)
        RegSetValueExW(FKey, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(old->c_str()),
                       static_cast<DWORD>((old->size() + 1) * sizeof(wchar_t)));
      else
        RegDeleteValueW(FKey, name.c_str());
    }
    RegCloseKey(FKey);
  }

 private:
  HKEY FKey = nullptr;
  std::vector<std::pair<std::wstring, std::optional<std::wstring>>> FOld;
};

TEST(CompletionWinTest, ShortcutsPointAtTheProductInItsFolderAndTheProductStarts) {
  TempFolder t;
  std::string adr = t / "Velmor Tarpel";
  fs::create_directories(platform::PathFromUtf8(adr));
  CopyStandIn(adr + "\\Velmor.EXE");
  ShellFoldersAt folders(t.Path());
  RunCompletion(adr, tiTarpel, {true, true, true});
  for (std::string link : {t / "Desktop/Velmor Tarpel.lnk", t / "Programs/Dromak Solutions/Velmor Tarpel.lnk"}) {
    std::optional<platform::ShellLink> l = platform::LoadShellLink(link);
    ASSERT_TRUE(l.has_value()) << link;
    EXPECT_TRUE(platform::SameTextAscii(l->target, adr + "\\Velmor.EXE")) << l->target;
    EXPECT_TRUE(platform::SameTextAscii(l->workingDirectory, adr + "\\")) << l->workingDirectory;
    EXPECT_EQ(l->description, "Velmor Tarpel");
  }
  EXPECT_NE(WaitForFile(adr + "\\Velmor.EXE.ran"), "<never written>") << "the product was started";

  // Every box cleared: nothing is made, nothing is started.
  TempFolder t2;
  ShellFoldersAt folders2(t2.Path());
  fs::remove(platform::PathFromUtf8(adr + "\\Velmor.EXE.ran"));
  RunCompletion(adr, tiKest, {false, false, false});
  EXPECT_TRUE(fs::is_empty(platform::PathFromUtf8(t2 / "Desktop")));
  EXPECT_FALSE(fs::exists(platform::PathFromUtf8(t2 / "Programs/Dromak Solutions")));
  std::this_thread::sleep_for(std::chrono::milliseconds(500));
  EXPECT_FALSE(fs::exists(platform::PathFromUtf8(adr + "\\Velmor.EXE.ran")));
}

// A URL protocol of the test's own, whose handler is the stand-in: what the shell hands over
// lands in a record file.
TEST(CompletionWinTest, SupportLinksAreOpenedThroughTheShell) {
  TempFolder t;
  std::string record = t / "opened.txt";
  testing_support::RecordingShellHandler handler(L"velsetuptest", StandIn(), record);
  ASSERT_TRUE(handler.Registered());
  ASSERT_TRUE(handler.SetValue(L"velsetuptest", L"URL Protocol", L""));

  OpenSupportAddress("velsetuptest://www.velmor.cz/tarpel/forum");
  EXPECT_THAT(WaitForFile(record), HasSubstr("velsetuptest://www.velmor.cz/tarpel/forum"));
  ASSERT_FALSE(platform::ShellOpenRequests().empty());
  EXPECT_EQ(platform::ShellOpenRequests().back().verb, "open");
  EXPECT_TRUE(platform::ShellOpenRequests().back().hidden);
}

}  // namespace
