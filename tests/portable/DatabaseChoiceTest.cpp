// The database choice of the local and network SQL Server pages: the name rule, the Preset/
// Empty preparation by installation type, and both acceptance checks with their messages.
#include <gtest/gtest.h>

#include "setup/SetupDat.h"
#include "sql/DatabaseChoice.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/ScriptedMessages.h"
#include "ui/Controls.h"
#include "ui/headless/Headless.h"

namespace {

TEST(DatabaseName, LettersOfEveryScriptDigitsAfterTheFirstAndUnderscore) {
  struct Case {
    const char* name;
    bool valid;
  } cases[] = {
      {"Data", true},
      {"_2024Data", true},
      {"Účetnictví_2024", true},
      {"ŘízeníČR", true},
      {"_", true},
      {"Ǆemal", true},        // Lt, a title-case letter
      {"ʰData", true},        // Lm, a modifier letter
      {"数据", true},          // Lo
      {"Data٣", true},        // Arabic-Indic digit three, Nd
      {"", false},
      {"2024Data", false},
      {"٣Data", false},       // a digit of another script may not lead either
      {"My-Data", false},
      {"Data.old", false},
      {"My Data", false},
      {" Data", false},
      {"Data ", false},
      {"Data$", false},
      {"Data#1", false},
      {"Data²", false},       // No, not a decimal digit
      {"DataⅣ", false},       // Nl, a letter number is not a letter
      {"Data\xCC\x81", false},  // a combining accent (Mn) after the letters
      {"Data\t", false},
      {"\xC3\x28", false},    // not UTF-8
      {"Da\xFFta", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidDatabaseName(c.name), c.valid) << c.name;
}

TEST(DatabaseName, FilledMeansSomethingBesideBlanksAndControlCharacters) {
  EXPECT_FALSE(DatabaseNameFilled(""));
  EXPECT_FALSE(DatabaseNameFilled("   "));
  EXPECT_FALSE(DatabaseNameFilled(" \t\r\n "));
  EXPECT_TRUE(DatabaseNameFilled(" x "));
  EXPECT_TRUE(DatabaseNameFilled("Č"));
}

TEST(DatabaseName, AnsiCodePageHoldsCzechButNotEveryLetter) {
  // The test programs run with the Czech ANSI code page (1250).
  EXPECT_TRUE(FitsAnsiCodePage("Účetnictví_2024"));
  EXPECT_TRUE(FitsAnsiCodePage("ŘízeníČR"));
  EXPECT_FALSE(FitsAnsiCodePage("数据"));
  EXPECT_FALSE(FitsAnsiCodePage("Dāta"));  // a-macron: a best-fit "a" would be written instead
}

TEST(DatabaseName, FieldVisibleForTheLargerEditionOrAnEmptyDatabase) {
  for (TTypeInstall t : {tiKest, tiKestUpdate}) {
    EXPECT_FALSE(DatabaseNameFieldVisible(t, dbPreset));
    EXPECT_TRUE(DatabaseNameFieldVisible(t, dbEmpty));
  }
  for (TTypeInstall t : {tiTarpel, tiTarpelUpdate, tiVelmorDemo}) {
    EXPECT_TRUE(DatabaseNameFieldVisible(t, dbPreset));
    EXPECT_TRUE(DatabaseNameFieldVisible(t, dbEmpty));
  }
}

// The controls of both pages and a definition with distinct names.
class DatabaseChoice : public testing::Test {
 protected:
  void SetUp() override {
    ui::headless::Instance().Reset();
    SetCurrentLanguage(langEN);
    ASSERT_TRUE(def.LoadSetupDatFromXml(
        "<SetupDat><Main><DBName>VelmorData</DBName><DBNameTarpel>TarpelData</DBNameTarpel>"
        "<DBNameKest>KestData</DBNameKest></Main></SetupDat>"));
    rg.SetItems({"   Preset", "   Empty"});
    rg.SetItemIndex(dbEmpty);
  }
  void TearDown() override {
    SetCurrentLanguage(langCZ);
    ui::headless::Instance().Reset();
  }
  void Servers(std::vector<std::string> items, int selected) {
    servers.SetItems(items);
    servers.SetItemIndex(selected);
  }

  TSetupDat def{false};
  TScriptedMessages messages;
  ui::TForm form{"F"};
  ui::TComboBox servers{&form, "servers"};
  ui::TRadioGroup rg{&form, "rg"};
  ui::TEdit name{&form, "name"};
};

TEST_F(DatabaseChoice, LocalPagePreparationByInstallationType) {
  Servers({"PC01", "PC01\\SQLEXPRESS"}, -1);
  PrepareLocalDatabaseChoice(tiKest, def, "", servers, rg, name);
  EXPECT_EQ(servers.ItemIndex(), 0);
  EXPECT_EQ(name.Text(), "KestData");
  EXPECT_EQ(rg.ItemIndex(), dbPreset);

  // A name accepted before makes Empty the choice; the field is still reset.
  rg.SetItemIndex(dbEmpty);
  servers.SetItemIndex(1);
  PrepareLocalDatabaseChoice(tiKestUpdate, def, "Mine", servers, rg, name);
  EXPECT_EQ(servers.ItemIndex(), 1);
  EXPECT_EQ(name.Text(), "KestData");
  EXPECT_EQ(rg.ItemIndex(), dbEmpty);
  // The definition's own name accepted before is the Preset choice again.
  PrepareLocalDatabaseChoice(tiKest, def, "VelmorData", servers, rg, name);
  EXPECT_EQ(rg.ItemIndex(), dbPreset);

  for (TTypeInstall t : {tiTarpel, tiTarpelUpdate, tiVelmorDemo}) {
    rg.SetItemIndex(dbEmpty);
    PrepareLocalDatabaseChoice(t, def, "", servers, rg, name);
    EXPECT_EQ(name.Text(), "TarpelData");
    EXPECT_EQ(rg.ItemIndex(), dbEmpty);
  }

  Servers({}, -1);
  PrepareLocalDatabaseChoice(tiKest, def, "", servers, rg, name);
  EXPECT_EQ(servers.ItemIndex(), -1);
}

TEST_F(DatabaseChoice, NetworkPageNameByInstallationType) {
  PrepareNetworkDatabaseChoice(tiKest, def, name);
  EXPECT_EQ(name.Text(), "KestData");
  PrepareNetworkDatabaseChoice(tiVelmorDemo, def, name);
  EXPECT_EQ(name.Text(), "TarpelData");
}

const std::string kNotSelectedOrInstalled = "Microsoft SQL Server has not been selected or installed.";
const std::string kNotSelected = "Microsoft SQL Server has not been selected";
const std::string kNotFilled = "Database name is not filled.";
const std::string kDisallowed = "Database name contains disallowed characters.";

struct AcceptCase {
  const char* what;
  TTypeInstall type;
  int selected;   // item of the server list, -1 none
  int option;     // Preset or Empty
  const char* typed;
  const char* message;  // nullptr: accepted
  const char* stored;   // the database name afterwards
};

TEST_F(DatabaseChoice, LocalAcceptanceCheck) {
  const AcceptCase cases[] = {
      {"no server, bad name: only the server message", tiKest, -1, dbEmpty, "2024", kNotSelectedOrInstalled.c_str(),
       "VelmorData"},
      {"no server, larger edition", tiTarpel, -1, dbEmpty, "X", kNotSelectedOrInstalled.c_str(), "VelmorData"},
      {"Kest Preset keeps the definition's name", tiKest, 1, dbPreset, "Hidden Text", nullptr, "VelmorData"},
      {"Kest Empty blanks", tiKestUpdate, 0, dbEmpty, "   ", kNotFilled.c_str(), "VelmorData"},
      {"Kest Empty nothing", tiKest, 0, dbEmpty, "", kNotFilled.c_str(), "VelmorData"},
      {"Kest Empty leading blank", tiKest, 0, dbEmpty, " Data", kDisallowed.c_str(), "VelmorData"},
      {"Kest Empty leading digit", tiKest, 0, dbEmpty, "2024Data", kDisallowed.c_str(), "VelmorData"},
      {"Kest Empty hyphen", tiKest, 0, dbEmpty, "My-Data", kDisallowed.c_str(), "VelmorData"},
      {"Kest Empty dot", tiKest, 0, dbEmpty, "Data.old", kDisallowed.c_str(), "VelmorData"},
      {"Kest Empty not in the ANSI code page", tiKest, 0, dbEmpty, "数据", kDisallowed.c_str(), "VelmorData"},
      {"Kest Empty Czech", tiKest, 0, dbEmpty, "Účetnictví_2024", nullptr, "Účetnictví_2024"},
      {"Kest Empty underscore first", tiKest, 1, dbEmpty, "_2024Data", nullptr, "_2024Data"},
      {"Tarpel nothing", tiTarpel, 0, dbEmpty, "", kNotFilled.c_str(), "VelmorData"},
      {"Tarpel blanks", tiTarpelUpdate, 0, dbPreset, "  \t", kNotFilled.c_str(), "VelmorData"},
      {"Tarpel takes a space unchanged", tiTarpel, 0, dbEmpty, "My Data", nullptr, "My Data"},
      {"Tarpel takes a leading digit", tiVelmorDemo, 0, dbPreset, "2024 x", nullptr, "2024 x"},
      {"Tarpel refuses what the ANSI code page cannot hold", tiTarpelUpdate, 0, dbEmpty, "数据",
       kDisallowed.c_str(), "VelmorData"},
  };
  for (const AcceptCase& c : cases) {
    SCOPED_TRACE(c.what);
    messages.Clear();
    std::string server, database = "VelmorData";  // nothing accepted yet
    Servers({"PC01", "PC01\\VELMOR"}, c.selected);
    rg.SetItemIndex(c.option);
    name.SetText(c.typed);

    bool accepted = AcceptLocalDatabaseChoice(c.type, servers, rg, name, def, server, database);
    EXPECT_EQ(accepted, c.message == nullptr);
    if (c.message) {
      ASSERT_EQ(messages.Shown().size(), 1u);
      EXPECT_EQ(messages.Shown()[0].Text, c.message);
      EXPECT_EQ(messages.Shown()[0].Kind, mkError);
      EXPECT_EQ(server, "");
      EXPECT_EQ(name.Text(), c.typed);  // what the user typed stays
    } else {
      EXPECT_TRUE(messages.Shown().empty());
      EXPECT_EQ(server, servers.Items()[static_cast<size_t>(c.selected)]);
    }
    EXPECT_EQ(database, c.stored);
  }
}

TEST_F(DatabaseChoice, NetworkAcceptanceCheck) {
  // On the network page every edition's name is checked, and Preset only hides the field.
  const AcceptCase cases[] = {
      {"no server, bad name: only the server message", tiKest, -1, dbEmpty, "2024", kNotSelected.c_str(),
       "VelmorData"},
      {"blanks", tiTarpel, 0, dbEmpty, " \t ", kNotFilled.c_str(), "VelmorData"},
      {"a space refused also for the larger edition", tiTarpel, 0, dbEmpty, "My Data", kDisallowed.c_str(),
       "VelmorData"},
      {"leading blank", tiKest, 0, dbEmpty, " Data", kDisallowed.c_str(), "VelmorData"},
      {"not in the ANSI code page", tiKest, 0, dbEmpty, "Dāta", kDisallowed.c_str(), "VelmorData"},
      {"Preset stores the hidden field's text", tiKest, 1, dbPreset, "KestData", nullptr, "KestData"},
      {"Czech", tiTarpelUpdate, 0, dbEmpty, "Účetnictví_2024", nullptr, "Účetnictví_2024"},
  };
  for (const AcceptCase& c : cases) {
    SCOPED_TRACE(c.what);
    messages.Clear();
    std::string server, database = "VelmorData";  // nothing accepted yet
    Servers({"SRV1", "SRV2\\VELMOR"}, c.selected);
    rg.SetItemIndex(c.option);
    name.SetText(c.typed);

    bool accepted = AcceptNetworkDatabaseChoice(servers, name, server, database);
    EXPECT_EQ(accepted, c.message == nullptr);
    if (c.message) {
      ASSERT_EQ(messages.Shown().size(), 1u);
      EXPECT_EQ(messages.Shown()[0].Text, c.message);
      EXPECT_EQ(server, "");
    } else {
      EXPECT_TRUE(messages.Shown().empty());
      EXPECT_EQ(server, servers.Items()[static_cast<size_t>(c.selected)]);
    }
    EXPECT_EQ(database, c.stored);
  }
}

TEST_F(DatabaseChoice, NetworkServerTypedIntoTheBox) {
  // A scan that found nothing (no Browser answers) leaves the user the box to type into.
  struct TypedCase {
    const char* what;
    std::vector<std::string> items;
    const char* typed;
    const char* message;
    const char* stored;
  };
  const TypedCase cases[] = {
      {"typed into an empty list", {}, "DBSRV01\\SQL2019", nullptr, "DBSRV01\\SQL2019"},
      {"blanks around the name are no part of it", {}, "  DBSRV01 \t", nullptr, "DBSRV01"},
      {"a name not in the list", {"SRV1"}, "ELSEWHERE", nullptr, "ELSEWHERE"},
      {"blanks only", {}, " \t ", kNotSelected.c_str(), ""},
      {"nothing", {"SRV1"}, "", kNotSelected.c_str(), ""},
      {"a Czech name the code page holds", {}, "ÚČTÁRNA\\SQL", nullptr, "ÚČTÁRNA\\SQL"},
      {"a name the code page cannot hold", {}, "服务器\\SQL", kDisallowed.c_str(), ""},
  };
  servers.SetStyle(ui::TComboStyle::csDropDown);
  for (const TypedCase& c : cases) {
    SCOPED_TRACE(c.what);
    messages.Clear();
    std::string server, database;
    Servers(c.items, -1);
    servers.NotifyTextEdited(c.typed);
    name.SetText("VelmorData");
    EXPECT_EQ(AcceptNetworkDatabaseChoice(servers, name, server, database), c.message == nullptr);
    if (c.message) {
      ASSERT_EQ(messages.Shown().size(), 1u);
      EXPECT_EQ(messages.Shown()[0].Text, c.message);
    }
    EXPECT_EQ(server, c.stored);
  }
}

TEST_F(DatabaseChoice, RefusalsAreLogged) {
  Servers({}, -1);
  std::string server, database;
  AcceptNetworkDatabaseChoice(servers, name, server, database);
  bool logged = false;
  for (const std::string& line : InstallLog().Log()) logged |= line.find(kNotSelected) != std::string::npos;
  EXPECT_TRUE(logged);
}

}  // namespace
