// The SQL Server pages in the headless wizard: the choice page's first visit, the local page
// with its preselection and database field, the network page's scan, rescan, failure and
// Install rule, and both acceptance checks reached through the form's buttons.
#include "WizardTestSupport.h"

#include "platform/SqlSources.h"
#include "platform/posix/MemoryRegistry.h"
#include "sql/DatabaseChoice.h"
#include "sql/Ssrp.h"
#include "support/Registry.h"
#include "support/SystemUtil.h"

namespace wizard_test {
namespace {

using Names = std::vector<std::string>;

// Registers named instances in the 32-bit view, as a 32-bit SQL Server setup leaves them.
void RegisterInstances(const Names& names) {
  TRegistry reg(platform::regaccess::AllAccess | platform::regaccess::Wow64_32Key);
  reg.SetRootKey(platform::RegRoot::LocalMachine);
  ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Microsoft\\Microsoft SQL Server", true));
  ASSERT_TRUE(reg.WriteValue("InstalledInstances",
                             {platform::RegType::MultiSz, platform::RegMultiStringData(names)}));
  for (const std::string& n : names) {
    ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Microsoft\\Microsoft SQL Server\\" + n + "\\MSSQLServer\\CurrentVersion", true));
    ASSERT_TRUE(reg.WriteString("CurrentVersion", "16.0.1000.6"));
  }
}

class SqlPagesTest : public WizardTest {
 protected:
  void SetUp() override {
    WizardTest::SetUp();
    platform::memreg::Clear();
    platform::memsources::Reset();
    definition.SetDBNameKest("KestData");
    definition.SetDBNameTarpel("TarpelData");
    pc = LocalComputerName();
  }
  void TearDown() override {
    platform::memsources::Reset();
    platform::memreg::Clear();
    WizardTest::TearDown();
  }
  std::string pc;
};

TEST_F(SqlPagesTest, FirstVisitWithoutLocalInstancesOffersTheInstallationAndKeepsItLater) {
  auto w = Create();
  w->ShowPage(w->tsSQLVolba);
  EXPECT_FALSE(w->rbExistMSSQL.Enabled());
  EXPECT_TRUE(w->rbNewMSSQL.Checked());
  EXPECT_EQ(w->btnNext.Caption(), Msg(msgInstallTheMSSQL));
  EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), Msg(msgConfigureMSSQLHeading));

  RegisterInstances({"VELMOR"});  // installed meanwhile
  w->ShowPage(w->tsSQLVolba);
  EXPECT_FALSE(w->rbExistMSSQL.Enabled());
  EXPECT_TRUE(w->rbNewMSSQL.Checked());
  EXPECT_EQ(w->cmbSQLServers.Items(), (Names{pc + "\\VELMOR"}));

  // A click on another option changes Next's caption.
  ASSERT_TRUE(ui::headless::UserClick(w->rbNetMSSQL));
  EXPECT_EQ(w->btnNext.Caption(), Msg(msgSearchForMSSQL));
  EXPECT_TRUE(w->btnNext.Enabled());
}

TEST_F(SqlPagesTest, LocalPagePreselectsVELMORAndFillsTheDatabaseChoice) {
  RegisterInstances({"SQLEXPRESS", "VELMOR", "Velmor2"});
  auto w = Create();
  w->State.FInstallType = tiKest;
  w->ShowPage(w->tsSQLVolba);
  EXPECT_TRUE(w->rbExistMSSQL.Enabled());
  EXPECT_TRUE(w->rbExistMSSQL.Checked());
  EXPECT_EQ(w->btnNext.Caption(), Msg(msgSelectMSSQL));

  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsSQL");
  EXPECT_EQ(w->cmbSQLServers.Items(), (Names{pc + "\\SQLEXPRESS", pc + "\\VELMOR", pc + "\\Velmor2"}));
  EXPECT_EQ(w->cmbSQLServers.ItemIndex(), 1);
  EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), Msg(msgMSSQLSetting));
  EXPECT_EQ(w->btnNext.Caption(), Msg(msgInstallVelmor));
  EXPECT_TRUE(w->btnNext.Enabled());
  EXPECT_EQ(w->edDBName.Text(), "KestData");
  EXPECT_EQ(w->rgVolbaDB.ItemIndex(), dbPreset);
  EXPECT_FALSE(w->pnlDBName.Visible());
  EXPECT_TRUE(LogHas("tsSQLShow"));

  ASSERT_TRUE(ui::headless::UserClick(w->rgVolbaDB.Buttons(dbEmpty)));
  EXPECT_TRUE(w->pnlDBName.Visible());

  // The check of Next: with Empty a bad name is refused and the page stays.
  w->edDBName.SetText("My-Data");
  EXPECT_FALSE(w->KontrolaSQLLocal());
  EXPECT_EQ(messages->Texts().back(), Msg(msgDatabaseNameDisallowedChars));
  w->edDBName.SetText("Účetnictví");
  EXPECT_TRUE(w->KontrolaSQLLocal());
  EXPECT_EQ(w->State.SQLServerName, pc + "\\VELMOR");
  EXPECT_EQ(w->State.DBName, "Účetnictví");
}

TEST_F(SqlPagesTest, LocalPageWithoutInstanceSelectsNothingAndTheLargerEditionShowsTheName) {
  auto w = Create();
  w->State.FInstallType = tiTarpel;
  w->ShowPage(w->tsSQL);
  EXPECT_TRUE(w->cmbSQLServers.Items().empty());
  EXPECT_FALSE(w->btnNext.Enabled());
  EXPECT_EQ(w->edDBName.Text(), "TarpelData");
  EXPECT_EQ(w->rgVolbaDB.ItemIndex(), dbEmpty);
  EXPECT_FALSE(w->rgVolbaDB.Buttons(dbPreset).Enabled());
  EXPECT_TRUE(w->pnlDBName.Visible());
  EXPECT_FALSE(w->KontrolaSQLLocal());
  EXPECT_EQ(messages->Texts().back(), Msg(msgMSSQLNotSelectedOrInstalled));
}

TEST_F(SqlPagesTest, NetworkPageScansOnEveryVisitAndOffersInstallForANamedServer) {
  platform::memsources::SetRows({{"SRV1", 1}, {"SRV2\\VELMOR", 1}});
  auto w = Create();
  w->State.FInstallType = tiKest;
  w->ShowPage(w->tsSQLVolba);
  ASSERT_TRUE(ui::headless::UserClick(w->rbNetMSSQL));
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsSQLNet");
  EXPECT_EQ(w->cmbMSSQLNetList.Items(), (Names{"SRV1", "SRV2\\VELMOR"}));
  EXPECT_EQ(w->cmbMSSQLNetList.ItemIndex(), 0);
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnPrevious", "btnNext"}));
  EXPECT_TRUE(w->btnNext.Enabled());
  EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), Msg(msgNetworkInstanceSettings));
  EXPECT_EQ(w->edtNetDBName.Text(), "KestData");
  EXPECT_EQ(w->rgVolbaDBNet.ItemIndex(), dbEmpty);
  EXPECT_TRUE(w->pnlDBNetName.Visible());
  ASSERT_TRUE(ui::headless::UserClick(w->rgVolbaDBNet.Buttons(dbPreset)));
  EXPECT_FALSE(w->pnlDBNetName.Visible());

  // A typed name names the server as a picked one does; blanks name none.
  w->cmbMSSQLNetList.NotifyTextEdited("ELSEWHERE");
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnInstalovat", "btnPrevious"}));
  w->cmbMSSQLNetList.NotifyTextEdited(" ");
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnPrevious"}));
  w->cmbMSSQLNetList.NotifySelected(1);
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnInstalovat", "btnPrevious"}));

  // Refresh scans again.
  platform::memsources::SetRows({{"SRV3", 1}});
  ASSERT_TRUE(ui::headless::UserClick(w->btnZnovuNacist));
  EXPECT_EQ(w->cmbMSSQLNetList.Items(), (Names{"SRV3"}));
  EXPECT_TRUE(LogHas("ColorButton1Click"));

  // Install checks the name: the hidden field's text is what is stored.
  w->edtNetDBName.SetText("Data.old");
  w->cmbMSSQLNetList.NotifySelected(0);
  ASSERT_TRUE(ui::headless::UserClick(w->btnInstalovat));
  EXPECT_EQ(Page(*w), "tsSQLNet");
  EXPECT_EQ(messages->Texts().back(), Msg(msgDatabaseNameDisallowedChars));
  w->edtNetDBName.SetText("_2024Data");
  w->State.AdrInstall = temp.Path() + "/Velmor";
  ASSERT_TRUE(ui::headless::UserClick(w->btnInstalovat));
  EXPECT_EQ(Page(*w), "tsUkonceni");
  EXPECT_EQ(w->State.SQLServerName, "SRV3");
  EXPECT_EQ(w->State.DBName, "_2024Data");

  // Every visit rescans.
  platform::memsources::SetRows({{"SRV4", 1}});
  w->ShowPage(w->tsSQLNet);
  EXPECT_EQ(w->cmbMSSQLNetList.Items(), (Names{"SRV4"}));
}

TEST_F(SqlPagesTest, FailingNetworkScanShowsTheErrorAndLeavesPreviousAndRefresh) {
  platform::memsources::SetFailure("CoCreateInstance(SQLOLEDB Enumerator) failed: 0x80040154");
  auto w = Create();
  w->ShowPage(w->tsSQLVolba);
  ASSERT_TRUE(ui::headless::UserClick(w->rbNetMSSQL));
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));

  EXPECT_EQ(Page(*w), "tsSQLNet");
  EXPECT_FALSE(Application().Terminated());
  EXPECT_TRUE(w->cmbMSSQLNetList.Items().empty());
  ASSERT_FALSE(messages->Shown().empty());
  EXPECT_EQ(messages->Shown().back().Kind, mkError);
  EXPECT_NE(messages->Shown().back().Text.find("0x80040154"), std::string::npos);
  EXPECT_FALSE(messages->Wait().has_value());
  EXPECT_TRUE(LogHas("0x80040154"));
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnPrevious", "btnNext"}));
  EXPECT_FALSE(w->btnNext.Enabled());
  EXPECT_TRUE(w->btnZnovuNacist.Visible());
  EXPECT_TRUE(w->btnZnovuNacist.Enabled());

  // The provider is back: Refresh finds the server.
  platform::memsources::Reset();
  platform::memsources::SetRows({{"SRV1", 1}});
  ASSERT_TRUE(ui::headless::UserClick(w->btnZnovuNacist));
  EXPECT_EQ(w->cmbMSSQLNetList.Items(), (Names{"SRV1"}));
  EXPECT_TRUE(w->btnNext.Enabled());

  // Previous still leads back.
  ASSERT_TRUE(ui::headless::UserClick(w->btnPrevious));
  EXPECT_EQ(Page(*w), "tsSQLVolba");
}

TEST_F(SqlPagesTest, AfterAFailingScanATypedServerIsInstalledOnto) {
  platform::memsources::SetFailure("CLSIDFromProgID failed: 0x800401F3");
  auto w = Create();
  w->State.FInstallType = tiKest;
  w->ShowPage(w->tsSQLVolba);
  ASSERT_TRUE(ui::headless::UserClick(w->rbNetMSSQL));
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  ASSERT_EQ(Page(*w), "tsSQLNet");
  EXPECT_FALSE(w->btnNext.Enabled());

  w->cmbMSSQLNetList.NotifyTextEdited("DBSRV01\\SQL2019");
  EXPECT_EQ(VisibleButtons(*w), (Names{"btnInstalovat", "btnPrevious"}));
  w->edtNetDBName.SetText("KestData");
  w->State.AdrInstall = temp.Path() + "/Velmor";
  ASSERT_TRUE(ui::headless::UserClick(w->btnInstalovat));
  EXPECT_EQ(Page(*w), "tsUkonceni");
  EXPECT_EQ(w->State.SQLServerName, "DBSRV01\\SQL2019");
}

TEST_F(SqlPagesTest, NoServerSelectedComesBeforeTheNameOnTheNetworkPage) {
  auto w = Create();
  w->ShowPage(w->tsSQLNet);
  w->edtNetDBName.SetText("2024");
  EXPECT_FALSE(w->KontrolaSQLNet());
  EXPECT_EQ(messages->Texts().back(), Msg(msgMSSQLNotSelected));
}

}  // namespace
}  // namespace wizard_test
