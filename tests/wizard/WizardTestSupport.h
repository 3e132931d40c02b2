#pragma once
// A headless wizard for page-flow tests: the steps other parts of the installer own are recorded,
// the platform's free-space query and downloads of definitions answer from the test, and every
// message is recorded by the scripted presenter.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Install.h"
#include "app/Startup.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/ScriptedMessages.h"
#include "ui/Application.h"
#include "ui/headless/Headless.h"

namespace wizard_test {

class TestWizard : public TFInstall {
 public:
  // Free MiB by the volume FreeSpaceVolumeOf names; volumes not listed have plenty.
  std::map<std::string, std::int64_t> freeMiB;
  std::vector<std::string> freeSpaceAsked;
  // url -> local file handed back by the definition download; urls not listed fail.
  std::map<std::string, std::string> definitions;
  std::vector<std::string> downloads;
  int configurations = 0;
  int completions = 0;
  int localChecks = 0;

  std::int64_t FreeDiskSpace(const std::string& volume) override {
    freeSpaceAsked.push_back(volume);
    auto it = freeMiB.find(volume);
    if (it == freeMiB.end()) return std::int64_t(1) << 40;
    return it->second < 0 ? -1 : it->second * 1048576;
  }
  // The folders that can never be the target; none unless a test names them.
  TSystemFolders systemFolders;
  TSystemFolders SystemFolders() override { return systemFolders; }
  bool DownloadDefinition(const std::string& url, std::string& local) override {
    downloads.push_back(url);
    auto it = definitions.find(url);
    if (it == definitions.end()) return false;
    local = it->second;
    return true;
  }
  // The SQL Server editions list has tests of its own; here every definition has one.
  bool GetMSSQLInstallINI(const std::string&, bool) override { return true; }
  void CreateVelmorINI() override { ++configurations; }
  void DokonceniInstalace() override {
    ++completions;
    Close();
  }
  bool KontrolaSQLLocal() override {
    ++localChecks;
    return true;
  }
};

class WizardTest : public testing::Test {
 protected:
  void SetUp() override {
    ReplaceSetupDat(std::make_unique<TSetupDat>(false));
    SetCurrentLanguage(langEN);
    DatsIniFile.clear();
    IconVariant = 0;
    StopRequested = false;
    Application().ResetTerminated();
    ui::headless::Instance().Reset();
    InstallLog().Reset();
    messages = std::make_unique<TScriptedMessages>();
    TSetupDat& d = SetupDat();
    d.SetLoadedSetupDat(true);
    d.SetInstallLang("EN");
    d.SetInstallPath(temp.Path() + "/Velmor");
    d.SetVerzeExe("3.0.10.0001");
  }
  void TearDown() override {
    messages.reset();
    ui::headless::Instance().Reset();
    ReplaceSetupDat(nullptr);
    SetCurrentLanguage(langCZ);
    DatsIniFile.clear();
    StopRequested = false;
  }
  std::unique_ptr<TestWizard> Create() {
    auto w = std::make_unique<TestWizard>();
    w->FormCreate();
    w->ShowForm();
    return w;
  }
  static std::string Page(const TFInstall& w) { return w.pgcInstall.ActivePage()->Name(); }
  static std::vector<std::string> VisibleButtons(TFInstall& w) {
    std::vector<std::string> v;
    for (ui::TButton* b : {&w.btnUpdate, &w.btnInstalovat, &w.btnPrevious, &w.btnOK, &w.btnStop, &w.btnNext,
                           &w.btnStopDownload, &w.btnBack})
      if (b->Visible()) v.push_back(b->Name());
    return v;
  }
  // The log as the procedures nest: one line per procedure entry, indented by depth.
  static std::vector<std::string> LogLines() { return InstallLog().Log(); }
  static bool LogHas(const std::string& text) {
    for (const std::string& l : InstallLog().Log())
      if (l.find(text) != std::string::npos) return true;
    return false;
  }

  testing_support::TempFolder temp;
  std::unique_ptr<TScriptedMessages> messages;
};

}  // namespace wizard_test
