// The database choice of the two SQL Server pages and its checks.
#include "sql/DatabaseChoice.h"


#include <algorithm>

#include "platform/Text.h"
#include "sql/Discovery.h"
#include "support/Catalogue.h"
#include "support/MessageDialog.h"
#include "support/RegexPattern.h"

namespace {

// \p{L} is exactly Lu, Ll, Lt, Lm and Lo; \p{Nd} the decimal digits. In UTF mode PCRE2 also
// refuses text that is not UTF-8 instead of reading its bytes as letters.
constexpr const char* kDatabaseNamePattern = "\\A[\\p{L}_][\\p{L}\\p{Nd}_]*\\z";


bool Selected(const ui::TComboBox& list) { return list.ItemIndex() >= 0 && !list.Items().empty(); }

const std::string& SelectedText(const ui::TComboBox& list) {
  return list.Items().at(static_cast<size_t>(list.ItemIndex()));
}

// The name checks both pages share; false after showing the message.
bool CheckDatabaseName(const std::string& name) {
  if (!DatabaseNameFilled(name)) {
    ShowError(Msg(msgDatabaseNameNotFilled), "");
    return false;
  }
  if (!IsValidDatabaseName(name) || !FitsAnsiCodePage(name)) {
    ShowError(Msg(msgDatabaseNameDisallowedChars), "");
    return false;
  }
  return true;
}

}  // namespace

bool IsKestType(TTypeInstall type) { return type == tiKest || type == tiKestUpdate; }

bool IsValidDatabaseName(std::string_view name) {
  static const TRegexPattern pattern(kDatabaseNamePattern, TRegexPattern::Utf);
  return pattern.Matches(name);
}

bool FitsAnsiCodePage(std::string_view text) {
  return platform::Utf8FromAnsi(platform::AnsiFromUtf8(text)) == text;
}

bool DatabaseNameFilled(std::string_view name) {
  return std::any_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) > ' '; });
}

bool DatabaseNameFieldVisible(TTypeInstall type, int itemIndex) { return !IsKestType(type) || itemIndex == dbEmpty; }

void PrepareLocalDatabaseChoice(TTypeInstall type, const TSetupDat& setupDat, const std::string& chosenDatabase,
                                ui::TComboBox& cmbSQLServers, ui::TRadioGroup& rgVolbaDB, ui::TEdit& edDBName) {
  if (!cmbSQLServers.Items().empty() && cmbSQLServers.ItemIndex() < 0) cmbSQLServers.SetItemIndex(0);
  if (IsKestType(type)) {
    edDBName.SetText(setupDat.DBNameKest());
    bool preset = chosenDatabase.empty() || chosenDatabase == setupDat.DBName();
    rgVolbaDB.SetItemIndex(preset ? dbPreset : dbEmpty);
  } else {
    edDBName.SetText(setupDat.DBNameTarpel());
  }
}

void PrepareNetworkDatabaseChoice(TTypeInstall type, const TSetupDat& setupDat, ui::TEdit& edtNetDBName) {
  edtNetDBName.SetText(IsKestType(type) ? setupDat.DBNameKest() : setupDat.DBNameTarpel());
}

bool AcceptLocalDatabaseChoice(TTypeInstall type, const ui::TComboBox& cmbSQLServers, const ui::TRadioGroup& rgVolbaDB,
                               const ui::TEdit& edDBName, const TSetupDat& setupDat, std::string& server,
                               std::string& database) {
  if (!Selected(cmbSQLServers)) {
    ShowError(Msg(msgMSSQLNotSelectedOrInstalled), "");
    return false;
  }
  std::string name = setupDat.DBName();
  if (!IsKestType(type)) {
    // The larger edition's name is taken as typed; only a name the configuration file could
    // not hold is refused, and no name at all (it would be written as "SystemDB=").
    if (!DatabaseNameFilled(edDBName.Text())) {
      ShowError(Msg(msgDatabaseNameNotFilled), "");
      return false;
    }
    if (!FitsAnsiCodePage(edDBName.Text())) {
      ShowError(Msg(msgDatabaseNameDisallowedChars), "");
      return false;
    }
    name = edDBName.Text();
  } else if (rgVolbaDB.ItemIndex() != dbPreset) {
    if (!CheckDatabaseName(edDBName.Text())) return false;
    name = edDBName.Text();
  } else if (!DatabaseNameFilled(name)) {
    // A definition without a preset name has nothing to preset.
    ShowError(Msg(msgDatabaseNameNotFilled), "");
    return false;
  }
  server = SelectedText(cmbSQLServers);
  database = name;
  return true;
}

bool AcceptNetworkDatabaseChoice(const ui::TComboBox& cmbMSSQLNetList, const ui::TEdit& edtNetDBName,
                                 std::string& server, std::string& database) {
  std::string named = NetworkServerName(cmbMSSQLNetList);
  if (named.empty()) {
    ShowError(Msg(msgMSSQLNotSelected), "");
    return false;
  }
  // A typed name goes into Velmor.INI as well: one the ANSI code page cannot hold is refused
  // here, with the rule of the database name, not after every package has been extracted.
  if (!FitsAnsiCodePage(named)) {
    ShowError(Msg(msgDatabaseNameDisallowedChars), "");
    return false;
  }
  if (!CheckDatabaseName(edtNetDBName.Text())) return false;
  server = named;
  database = edtNetDBName.Text();
  return true;
}
