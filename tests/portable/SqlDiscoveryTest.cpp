// Finding SQL Server: local instances from prepared registries in both views (the real
// registry of the wine prefix in the Windows test program), the SQL Server Resolution
// Protocol's answers, and the scan against a stand-in Browser on loopback.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>

#include "StandInBrowser.h"
#include "platform/Registry.h"
#include "platform/Text.h"
#include "sql/Discovery.h"
#include "sql/Ssrp.h"
#include "support/Registry.h"
#include "support/SystemUtil.h"
#include "ui/Controls.h"
#include "ui/headless/Headless.h"

using platform::RegRoot;
namespace ra = platform::regaccess;
using testing_support::StandInBrowser;
using testing_support::SvrResp;

namespace {

using Names = std::vector<std::string>;

constexpr std::uint32_t kView32 = ra::AllAccess | ra::Wow64_32Key;
constexpr std::uint32_t kView64 = ra::AllAccess | ra::Wow64_64Key;

// What SQL Server setup leaves in one registry view.
struct ViewContent {
  bool defaultInstance = false;
  Names installed;  // InstalledInstances
  Names versioned;  // named instances whose CurrentVersion key has the CurrentVersion value
  Names unversioned;  // named instances whose CurrentVersion key lacks the value
};

// Writes instance keys into HKEY_LOCAL_MACHINE and removes every key it made at the end.
class InstanceRegistry {
 public:
  ~InstanceRegistry() {
    for (auto it = FMade.rbegin(); it != FMade.rend(); ++it) {
      TRegistry reg(it->second);
      reg.SetRootKey(RegRoot::LocalMachine);
      reg.DeleteKey(it->first);
    }
  }

  void Fill(std::uint32_t view, const ViewContent& c) {
    if (c.defaultInstance) Key(view, "SOFTWARE\\Microsoft\\MSSQLServer\\MSSQLServer\\CurrentVersion", true);
    if (!c.installed.empty()) {
      TRegistry reg(view);
      reg.SetRootKey(RegRoot::LocalMachine);
      Key(view, "SOFTWARE\\Microsoft\\Microsoft SQL Server", false);
      ASSERT_TRUE(reg.OpenKey("SOFTWARE\\Microsoft\\Microsoft SQL Server", false));
      ASSERT_TRUE(reg.WriteValue("InstalledInstances", {platform::RegType::MultiSz,
                                                        platform::RegMultiStringData(c.installed)}));
    }
    for (const std::string& n : c.versioned) Instance(view, n, true);
    for (const std::string& n : c.unversioned) Instance(view, n, false);
  }

 private:
  void Instance(std::uint32_t view, const std::string& name, bool withValue) {
    std::string base = "SOFTWARE\\Microsoft\\Microsoft SQL Server\\" + name;
    Key(view, base, false);
    Key(view, base + "\\MSSQLServer", false);
    Key(view, base + "\\MSSQLServer\\CurrentVersion", withValue);
  }
  // Makes the key (remembering it when new, parents first) and gives it the version value.
  void Key(std::uint32_t view, const std::string& path, bool versionValue) {
    std::string sofar;
    size_t pos = 0;
    while (pos != std::string::npos) {
      pos = path.find('\\', pos + 1);
      sofar = path.substr(0, pos);
      TRegistry reg(view);
      reg.SetRootKey(RegRoot::LocalMachine);
      bool created = false;
      ASSERT_TRUE(reg.OpenKey(sofar, true, &created)) << sofar;
      if (created) FMade.emplace_back(sofar, view);
    }
    if (versionValue) {
      TRegistry reg(view);
      reg.SetRootKey(RegRoot::LocalMachine);
      ASSERT_TRUE(reg.OpenKey(path, false));
      ASSERT_TRUE(reg.WriteString("CurrentVersion", "16.0.1000.6"));
    }
  }
  std::vector<std::pair<std::string, std::uint32_t>> FMade;
};

TEST(LocalInstances, ListedFromBothRegistryViews) {
  struct Case {
    const char* what;
    ViewContent view32, view64;
    bool windows64;
    Names expected;
  } cases[] = {
      {"default instance first, named ones sorted",
       {true, {"VELMOR", "SQLEXPRESS"}, {"VELMOR", "SQLEXPRESS"}, {}}, {}, true,
       {"PC01", "PC01\\SQLEXPRESS", "PC01\\VELMOR"}},
      {"sorting ignores case",
       {false, {"gamma", "Beta", "ALPHA"}, {"gamma", "Beta", "ALPHA"}, {}}, {}, true,
       {"PC01\\ALPHA", "PC01\\Beta", "PC01\\gamma"}},
      {"a named instance without its version value is not offered",
       {false, {"OLD", "NEW"}, {"NEW"}, {"OLD"}}, {}, true, {"PC01\\NEW"}},
      {"a listed instance without any key is not offered",
       {false, {"GONE", "NEW"}, {"NEW"}, {}}, {}, true, {"PC01\\NEW"}},
      {"MSSQLSERVER in any case is the default instance, listed through its own key only",
       {true, {"mssqlserver", "MSSQLServer", "SQLEXPRESS"}, {"SQLEXPRESS", "mssqlserver"}, {}}, {}, true,
       {"PC01", "PC01\\SQLEXPRESS"}},
      {"an instance of the 64-bit view is listed once, after those of the 32-bit view",
       {false, {"LEGACY"}, {"LEGACY"}, {}}, {true, {"VELMOR"}, {"VELMOR"}, {}}, true,
       {"PC01\\LEGACY", "PC01", "PC01\\VELMOR"}},
      {"an instance registered in both views is listed twice",
       {false, {"VELMOR"}, {"VELMOR"}, {}}, {false, {"VELMOR"}, {"VELMOR"}, {}}, true,
       {"PC01\\VELMOR", "PC01\\VELMOR"}},
      {"32-bit Windows has one view",
       {false, {"LEGACY"}, {"LEGACY"}, {}}, {true, {"VELMOR"}, {"VELMOR"}, {}}, false, {"PC01\\LEGACY"}},
      {"nothing registered", {}, {}, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    InstanceRegistry reg;
    reg.Fill(kView32, c.view32);
    reg.Fill(kView64, c.view64);
    Names list{"kept"};
    ListLocalSQLInstances(list, "PC01", c.windows64);
    Names expected{"kept"};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(list, expected);
  }
}

class LocalList : public testing::Test {
 protected:
  void SetUp() override { ui::headless::Instance().Reset(); }
  void TearDown() override { ui::headless::Instance().Reset(); }
  ui::TForm form{"F"};
  ui::TComboBox cmb{&form, "cmbSQLServers"};
};

TEST_F(LocalList, PreselectsTheFirstNameContainingVELMORExactly) {
  const std::string pc = LocalComputerName();
  struct Case {
    Names instances;
    int selected;
  } cases[] = {
      {{"SQLEXPRESS", "VELMOR"}, 1},
      {{"Velmor", "SQLEXPRESS"}, -1},  // mixed case is listed, not preselected
      {{"VELMOR2", "XVELMOR"}, 0},
      {{"SQLEXPRESS"}, -1},
  };
  for (const Case& c : cases) {
    InstanceRegistry reg;
    reg.Fill(kView32, {false, c.instances, c.instances, {}});
    cmb.SetItems({"stale"});
    cmb.SetItemIndex(0);
    EXPECT_TRUE(DetectMSSQLLocal(cmb));
    Names sorted;
    for (const std::string& n : c.instances) sorted.push_back(pc + "\\" + n);
    std::sort(sorted.begin(), sorted.end(),
              [](const std::string& a, const std::string& b) { return platform::UpperText(a) < platform::UpperText(b); });
    EXPECT_EQ(cmb.Items(), sorted);
    ASSERT_EQ(cmb.ItemIndex(), c.selected == -1 ? -1 : static_cast<int>(std::find(sorted.begin(), sorted.end(),
                                                           pc + "\\" + c.instances[static_cast<size_t>(c.selected)]) -
                                                           sorted.begin()));
  }
}

TEST_F(LocalList, NoInstanceLeavesTheListEmpty) {
  cmb.SetItems({"stale"});
  cmb.SetItemIndex(0);
  EXPECT_FALSE(DetectMSSQLLocal(cmb));
  EXPECT_TRUE(cmb.Items().empty());
  EXPECT_EQ(cmb.ItemIndex(), -1);
  EXPECT_EQ(cmb.Text(), "");
}

// ---- The SQL Server Resolution Protocol ------------------------------------------------------

const std::string kTwoInstances =
    "ServerName;SRV1;InstanceName;MSSQLSERVER;IsClustered;No;Version;16.0.1000.6;tcp;1433;;"
    "ServerName;SRV1;InstanceName;VELMOR;IsClustered;No;Version;15.0.2000.5;np;\\\\SRV1\\pipe\\MSSQL$VELMOR\\sql\\query;;";

TEST(Ssrp, RequestIsTheExtendedBroadcast) { EXPECT_EQ(SsrpBroadcastRequest(), std::string(1, '\x02')); }

TEST(Ssrp, AnswersGiveEveryWholeInstanceRecord) {
  std::string cut = SvrResp(kTwoInstances);
  cut.resize(cut.size() - 5);
  std::string shortHeader = SvrResp(kTwoInstances);
  shortHeader[1] = static_cast<char>(shortHeader[1] + 1);  // claims one byte more than it has
  struct Case {
    const char* what;
    std::string datagram;
    Names names;
  } cases[] = {
      {"default and named instance", SvrResp(kTwoInstances), {"SRV1", "SRV1\\VELMOR"}},
      {"bytes after the announced data are ignored", SvrResp(kTwoInstances) + "ServerName;X;InstanceName;Y;;",
       {"SRV1", "SRV1\\VELMOR"}},
      {"keys in any order and case", SvrResp("instancename;SQLEXPRESS;SERVERNAME;PC7;;"), {"PC7\\SQLEXPRESS"}},
      {"a record not closed by ;; is dropped",
       SvrResp("ServerName;A;InstanceName;I1;tcp;1433;;ServerName;A;InstanceName;I2;tcp;1433;"), {"A\\I1"}},
      {"a key without its value is dropped", SvrResp("ServerName;A;InstanceName;I1;;ServerName;A;InstanceName"),
       {"A\\I1"}},
      {"a record without a server name", SvrResp("InstanceName;I1;;ServerName;B;InstanceName;I2;;"), {"B\\I2"}},
      {"a record without an instance name", SvrResp("ServerName;A;;ServerName;B;InstanceName;I2;;"), {"B\\I2"}},
      {"empty names", SvrResp("ServerName;;InstanceName;;;"), {}},
      {"a control character in a name", SvrResp(std::string("ServerName;A\nB;InstanceName;I;;")), {}},
      {"a backslash in a name", SvrResp("ServerName;A\\B;InstanceName;I;;"), {}},
      {"data cut short", cut, {}},
      {"length beyond the datagram", shortHeader, {}},
      {"wrong type byte", std::string("\x04") + SvrResp(kTwoInstances).substr(1), {}},
      {"zero length", std::string("\x05\x00\x00", 3), {}},
      {"header only", std::string("\x05\x10", 2), {}},
      {"empty datagram", "", {}},
      {"stray semicolons", SvrResp(";;;;;"), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseSsrpResponse(c.datagram), c.names) << c.what;
}

TEST(Ssrp, StandInBrowserAnswersAreGatheredWithoutRepeats) {
  StandInBrowser browser({SvrResp(kTwoInstances), "\x05garbage", SvrResp("ServerName;srv1;InstanceName;velmor;;"
                                                                          "ServerName;SRV2;InstanceName;SQLEXPRESS;;")});
  ASSERT_NE(browser.Port(), 0) << browser.Error();
  Names names = BrowseSqlServers({"127.0.0.1", browser.Port(), 400});
  EXPECT_EQ(names, (Names{"SRV1", "SRV1\\VELMOR", "SRV2\\SQLEXPRESS"}));
  ASSERT_EQ(browser.Requests().size(), 1u);
  EXPECT_EQ(browser.Requests()[0], SsrpBroadcastRequest());
}

TEST(Ssrp, SilentNetworkEndsAfterTheWait) {
  StandInBrowser silent({});
  ASSERT_NE(silent.Port(), 0) << silent.Error();
  for (std::uint16_t port : {silent.Port(), testing_support::UnusedUdpPort()}) {
    auto start = std::chrono::steady_clock::now();
    EXPECT_TRUE(BrowseSqlServers({"127.0.0.1", port, 300}).empty());
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
    EXPECT_GE(ms, 250);
    EXPECT_LT(ms, 3000);
  }
  EXPECT_EQ(silent.Requests().size(), 1u);
}

TEST(Ssrp, AnAddressThatIsNoAddressIsAnError) {
  EXPECT_THROW(BrowseSqlServers({"not-an-address", 1434, 100}), std::runtime_error);
}

}  // namespace
