// The start-up sequence over a recording host: its order, its refusals and the log each leaves.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/CommandLine.h"
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
  bool running = false, locked = false, styleOk = true, downloadOk = true, admin = true, definitionFileOk = true;
  std::vector<std::string> arguments;
  TStartupDefinition def;
  int sysMajor = 10, sysMinor = 0;
  bool throwInSsl = false;
  std::string unhandled;

  bool TakeSingleInstanceLock() override {
    trace.push_back("TakeSingleInstanceLock");
    return !locked;
  }
  std::vector<std::string> Arguments() override { return arguments; }
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
  void CreateSetupDat(bool besideProgram) override {
    trace.push_back(besideProgram ? "CreateSetupDat" : "CreateSetupDat empty");
  }
  bool LoadSetupDatFile(const std::string& path) override {
    trace.push_back("LoadSetupDatFile " + path);
    if (definitionFileOk) def.LoadedSetupDat = true;
    return definitionFileOk;
  }
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
  // What start-up handed to the wizard; empty when no wizard was made.
  TWizardState started;
  void CreateWizard(const TWizardState& start) override {
    trace.push_back("CreateWizard");
    started = start;
  }
  void RunMessageLoop() override { trace.push_back("RunMessageLoop"); }
  void Terminate() override { trace.push_back("Terminate"); }
  void UnhandledError(const std::string& message) override {
    trace.push_back("UnhandledError");
    unhandled = message;
    InstallLog().AddError(message);
  }
  int unattendedExit = 0;
  int RunUnattended(const TCommandLine& options) override {
    trace.push_back(std::string("RunUnattended") + (options.VerySilent ? " very silent" : " silent"));
    if (throwInUnattended) throw std::runtime_error("the wizard broke");
    return unattendedExit;
  }
  bool throwInUnattended = false;
  bool console = false;
  std::string consoleText;
  bool WriteConsoleText(const std::string& text) override {
    consoleText = text;
    return console;
  }
};

class StartupTest : public testing::Test {
 protected:
  void SetUp() override {
    oldTmp = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
    setenv("TMPDIR", temp.Path().c_str(), 1);
    SetMessagePresenter(&presenter);
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
  Trace expected = {"TakeSingleInstanceLock", "InitializeApplication", "ApplyStyle Velmor setup white", "FindRunningWizard TFInstall",
                    kWait, "WriteSSLLibraries", "MainFormOnTaskbar", "CreateSetupDat", "WindowsVersion",
                    "HasAdminRights", "SetApplicationIcon IcoVel2", "CreateWizard", "CloseWait",
                    "RunMessageLoop"};
  EXPECT_EQ(host.trace, expected);
  EXPECT_EQ(host.started.DatsIniFile, "");
  EXPECT_EQ(host.started.IconVariant, 2);
  SavedLog();
}

TEST_F(StartupTest, WithoutLocalDefinitionTheIndexIsDownloadedAndWindowsIsNotTested) {
  host.def = {false, 99, 0, 0};
  EXPECT_EQ(RunVelSetup(host), 0);
  Trace expected = {"TakeSingleInstanceLock", "InitializeApplication", "ApplyStyle Velmor setup white", "FindRunningWizard TFInstall",
                    kWait, "WriteSSLLibraries", "MainFormOnTaskbar", "CreateSetupDat",
                    std::string("DownloadFile ") + ProductIndexURL, "HasAdminRights",
                    "SetApplicationIcon IcoVel2", "CreateWizard", "CloseWait", "RunMessageLoop"};
  EXPECT_EQ(host.trace, expected);
  EXPECT_EQ(host.started.DatsIniFile, "/tmp/dats.ini");
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
  EXPECT_EQ(RunVelSetup(host), 1618);
  Trace expected = {"TakeSingleInstanceLock", "InitializeApplication", "ApplyStyle Velmor setup white", "FindRunningWizard TFInstall",
                    ErrorLine(msgInstallationAlreadyRunning), "BringRunningWizardToFront", "Terminate"};
  EXPECT_EQ(host.trace, expected);  // no wait window, no TLS files, no definition, no wizard
  EXPECT_NE(SavedLog().find(Platform1250(msgInstallationAlreadyRunning)), std::string::npos);
}

TEST_F(StartupTest, TheLockRefusesASecondCopyBeforeItsWizardWindowExists) {
  struct Case {
    bool locked, windowFound;
    int exit;
  } cases[] = {{false, false, 0}, {true, false, 1618}, {false, true, 1618}, {true, true, 1618}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.locked) + " " + std::to_string(c.windowFound));
    FakeHost h;
    RecordingPresenter p(h.trace);
    SetMessagePresenter(&p);
    h.def = {true, -1, 0, 0};
    h.locked = c.locked;
    h.running = c.windowFound;
    EXPECT_EQ(RunVelSetup(h), c.exit);
    EXPECT_EQ(h.trace.front(), "TakeSingleInstanceLock");  // before anything else
    bool refused = std::find(h.trace.begin(), h.trace.end(), ErrorLine(msgInstallationAlreadyRunning)) != h.trace.end();
    EXPECT_EQ(refused, c.exit == 1618);
    if (refused) {
      Trace tail(h.trace.end() - 2, h.trace.end());
      EXPECT_EQ(tail, (Trace{"BringRunningWizardToFront", "Terminate"}));
      EXPECT_EQ(std::find(h.trace.begin(), h.trace.end(), kWait), h.trace.end());
    }
  }
  SetMessagePresenter(&presenter);
}

TEST_F(StartupTest, CommandLineNamesTheIndexOrTheDefinition) {
  std::string localIndex = temp.Write("mirror dats.ini", "[Velmor1]\r\nURL=x\r\n");
  const std::string absent = temp.Path() + "/absent.ini";
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    bool definitionFileOk;
    int exit;
    std::vector<std::string> steps;  // in this order, others between them
    std::string datsIni, source;
  } cases[] = {
      {"index address", {"/INDEX=https://mirror.example/dats.ini"}, true, 0,
       {"CreateSetupDat empty", "DownloadFile https://mirror.example/dats.ini", "CreateWizard"}, "/tmp/dats.ini",
       "https://mirror.example/dats.ini"},
      {"index file", {"/index=" + localIndex}, true, 0, {"CreateSetupDat empty", "HasAdminRights", "CreateWizard"},
       localIndex, localIndex},
      {"index file missing", {"-Index=" + absent}, true, 1, {"CreateSetupDat empty", ErrorLine(msgSetupDatNotFound), "Terminate"}, "", ""},
      {"definition file", {"/SETUPDAT=C:\\Kit\\setup.dat"}, true, 0,
       {"CreateSetupDat empty", "LoadSetupDatFile C:\\Kit\\setup.dat", "WindowsVersion", "CreateWizard"}, "", ""},
      {"definition file broken", {"/SETUPDAT=C:\\Kit\\setup.dat"}, false, 1,
       {"LoadSetupDatFile C:\\Kit\\setup.dat", "ShowError", "Terminate"}, "", ""},
      {"unknown argument", {"/QUIET"}, true, 87, {"FindRunningWizard TFInstall", "Terminate"}, "", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeHost h;
    RecordingPresenter p(h.trace);
    SetMessagePresenter(&p);
    h.arguments = c.arguments;
    h.definitionFileOk = c.definitionFileOk;
    EXPECT_EQ(RunVelSetup(h), c.exit);
    auto at = h.trace.begin();
    for (const std::string& step : c.steps) {
      at = std::find_if(at, h.trace.end(), [&](const std::string& t) { return t.rfind(step, 0) == 0; });
      EXPECT_NE(at, h.trace.end()) << step;
      if (at == h.trace.end()) break;
    }
    EXPECT_EQ(h.started.DatsIniFile, c.datsIni);
    EXPECT_EQ(h.started.ProductIndexSource, c.source);
  }
  SetMessagePresenter(&presenter);
}

TEST_F(StartupTest, AWrongCommandLineIsRefusedWithTheAcceptedArguments) {
  host.arguments = {"/INDEX=https://a/dats.ini", "/SETUP"};
  EXPECT_EQ(RunVelSetup(host), 87);
  auto error = std::find_if(host.trace.begin(), host.trace.end(),
                            [](const std::string& t) { return t.rfind("ShowError", 0) == 0; });
  ASSERT_NE(error, host.trace.end());
  EXPECT_NE(error->find("/SETUP"), std::string::npos);
  EXPECT_NE(error->find(AcceptedArguments()), std::string::npos);
  EXPECT_EQ(std::find(host.trace.begin(), host.trace.end(), kWait), host.trace.end());  // nothing started
}

TEST_F(StartupTest, IndexThatCannotBeDownloadedEndsBeforeTheRightsTest) {
  host.def = {false, -1, 0, 0};
  host.downloadOk = false;
  EXPECT_EQ(RunVelSetup(host), 1);
  Trace tail(host.trace.end() - 4, host.trace.end());
  Trace expected = {std::string("DownloadFile ") + ProductIndexURL,
                    ErrorLine(msgSetupDatNotFound), "CloseWait", "Terminate"};
  EXPECT_EQ(tail, expected);
  EXPECT_EQ(host.started.DatsIniFile, "");
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
    EXPECT_EQ(h.started.IconVariant, c.variant);
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

// An unattended start: every refusal is an exit code and a log line, never a message on screen
// (the recording presenter of the test would see it), and the wizard is driven, not run.
TEST_F(StartupTest, AnUnattendedStartShowsNothingAndEndsWithAnExitCode) {
  SetCurrentLanguage(langEN);
  struct Case {
    const char* name;
    std::vector<std::string> arguments;
    bool locked, admin, downloadOk;
    int exit;
    const char* lastStep;
    std::string logHas;
  } cases[] = {
      {"installs", {"/VERYSILENT"}, false, true, true, 0, "RunUnattended very silent", "Unattended"},
      {"silent", {"/SILENT"}, false, true, true, 0, "RunUnattended silent", ""},
      {"second copy", {"/VERYSILENT"}, true, true, true, 1618, "Terminate", MsgIn(msgInstallationAlreadyRunning, langEN)},
      {"wrong switch", {"/VERYSILENT", "/DIRR=C:\\x"}, false, true, true, 87, "Terminate", "/DIRR=C:\\x"},
      {"wrong value", {"/TYPE=7", "/SILENT"}, false, true, true, 87, "Terminate", "/TYPE=7"},
      {"no rights", {"/VERYSILENT"}, false, false, true, 1603, "Terminate", MsgIn(msgAdminRightsRequired, langEN)},
      {"no index", {"/VERYSILENT"}, false, true, false, 1603, "Terminate", MsgIn(msgSetupDatNotFound, langEN)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InstallLog().Reset();
    FakeHost h;
    RecordingPresenter p(h.trace);
    SetMessagePresenter(&p);
    h.def = {c.downloadOk && c.name != std::string("no index"), -1, 0, 0};
    h.arguments = c.arguments;
    h.locked = c.locked;
    h.admin = c.admin;
    h.downloadOk = c.downloadOk;
    EXPECT_EQ(RunVelSetup(h), c.exit);
    EXPECT_EQ(h.trace.back(), c.lastStep);
    for (const std::string& step : h.trace) {
      EXPECT_NE(step.rfind("Show", 0), 0u) << step;  // no message, no wait window
      EXPECT_NE(step, "BringRunningWizardToFront");
    }
    std::string log;
    for (const std::string& line : InstallLog().Log()) log += line + "\n";
    EXPECT_NE(log.find(c.logHas), std::string::npos) << log;
    EXPECT_NE(log.find("Unattended: exit code " + std::to_string(c.exit)), std::string::npos) << log;
    // The program's presenter is back once the run has ended.
    EXPECT_EQ(&MessagePresenter(), &p);
  }
  SetMessagePresenter(&presenter);
  SetCurrentLanguage(langCZ);
}

TEST_F(StartupTest, AnErrorInAnUnattendedRunIsLoggedAndFails) {
  host.def = {true, -1, 0, 0};
  host.arguments = {"/VERYSILENT"};
  host.throwInUnattended = true;
  EXPECT_EQ(RunVelSetup(host), 1603);
  EXPECT_EQ(host.unhandled, "");  // no error report window
  EXPECT_NE(SavedLog().find("the wizard broke"), std::string::npos);
}

// /LOG= gets a copy of the installation log; a file that cannot be written refuses the start.
TEST_F(StartupTest, TheLogGoesWhereLogNamesIt) {
  std::string file = temp.Path() + "/logs here/setup.log";
  std::filesystem::create_directories(temp.Path() + "/logs here");
  host.def = {true, -1, 0, 0};
  host.arguments = {"/VERYSILENT", "/LOG=" + file};
  host.unattendedExit = 3010;
  EXPECT_EQ(RunVelSetup(host), 3010);
  std::string copy = testing_support::ReadFile(file);
  EXPECT_EQ(copy, SavedLog());
  EXPECT_NE(copy.find("/VERYSILENT"), std::string::npos) << copy;

  FakeHost h;
  RecordingPresenter p(h.trace);
  SetMessagePresenter(&p);
  h.def = {true, -1, 0, 0};
  h.arguments = {"/LOG=" + temp.Path() + "/no such folder/setup.log"};
  EXPECT_EQ(RunVelSetup(h), 87);
  EXPECT_EQ(std::find(h.trace.begin(), h.trace.end(), "CreateWizard"), h.trace.end());
  EXPECT_FALSE(std::filesystem::exists(temp.Path() + "/no such folder"));
  SetMessagePresenter(&presenter);
}

// /HELP: the usage on the console when there is one, else in a message.
TEST_F(StartupTest, HelpShowsTheUsageAndInstallsNothing) {
  for (bool console : {true, false}) {
    SCOPED_TRACE(console);
    FakeHost h;
    RecordingPresenter p(h.trace);
    SetMessagePresenter(&p);
    h.def = {true, -1, 0, 0};
    h.arguments = {"/?"};
    h.console = console;
    EXPECT_EQ(RunVelSetup(h), 0);
    EXPECT_EQ(h.consoleText, UsageText());
    bool shown = std::find(h.trace.begin(), h.trace.end(), "Show " + UsageText()) != h.trace.end();
    EXPECT_EQ(shown, !console);
    EXPECT_EQ(std::find(h.trace.begin(), h.trace.end(), "CreateWizard"), h.trace.end());
  }
  SetMessagePresenter(&presenter);
}

}  // namespace
