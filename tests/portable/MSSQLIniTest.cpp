#include <gtest/gtest.h>

#include "platform/Text.h"
#include "sql/MSSQLIni.h"
#include "support/Catalogue.h"

namespace {

const TWindowsFacts kWin10x64{true, 10, 0};
const TWindowsFacts kWin81x64{true, 6, 3};
const TWindowsFacts kWin7x86{false, 6, 1};

std::vector<std::string> Names(const TMSSQLiniList& l) {
  std::vector<std::string> n;
  for (const TMSSQLini& e : l.Entries) n.push_back(e.Nazev);
  return n;
}

TEST(MSSQLIniTest, FieldsAreCutAndMalformedOnesTakeTheirDefaults) {
  struct Case {
    const char* value;
    const char* file;
    bool def;
    int typ;
    const char* studio;
    int major, minor;
  } cases[] = {
      {"SQLEXPR_x64.exe;1;1;SSMS.exe;6;1", "SQLEXPR_x64.exe", true, 1, "SSMS.exe", 6, 1},
      {" SQLEXPR.exe ; 1 ; 1 ; ; 10 ; 0 ; extra ; more", "SQLEXPR.exe", true, 1, "", 10, 0},
      {"SQLEXPR.exe", "SQLEXPR.exe", false, 0, "", -1, -1},
      {"a.exe;yes;x64;;ten;x", "a.exe", false, 0, "", -1, -1},   // not numbers
      {"a.exe;01;1", "a.exe", false, 1, "", -1, -1},             // default is "1" exactly
      {"a.exe;1;+1;;+10;-1", "a.exe", true, 1, "", 10, -1},
      {"a.exe;0;2;;99999999999;5", "a.exe", false, 2, "", -1, 5}, // out of range is malformed
      {";1;1", "", true, 1, "", -1, -1},
  };
  for (const Case& c : cases) {
    TMSSQLini e("Name", c.value);
    EXPECT_EQ(e.Nazev, "Name");
    EXPECT_EQ(e.FileName, c.file) << c.value;
    EXPECT_EQ(e.Default, c.def) << c.value;
    EXPECT_EQ(e.Typ, c.typ) << c.value;
    EXPECT_EQ(e.FileSQLManStudio, c.studio) << c.value;
    EXPECT_EQ(e.WinVerMajor, c.major) << c.value;
    EXPECT_EQ(e.WinVerMinor, c.minor) << c.value;
  }
}

TEST(MSSQLIniTest, ArchitectureAndWindowsVersionFilters) {
  struct Case {
    const char* value;
    TWindowsFacts windows;
    bool suits;
  } cases[] = {
      {"x.exe;0;1", kWin10x64, true},
      {"x.exe;0;0", kWin10x64, false},   // a 32-bit edition is not offered on 64-bit Windows
      {"x.exe;0;0", kWin7x86, true},
      {"x.exe;0;1", kWin7x86, false},
      {"x.exe;0;x", kWin7x86, true},     // a type that is no number is a 32-bit entry
      {"x.exe;0;2", kWin10x64, false},
      {"x.exe;0;1;;10;0", kWin10x64, true},
      {"x.exe;0;1;;10;0", kWin81x64, false},
      {"x.exe;0;1;;6;3", kWin81x64, true},
      {"x.exe;0;1;;6;4", kWin81x64, false},
      {"x.exe;0;1;;6", kWin81x64, true},  // major alone: the minor is no limit
      {"x.exe;0;1;;5;9", kWin81x64, true},  // an older major: any minor
      {"x.exe;0;1;;11;0", kWin10x64, false},
      {"x.exe;0;1;;win;0", kWin10x64, true},  // not a number: no limit
      {"x.exe;0;1;;-1;7", kWin10x64, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(SuitsWindows(TMSSQLini("n", c.value), c.windows), c.suits)
        << c.value << " on " << c.windows.Major << "." << c.windows.Minor << (c.windows.Is64Bit ? " x64" : " x86");
}

TEST(MSSQLIniTest, OffersOnlyWhatSuitsAndTheLastDefaultWins) {
  std::string file =
      "[SQL]\r\n"
      "Express x64=SQLEXPR_x64.exe;1;1;;6;1\r\n"
      "Express x86=SQLEXPR_x86.exe;0;0\r\n";
  TMSSQLiniList l = ReadMSSQLIni(file, kWin10x64);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"Express x64"}));
  EXPECT_EQ(l.Selected, 0);
  EXPECT_EQ(l.Problem, "");

  l = ReadMSSQLIni(
      "[sql]\n"
      "First=a.exe;0;1\n"
      "Second=b.exe;1;1\n"
      "Hidden=c.exe;1;0\n"  // a default that is filtered out does not count
      "Third=d.exe;1;1\n"
      "Fourth=e.exe;0;1\n",
      kWin10x64);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"First", "Second", "Third", "Fourth"}));
  EXPECT_EQ(l.Selected, 2);

  l = ReadMSSQLIni("[SQL]\nA=a.exe;0;1\nB=b.exe;0;1\n", kWin10x64);
  EXPECT_EQ(l.Selected, 0) << "without a default the first entry is selected";
}

TEST(MSSQLIniTest, ParametersComeWholeFromParams) {
  TMSSQLiniList l = ReadMSSQLIni(
      "[Params]\n"
      "express=/Q /ACTION=Install /FEATURES=SQL;Tools /INSTANCENAME=VELMOR\n"
      "[SQL]\n"
      "Express=x.exe;1;1\n"
      "Other=y.exe;0;1\n",
      kWin10x64);
  ASSERT_EQ(l.Entries.size(), 2u);
  EXPECT_EQ(l.Entries[0].ParamSQL, "/Q /ACTION=Install /FEATURES=SQL;Tools /INSTANCENAME=VELMOR");
  EXPECT_EQ(l.Entries[1].ParamSQL, "");
}

TEST(MSSQLIniTest, SkippedLinesAreNotedForTheLog) {
  TMSSQLiniList l = ReadMSSQLIni(
      "[SQL]\n"
      "Empty=\n"
      "NoInstaller=;1;1\n"
      "Good=g.exe;0;1\n"
      "GOOD=other.exe;0;1\n"
      "Old=o.exe;0;0\n",
      kWin10x64);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"Good"}));
  ASSERT_EQ(l.Notes.size(), 3u);
  EXPECT_NE(l.Notes[0].find("NoInstaller"), std::string::npos);
  EXPECT_NE(l.Notes[1].find("GOOD"), std::string::npos);
  EXPECT_NE(l.Notes[2].find("64-bit, 10.0"), std::string::npos);
}

TEST(MSSQLIniTest, DamagedFilesEachGetAClearMessage) {
  SetCurrentLanguage(langEN);
  struct Case {
    const char* what;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"empty", "", "The file MSSQL.ini is empty"},
      {"blanks only", " \r\n\t\r\n", "The file MSSQL.ini is empty"},
      {"binary", std::string("PK\x03\x04\0\0[SQL]\nA=a.exe;0;1\n", 22), "is damaged (it is not a text file)"},
      {"an HTML page", "<html><body>404 Not Found</body></html>", "has no section [SQL]"},
      {"only Params", "[Params]\nA=/Q\n", "has no section [SQL]"},
      {"unterminated header", "[SQL\nA=a.exe;0;1\n", "has no section [SQL]"},
      {"empty section", "[SQL]\n; nothing yet\n", "names no edition"},
      {"values missing", "[SQL]\nA=\nB\n", "names no edition"},
      {"no installer names", "[SQL]\nA=;1;1\n", "names no edition"},
      {"none for this Windows", "[SQL]\nA=a.exe;1;0\nB=b.exe;0;1;;11;0\n", "is meant for this Windows (64-bit, 10.0)"},
  };
  for (const Case& c : cases) {
    TMSSQLiniList l = ReadMSSQLIni(c.bytes, kWin10x64);
    EXPECT_TRUE(l.Entries.empty()) << c.what;
    EXPECT_EQ(l.Selected, -1) << c.what;
    EXPECT_NE(l.Problem.find(c.message), std::string::npos) << c.what << ": " << l.Problem;
  }
  SetCurrentLanguage(langCZ);
}

TEST(MSSQLIniTest, ReadsUnicodeAndAnsiFiles) {
  // A UTF-16 file with its byte-order mark and an ANSI file with a Czech display name.
  std::u16string text = u"[SQL]\r\nExpress č=x.exe;1;1\r\n";
  std::string utf16 = "\xFF\xFE";
  for (char16_t c : text) {
    utf16.push_back(static_cast<char>(c & 0xFF));
    utf16.push_back(static_cast<char>(c >> 8));
  }
  TMSSQLiniList l = ReadMSSQLIni(utf16, kWin10x64);
  EXPECT_EQ(Names(l), (std::vector<std::string>{"Express č"}));
  // Without a byte-order mark the file is in the machine's ANSI code page.
  std::string ansi = platform::AnsiFromUtf8("Express č");
  l = ReadMSSQLIni("[SQL]\r\n" + ansi + "=x.exe;1;1\r\n", kWin10x64);
  EXPECT_EQ(Names(l), (std::vector<std::string>{platform::Utf8FromAnsi(ansi)}));
}

}  // namespace
