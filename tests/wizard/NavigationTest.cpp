// The wizard's page graph both ways, the buttons and Next of each page, the version page and
// the stop buttons, pressed as a user would on the headless backend.
#include <gtest/gtest.h>

#include <stdexcept>

#include <string>
#include <vector>

#include "WizardTestSupport.h"
#include "app/Navigation.h"

namespace wizard_test {
namespace {

using Names = std::vector<std::string>;

class NavigationTest : public WizardTest {};

// Every page of pgcInstall has its row: the table is the one place a page's rules live.
TEST_F(NavigationTest, EveryPageHasOneRow) {
  auto w = Create();
  for (int i = 0; i < w->pgcInstall.PageCount(); ++i) {
    const TPageRule* rule = PageRuleOf(*w, &w->pgcInstall.Pages(i));
    ASSERT_NE(rule, nullptr) << w->pgcInstall.Pages(i).Name();
    EXPECT_EQ(&(w.get()->*rule->Page), &w->pgcInstall.Pages(i));
  }
  EXPECT_EQ(PageRuleOf(*w, &w->tsLogov2), nullptr);
}

TEST_F(NavigationTest, NewInstallationWalksEveryPageForwardAndBack) {
  auto w = Create();
  w->edDir.SetText(temp.Path() + "/Velmor");  // not there yet: a new installation
  struct Step {
    const char* press;  // "next" or "previous", or a radio button to check first
    const char* page;
    Names buttons;
    const TMessage* next;  // the Next caption, nullptr when not checked
  } steps[] = {
      {"next", "tsAdresar", {"btnPrevious", "btnNext"}, &msgConfigureMSSQL},
      {"previous", "tsJazyk", {"btnNext"}, &msgNext},
      {"next", "tsAdresar", {"btnPrevious", "btnNext"}, &msgConfigureMSSQL},
      {"next", "tsSQLVolba", {"btnPrevious", "btnNext"}, nullptr},
      {"rbExistMSSQL", "tsSQL", {"btnPrevious", "btnNext"}, &msgInstallVelmor},
      {"previous", "tsSQLVolba", {"btnPrevious", "btnNext"}, &msgSelectMSSQL},
      {"rbNewMSSQL", "tsSQLInstall", {"btnPrevious", "btnNext"}, &msgInstallTheMSSQLServer},
      {"previous", "tsSQLVolba", {"btnPrevious", "btnNext"}, &msgInstallTheMSSQL},
      {"rbNetMSSQL", "tsSQLNet", {"btnPrevious", "btnNext"}, &msgInstallVelmor},
      {"previous", "tsSQLVolba", {"btnPrevious", "btnNext"}, &msgSearchForMSSQL},
      {"previous", "tsAdresar", {"btnPrevious", "btnNext"}, &msgConfigureMSSQL},
  };
  for (const Step& s : steps) {
    std::string press = s.press;
    SCOPED_TRACE(press + " -> " + s.page);
    if (press == "previous") {
      ASSERT_TRUE(ui::headless::UserClick(w->btnPrevious));
    } else {
      for (ui::TRadioButton* rb : {&w->rbExistMSSQL, &w->rbNewMSSQL, &w->rbNetMSSQL})
        if (rb->Name() == press) rb->SetChecked(true);
      ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
    }
    EXPECT_EQ(Page(*w), s.page);
    EXPECT_EQ(VisibleButtons(*w), s.buttons);
    if (s.next) {
      EXPECT_EQ(w->btnNext.Caption(), Msg(*s.next));
    }
  }
  // Going back from the SQL Server installation page stops what may still run there.
  EXPECT_TRUE(StopRequested);
  // No server page's Next was pressed: nothing was accepted.
  EXPECT_EQ(w->State.SQLServerName, "");
}

TEST_F(NavigationTest, WithAnIndexTheVersionPageStandsBetweenLanguageAndDirectory) {
  std::string dats = temp.Write("dats.ini",
                                "[Velmor1]\r\nURL=http://h/one/setup.dat\r\nName=Velmor 3.0\r\n"
                                "[Velmor2]\r\nURL=http://h/two/setup.dat;Default\r\nName=Velmor 3.1\r\n"
                                "[Velmor4]\r\nURL=http://h/four/setup.dat\r\nName=never listed\r\n");
  start.DatsIniFile = dats;
  auto w = Create();
  host.definitions["http://h/two/setup.dat"] = std::string(VELSETUP_TEST_DATA) + "/definition/full.setup.dat";
  host.definitions["http://h/one/setup.dat"] = std::string(VELSETUP_TEST_DATA) + "/definition/noentry.setup.dat";

  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsVolbaSW");
  EXPECT_EQ(w->rgVerzeSW.Items(), (Names{"   Velmor 3.0", "   Velmor 3.1"}));
  EXPECT_EQ(w->rgVerzeSW.ItemIndex(), 0);
  EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), Msg(msgSelectVersion));
  EXPECT_FALSE(w->Image1.Visible());
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnPrevious", "btnNext"}));

  // A definition that downloads but cannot be loaded keeps the page.
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsVolbaSW");
  EXPECT_EQ(messages->Texts().back(), Msg(msgUnableToLoadConfiguration));
  EXPECT_FALSE(messages->Wait());  // the wait window is closed in every case

  w->rgVerzeSW.SetItemIndex(1);
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsAdresar");
  EXPECT_EQ(w->State.idxVerzeSW, 1);
  EXPECT_TRUE(w->Image1.Visible());
  EXPECT_EQ(host.downloads, (Names{"http://h/one/setup.dat", "http://h/two/setup.dat"}));

  // Back to the list: the version chosen is preselected, and Previous leads on to the languages.
  ASSERT_TRUE(ui::headless::UserClick(w->btnPrevious));
  EXPECT_EQ(Page(*w), "tsVolbaSW");
  EXPECT_EQ(w->rgVerzeSW.ItemIndex(), 1);
  ASSERT_TRUE(ui::headless::UserClick(w->btnPrevious));
  EXPECT_EQ(Page(*w), "tsJazyk");
}

TEST_F(NavigationTest, VersionPreselection) {
  struct Case {
    int remembered;
    int sections;
    int selected;
  } cases[] = {
      {-1, 3, 0}, {0, 3, 0}, {1, 3, 1}, {2, 3, 2}, {2, 2, 0},  // fewer items than the remembered index
      {1, 0, -1},                                              // no items: nothing selected
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.remembered) + " of " + std::to_string(c.sections));
    std::string ini;
    for (int i = 1; i <= c.sections; ++i)
      ini += "[Velmor" + std::to_string(i) + "]\r\nURL=u" + std::to_string(i) + "\r\nName=v" + std::to_string(i) + "\r\n";
    start.DatsIniFile = temp.Write("index" + std::to_string(c.sections) + ".ini", ini);
    auto w = Create();
    w->State.idxVerzeSW = c.remembered;
    w->ShowPage(w->tsVolbaSW);
    EXPECT_EQ(w->rgVerzeSW.ItemIndex(), c.selected);
    // Next leads nowhere without a version.
    EXPECT_EQ(w->btnNext.Enabled(), c.sections > 0);
    if (c.sections == 0) {
      EXPECT_FALSE(ui::headless::UserClick(w->btnNext));
      EXPECT_EQ(Page(*w), "tsVolbaSW");
      EXPECT_TRUE(host.downloads.empty());
    }
  }
}

TEST_F(NavigationTest, AnIndexWithoutVersionsSaysWhereItCameFromAndWhy) {
  struct Case {
    const char* name;
    std::string content;  // empty: no file at all
    std::string source;   // where start-up took it from
    const char* reason;
  } cases[] = {
      {"gap before the first", "[Velmor2]\r\nURL=u\r\nName=n\r\n", "https://mirror.example/dats.ini",
       "the file has no section [Velmor1]."},
      {"empty file", " ", "C:\\Mirror\\dats.ini", "the file has no section [Velmor1]."},
      {"html error page", "<html><body>Not found</body></html>", "https://mirror.example/dats.ini",
       "the file has no section [Velmor1]."},
      {"no file", "", "", "the file cannot be read."},
      {"too large", std::string(kMaxProductIndexSize + 1, ';'), "https://mirror.example/big.ini",
       "the file is larger than the 1024 KiB an index may have."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    start.DatsIniFile = c.content.empty() ? temp / "absent.ini" : temp.Write(std::string(c.name) + ".ini", c.content);
    start.ProductIndexSource = c.source;
    auto w = Create();
    messages->Clear();
    w->ShowPage(w->tsVolbaSW);
    std::string named = c.source.empty() ? start.DatsIniFile : c.source;
    ASSERT_EQ(messages->Shown().size(), 1u);
    EXPECT_EQ(messages->Shown()[0].Kind, mkError);
    EXPECT_EQ(messages->Texts()[0], "The product index " + named + " offers no product version: " + c.reason);
    EXPECT_FALSE(w->btnNext.Enabled());
    EXPECT_TRUE(w->btnPrevious.Enabled());  // the way back stays open
  }
  }

// The version load downloads while messages run: Next and Previous are grey meanwhile, a click
// queued before they went grey does nothing, and they come back afterwards.
TEST_F(NavigationTest, TheButtonsRestWhileAVersionLoads) {
  start.DatsIniFile = temp.Write("dats.ini", "[Velmor1]\r\nURL=http://h/one\r\nName=One\r\n");
  TFInstall w(host, definition, start);
  std::vector<bool> enabledDuringLoad;
  host.duringDefinitionDownload = [&] {
    enabledDuringLoad = {w.btnNext.Enabled(), w.btnPrevious.Enabled()};
    w.btnNextClick(&w.btnNext);  // clicks that reached the handler anyway
    w.btnPreviousClick(&w.btnPrevious);
  };
  w.FormCreate();
  w.ShowForm();
  host.definitions["http://h/one"] = std::string(VELSETUP_TEST_DATA) + "/definition/full.setup.dat";
  w.ShowPage(w.tsVolbaSW);
  ASSERT_TRUE(ui::headless::UserClick(w.btnNext));
  EXPECT_EQ(enabledDuringLoad, (std::vector<bool>{false, false}));
  EXPECT_EQ(host.downloads.size(), 1u);  // the inner Next started no second load
  EXPECT_EQ(Page(w), "tsAdresar");     // nor did the inner Previous lead back
  EXPECT_TRUE(w.btnPrevious.Enabled());  // (Next there is the directory check's)

  // A load that fails gives both buttons back too.
  ASSERT_TRUE(ui::headless::UserClick(w.btnPrevious));
  host.definitions.clear();
  ASSERT_TRUE(ui::headless::UserClick(w.btnNext));
  EXPECT_EQ(Page(w), "tsVolbaSW");
  EXPECT_TRUE(w.btnNext.Enabled());
  EXPECT_TRUE(w.btnPrevious.Enabled());
}

// The close box during a version load ends the program: the load stops, no message follows,
// the window stays hidden and no page is shown after it.
TEST_F(NavigationTest, ClosingTheWindowDuringAVersionLoadEndsTheProgram) {
  start.DatsIniFile = temp.Write("dats.ini", "[Velmor1]\r\nURL=http://h/one\r\nName=One\r\n");
  TFInstall w(host, definition, start);
  // The close box, pressed while the download lets messages run.
  host.duringDefinitionDownload = [&] { w.Close(); };
  w.FormCreate();
  w.ShowForm();
  w.ShowPage(w.tsVolbaSW);
  messages->Clear();
  ASSERT_TRUE(ui::headless::UserClick(w.btnNext));
  EXPECT_TRUE(Application().Terminated());
  EXPECT_TRUE(StopRequested);
  EXPECT_FALSE(w.Visible());
  EXPECT_EQ(Page(w), "tsVolbaSW");
  for (const auto& shown : messages->Shown()) EXPECT_EQ(shown.Kind, mkWait) << shown.Text;
  EXPECT_FALSE(messages->Wait());
  EXPECT_TRUE(LogHas("The wizard window was closed"));
  EXPECT_TRUE(LogHas("Not shown, the program is ending: " + Msg(msgCannotRetrieveConfiguration)));
}

// A definition chosen from the index gets the Windows test of a definition found at start.
TEST_F(NavigationTest, ADefinitionFromTheIndexIsTestedAgainstTheWindowsVersion) {
  start.DatsIniFile = temp.Write("dats.ini", "[Velmor1]\r\nURL=http://h/one\r\nName=One\r\n");
  struct Case {
    int sysMajor, sysMinor;
    bool message;
  } cases[] = {{10, 0, false}, {6, 0, true}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.sysMajor);
    host.windowsMajor = c.sysMajor;
    host.windowsMinor = c.sysMinor;
    TFInstall w(host, definition, start);
    w.FormCreate();
    w.ShowForm();
    host.definitions["http://h/one"] = std::string(VELSETUP_TEST_DATA) + "/definition/full.setup.dat";
    w.ShowPage(w.tsVolbaSW);
    messages->Clear();
    ASSERT_TRUE(ui::headless::UserClick(w.btnNext));
    ASSERT_EQ(definition.WinVerzeMajor(), 6);  // the fixture asks for Windows 6.1
    bool shown = false;
    for (const std::string& t : messages->Texts()) shown |= t == Msg(msgNewerWindowsRequired);
    EXPECT_EQ(shown, c.message);
    EXPECT_EQ(Page(w), "tsAdresar");  // the user may go on, as at start
  }
}

// An error escaping a handler that ran while a long step let messages through goes to the
// wizard's ApplicationEvents1Exception, not into the step's own error handling.
TEST_F(NavigationTest, AnErrorEscapingAHandlerInsideALongStepReachesTheApplicationHandler) {
  definition.SetTechSupport("podpora@example.cz");
  TFInstall w(host, definition, start);
  w.FormCreate();
  w.ShowForm();
  ui::headless::QueueAction([] { throw std::runtime_error("Chyba v obsluze"); });
  std::string caughtByStep;
  try {
    // What a backup or an extraction does between two files.
    Application().ProcessMessages();
  } catch (const std::exception& e) {
    caughtByStep = e.what();
  }
  EXPECT_EQ(caughtByStep, "");
  EXPECT_EQ(host.reports, (Names{"Chyba v obsluze"}));
  EXPECT_EQ(host.reportAddresses, (Names{"podpora@example.cz"}));  // the report mails the definition's support
  EXPECT_TRUE(Application().Terminated());  // the step sees the program ending
  EXPECT_TRUE(StopRequested);
}

// The server and database accepted for one version's definition do not carry over to another
// version: its local page offers Preset again and its configuration waits for a new choice.
TEST_F(NavigationTest, AnotherVersionForgetsTheAcceptedServerAndDatabase) {
  start.DatsIniFile = temp.Write("dats.ini", "[Velmor1]\r\nURL=http://h/one\r\nName=One\r\n");
  host.definitions["http://h/one"] = std::string(VELSETUP_TEST_DATA) + "/definition/full.setup.dat";
  auto w = Create();
  w->State.SQLServerName = "PC01\\VELMOR";
  w->State.DBName = "Mine";
  w->ShowPage(w->tsVolbaSW);
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  ASSERT_EQ(Page(*w), "tsAdresar");
  EXPECT_EQ(w->State.SQLServerName, "");
  EXPECT_EQ(w->State.DBName, "");
}

TEST_F(NavigationTest, VersionThatCannotBeDownloadedKeepsThePage) {
  start.DatsIniFile = temp.Write("dats.ini", "[Velmor1]\r\nURL=http://h/gone\r\nName=Gone\r\n");
  auto w = Create();
  w->ShowPage(w->tsVolbaSW);
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsVolbaSW");
  EXPECT_EQ(messages->Texts().back(), Msg(msgCannotRetrieveConfiguration));
  ASSERT_GE(messages->Shown().size(), 2u);
  EXPECT_EQ(messages->Shown()[messages->Shown().size() - 2].Text, Msg(msgLoadingSetupSettings));
  EXPECT_FALSE(messages->Wait());
}

TEST_F(NavigationTest, StopButtonsSetAndClearTheStopRequest) {
  auto w = Create();
  struct Case {
    bool stopBefore, answer, stopAfter;
  } cases[] = {{false, true, true}, {false, false, false}, {true, false, false}, {true, true, true}};
  for (const Case& c : cases) {
    StopRequested = c.stopBefore;
    messages->Answer(c.answer);
    w->btnStopClick(&w->btnStop);
    EXPECT_EQ(StopRequested, c.stopAfter) << c.stopBefore << c.answer;
    EXPECT_EQ(messages->Shown().back().Kind, mkQuestion);
    EXPECT_EQ(messages->Texts().back(), Msg(msgAbortInstallation));
  }

  // Stop download: No changes nothing; Yes stops and brings Previous and Next back.
  w->ShowPage(w->tsSQLInstall);
  w->ShowPageButtons(w->tsSQLInstall.PageIndex(), 1);
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnStopDownload"}));
  StopRequested = false;
  messages->Answer({false, true});
  ASSERT_TRUE(ui::headless::UserClick(w->btnStopDownload));
  EXPECT_FALSE(StopRequested);
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnStopDownload"}));
  ASSERT_TRUE(ui::headless::UserClick(w->btnStopDownload));
  EXPECT_TRUE(StopRequested);
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnPrevious", "btnNext"}));
  EXPECT_EQ(messages->Texts().back(), Msg(msgAbortDownload));
}

TEST_F(NavigationTest, InstallButtonRunsOnlyOnTheServerPages) {
  auto w = Create();
  w->ShowPage(w->tsSQLVolba);
  w->btnInstalovatClick(&w->btnInstalovat);
  EXPECT_EQ(Page(*w), "tsSQLVolba");
  EXPECT_EQ(w->State.SQLServerName, "");
  w->State.AdrInstall = temp.Path() + "/Velmor";
  w->State.FInstallType = tiKest;  // Preset stands for the definition's database
  definition.SetDBName("VelmorData");
  host.localServers = Names{"PC01\\VELMOR"};
  w->ShowPage(w->tsSQL);
  w->btnInstalovatClick(&w->btnInstalovat);
  // The local page's check accepted the server and the preset database.
  EXPECT_EQ(w->State.SQLServerName, "PC01\\VELMOR");
  EXPECT_EQ(w->State.DBName, "VelmorData");
  // and the configuration of the run is written with them, asking about a file already there.
  ASSERT_EQ(host.configurations.size(), 1u);
  EXPECT_EQ(host.configurations[0].Server, "PC01\\VELMOR");
  EXPECT_EQ(host.configurations[0].Database, "VelmorData");
  EXPECT_TRUE(host.configurations[0].Asked);
  EXPECT_EQ(Page(*w), "tsUkonceni");  // the run went through (no packages)
}

TEST_F(NavigationTest, ShowHandlersOfTheRunPages) {
  auto w = Create();
  struct Case {
    ui::TTabSheet& page;
    Names buttons;
    const TMessage& heading;
    ui::TControl* focus;
    bool clearsStop;
  } cases[] = {
      {w->tsZaloha, {"btnStop"}, msgCreatingBackup, &w->btnStop, true},
      {w->tsCopyFiles, {"btnStop"}, msgCopyingFiles, &w->btnStop, true},
      {w->tsUkonceni, {"btnNext"}, msgCompletingInstallation, &w->btnNext, false},
      {w->tsObnova, {}, msgRestoringPreviousInstallation, nullptr, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page.Name());
    StopRequested = true;
    w->ShowPage(c.page);
    EXPECT_EQ(VisibleButtons(*w), c.buttons);
    EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), Msg(c.heading));
    if (c.focus) {
      EXPECT_TRUE(c.focus->Focused());
    }
    EXPECT_EQ(StopRequested, !c.clearsStop);
  }
  EXPECT_EQ(w->btnNext.Caption(), Msg(msgClose));
}

TEST_F(NavigationTest, CloseOnTheLastPagesEndsTheWizard) {
  for (bool restorePage : {false, true}) {
    host.completions = 0;
    auto w = Create();
    w->ShowPage(restorePage ? w->tsObnova : w->tsUkonceni);
    if (restorePage) w->ShowPageButtons(w->tsObnova.PageIndex(), 1);
    ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
    EXPECT_FALSE(w->Visible());
    EXPECT_EQ(host.completions, restorePage ? 0 : 1);  // only the completion page runs the completion step
  }
}

TEST_F(NavigationTest, EveryNextPressIsOneProcedureWithItsStepsInside) {
  auto w = Create();
  w->edDir.SetText(temp.Path() + "/Velmor");
  InstallLog().Reset();
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  int presses = 0;
  bool checkInside = false;
  for (const std::string& l : InstallLog().Log()) {
    if (l.find("* procedura btnNextClick") != std::string::npos) {
      ++presses;
      EXPECT_NE(l.find("  * procedura"), std::string::npos);  // at the top level
    }
    if (l.find("*** procedura KontrolaObrAdresare") != std::string::npos) checkInside = true;
  }
  EXPECT_EQ(presses, 2);
  EXPECT_TRUE(checkInside);
  EXPECT_TRUE(LogHas("pgcInstall.ActivePage : tsAdresar -> tsSQLVolba"));
}

}  // namespace
}  // namespace wizard_test
