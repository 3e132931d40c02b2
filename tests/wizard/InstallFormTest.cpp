// The wizard window on the headless backend: its state after creation with and without a
// definition, languages, heading looks, button sets and widths, focus, keys and errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "FakeWizardHost.h"
#include "TestSupport.h"
#include "app/Install.h"
#include "app/Startup.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "ui/Application.h"

namespace {

ui::TControl* FindControl(ui::TWinControl& parent, const std::string& name) {
  for (ui::TControl* c : parent.Controls()) {
    if (c->Name() == name) return c;
    if (auto* w = dynamic_cast<ui::TWinControl*>(c))
      if (ui::TControl* found = FindControl(*w, name)) return found;
  }
  return nullptr;
}

class InstallFormTest : public testing::Test {
 protected:
  void SetUp() override {
    host.files["MSSQL.ini"] = kit.Write("MSSQL.ini", "[SQL]\r\nExpress=SQLEXPR.exe;1;1\r\n");
  }
  // A definition as start-up would have loaded it.
  void Definition(const std::string& lang, int versionProd = 0, bool onlyVersion = false, int typInst = 2) {
    TSetupDat& d = definition;
    d.SetLoadedSetupDat(true);
    d.SetInstallLang(lang);
    d.SetInstallPath("C:\\Program Files\\Velmor");
    d.SetVersionProd(versionProd);
    d.SetOnlyVersion(onlyVersion);
    d.SetTypInst(typInst);
  }
  // What start-up hands to the wizards the test creates (the product index).
  TWizardState start;
  // Every definition has an SQL Server editions list unless a test says otherwise.
  testing_support::TempFolder kit;
  wizard_test::FakeWizardHost host;
  TSetupDat definition{false};
  std::unique_ptr<TFInstall> Create(bool show = true) {
    auto w = std::make_unique<TFInstall>(host, definition, start);
    w->FormCreate();
    if (show) w->ShowForm();
    return w;
  }
};

TEST_F(InstallFormTest, WindowIsTheFixedWizardOfTheRightClassAndSize) {
  TFInstall w{host, definition};
  EXPECT_EQ(w.WindowClassName(), "TFInstall");
  EXPECT_EQ(w.ClientWidth(), 754);
  EXPECT_EQ(w.ClientHeight(), 711);
  EXPECT_EQ(w.BorderStyle(), ui::TBorderStyle::bsSingle);
  EXPECT_FALSE(w.MaximizeBox());
  EXPECT_TRUE(w.MinimizeBox());
  EXPECT_TRUE(w.KeyPreview());
  EXPECT_EQ(w.Position(), ui::TPosition::poScreenCenter);
  EXPECT_EQ(w.Caption(), "Instalace software VELMOR");
  EXPECT_EQ(w.Font().Name, "Tahoma");
  EXPECT_EQ(w.Font().Height, 11);

  // Heading band on top, button strip at the bottom, the pages between them.
  EXPECT_EQ(w.pgcLogo.BoundsRect(), (ui::TRect{0, 0, 754, 120}));
  EXPECT_EQ(w.pnlOvladani.BoundsRect(), (ui::TRect{0, 711 - 75, 754, 711}));
  EXPECT_EQ(w.pgcInstall.BoundsRect(), (ui::TRect{0, 120, 754, 711 - 75}));

  const char* pages[] = {"tsJazyk",     "tsAdresar", "tsSQLVolba", "tsSQL",    "tsSQLInstall", "tsZaloha",
                         "tsCopyFiles", "tsUkonceni", "tsObnova",  "tsSQLNet", "tsVolbaSW"};
  ASSERT_EQ(w.pgcInstall.PageCount(), 11);
  for (int i = 0; i < 11; ++i) EXPECT_EQ(w.pgcInstall.Pages(i).Name(), pages[i]) << i;
  ASSERT_EQ(w.pgcLogo.PageCount(), 3);
  EXPECT_EQ(w.pgcLogo.Pages(0).Name(), "tsLogov2");
  EXPECT_EQ(w.pgcLogo.Pages(1).Name(), "tsLogov3");
  EXPECT_EQ(w.pgcLogo.Pages(2).Name(), "tsLogoV3Kest");

  // Every control a page names is on that page.
  struct Named {
    ui::TTabSheet& page;
    std::vector<const char*> controls;
  } named[] = {
      {w.tsJazyk, {"rgbJazyk"}},
      {w.tsAdresar, {"lblInstallDirectory", "edDir", "ColorButton2", "lblVersioInfo", "lblVerze", "lblErrorDirVer"}},
      {w.tsSQLVolba, {"lblPopisSQL", "GroupBox1", "rbExistMSSQL", "rbNewMSSQL", "rbNetMSSQL"}},
      {w.tsSQL, {"lblVolbaDB", "rgVolbaDB", "pnlDBName", "lblDBName", "edDBName", "lblLocalMSSQL", "cmbSQLServers"}},
      {w.tsSQLInstall,
       {"lblInstanceMSSQL", "cmbMSSQLInstallINI", "btnInstallMSSQL", "PnlDownLoad", "lblDownload", "ProgressDownload"}},
      {w.tsZaloha, {"lblBackup", "lblFileName", "ProgressBackup"}},
      {w.tsCopyFiles,
       {"lblInstallVelmor", "lblCopyFile", "lblSumaryInstall", "Image2", "ProgressCopyFile", "ProgressCopyInstall"}},
      {w.tsUkonceni,
       {"Label1", "Memo1", "chkRunVelmor", "chkPlocha", "chkStartMenu", "labHotTelefon", "labHotEmail", "Label6",
        "labZalostDB", "Label9", "labPrirucka", "Label11", "labWeb", "Label13"}},
      {w.tsObnova, {"pnlRecovProgr", "lblRecovery", "lblFileNameRecov", "ProgressBarRecov", "pnlRecovResult",
                    "lblResultRecov"}},
      {w.tsSQLNet, {"lblVolbaDBNet", "labTSQLNetFind", "cmbMSSQLNetList", "btnZnovuNacist", "rgVolbaDBNet",
                    "pnlDBNetName", "lblNameDBNet", "edtNetDBName"}},
      {w.tsVolbaSW, {"rgVerzeSW"}},
  };
  for (Named& n : named)
    for (const char* c : n.controls) EXPECT_NE(FindControl(n.page, c), nullptr) << n.page.Name() << " " << c;
  EXPECT_FALSE(w.btnInstallMSSQL.Visible());
  EXPECT_FALSE(w.PnlDownLoad.Visible());
}

TEST_F(InstallFormTest, ButtonStripDesign) {
  TFInstall w{host, definition};
  struct Case {
    ui::TButton& button;
    int width;
  } cases[] = {{w.btnNext, 130}, {w.btnPrevious, 130}, {w.btnUpdate, 130}, {w.btnInstalovat, 130},
               {w.btnOK, 100},   {w.btnBack, 100},     {w.btnStop, 100},   {w.btnStopDownload, 173}};
  for (Case& c : cases) {
    SCOPED_TRACE(c.button.Name());
    EXPECT_EQ(c.button.Width(), c.width);
    EXPECT_EQ(c.button.Height(), 34);
    EXPECT_EQ(c.button.Font().Name, "Tahoma");
    EXPECT_EQ(c.button.Font().Height, 16);
    EXPECT_TRUE(c.button.Font().Bold);
    EXPECT_EQ(c.button.Font().Color, 3355443u);
    EXPECT_EQ(c.button.Parent(), &w.pnlOvladani);
  }
  w.FormCreate();
  w.VisibleButton({btvPrevious, btvNext});
  // Previous sits at the left margin, Next at the right one, both 18 below the top line.
  EXPECT_EQ(w.btnPrevious.Left(), 18);
  EXPECT_EQ(w.btnNext.Left() + w.btnNext.Width(), 754 - 18);
  EXPECT_EQ(w.btnNext.Top(), 2 + 18);
  EXPECT_EQ(w.btnPrevious.Top(), 2 + 18);
  EXPECT_EQ(w.btnNext.Height(), 34);
}

TEST_F(InstallFormTest, CreationWithoutDefinitionOpensTheCzechLanguagePage) {
  auto w = Create(false);
  EXPECT_EQ(w->State.idxVerzeSW, -1);
  EXPECT_EQ(w->State.AdrInstall, "C:\\Velmor");
  EXPECT_EQ(w->edDir.Text(), "C:\\Velmor");
  EXPECT_EQ(w->State.BackupVelmor, "");
  EXPECT_FALSE(w->State.ObnovaPrevVelmor);
  EXPECT_TRUE(w->chkPlocha.Checked());
  EXPECT_TRUE(w->chkStartMenu.Checked());
  EXPECT_EQ(w->pgcInstall.ActivePage(), &w->tsJazyk);
  EXPECT_EQ(w->pgcLogo.ActivePage(), &w->tsLogov2);
  EXPECT_EQ(w->pgcLogo.TabHeight(), 1);
  EXPECT_EQ(w->pgcLogo.TabWidth(), 1);
  EXPECT_EQ(w->btnPrevious.Align(), ui::TAlign::alLeft);
  for (ui::TButton* b : {&w->btnNext, &w->btnPrevious, &w->btnUpdate, &w->btnInstalovat, &w->btnOK, &w->btnBack,
                         &w->btnStop, &w->btnStopDownload})
    EXPECT_FALSE(b->Visible()) << b->Name();
  EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), "");
  EXPECT_TRUE(host.iconsLoaded.empty());

  w->ShowForm();
  EXPECT_EQ(CurrentLanguage(), langCZ);
  EXPECT_EQ(w->rgbJazyk.ItemIndex(), 0);
  EXPECT_EQ(w->rgbJazyk.Items().at(0), "   Čeština");
  for (ui::TLabel* l : {&w->lblObrazovkaInfov2, &w->lblObrazovkaInfov3, &w->lblObrazovkaInfov3Kest})
    EXPECT_EQ(l->Caption(), "Volba jazyka");
  EXPECT_TRUE(w->btnNext.Visible());
  EXPECT_FALSE(w->btnPrevious.Visible());
  EXPECT_EQ(w->btnNext.Caption(), "Další");
  EXPECT_EQ(w->pgcInstall.TabHeight(), 1);
  for (int i = 0; i < w->pgcInstall.PageCount(); ++i) EXPECT_EQ(w->pgcInstall.Pages(i).Caption(), "");
  EXPECT_TRUE(w->rgbJazyk.Buttons(0).Focused());
}

TEST_F(InstallFormTest, DefinitionChoosesLanguageItemAndLanguage) {
  struct Case {
    const char* installLang;
    int item;
    TLanguage language;
    const char* heading;
  } cases[] = {{"en", 2, langEN, "Language selection"}, {"EN", 2, langEN, "Language selection"},
               {"Sk", 1, langSK, "Výber jazyka"},       {"DE", 3, langDE, "Sprachenauswahl"},
               {"cz", 0, langCZ, "Volba jazyka"},       {"PL", 0, langCZ, "Volba jazyka"},
               {"", 0, langCZ, "Volba jazyka"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.installLang);
    SetCurrentLanguage(langCZ);
    Definition(c.installLang);
    auto w = Create();
    EXPECT_EQ(w->rgbJazyk.ItemIndex(), c.item);
    EXPECT_EQ(CurrentLanguage(), c.language);
    EXPECT_EQ(w->lblObrazovkaInfov3.Caption(), c.heading);
    EXPECT_EQ(w->btnPrevious.Caption(), MsgIn(msgPrevious, c.language));
  }
}

TEST_F(InstallFormTest, DefinitionChoosesTargetDirectory) {
  testing_support::TempFolder temp;
  struct Case {
    std::string alter;
    std::string expected;
  } cases[] = {{"", "C:\\Program Files\\Velmor"},
               {temp.Path() + "/missing", "C:\\Program Files\\Velmor"},
               {temp.Path(), temp.Path()}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.alter);
    Definition("CZ");
    definition.SetInstallPathAlter(c.alter);
    auto w = Create(false);
    EXPECT_EQ(w->State.AdrInstall, c.expected);
    EXPECT_EQ(w->edDir.Text(), c.expected);
  }
}

TEST_F(InstallFormTest, HeadingLookFollowsGenerationAndEdition) {
  struct Case {
    int versionProd;
    bool onlyVersion;
    int typInst;
    TTypeInstall type;
    const char* look;
    const char* icon;
  } cases[] = {
      {0, false, 0, tiTarpel, "tsLogov2", "IcoVel2"},    {0, true, 1, tiKest, "tsLogov2", "IcoVel2"},
      {1, false, 0, tiTarpel, "tsLogov3", "IcoVel3"},    {1, true, 2, tiTarpel, "tsLogov3", "IcoVel3"},
      {1, true, 0, tiKest, "tsLogoV3Kest", "IcoVel3"},   {1, true, 1, tiKest, "tsLogoV3Kest", "IcoVel3"},
      {7, true, 0, tiKest, "tsLogov2", "IcoVel2"},  // unknown generation: the design look stays
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.versionProd) + " " + std::to_string(c.typInst));
    host.iconsLoaded.clear();
    Definition("CZ", c.versionProd, c.onlyVersion, c.typInst);
    auto w = Create(false);
    EXPECT_EQ(w->State.FInstallType, c.type);
    EXPECT_EQ(w->pgcLogo.ActivePage()->Name(), c.look);
    EXPECT_EQ(host.iconsLoaded, std::vector<std::string>{c.icon});
  }

  // ApplyInstallType alone switches between the two looks of the third generation.
  Definition("CZ", 1);
  auto w = Create(false);
  struct TypeCase {
    TTypeInstall type;
    const char* look;
  } types[] = {{tiKest, "tsLogoV3Kest"}, {tiKestUpdate, "tsLogoV3Kest"}, {tiTarpel, "tsLogov3"},
               {tiTarpelUpdate, "tsLogov3"}, {tiVelmorDemo, "tsLogov3"}};
  for (const TypeCase& t : types) {
    w->ApplyInstallType(t.type);
    EXPECT_EQ(w->State.FInstallType, t.type);
    EXPECT_EQ(w->pgcLogo.ActivePage()->Name(), t.look) << int(t.type);
  }
}

TEST_F(InstallFormTest, IconIsReloadedOnlyWhenTheGenerationChanges) {
  Definition("CZ", 0);
  auto w = Create(false);
  EXPECT_EQ(host.iconsLoaded, std::vector<std::string>{"IcoVel2"});
  EXPECT_TRUE(w->ApplySetupDat(false, false));
  EXPECT_EQ(host.iconsLoaded.size(), 1u);
  definition.SetVersionProd(1);
  EXPECT_TRUE(w->ApplySetupDat(false, false));
  EXPECT_EQ(host.iconsLoaded, (std::vector<std::string>{"IcoVel2", "IcoVel3"}));
  EXPECT_EQ(w->State.IconVariant, 3);
  EXPECT_EQ(w->Icon(), "IcoVel3");
  // The window keeps working after its handle was made again.
  w->ShowForm();
  EXPECT_EQ(w->pgcInstall.ActivePage(), &w->tsJazyk);
  EXPECT_TRUE(w->btnNext.Visible());
}

TEST_F(InstallFormTest, FailedServerListLeavesEverythingAsItWas) {
  for (bool throws : {false, true}) {
    SCOPED_TRACE(throws);
    host = {};
    host.files["MSSQL.ini"] = kit.Path() + "/MSSQL.ini";
    Definition("CZ", 0);
    auto w = Create(false);
    definition.SetVersionProd(1);
    definition.SetInstallPath("D:\\Other");
    definition.SetInstallLang("DE");
    definition.SetOnlyVersion(true);
    definition.SetTypInst(0);
    (throws ? host.throwing : host.failing) = {"MSSQL.ini"};
    EXPECT_FALSE(w->ApplySetupDat(true, false));
    EXPECT_EQ(host.iconsLoaded.size(), 1u);
    EXPECT_EQ(w->State.IconVariant, 2);
    EXPECT_EQ(w->State.AdrInstall, "C:\\Program Files\\Velmor");
    EXPECT_EQ(CurrentLanguage(), langCZ);
    EXPECT_EQ(w->State.FInstallType, tiTarpel);
    EXPECT_EQ(w->pgcLogo.ActivePage(), &w->tsLogov2);
  }
}

// Every text the Language step writes, in every language, checked against the catalogue's
// own table of control texts.
TEST_F(InstallFormTest, LanguageSwitchRewritesEveryText) {
  auto w = Create();
  for (TLanguage lang : {langEN, langDE, langSK, langCZ}) {
    SCOPED_TRACE(int(lang));
    w->SetLanguage(lang);
    for (const TControlText& t : LanguageControlTexts) {
      SCOPED_TRACE(t.Control);
      ui::TControl* c = FindControl(*w, t.Control);
      ASSERT_NE(c, nullptr);
      switch (t.Kind) {
        case TControlTextKind::Caption:
          EXPECT_EQ(c->Caption(), MsgIn(*t.Text, lang));
          break;
        case TControlTextKind::FormattedCaption:
          EXPECT_EQ(c->Caption(), Format(MsgIn(*t.Text, lang)));
          break;
        case TControlTextKind::ProductInstalled:
          EXPECT_EQ(c->Caption(), Format(MsgIn(*t.Text, lang), {"Velmor Kest"}));
          break;
        case TControlTextKind::DatabaseOptions: {
          auto& group = dynamic_cast<ui::TRadioGroup&>(*c);
          std::vector<std::string> items = {DatabaseOptionIndent + MsgIn(msgPresetDatabase, lang),
                                            DatabaseOptionIndent + MsgIn(msgEmptyDatabase, lang)};
          EXPECT_EQ(group.Items(), items);
          EXPECT_EQ(group.ItemIndex(), 1);
          EXPECT_TRUE(group.Buttons(0).Enabled());  // tiKest: the preset database is offered
          break;
        }
      }
    }
    EXPECT_EQ(w->btnNext.Caption(), MsgIn(msgNext, lang));
    EXPECT_EQ(w->btnStopDownload.Caption(), MsgIn(msgTerminateDownload, lang));
    EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), MsgIn(msgLanguageSelection, lang));
  }
}

TEST_F(InstallFormTest, LanguageRebuildsDatabaseOptionsForTheInstallationType) {
  auto w = Create();
  struct Case {
    TTypeInstall type;
    bool presetEnabled;
    const char* product;
  } cases[] = {{tiKest, true, "Velmor Kest"},      {tiKestUpdate, true, "Velmor Kest"},
               {tiTarpel, false, "Velmor Tarpel"}, {tiTarpelUpdate, false, "Velmor Tarpel"},
               {tiVelmorDemo, false, "Velmor Tarpel"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.type));
    w->State.FInstallType = c.type;
    w->rgVolbaDB.SetItemIndex(0);
    w->Language();
    w->Language();  // twice gives the same
    for (ui::TRadioGroup* g : {&w->rgVolbaDB, &w->rgVolbaDBNet}) {
      EXPECT_EQ(g->ButtonCount(), 2);
      EXPECT_EQ(g->ItemIndex(), 1);
      EXPECT_EQ(g->Buttons(0).Enabled(), c.presetEnabled);
      EXPECT_TRUE(g->Buttons(1).Enabled());
    }
    EXPECT_EQ(w->Label1.Caption(), Format(Msg(msgSystemInstalledSuccessfully), {c.product}));
  }
}

TEST_F(InstallFormTest, ClickingALanguageSwitchesAtOnce) {
  auto w = Create();
  struct Case {
    int item;
    TLanguage language;
    const char* heading;
    const char* next;
  } cases[] = {{1, langSK, "Výber jazyka", "Ďalší"},
               {2, langEN, "Language selection", "Next"},
               {3, langDE, "Sprachenauswahl", "Weiter"},
               {0, langCZ, "Volba jazyka", "Další"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.item);
    w->rgbJazyk.Buttons(c.item).Click();
    EXPECT_EQ(CurrentLanguage(), c.language);
    EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), c.heading);
    EXPECT_EQ(w->btnNext.Caption(), c.next);
    EXPECT_EQ(w->btnNext.Width(), TFInstall::CaptionWidth(c.next, w->btnNext.Font()));
  }
  // The language-page click does not announce itself; the Language step does.
  InstallLog().Reset();
  w->rgbJazyk.Buttons(2).Click();
  int languageEntries = 0;
  for (const std::string& line : InstallLog().Log()) {
    EXPECT_EQ(line.find("rgbJazykClick"), std::string::npos);
    if (line.find("Language") != std::string::npos) ++languageEntries;
  }
  EXPECT_GT(languageEntries, 0);
}

TEST_F(InstallFormTest, PageCaptions) {
  auto w = Create();
  SetCurrentLanguage(langEN);
  struct Case {
    ui::TTabSheet& page;
    const char* heading;  // nullptr: the heading shown before stays
  } cases[] = {{w->tsSQL, "Microsoft SQL Server Setting"},
               {w->tsSQLVolba, "Configure Microsoft SQL Server"},
               {w->tsJazyk, "Language selection"},
               {w->tsSQLInstall, "Installing Microsoft SQL Server"},
               {w->tsZaloha, "Creating a backup"},
               {w->tsVolbaSW, "Select version"},
               {w->tsCopyFiles, "Copying files"},
               {w->tsUkonceni, "Completing the installation"},
               {w->tsObnova, "Restoring the previous installation"},
               {w->tsSQLNet, "Network instance connection settings of MSSQL Server"},
               {w->tsAdresar, nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page.Name());
    w->SetHeadingText("before");
    w->SetPageCaption(c.page.PageIndex());
    for (ui::TLabel* l : {&w->lblObrazovkaInfov2, &w->lblObrazovkaInfov3, &w->lblObrazovkaInfov3Kest})
      EXPECT_EQ(l->Caption(), c.heading ? c.heading : "before");
  }
  w->SetHeadingText("before");
  w->SetPageCaption(99);
  EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), "before");
}

TEST_F(InstallFormTest, ButtonSets) {
  auto w = Create();
  using Names = std::vector<std::string>;
  auto visible = [&] {
    Names v;
    for (ui::TButton* b : {&w->btnUpdate, &w->btnInstalovat, &w->btnPrevious, &w->btnOK, &w->btnStop, &w->btnNext,
                           &w->btnStopDownload, &w->btnBack})
      if (b->Visible()) v.push_back(b->Name());
    return v;
  };
  struct Case {
    TButtonsVisible set;
    Names shown;
  } cases[] = {
      {{}, {}},
      {{btvNext}, {"btnNext"}},
      {{btvPrevious, btvNext}, {"btnPrevious", "btnNext"}},
      {{btvStopDownload}, {"btnStopDownload"}},
      {{btvShowAll}, {"btnUpdate", "btnInstalovat", "btnPrevious", "btnOK", "btnStop", "btnNext", "btnStopDownload"}},
  };
  for (const Case& c : cases) {
    w->btnBack.SetVisible(true);
    w->VisibleButton(c.set);
    EXPECT_EQ(visible(), c.shown);  // btnBack never
  }

  struct PageCase {
    ui::TTabSheet& page;
    int mode;
    Names shown;
  } pages[] = {{w->tsJazyk, 0, {"btnNext"}},
               {w->tsVolbaSW, 0, {"btnPrevious", "btnNext"}},
               {w->tsAdresar, 0, {"btnPrevious", "btnNext"}},
               {w->tsSQLVolba, 0, {"btnPrevious", "btnNext"}},
               {w->tsSQL, 0, {"btnPrevious", "btnNext"}},
               {w->tsSQLNet, 0, {"btnPrevious", "btnNext"}},
               {w->tsSQLInstall, 0, {"btnPrevious", "btnNext"}},
               {w->tsSQLInstall, 1, {"btnStopDownload"}},
               {w->tsZaloha, 0, {"btnStop"}},
               {w->tsCopyFiles, 0, {"btnStop"}},
               {w->tsUkonceni, 0, {"btnNext"}},
               {w->tsObnova, 1, {"btnNext"}},
               {w->tsObnova, 0, {}}};
  for (const PageCase& p : pages) {
    SCOPED_TRACE(p.page.Name() + " " + std::to_string(p.mode));
    w->ShowPageButtons(p.page.PageIndex(), p.mode);
    EXPECT_EQ(visible(), p.shown);
  }
}

TEST_F(InstallFormTest, NextCaptionsAndFittedWidths) {
  auto w = Create();
  SetCurrentLanguage(langDE);
  w->Language();
  // The directory page's caption follows the directory check: an installation found is updated.
  testing_support::TempFolder temp;
  std::string installed = temp.Write("installed/VELMOR.EXE", "program");
  installed = installed.substr(0, installed.size() - std::string("/VELMOR.EXE").size());
  struct Case {
    ui::TTabSheet& page;
    std::function<void()> prepare;
    const TMessage& caption;
    bool enabled;
  } cases[] = {
      {w->tsJazyk, [] {}, msgNext, true},
      {w->tsUkonceni, [] {}, msgClose, true},
      {w->tsObnova, [] {}, msgClose, true},
      {w->tsSQLVolba, [&] { w->rbExistMSSQL.SetChecked(true); }, msgSelectMSSQL, true},
      {w->tsSQLVolba, [&] { w->rbNewMSSQL.SetChecked(true); }, msgInstallTheMSSQL, true},
      {w->tsSQLVolba, [&] { w->rbNetMSSQL.SetChecked(true); }, msgSearchForMSSQL, true},
      {w->tsSQL, [&] { w->cmbSQLServers.Clear(); }, msgInstallVelmor, false},
      {w->tsSQL, [&] { w->cmbSQLServers.SetItems({"PC\\SQLEXPRESS"}); w->cmbSQLServers.SetItemIndex(0); },
       msgInstallVelmor, true},
      {w->tsAdresar, [&] { w->edDir.SetText(installed); }, msgUpdateVersion, true},
      {w->tsAdresar, [&] { w->edDir.SetText(temp.Path() + "/new"); }, msgConfigureMSSQL, true},
      {w->tsAdresar, [&] { w->edDir.SetText("Velmor"); }, msgConfigureMSSQL, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page.Name() + " " + MsgIn(c.caption, langEN));
    c.prepare();
    w->UpdateNextButton(c.page.PageIndex());
    EXPECT_EQ(w->btnNext.Caption(), Msg(c.caption));
    EXPECT_EQ(w->btnNext.Enabled(), c.enabled);
    EXPECT_EQ(w->btnNext.Width(), TFInstall::CaptionWidth(Msg(c.caption), w->btnNext.Font()));
  }

  w->FitButtonWidths();
  for (ui::TButton* b : {&w->btnNext, &w->btnPrevious, &w->btnOK, &w->btnBack, &w->btnStop, &w->btnInstalovat,
                         &w->btnZnovuNacist})
    EXPECT_EQ(b->Width(), ui::TextWidth(b->Caption(), b->Font()) + 50) << b->Name();
  EXPECT_EQ(w->btnStopDownload.Width(), 173);  // not fitted
}

TEST_F(InstallFormTest, FocusGoesToThePagesMainControl) {
  auto w = Create();
  w->cmbSQLServers.SetItems({"A"});
  struct Case {
    ui::TTabSheet& page;
    std::function<void()> prepare;
    ui::TControl* expected;
  } cases[] = {
      {w->tsAdresar, [] {}, &w->edDir},
      {w->tsSQL, [] {}, &w->cmbSQLServers},
      {w->tsSQLInstall, [] {}, &w->cmbMSSQLInstallINI},
      {w->tsSQLNet, [] {}, &w->cmbMSSQLNetList},
      {w->tsZaloha, [&] { w->VisibleButton({btvStop}); }, &w->btnStop},
      {w->tsCopyFiles, [&] { w->VisibleButton({btvStop}); }, &w->btnStop},
      {w->tsUkonceni, [&] { w->VisibleButton({btvNext}); }, &w->btnNext},
      {w->tsJazyk, [&] { w->rgbJazyk.SetItemIndex(3); }, &w->rgbJazyk.Buttons(3)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.page.Name());
    w->pgcInstall.SetActivePage(&c.page);
    c.prepare();
    w->AktivujControl(c.page.PageIndex());
    EXPECT_TRUE(c.expected->Focused());
  }
  // A page not in the table leaves the focus where it was.
  w->pgcInstall.SetActivePage(&w->tsAdresar);
  w->edDir.SetFocus();
  w->AktivujControl(w->tsObnova.PageIndex());
  EXPECT_TRUE(w->edDir.Focused());
}

TEST_F(InstallFormTest, SetFocusButtonTakesTheFirstVisibleInOrder) {
  auto w = Create();
  w->pgcInstall.SetActivePage(&w->tsAdresar);
  struct Case {
    TButtonsVisible set;
    ui::TButton* expected;
  } cases[] = {{{btvPrevious, btvNext}, &w->btnNext},
               {{btvPrevious, btvStop}, &w->btnPrevious},
               {{btvStop}, &w->btnStop},
               {{btvOK, btvStop}, &w->btnOK}};
  for (const Case& c : cases) {
    w->VisibleButton(c.set);
    w->SetFocusButton();
    EXPECT_TRUE(c.expected->Focused()) << c.expected->Name();
  }
  w->edDir.SetFocus();
  w->VisibleButton({});
  w->SetFocusButton();
  EXPECT_TRUE(w->edDir.Focused());
}

TEST_F(InstallFormTest, OnlyCtrlIOpensSystemInformation) {
  auto w = Create();
  struct Case {
    int key;
    ui::TShiftState shift;
    int opened;
  } cases[] = {{'I', ui::ssCtrl, 1},
               {'I', ui::ssCtrl | ui::ssShift, 0},
               {'I', ui::ssAlt, 0},
               {'I', 0, 0},
               {'I', ui::ssCtrl | ui::ssAlt, 0},
               {'I', ui::ssCtrl | ui::ssLeft, 0},
               {'J', ui::ssCtrl, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.key) + " " + std::to_string(c.shift));
    host.systemInfoShown = 0;
    w->edDir.SetFocus();
    w->DispatchKey(c.key, c.shift);  // the form previews keys before the focused control
    EXPECT_EQ(host.systemInfoShown, c.opened);
  }
}

TEST_F(InstallFormTest, UncaughtErrorSavesTheErrorLogAndEndsTheProgram) {
  testing_support::TempFolder temp;
  std::string old = std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "";
  setenv("TMPDIR", temp.Path().c_str(), 1);
  {
    // The real host's report: logged, the error copy of the log written, the report shown.
    TSystemWizardHost real;
    TFInstall w(real, definition);
    w.FormCreate();
    w.ShowForm();
    w.ApplicationEvents1Exception(&w.btnNext, "Access violation in btnNextClick");
    EXPECT_TRUE(Application().Terminated());
  }
  bool found = false;
  for (auto& e : std::filesystem::directory_iterator(temp.Path())) {
    std::string name = e.path().filename().string();
    if (name.rfind("VelmorErrorInst", 0) != 0) continue;
    found = true;
    EXPECT_NE(testing_support::ReadFile(e.path().string()).find("Access violation in btnNextClick"), std::string::npos);
  }
  EXPECT_TRUE(found);
  if (old.empty())
    unsetenv("TMPDIR");
  else
    setenv("TMPDIR", old.c_str(), 1);
  Application().ResetTerminated();
}

TEST_F(InstallFormTest, NextAndPreviousFromTheLanguagePage) {
  struct Case {
    std::string datsIni;
    const char* after;
  } cases[] = {{"", "tsAdresar"}, {"/tmp/dats.ini", "tsVolbaSW"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.after);
    start.DatsIniFile = c.datsIni;
    SetCurrentLanguage(langCZ);
    auto w = Create();
    w->rgbJazyk.SetItemIndex(2);
    w->btnNext.Click();
    EXPECT_EQ(CurrentLanguage(), langEN);
    EXPECT_EQ(w->pgcInstall.ActivePage()->Name(), c.after);
    EXPECT_TRUE(w->btnPrevious.Visible());
    w->btnPrevious.Click();
    EXPECT_EQ(w->pgcInstall.ActivePage(), &w->tsJazyk);
    EXPECT_EQ(CurrentLanguage(), langEN);  // the page shows the language its list has selected
    EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), "Language selection");
  }
}

TEST_F(InstallFormTest, LogosOpenTheMakersWebSite) {
  auto w = Create();
  for (ui::TImage* logo : {&w->Image1, &w->imgVelTarpel, &w->Image3}) {
    EXPECT_EQ(logo->Hint(), maker::WebAddress);
    logo->Click();
  }
  EXPECT_EQ(host.opened, std::vector<std::string>(3, maker::WebAddress));
}

TEST_F(InstallFormTest, CreationAndEventsAreLogged) {
  Definition("EN");
  auto w = Create();
  const auto& log = InstallLog().Log();
  auto has = [&](const std::string& what) {
    for (const std::string& l : log)
      if (l.find(what) != std::string::npos) return true;
    return false;
  };
  EXPECT_TRUE(has("FormCreate"));
  EXPECT_TRUE(has("FormShow"));
  EXPECT_TRUE(has("Language"));
  EXPECT_TRUE(has("VisibleButton"));
}

}  // namespace
