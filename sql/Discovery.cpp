// SQL Server discovery: the registry's instances, the network scan and the list rules.
#include "sql/Discovery.h"

#include <algorithm>
#include <exception>

#include "platform/SqlSources.h"
#include "platform/Text.h"
#include "sql/Ssrp.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/Registry.h"
#include "support/SystemUtil.h"

namespace {

constexpr const char* kDefaultInstanceKey = "SOFTWARE\\Microsoft\\MSSQLServer\\MSSQLServer\\CurrentVersion";
constexpr const char* kInstancesKey = "SOFTWARE\\Microsoft\\Microsoft SQL Server";

void DefaultInstanceStep(TRegistryEx& reg, const std::string& computerName, std::vector<std::string>& list) {
  if (reg.OpenKeyReadOnly(kDefaultInstanceKey)) {
    if (reg.ValueExists("CurrentVersion")) list.push_back(computerName);
    reg.CloseKey();
  }
}

bool LessIgnoringCase(const std::string& a, const std::string& b) {
  return platform::UpperText(a) < platform::UpperText(b);
}

void NamedInstanceStep(TRegistryEx& reg, const std::string& computerName, std::vector<std::string>& list) {
  if (!reg.OpenKeyReadOnly(kInstancesKey)) return;
  std::vector<std::string> names;
  reg.ReadMultiSZData("InstalledInstances", names);
  reg.CloseKey();
  std::stable_sort(names.begin(), names.end(), LessIgnoringCase);
  for (const std::string& name : names) {
    if (platform::SameTextAscii(name, "MSSQLSERVER")) continue;
    if (reg.OpenKeyReadOnly(std::string(kInstancesKey) + "\\" + name + "\\MSSQLServer\\CurrentVersion")) {
      if (reg.ValueExists("CurrentVersion")) list.push_back(computerName + "\\" + name);
      reg.CloseKey();
    }
  }
}

void ListOneView(std::uint32_t access, const std::string& computerName, std::vector<std::string>& list) {
  TRegistryEx reg(access);
  reg.SetRootKey(platform::RegRoot::LocalMachine);
  DefaultInstanceStep(reg, computerName, list);
  NamedInstanceStep(reg, computerName, list);
}

bool Listed(const std::vector<std::string>& list, const std::string& name) {
  return std::any_of(list.begin(), list.end(), [&](const std::string& n) { return platform::SameTextAscii(n, name); });
}

// Closes the wait window however the scan ends.
struct WaitWindow {
  WaitWindow() { ShowWait(Msg(msgSearchingInstanceMSSQLNetwork), "", ""); }
  ~WaitWindow() { CloseWait(); }
  void Found(size_t count) { UpdateWait(FormatMsg(msgSearchingFoundServers, std::to_string(count)), ""); }
};

}  // namespace

void ListLocalSQLInstances(std::vector<std::string>& list, const std::string& computerName, bool windows64) {
  // The 32-bit view is named explicitly so that the 64-bit build lists what the 32-bit one
  // does; on 32-bit Windows the flag is ignored and the one view there is read.
  ListOneView(platform::regaccess::Read | platform::regaccess::Wow64_32Key, computerName, list);
  if (windows64) ListOneView(platform::regaccess::Read | platform::regaccess::Wow64_64Key, computerName, list);
}

void ListLocalSQLInstances(std::vector<std::string>& list) {
  ListLocalSQLInstances(list, LocalComputerName(), IsWindows64());
}

std::vector<std::string> ListNetworkSQLServers(std::vector<std::string>& list) {
  std::vector<std::string> failures;
  WaitWindow wait;
  list.clear();

  try {
    for (const platform::SqlSourceRow& row : platform::SqlOleDbSources()) {
      if (row.Type != 1 || row.Name.empty()) continue;
      list.push_back(row.Name);
      wait.Found(list.size());
    }
  } catch (const std::exception& e) {
    failures.push_back(std::string("SQLOLEDB Enumerator: ") + e.what());
    InstallLog().Add(failures.back());
  }

  try {
    for (const std::string& name : BrowseSqlServers(SqlBrowserTarget())) {
      if (Listed(list, name)) continue;
      list.push_back(name);
      wait.Found(list.size());
    }
  } catch (const std::exception& e) {
    failures.push_back(std::string("SQL Server Browser: ") + e.what());
    InstallLog().Add(failures.back());
  }
  return failures;
}

bool DetectMSSQLLocal(ui::TComboBox& cmbSQLServers) {
  LogProcedure log("DetectMSSQLLocal");
  std::vector<std::string> instances;
  ListLocalSQLInstances(instances);
  cmbSQLServers.Clear();
  cmbSQLServers.SetItems(instances);
  for (size_t i = 0; i < instances.size(); ++i) {
    if (instances[i].find("VELMOR") != std::string::npos) {
      cmbSQLServers.SetItemIndex(static_cast<int>(i));
      break;
    }
  }
  return !instances.empty();
}

void DetectMSSQLNet(ui::TComboBox& cmbMSSQLNetList) {
  LogProcedure log("DetectMSSQLNet");
  std::vector<std::string> servers;
  std::vector<std::string> failures = ListNetworkSQLServers(servers);
  cmbMSSQLNetList.Clear();
  cmbMSSQLNetList.SetItems(servers);
  if (!servers.empty()) {
    cmbMSSQLNetList.SetItemIndex(0);
    return;
  }
  if (!failures.empty()) {
    std::string reasons;
    for (const std::string& f : failures) reasons += (reasons.empty() ? "" : "\n\r") + f;
    ShowError(FormatMsg(msgNetworkScanFailed, reasons), "");
  }
}

void InitSQLChoice(ui::TRadioButton& rbExistMSSQL, ui::TRadioButton& rbNewMSSQL, ui::TRadioButton& rbNetMSSQL,
                   bool localInstancesExist) {
  if (rbExistMSSQL.Checked() || rbNewMSSQL.Checked() || rbNetMSSQL.Checked()) return;
  rbExistMSSQL.SetEnabled(localInstancesExist);
  if (localInstancesExist)
    rbExistMSSQL.SetChecked(true);
  else
    rbNewMSSQL.SetChecked(true);
}

std::string NetworkServerName(const ui::TComboBox& cmbMSSQLNetList) {
  int index = cmbMSSQLNetList.ItemIndex();
  if (index >= 0 && index < static_cast<int>(cmbMSSQLNetList.Items().size()))
    return cmbMSSQLNetList.Items()[static_cast<size_t>(index)];
  return platform::Trim(cmbMSSQLNetList.Text());
}

bool NetworkServerPicked(const ui::TComboBox& cmbMSSQLNetList) { return !NetworkServerName(cmbMSSQLNetList).empty(); }
