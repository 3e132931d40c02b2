#pragma once
// Finding SQL Server: the instances registered on this computer, the servers of the network,
// and the rules of the lists the wizard offers them in (the choice page tsSQLVolba, the local
// list cmbSQLServers and the network list cmbMSSQLNetList).
#include <string>
#include <vector>

#include "ui/Controls.h"

// Appends the instances registered on this computer: the default instance as the bare
// computer name, named instances as computer\instance (sorted ignoring case), first those of
// the 32-bit registry view, then on 64-bit Windows those of the 64-bit view. An instance
// registered in both views is listed twice.
void ListLocalSQLInstances(std::vector<std::string>& list);
// The same with the computer name and the machine's bitness given.
void ListLocalSQLInstances(std::vector<std::string>& list, const std::string& computerName, bool windows64);

// Replaces the list with the data sources of the SQL Server provider's enumerator, followed by
// the instances the SQL Server Browser service answers for that are not listed yet, showing
// the wait window with the running count meanwhile. A source that fails does not end the scan:
// its reason is logged and returned, the other source still asked.
std::vector<std::string> ListNetworkSQLServers(std::vector<std::string>& list);

// Rebuilds cmbSQLServers from the local instances and selects the first item containing
// "VELMOR" (exact case), or none. True when at least one instance was found.
bool DetectMSSQLLocal(ui::TComboBox& cmbSQLServers);

// Rescans the network into cmbMSSQLNetList and selects the first server found. When the scan
// found nothing and a source failed, the failure is shown (and logged); the list stays empty.
void DetectMSSQLNet(ui::TComboBox& cmbMSSQLNetList);

// The choice page's first visit (no option checked yet): the existing-instance option is
// enabled and checked only when local instances exist, otherwise the install option is
// checked. Later visits keep the user's choice and the enabling.
void InitSQLChoice(ui::TRadioButton& rbExistMSSQL, ui::TRadioButton& rbNewMSSQL, ui::TRadioButton& rbNetMSSQL,
                   bool localInstancesExist);

// The server the network page names: the selected item, else the name typed into the box
// (trimmed), since a scan finds nothing where no SQL Server Browser answers and the user must
// still be able to name the server; empty when there is neither.
std::string NetworkServerName(const ui::TComboBox& cmbMSSQLNetList);

// Whether the network page names a server: the condition for offering Install there.
bool NetworkServerPicked(const ui::TComboBox& cmbMSSQLNetList);
