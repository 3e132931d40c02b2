// SQL Server discovery against the real Windows API under Wine: instance keys written with
// the registry functions themselves into each view, and the network scan where the SQL Server
// OLE DB provider is missing (as it is under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include "StandInBrowser.h"
#include "platform/SqlSources.h"
#include "sql/Discovery.h"
#include "sql/Ssrp.h"
#include "support/Catalogue.h"
#include "support/ScriptedMessages.h"
#include "support/SystemUtil.h"
#include "ui/Controls.h"
#include "ui/headless/Headless.h"

namespace {

// Keys written with RegCreateKeyExW in one view, removed again at the end.
class RawInstances {
 public:
  ~RawInstances() {
    for (auto it = FMade.rbegin(); it != FMade.rend(); ++it)
      RegDeleteKeyExW(HKEY_LOCAL_MACHINE, it->first.c_str(), it->second, 0);
  }
  void Named(REGSAM view, const std::wstring& name) {
    const std::wstring base = L"SOFTWARE\\Microsoft\\Microsoft SQL Server";
    Make(view, base);
    HKEY key;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, base.c_str(), 0, KEY_ALL_ACCESS | view, &key), ERROR_SUCCESS);
    std::wstring multi = name + L'\0' + L'\0';
    RegSetValueExW(key, L"InstalledInstances", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(multi.data()),
                   static_cast<DWORD>(multi.size() * sizeof(wchar_t)));
    RegCloseKey(key);
    Make(view, base + L"\\" + name);
    Make(view, base + L"\\" + name + L"\\MSSQLServer");
    Make(view, base + L"\\" + name + L"\\MSSQLServer\\CurrentVersion", true);
  }

 private:
  void Make(REGSAM view, const std::wstring& path, bool version = false) {
    HKEY key;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS | view, nullptr, &key,
                              &disposition),
              ERROR_SUCCESS);
    if (disposition == REG_CREATED_NEW_KEY) FMade.emplace_back(path, view);
    if (version) {
      const wchar_t v[] = L"16.0.1000.6";
      RegSetValueExW(key, L"CurrentVersion", 0, REG_SZ, reinterpret_cast<const BYTE*>(v), sizeof v);
    }
    RegCloseKey(key);
  }
  std::vector<std::pair<std::wstring, REGSAM>> FMade;
};

TEST(SqlDiscoveryWindows, EachViewListedOnceThirtyTwoBitFirst) {
  ASSERT_TRUE(IsWindows64());
  RawInstances reg;
  reg.Named(KEY_WOW64_32KEY, L"LEGACY32");
  reg.Named(KEY_WOW64_64KEY, L"VELMOR64");
  std::vector<std::string> list;
  ListLocalSQLInstances(list);
  const std::string pc = LocalComputerName();
  EXPECT_EQ(list, (std::vector<std::string>{pc + "\\LEGACY32", pc + "\\VELMOR64"}));
}

TEST(SqlDiscoveryWindows, MissingProviderIsAReasonNotAnEnd) {
  EXPECT_THROW(
      {
        try {
          platform::SqlOleDbSources();
        } catch (const std::runtime_error& e) {
          EXPECT_NE(std::string(e.what()).find("SQLOLEDB Enumerator"), std::string::npos) << e.what();
          throw;
        }
      },
      std::runtime_error);

  ui::headless::Instance().Reset();
  SetCurrentLanguage(langEN);
  TSqlBrowserTarget saved = SqlBrowserTarget();
  SqlBrowserTarget() = {"127.0.0.1", testing_support::UnusedUdpPort(), 200};
  {
    TScriptedMessages messages;
    ui::TForm form("F");
    ui::TComboBox cmb(&form, "cmbMSSQLNetList");
    DetectMSSQLNet(cmb);
    EXPECT_TRUE(cmb.Items().empty());
    ASSERT_EQ(messages.Shown().size(), 2u);
    EXPECT_EQ(messages.Shown()[1].Kind, mkError);
    EXPECT_EQ(messages.Shown()[1].Text.rfind("Searching for Microsoft SQL Server on the network failed.", 0), 0u);
  }
  SqlBrowserTarget() = saved;
  SetCurrentLanguage(langCZ);
  ui::headless::Instance().Reset();
}

TEST(SqlDiscoveryWindows, BrowserAnswersThroughWinsock) {
  testing_support::StandInBrowser browser({testing_support::SvrResp("ServerName;SRV1;InstanceName;VELMOR;;")});
  ASSERT_NE(browser.Port(), 0) << browser.Error();
  EXPECT_EQ(BrowseSqlServers({"127.0.0.1", browser.Port(), 300}), (std::vector<std::string>{"SRV1\\VELMOR"}));
}

}  // namespace
