// The start-up sequence over a recording host: its order, its refusals and the log each leaves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Startup.h"
#include "platform/Text.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"

namespace {

using Trace = std::vector<std::string>;

class RecordingPresenter : public TMessagePresenter {
 public:
  explicit RecordingPresenter(Trace& trace) : FTrace(trace) {}
  bool ShowMessageForm(const std::string& text, const std::string& title, const std::string& caption,
                       TMessageKind kind, int, const TNotifyEvent&) override {
    if (kind == mkWait) {
      FWaitOpen = true;
      FTrace.push_back("ShowWait " + text + " | " + title + " | " + caption);
    } else if (kind == mkError)
      FTrace.push_back("ShowError " + text + " | " + title);
    else
      FTrace.push_back("Show " + text);
    return false;
  }
  void UpdateWait(const std::string&, const std::string&) override {}
  // Only closing an open wait window is recorded: closing none is harmless and invisible.
  void CloseWait() override {
    if (FWaitOpen) FTrace.push_back("CloseWait");
    FWaitOpen = false;
  }
  bool FWaitOpen = false;

 private:
  Trace& FTrace;
};

struct FakeHost : TStartupHost {
  Trace trace;
  bool running = false, styleOk = true, downloadOk = true, admin = true;
  TStartupDefinition def;
  int sysMajor = 10, sysMinor = 0;
  bool throwInSsl = false;
  std::string unhandled;

  void InitializeApplication() override { trace.push_back("InitializeApplication"); }
  bool ApplyStyle(const std::string& name) override {
    trace.push_back("ApplyStyle " + name);
    return styleOk;
  }
  bool FindRunningWizard(const std::string& cls) override {
    trace.push_back("FindRunningWizard " + cls);
    return running;
  }
  void BringRunningWizardToFront() override { trace.push_back("BringRunningWizardToFront"); }
  void WriteSSLLibraries() override {
    trace.push_back("WriteSSLLibraries");
    if (throwInSsl) throw std::runtime_error("libeay32.dll is locked");
  }
  void MainFormOnTaskbar() override { trace.push_back("MainFormOnTaskbar"); }
  void CreateSetupDat() override { trace.push_back("CreateSetupDat"); }
  TStartupDefinition Definition() override { return def; }
  bool DownloadFile(const std::string& url, std::string& local) override {
    trace.push_back("DownloadFile " + url);
    if (downloadOk) local = "/tmp/dats.ini";
    return downloadOk;
  }
  void WindowsVersion(int& major, int& minor) override {
    trace.push_back("WindowsVersion");
    major = sysMajor;
    minor = sysMinor;
  }
  bool HasAdminRights() override {
    trace.push_back("HasAdminRights");
    return admin;
  }
  void SetApplicationIcon(const std::string& name) override { trace.push_back("SetApplicationIcon " + name); }
  void CreateWizard() override { trace.push_back("CreateWizard"); }
  void RunMessageLoop() override { trace.push_back("RunMessageLoop"); }
  void Terminate() override { trace.push_back("Terminate"); }
  void UnhandledError(const std::string& message) override {
    trace.push_back("UnhandledError");
    unhandled = message;
    InstallLog().AddError(message);
  }
};

class StartupTest : public testing::Test {
 protected:
  void SetUp() override {
    oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", temp.Path().c_str(), 1);
    SetMessagePresenter(&presenter);
    DatsIniFile.clear();
    IconVariant = 0;
  }
  void TearDown() override {
    SetMessagePresenter(nullptr);
    if (oldTmp.empty())
      unsetenv("TMPDIR");
    else
      setenv("TMPDIR", oldTmp.c_str(), 1);
  }
  // The one log file the run left in the temporary folder.
  std::string SavedLog() {
    std::vector<std::string> logs;
    for (auto& e : std::filesystem::directory_iterator(temp.Path()))
      if (e.path().filename().string().rfind("VelmorInst", 0) == 0) logs.push_back(e.path().string());
    EXPECT_EQ(logs.size(), 1u);
    return logs.empty() ? "" : testing_support::ReadFile(logs[0]);
  }

  testing_support::TempFolder temp;
  std::string oldTmp;
  FakeHost host;
  RecordingPresenter presenter{host.trace};
};

// Start-up speaks Czech: the language is chosen later, in the wizard.
const std::string kWait = "ShowWait " + MsgIn(msgInitializing, langCZ) + " |  | " + MsgIn(msgInstallation, langCZ);
// The saved log is in the ANSI code page.
std::string Platform1250(const TMessage& m) { return platform::AnsiFromUtf8(MsgIn(m, langCZ)); }
std::string ErrorLine(const TMessage& m) { return "ShowError " + MsgIn(m, langCZ) + " | "; }

TEST_F(StartupTest, LocalDefinitionRunsEveryStepInOrder) {
  host.def = {true, -1, 0, 0};
  EXPECT_EQ(RunVelSetup(host), 0);
  Trace expected = {"InitializeApplication", "ApplyStyle Velmor setup white", "FindRunningWizard TFInstall",
                    kWait, "WriteSSLLibraries", "MainFormOnTaskbar", "CreateSetupDat", "WindowsVersion",
                    "HasAdminRights", "SetApplicationIcon IcoVel2", "CreateWizard", "CloseWait",
                    "RunMessageLoop"};
  EXPECT_EQ(host.trace, expected);
  EXPECT_EQ(DatsIniFile, "");
  EXPECT_EQ(IconVariant, 2);
  SavedLog();
}

TEST_F(StartupTest, WithoutLocalDefinitionTheIndexIsDownloadedAndWindowsIsNotTested) {
  host.def = {false, 99, 0, 0};
  EXPECT_EQ(RunVelSetup(host), 0);
  Trace expected = {"InitializeApplication", "ApplyStyle Velmor setup white", "FindRunningWizard TFInstall",
                    kWait, "WriteSSLLibraries", "MainFormOnTaskbar", "CreateSetupDat",
                    std::string("DownloadFile ") + ProductIndexURL, "HasAdminRights",
                    "SetApplicationIcon IcoVel2", "CreateWizard", "CloseWait", "RunMessageLoop"};
  EXPECT_EQ(host.trace, expected);
  EXPECT_EQ(DatsIniFile, "/tmp/dats.ini");
  EXPECT_EQ(std::string(ProductIndexURL).rfind("https://", 0), 0u);
  EXPECT_NE(std::string(ProductIndexURL).find("/velmor/zb/VelmorInstall/DAT/dats.ini"), std::string::npos);
}

TEST_F(StartupTest, AStyleThatCannotBeAppliedDoesNotStopStartUp) {
  host.def = {true, -1, 0, 0};
  host.styleOk = false;
  EXPECT_EQ(RunVelSetup(host), 0);
  EXPECT_NE(std::find(host.trace.begin(), host.trace.end(), "RunMessageLoop"), host.trace.end());
}

TEST_F(StartupTest, SecondCopyOnlyReportsAndBringsTheFirstToFront) {
  host.running = true;
  EXPECT_EQ(RunVelSetup(host), 1);
  Trace expected = {"InitializeApplication", "ApplyStyle Velmor setup white", "FindRunningWizard TFInstall",
                    ErrorLine(msgInstallationAlreadyRunning), "BringRunningWizardToFront", "Terminate"};
  EXPECT_EQ(host.trace, expected);  // no wait window, no TLS files, no definition, no wizard
  EXPECT_NE(SavedLog().find(Platform1250(msgInstallationAlreadyRunning)), std::string::npos);
}

TEST_F(StartupTest, IndexThatCannotBeDownloadedEndsBeforeTheRightsTest) {
  host.def = {false, -1, 0, 0};
  host.downloadOk = false;
  EXPECT_EQ(RunVelSetup(host), 1);
  Trace tail(host.trace.end() - 4, host.trace.end());
  Trace expected = {std::string("DownloadFile ") + ProductIndexURL,
                    ErrorLine(msgSetupDatNotFound), "CloseWait", "Terminate"};
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(DatsIniFile, "");
  EXPECT_NE(SavedLog().find(Platform1250(msgSetupDatNotFound)), std::string::npos);
}

TEST_F(StartupTest, NoRightsEndsAfterTheIndexWasDownloaded) {
  host.def = {false, -1, 0, 0};
  host.admin = false;
  EXPECT_EQ(RunVelSetup(host), 1);
  Trace tail(host.trace.end() - 5, host.trace.end());
  Trace expected = {std::string("DownloadFile ") + ProductIndexURL, "HasAdminRights",
                    ErrorLine(msgAdminRightsRequired), "CloseWait", "Terminate"};
  EXPECT_EQ(tail, expected);
  EXPECT_NE(SavedLog().find(Platform1250(msgAdminRightsRequired)), std::string::npos);
}

TEST_F(StartupTest, WindowsVersionOfALocalDefinition) {
  struct Case {
    int defMajor, defMinor, sysMajor, sysMinor;
    bool message;
  } cases[] = {
      {6, 2, 6, 1, true},   {6, 1, 6, 2, false}, {10, 0, 6, 3, true}, {-1, 99, 6, 1, false},
      {6, 1, 6, 1, false},  {5, 9, 6, 0, false}, {7, 0, 6, 9, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.defMajor) + "." + std::to_string(c.defMinor) + " on " +
                 std::to_string(c.sysMajor) + "." + std::to_string(c.sysMinor));
    EXPECT_EQ(WindowsTooOld(c.defMajor, c.defMinor, c.sysMajor, c.sysMinor), c.message);
    FakeHost h;
    RecordingPresenter p(h.trace);
    SetMessagePresenter(&p);
    h.def = {true, c.defMajor, c.defMinor, 0};
    h.sysMajor = c.sysMajor;
    h.sysMinor = c.sysMinor;
    EXPECT_EQ(RunVelSetup(h), 0);  // the wizard opens after the message too
    bool shown = std::find(h.trace.begin(), h.trace.end(), ErrorLine(msgNewerWindowsRequired)) != h.trace.end();
    EXPECT_EQ(shown, c.message);
    EXPECT_NE(std::find(h.trace.begin(), h.trace.end(), "CreateWizard"), h.trace.end());
  }
  SetMessagePresenter(&presenter);
}

TEST_F(StartupTest, IconFollowsTheProductGeneration) {
  struct Case {
    int versionProd;
    const char* resource;
    unsigned char variant;
  } cases[] = {{0, "IcoVel2", 2}, {1, "IcoVel3", 3}, {2, "IcoVel2", 2}, {-1, "IcoVel2", 2}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.versionProd);
    FakeHost h;
    h.def = {true, -1, 0, c.versionProd};
    RunVelSetup(h);
    EXPECT_NE(std::find(h.trace.begin(), h.trace.end(), std::string("SetApplicationIcon ") + c.resource),
              h.trace.end());
    EXPECT_EQ(IconVariant, c.variant);
  }
}

TEST_F(StartupTest, AnUncaughtErrorGoesToTheReportAndTheLogIsStillSaved) {
  host.def = {true, -1, 0, 0};
  host.throwInSsl = true;
  EXPECT_EQ(RunVelSetup(host), 2);
  EXPECT_EQ(host.unhandled, "libeay32.dll is locked");
  Trace tail(host.trace.end() - 3, host.trace.end());
  Trace expected = {"WriteSSLLibraries", "CloseWait", "UnhandledError"};  // the report is not hidden
  EXPECT_EQ(tail, expected);                                                // under the wait window
  EXPECT_NE(SavedLog().find("libeay32.dll is locked"), std::string::npos);
}

}  // namespace
