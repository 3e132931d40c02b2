// The network scan with the native build's in-memory provider rowset and a stand-in Browser:
// what is listed, the wait window's count, the failure that must not end the installer, and
// the rules of the choice page and the network list.
#include <gtest/gtest.h>

#include "StandInBrowser.h"
#include "platform/SqlSources.h"
#include "sql/Discovery.h"
#include "sql/Ssrp.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/ScriptedMessages.h"
#include "ui/Controls.h"
#include "ui/headless/Headless.h"

using testing_support::StandInBrowser;
using testing_support::SvrResp;
namespace memsources = platform::memsources;

namespace {

using Names = std::vector<std::string>;

class NetworkScan : public testing::Test {
 protected:
  void SetUp() override {
    ui::headless::Instance().Reset();
    SetCurrentLanguage(langEN);
    memsources::Reset();
    saved = SqlBrowserTarget();
    Browser({});
  }
  void TearDown() override {
    SqlBrowserTarget() = saved;
    memsources::Reset();
    SetCurrentLanguage(langCZ);
    ui::headless::Instance().Reset();
  }
  // The scan asks a stand-in Browser with these answers.
  void Browser(std::vector<std::string> answers) {
    browser = std::make_unique<StandInBrowser>(std::move(answers));
    ASSERT_NE(browser->Port(), 0) << browser->Error();
    SqlBrowserTarget() = {"127.0.0.1", browser->Port(), 250};
  }
  bool Logged(const std::string& text) const {
    for (const std::string& line : InstallLog().Log())
      if (line.find(text) != std::string::npos) return true;
    return false;
  }

  TSqlBrowserTarget saved;
  std::unique_ptr<StandInBrowser> browser;
  TScriptedMessages messages;
  ui::TForm form{"F"};
  ui::TComboBox cmb{&form, "cmbMSSQLNetList"};
};

TEST_F(NetworkScan, DataSourcesOfTheProviderThenNewOnesOfTheBrowser) {
  memsources::SetRows({{"SRV1", 1},
                       {"SQLOLEDB Enumerator", 2},
                       {"", 1},
                       {"SRV2\\VELMOR", 1},
                       {"ODD", 3},
                       {"SRV3", 1}});
  Browser({SvrResp("ServerName;srv2;InstanceName;velmor;;ServerName;SRV4;InstanceName;MSSQLSERVER;;"
                   "ServerName;SRV4;InstanceName;SQLEXPRESS;;")});
  Names list{"stale"};
  EXPECT_TRUE(ListNetworkSQLServers(list).empty());
  EXPECT_EQ(list, (Names{"SRV1", "SRV2\\VELMOR", "SRV3", "SRV4", "SRV4\\SQLEXPRESS"}));

  ASSERT_FALSE(messages.Shown().empty());
  EXPECT_EQ(messages.Shown()[0].Kind, mkWait);
  EXPECT_EQ(messages.Shown()[0].Text, "Searching for instance of Microsoft SQL Server on the network.");
  ASSERT_EQ(messages.WaitUpdates().size(), 5u);
  EXPECT_EQ(messages.WaitUpdates()[2].first,
            "Searching for instance of MSSQL Server on the network.\n\r Found 3 servers.");
  EXPECT_EQ(messages.WaitUpdates()[4].first,
            "Searching for instance of MSSQL Server on the network.\n\r Found 5 servers.");
  EXPECT_FALSE(messages.Wait().has_value());  // closed
}

TEST_F(NetworkScan, ThreeServersFoundSelectsTheFirst) {
  memsources::SetRows({{"A", 1}, {"B", 1}, {"C", 1}});
  DetectMSSQLNet(cmb);
  EXPECT_EQ(cmb.Items(), (Names{"A", "B", "C"}));
  EXPECT_EQ(cmb.ItemIndex(), 0);
  EXPECT_TRUE(NetworkServerPicked(cmb));
  EXPECT_EQ(messages.WaitUpdates().back().first,
            "Searching for instance of MSSQL Server on the network.\n\r Found 3 servers.");
  EXPECT_TRUE(Logged("DetectMSSQLNet"));
}

TEST_F(NetworkScan, NothingFoundLeavesNothingSelected) {
  cmb.SetItems({"old"});
  cmb.SetItemIndex(0);
  DetectMSSQLNet(cmb);
  EXPECT_TRUE(cmb.Items().empty());
  EXPECT_EQ(cmb.ItemIndex(), -1);
  EXPECT_FALSE(NetworkServerPicked(cmb));
  for (const TShownMessage& m : messages.Shown()) EXPECT_EQ(m.Kind, mkWait);  // no error: nothing failed
}

TEST_F(NetworkScan, MissingProviderIsShownAndLoggedWithAnEmptyList) {
  memsources::SetFailure("CLSIDFromProgID failed: 0x800401F3");
  cmb.SetItems({"old"});
  cmb.SetItemIndex(0);
  DetectMSSQLNet(cmb);
  EXPECT_TRUE(cmb.Items().empty());
  EXPECT_EQ(cmb.ItemIndex(), -1);
  ASSERT_EQ(messages.Shown().size(), 2u);
  EXPECT_EQ(messages.Shown()[1].Kind, mkError);
  EXPECT_EQ(messages.Shown()[1].Text,
            "Searching for Microsoft SQL Server on the network failed.\n\r"
            "SQLOLEDB Enumerator: CLSIDFromProgID failed: 0x800401F3");
  EXPECT_FALSE(messages.Wait().has_value());  // the wait window was closed before the error
  EXPECT_TRUE(Logged("CLSIDFromProgID failed: 0x800401F3"));
}

TEST_F(NetworkScan, MissingProviderWithABrowserAnsweringListsItsServers) {
  memsources::SetFailure("no provider");
  Browser({SvrResp("ServerName;SRV9;InstanceName;VELMOR;;")});
  DetectMSSQLNet(cmb);
  EXPECT_EQ(cmb.Items(), (Names{"SRV9\\VELMOR"}));
  EXPECT_EQ(cmb.ItemIndex(), 0);
  for (const TShownMessage& m : messages.Shown()) EXPECT_EQ(m.Kind, mkWait);
  EXPECT_TRUE(Logged("no provider"));  // still in the log
}

TEST_F(NetworkScan, BothSourcesFailingNameBothReasons) {
  memsources::SetFailure("no provider");
  SqlBrowserTarget() = {"no address", 1434, 100};
  DetectMSSQLNet(cmb);
  ASSERT_EQ(messages.Shown().size(), 2u);
  const std::string& text = messages.Shown()[1].Text;
  EXPECT_NE(text.find("SQLOLEDB Enumerator: no provider"), std::string::npos) << text;
  EXPECT_NE(text.find("SQL Server Browser: "), std::string::npos) << text;
}

TEST_F(NetworkScan, TypedNameNamesTheServer) {
  memsources::SetRows({{"A", 1}, {"B", 1}});
  cmb.SetStyle(ui::TComboStyle::csDropDown);
  DetectMSSQLNet(cmb);
  cmb.NotifyTextEdited("ELSEWHERE ");
  EXPECT_TRUE(NetworkServerPicked(cmb));
  EXPECT_EQ(NetworkServerName(cmb), "ELSEWHERE");
  cmb.NotifyTextEdited("  ");
  EXPECT_FALSE(NetworkServerPicked(cmb));
  cmb.NotifySelected(1);
  EXPECT_TRUE(NetworkServerPicked(cmb));
  EXPECT_EQ(NetworkServerName(cmb), "B");
  cmb.NotifyTextEdited("A");  // typing an item's name is the same as picking it
  EXPECT_EQ(cmb.ItemIndex(), 0);
  EXPECT_EQ(NetworkServerName(cmb), "A");
}

TEST(SQLChoice, FirstVisitDecidesLaterVisitsKeep) {
  ui::headless::Instance().Reset();
  {
    ui::TForm form("F");
    ui::TGroupBox box(&form, "GroupBox1");
    ui::TRadioButton exist(&box, "rbExistMSSQL"), add(&box, "rbNewMSSQL"), net(&box, "rbNetMSSQL");

    InitSQLChoice(exist, add, net, false);
    EXPECT_FALSE(exist.Enabled());
    EXPECT_TRUE(add.Checked());

    // An instance installed meanwhile does not re-enable the option by itself.
    InitSQLChoice(exist, add, net, true);
    EXPECT_FALSE(exist.Enabled());
    EXPECT_TRUE(add.Checked());

    net.SetChecked(true);
    InitSQLChoice(exist, add, net, true);
    EXPECT_TRUE(net.Checked());
  }
  {
    ui::TForm form("F");
    ui::TGroupBox box(&form, "GroupBox1");
    ui::TRadioButton exist(&box, "rbExistMSSQL"), add(&box, "rbNewMSSQL"), net(&box, "rbNetMSSQL");
    InitSQLChoice(exist, add, net, true);
    EXPECT_TRUE(exist.Enabled());
    EXPECT_TRUE(exist.Checked());
    EXPECT_FALSE(add.Checked());
  }
  ui::headless::Instance().Reset();
}

}  // namespace
