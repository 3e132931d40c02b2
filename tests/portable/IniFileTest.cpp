#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Text.h"
#include "setup/IniFile.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

std::string Utf16Le(const std::string& utf8, bool bom = true) {
  std::u16string w = platform::Utf16FromUtf8(utf8);
  std::string out = bom ? "\xFF\xFE" : "";
  for (char16_t c : w) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>(c >> 8));
  }
  return out;
}

class IniFileTest : public testing::Test {
 protected:
  TempFolder dir;
  TIniFile Ini(const std::string& bytes) { return TIniFile(dir.Write("test.ini", bytes)); }
};

// How lines read: the rules of the Windows profile functions.
TEST_F(IniFileTest, ReadsValuesByTheProfileRules) {
  TIniFile ini = Ini(
      "top=before any section\r\n"
      "  [Main]  \r\n"
      "Plain=value\r\n"
      "  Spaced   =   padded value \t \r\n"
      "Quoted=\"  kept inside  \"\r\n"
      "Single='x'\r\n"
      "Unbalanced=\"abc\r\n"
      "Mixed=\"abc'\r\n"
      "Inline=a ; not a comment\r\n"
      "Equals=a=b\r\n"
      "Empty=\r\n"
      "NoEquals\r\n"
      "; Comment=no\r\n"
      "Plain=second occurrence\r\n"
      "[Broken\r\n"
      "AfterBroken=still Main\r\n"
      "[ Spaced Name ]\r\n"
      "k=inner blanks are part of the name\r\n"
      "[MAIN]\r\n"
      "Plain=second section of the name\r\n"
      "Other=only in the second\r\n"
      "[Unix]\n"
      "lf=line feed only\n"
      "last=no final line break");
  struct Case { const char* section; const char* key; const char* expected; } cases[] = {
      {"Main", "Plain", "value"},
      {"main", "PLAIN", "value"},                     // names ignore case; the first key counts
      {"Main", "Spaced", "padded value"},
      {"Main", "Quoted", "  kept inside  "},
      {"Main", "Single", "x"},
      {"Main", "Unbalanced", "\"abc"},
      {"Main", "Mixed", "\"abc'"},
      {"Main", "Inline", "a ; not a comment"},
      {"Main", "Equals", "a=b"},
      {"Main", "Empty", ""},
      {"Main", "NoEquals", "<default>"},             // a key without value reads the default
      {"Main", "; Comment", "<default>"},
      {"Main", "[Broken", "<default>"},
      {"Main", "AfterBroken", "still Main"},         // a header without ']' starts no section
      {"Main", "Other", "<default>"},                // only the first section of a name is read
      {" Spaced Name ", "k", "inner blanks are part of the name"},
      {"Spaced Name", "k", "<default>"},
      {"Unix", "lf", "line feed only"},
      {"Unix", "last", "no final line break"},
      {"Missing", "Plain", "<default>"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ini.ReadString(c.section, c.key, "<default>"), c.expected) << c.section << "/" << c.key;
  EXPECT_TRUE(ini.ValueExists("Main", "NoEquals"));
  EXPECT_FALSE(ini.ValueExists("Main", "; Comment"));
  EXPECT_EQ(ini.ReadSection("main"),
            (std::vector<std::string>{"Plain", "Spaced", "Quoted", "Single", "Unbalanced", "Mixed", "Inline", "Equals",
                                      "Empty", "NoEquals", "Plain", "[Broken", "AfterBroken"}));
  EXPECT_EQ(ini.ReadSections(), (std::vector<std::string>{"Main", " Spaced Name ", "MAIN", "Unix"}));
}

TEST_F(IniFileTest, MissingFileReadsDefaults) {
  TIniFile ini(dir / "none.ini");
  EXPECT_EQ(ini.ReadString("A", "B", "d"), "d");
  EXPECT_EQ(ini.ReadInteger("A", "B", 7), 7);
  EXPECT_TRUE(ini.ReadBool("A", "B", true));
  EXPECT_FALSE(ini.SectionExists("A"));
  EXPECT_FALSE(ini.ValueExists("A", "B"));
  EXPECT_TRUE(ini.ReadSections().empty());
  ini.EraseSection("A");
  ini.DeleteKey("A", "B");
  EXPECT_FALSE(testing_support::Exists(dir / "none.ini")) << "removing nothing creates no file";
}

TEST_F(IniFileTest, SectionExistsNeedsAKey) {
  TIniFile ini = Ini("[Empty]\r\n; only a comment\r\n\r\n[Full]\r\nk=\r\n");
  EXPECT_FALSE(ini.SectionExists("Empty"));
  EXPECT_TRUE(ini.SectionExists("full"));
  EXPECT_TRUE(ini.ValueExists("FULL", "K"));
  EXPECT_FALSE(ini.ValueExists("Full", "k2"));
}

TEST_F(IniFileTest, ReadsIntegersAndBooleans) {
  struct Case { const char* text; int integer; bool boolean; } cases[] = {
      {"12", 12, true},
      {"  -5  ", -5, true},
      {"+7", 7, true},
      {"0", 0, false},
      {"0x1F", 31, true},
      {"0XfF", 255, true},
      {"$10", 16, true},
      {"0xFFFFFFFF", -1, true},
      {"2147483647", 2147483647, true},
      {"-2147483648", -2147483647 - 1, true},
      {"2147483648", 99, true},       // out of range: the default
      {"0x123456789", 99, true},
      {"12a", 99, true},
      {"1.5", 99, true},
      {"0x", 99, true},
      {"", 99, true},
      {"-", 99, true},
      {"true", 99, true},             // not a number: the default (99, which is not 0)
  };
  for (const Case& c : cases) {
    TIniFile ini = Ini(std::string("[S]\r\nk=") + c.text + "\r\n");
    EXPECT_EQ(ini.ReadInteger("S", "k", 99), c.integer) << c.text;
    EXPECT_EQ(ini.ReadBool("S", "k", true), c.boolean) << c.text;
  }
  TIniFile ini = Ini("[S]\r\nk=abc\r\n");
  EXPECT_FALSE(ini.ReadBool("S", "k", false));
}

// Files in the ANSI code page and with byte-order marks, all holding Czech letters.
TEST_F(IniFileTest, ReadsEveryEncodingWithCzechLetters) {
  const std::string text = "[Žluťoučký]\r\nKůň=Příliš žluťoučký kůň úpěl ďábelské ódy\r\n";
  std::string utf16be;
  for (char16_t c : u"\uFEFF" + platform::Utf16FromUtf8(text)) {
    utf16be.push_back(static_cast<char>(c >> 8));
    utf16be.push_back(static_cast<char>(c & 0xFF));
  }
  struct Case { const char* name; std::string bytes; TIniFile::TEncoding encoding; } cases[] = {
      {"ANSI", platform::AnsiFromUtf8(text), TIniFile::TEncoding::Ansi},
      {"UTF-16LE", Utf16Le(text), TIniFile::TEncoding::Utf16LE},
      {"UTF-16BE", utf16be, TIniFile::TEncoding::Utf16BE},
      {"UTF-8", "\xEF\xBB\xBF" + text, TIniFile::TEncoding::Utf8},
  };
  // The ANSI form is really Windows-1250: ž is 0x9E, ů is 0xF9.
  EXPECT_NE(cases[0].bytes.find("\x9E"), std::string::npos);
  EXPECT_NE(cases[0].bytes.find("\xF9"), std::string::npos);
  for (const Case& c : cases) {
    TIniFile ini = Ini(c.bytes);
    EXPECT_EQ(ini.Encoding(), c.encoding) << c.name;
    EXPECT_EQ(ini.ReadString("Žluťoučký", "Kůň", ""), "Příliš žluťoučký kůň úpěl ďábelské ódy") << c.name;
    // Names ignore the case of Czech letters too.
    EXPECT_EQ(ini.ReadString("ŽLUŤOUČKÝ", "KŮŇ", ""), "Příliš žluťoučký kůň úpěl ďábelské ódy") << c.name;
  }
}

TEST_F(IniFileTest, WritingKeepsEverythingElse) {
  std::string path = dir.Write("w.ini",
                               "; kit settings\r\n"
                               "[First]\r\n"
                               "A=1\r\n"
                               "  b = 2  \r\n"
                               "; trailing comment of First\r\n"
                               "\r\n"
                               "[Second]\r\n"
                               "C=3\r\n");
  TIniFile ini(path);
  ini.WriteString("first", "B", "changed");  // the key keeps its spelling
  ini.WriteString("First", "New", "added");  // after the section's last key
  ini.WriteInteger("Third", "N", -12);      // a new section at the end
  ini.WriteBool("Third", "Yes", true);
  ini.WriteBool("Third", "No", false);
  EXPECT_EQ(ReadFile(path),
            "; kit settings\r\n"
            "[First]\r\n"
            "A=1\r\n"
            "b=changed\r\n"
            "New=added\r\n"
            "; trailing comment of First\r\n"
            "\r\n"
            "[Second]\r\n"
            "C=3\r\n"
            "\r\n"
            "[Third]\r\n"
            "N=-12\r\n"
            "Yes=1\r\n"
            "No=0\r\n");
  EXPECT_EQ(ini.ReadInteger("Third", "N", 0), -12);
  EXPECT_TRUE(ini.ReadBool("Third", "Yes", false));

  ini.DeleteKey("FIRST", "a");
  ini.EraseSection("Second");
  EXPECT_EQ(ReadFile(path),
            "; kit settings\r\n"
            "[First]\r\n"
            "b=changed\r\n"
            "New=added\r\n"
            "; trailing comment of First\r\n"
            "\r\n"
            "[Third]\r\n"
            "N=-12\r\n"
            "Yes=1\r\n"
            "No=0\r\n");
}

TEST_F(IniFileTest, EraseSectionRemovesEveryOccurrence) {
  TIniFile ini = Ini("[A]\r\nx=1\r\n[B]\r\ny=2\r\n[a]\r\nz=3\r\n");
  ini.EraseSection("A");
  EXPECT_EQ(ReadFile(ini.FileName()), "[B]\r\ny=2\r\n");
  ini.WriteString("A", "x", "new");
  EXPECT_EQ(ini.ReadString("A", "z", "gone"), "gone");
}

TEST_F(IniFileTest, NewFileIsAnsiAndKeepsCzechLetters) {
  TIniFile ini(dir / "new.ini");
  ini.WriteString("Sekce", "Název", "Účetnictví");
  EXPECT_EQ(ini.Encoding(), TIniFile::TEncoding::Ansi);
  EXPECT_EQ(ReadFile(ini.FileName()), platform::AnsiFromUtf8("[Sekce]\r\nNázev=Účetnictví\r\n"));
  EXPECT_EQ(ini.ReadString("SEKCE", "NÁZEV", ""), "Účetnictví");
}

TEST_F(IniFileTest, WritingKeepsTheFilesEncoding) {
  TIniFile utf16 = Ini(Utf16Le("[S]\r\nk=v\r\n"));
  utf16.WriteString("S", "Jméno", "Šárka");
  EXPECT_EQ(ReadFile(utf16.FileName()), Utf16Le("[S]\r\nk=v\r\nJméno=Šárka\r\n"));

  TIniFile utf8 = Ini("\xEF\xBB\xBF[S]\r\n");
  utf8.WriteString("S", "k", "ř");
  EXPECT_EQ(ReadFile(utf8.FileName()), "\xEF\xBB\xBF[S]\r\nk=ř\r\n");
}

// A letter the ANSI code page cannot hold would turn into '?': the file becomes UTF-16 instead.
TEST_F(IniFileTest, LetterOutsideTheCodePageSwitchesToUtf16) {
  TIniFile ini = Ini(platform::AnsiFromUtf8("[S]\r\nčeský=ano\r\n"));
  ini.WriteString("S", "russian", "Жук");
  EXPECT_EQ(ini.Encoding(), TIniFile::TEncoding::Utf16LE);
  EXPECT_EQ(ini.ReadString("S", "russian", ""), "Жук");
  EXPECT_EQ(ini.ReadString("S", "ČESKÝ", ""), "ano");
}

TEST_F(IniFileTest, RejectsWritesThatWouldBreakTheFile) {
  const std::string before = "[S]\r\nk=v\r\n";
  TIniFile ini = Ini(before);
  struct Case { const char* section; const char* key; const char* value; } cases[] = {
      {"S", "k", "two\r\nlines"},
      {"S", "k", "injected\n[Other]"},
      {"S", "a=b", "v"},
      {"S", "", "v"},
      {"S", ";comment", "v"},
      {"S", "[x", "v"},
      {"A]B", "k", "v"},
      {"", "k", "v"},
      {"S\n", "k", "v"},
  };
  for (const Case& c : cases) {
    EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), EIniFileException) << c.section << "/" << c.key;
    EXPECT_EQ(ReadFile(ini.FileName()), before);
  }
  TIniFile nowhere(dir / "no/such/folder/x.ini");
  EXPECT_THROW(nowhere.WriteString("S", "k", "v"), EIniFileException);
}

}  // namespace

namespace {

// Bytes read once, by the same rules as the file (a downloaded file cannot change between reads).
TEST(MemIniFileTest, ReadsBytesAndFilesByTheFileRules) {
  const std::string text = "; comment\r\n[Server]\r\nName = \"quoted\"\r\nPort=0x1F\r\n[server]\r\nName=later\r\nx=1\r\n";
  testing_support::TempFolder dir;
  std::string path = dir.Write("a.ini", text);
  TMemIniFile fromBytes(text);
  TMemIniFile fromFile = TMemIniFile::FromFile(path);
  for (const TMemIniFile* ini : {&fromBytes, &fromFile}) {
    EXPECT_EQ(ini->ReadString("SERVER", "name", "-"), "quoted");
    EXPECT_EQ(ini->ReadInteger("Server", "Port", 0), 31);
    EXPECT_EQ(ini->ReadString("Server", "x", "-"), "-") << "a later section of the same name is never read";
    EXPECT_EQ(ini->ReadSections(), (std::vector<std::string>{"Server", "server"}));
    EXPECT_TRUE(ini->SectionExists("server"));
    EXPECT_FALSE(ini->ValueExists("Other", "x"));
  }
  EXPECT_TRUE(TMemIniFile::FromFile(dir / "missing.ini").ReadSections().empty());
}

}  // namespace
