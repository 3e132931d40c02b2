#pragma once
// A headless wizard for page-flow tests: the wizard's host answers from the test and records
// what leaves the wizard (FakeWizardHost.h), and every message is recorded by the scripted
// presenter.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "FakeWizardHost.h"
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

class WizardTest : public testing::Test {
 protected:
  void SetUp() override {
    messages = std::make_unique<TScriptedMessages>();
    TSetupDat& d = definition;
    d.SetLoadedSetupDat(true);
    d.SetInstallLang("EN");
    d.SetInstallPath(temp.Path() + "/Velmor");
    d.SetVerzeExe("3.0.10.0001");
    // The SQL Server editions list has tests of its own; here every definition has one.
    host.files["MSSQL.ini"] = temp.Write("fake-host/MSSQL.ini", "[SQL]\r\nExpress=SQLEXPR.exe;1;1\r\n");
  }
  std::unique_ptr<TFInstall> Create() {
    auto w = std::make_unique<TFInstall>(host, definition, start);
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
  FakeWizardHost host;
  // The definition the wizard installs (start-up would have loaded it).
  TSetupDat definition{false};
  // What start-up hands to the wizards the test creates (the product index, the icon).
  TWizardState start;
};

// A wizard whose definition installs from a kit folder of the test's own: the packages are the
// folders under src/ zipped with the kit's password, the target is the folder Velmor, and a test
// that wants one puts a previous installation there first.
class KitWizardTest : public WizardTest {
 protected:
  static constexpr const char* kPassword = "Kit#2024";

  void SetUp() override {
    WizardTest::SetUp();
    kit = temp / "kit";
    target = temp / "Velmor";
    std::filesystem::create_directories(kit);
    definition.SetLocalPath(kit);
    definition.SetZipPassword(kPassword);
    definition.SetInstallServer(kit);
  }
  // Zips src/<folder> into the kit as the archive.
  void Zip(const std::string& folder, const std::string& archive) {
    ASSERT_EQ(testing_support::Run("cd '" + (temp / ("src/" + folder)) + "' && zip -q -r -X -P '" + kPassword +
                                   "' '" + (kit + "/" + archive) + "' ."),
              0);
  }
  static TZipFileCFG Package(const std::string& name, const std::string& dir, const std::string& lang = "") {
    TZipFileCFG p;
    p.SetFileName(name);
    p.SetDirInstall(dir);
    p.SetJazyk(!lang.empty());
    p.SetJazykKod(lang);
    return p;
  }
  // The previous installation: an older program and data the run will replace, and the user's own file.
  void PreviousInstallation() {
    temp.Write("Velmor/VELMOR.EXE", "old program");
    temp.Write("Velmor/Data/a.txt", "old a");
    temp.Write("Velmor/Data/mine.txt", "the user's own");
  }
  std::string File(const std::string& name) const { return testing_support::ReadFile(target + "/" + name); }

  std::string kit, target;
};

}  // namespace wizard_test
