#pragma once
// The database the product will use: the Preset/Empty choice and the name field of the local
// page (tsSQL) and the network page (tsSQLNet), and the checks run before the installation
// starts. The server and database accepted here are handed back to the wizard, which keeps them.
#include <string>
#include <string_view>

#include "setup/PackageRecords.h"
#include "setup/SetupDat.h"
#include "ui/Controls.h"

// Item indexes of rgVolbaDB and rgVolbaDBNet.
inline constexpr int dbPreset = 0;
inline constexpr int dbEmpty = 1;

// The smaller edition's installation types (Kest and its update).
bool IsKestType(TTypeInstall type);

// A database name the product accepts: a letter or "_" first, then letters, decimal digits and
// "_" (a letter being any character of the Unicode categories Lu, Ll, Lt, Lm, Lo, a digit one
// of Nd). Text that is not valid UTF-8 is refused.
bool IsValidDatabaseName(std::string_view name);
// Whether the machine's ANSI code page holds every character of the text, so that it reaches
// Velmor.INI unchanged.
bool FitsAnsiCodePage(std::string_view text);
// Whether anything is left once leading and trailing blanks and control characters are removed.
bool DatabaseNameFilled(std::string_view name);

// The name panel is shown for the larger edition, or when Empty is chosen.
bool DatabaseNameFieldVisible(TTypeInstall type, int itemIndex);

// The local page's preparation after the list was rebuilt and the options reset: the first
// server selected when none is, the name field filled with the edition's default name, and for
// the smaller edition Preset chosen unless a database other than the definition's was accepted
// before (chosenDatabase, empty when none was).
void PrepareLocalDatabaseChoice(TTypeInstall type, const TSetupDat& setupDat, const std::string& chosenDatabase,
                                ui::TComboBox& cmbSQLServers, ui::TRadioGroup& rgVolbaDB, ui::TEdit& edDBName);
// The network page's: the name field filled with the edition's default name.
void PrepareNetworkDatabaseChoice(TTypeInstall type, const TSetupDat& setupDat, ui::TEdit& edtNetDBName);

// The acceptance checks of the two pages. Each shows the first failure with ShowError (the
// server before the name) and returns false, changing nothing; on success the chosen server
// and database are in server and database and the result is true.
bool AcceptLocalDatabaseChoice(TTypeInstall type, const ui::TComboBox& cmbSQLServers, const ui::TRadioGroup& rgVolbaDB,
                               const ui::TEdit& edDBName, const TSetupDat& setupDat, std::string& server,
                               std::string& database);
bool AcceptNetworkDatabaseChoice(const ui::TComboBox& cmbMSSQLNetList, const ui::TEdit& edtNetDBName,
                                 std::string& server, std::string& database);
