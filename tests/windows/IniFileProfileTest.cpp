// TIniFile against the system's own profile functions: the same file must read the same.
#include <windows.h>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "setup/IniFile.h"

namespace {

using platform::win32::Utf8;
using platform::win32::Wide;

std::string ProfileString(const std::string& file, const std::string& section, const std::string& key) {
  wchar_t buf[4096];
  GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), L"<default>", buf, 4096, Wide(file).c_str());
  return Utf8(buf);
}

const char* const kLines =
    "top=before any section\r\n"
    "  [Main]  \r\n"
    "Plain=value\r\n"
    "  Spaced   =   padded value \t \r\n"
    "Quoted=\"  kept inside  \"\r\n"
    "Single='x'\r\n"
    "Unbalanced=\"abc\r\n"
    "Inline=a ; not a comment\r\n"
    "Equals=a=b\r\n"
    "Empty=\r\n"
    "; Comment=no\r\n"
    "Plain=second occurrence\r\n"
    "AfterComment=yes\r\n"
    "[Žluťoučký kůň]\r\n"
    "Úpěl=ďábelské ódy\r\n"
    "[MAIN]\r\n"
    "Other=only in the second\r\n"
    "[Unix]\n"
    "lf=line feed only\n"
    "last=no final line break";

// Two lookups are left out on purpose: Wine's profile functions fold only ASCII letters (Windows
// and TIniFile fold Czech ones too), and Wine finds a "key" named like a comment line, which
// TIniFile treats as a comment.
struct Key { const char* section; const char* key; };
const Key kKeys[] = {
    {"Main", "Plain"},  {"main", "PLAIN"},   {"Main", "Spaced"},       {"Main", "Quoted"},
    {"Main", "Single"}, {"Main", "Unbalanced"}, {"Main", "Inline"},    {"Main", "Equals"},
    {"Main", "Empty"},  {"Main", "AfterComment"}, {"Main", "Other"},
    {"Žluťoučký kůň", "Úpěl"}, {"Unix", "lf"}, {"Unix", "last"}, {"Missing", "x"},
};

TEST(IniFileProfileTest, ReadsLikeTheProfileFunctionsInEveryEncoding) {
  testing_support::TempFolder dir;
  std::u16string w = u"\uFEFF" + platform::Utf16FromUtf8(kLines);
  std::string utf16(reinterpret_cast<const char*>(w.data()), w.size() * 2);
  struct File { const char* what; std::string bytes; } files[] = {
      {"ANSI", platform::AnsiFromUtf8(kLines)},
      {"UTF-16LE", utf16},
  };
  for (const File& f : files) {
    std::string path = dir.Write(std::string("p-") + f.what + ".ini", f.bytes);
    TIniFile ini(path);
    for (const Key& k : kKeys)
      EXPECT_EQ(ini.ReadString(k.section, k.key, "<default>"), ProfileString(path, k.section, k.key))
          << f.what << ": " << k.section << "/" << k.key;
  }
}

TEST(IniFileProfileTest, WhatEitherWritesTheOtherReads) {
  testing_support::TempFolder dir;
  std::string ours = dir / "ours.ini";
  TIniFile ini(ours);
  ini.WriteString("Sekce", "Název", "Účetnictví s.r.o.");
  ini.WriteInteger("Sekce", "Číslo", -42);
  ini.WriteString("Druhá", "k", "v");
  ini.WriteString("sekce", "název", "přepsáno");
  EXPECT_EQ(ProfileString(ours, "SEKCE", "Název"), "přepsáno");
  EXPECT_EQ(GetPrivateProfileIntW(L"Sekce", Wide("Číslo").c_str(), 0, Wide(ours).c_str()), static_cast<UINT>(-42));
  EXPECT_EQ(ProfileString(ours, "Druhá", "k"), "v");

  std::string theirs = dir / "theirs.ini";
  ASSERT_TRUE(WritePrivateProfileStringW(L"Velmor1", L"URL", L"https://example.cz/setup.dat;Default", Wide(theirs).c_str()));
  ASSERT_TRUE(WritePrivateProfileStringW(Wide("Šablona").c_str(), Wide("Jméno").c_str(), Wide("Žárovka").c_str(),
                                         Wide(theirs).c_str()));
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, Wide(theirs).c_str());  // flush the cache
  TIniFile back(theirs);
  EXPECT_EQ(back.ReadString("velmor1", "url", ""), "https://example.cz/setup.dat;Default");
  EXPECT_EQ(back.ReadString("ŠABLONA", "JMÉNO", ""), "Žárovka");
}

}  // namespace
