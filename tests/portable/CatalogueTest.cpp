#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "platform/Text.h"
#include "support/Catalogue.h"

namespace {

const char* const LanguageNames[] = {"CZ", "EN", "DE", "SK"};

// Restores the interface language a test changed, so tests stay independent of each other.
class LanguageGuard {
 public:
  LanguageGuard() : FSaved(CurrentLanguage()) {}
  ~LanguageGuard() { SetCurrentLanguage(FSaved); }

 private:
  TLanguage FSaved;
};

const TMessage& Entry(int number) { return *MessageCatalogue.at(static_cast<size_t>(number - 1)); }

int CountOf(std::string_view text, std::string_view what) {
  int n = 0;
  for (size_t at = text.find(what); at != std::string_view::npos; at = text.find(what, at + what.size())) ++n;
  return n;
}

struct LineBreaks {
  int pairs = 0;     // line feed followed by carriage return
  int loneCR = 0;    // carriage return not preceded by a line feed
  int loneLF = 0;    // line feed not followed by a carriage return
  bool operator==(const LineBreaks&) const = default;
};

LineBreaks BreaksOf(std::string_view t) {
  LineBreaks b;
  for (size_t i = 0; i < t.size(); ++i) {
    if (t[i] == '\n') {
      if (i + 1 < t.size() && t[i + 1] == '\r') {
        ++b.pairs;
        ++i;
      } else {
        ++b.loneLF;
      }
    } else if (t[i] == '\r') {
      ++b.loneCR;
    }
  }
  return b;
}

size_t LeadingSpaces(std::string_view t) {
  size_t n = 0;
  while (n < t.size() && t[n] == ' ') ++n;
  return n;
}

size_t TrailingSpaces(std::string_view t) {
  size_t n = 0;
  while (n < t.size() && t[t.size() - 1 - n] == ' ') ++n;
  return n;
}

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool ValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    int extra;
    unsigned min;
    unsigned cp;
    if (c < 0x80) { ++i; continue; }
    if ((c & 0xE0) == 0xC0) { extra = 1; min = 0x80; cp = c & 0x1F; }
    else if ((c & 0xF0) == 0xE0) { extra = 2; min = 0x800; cp = c & 0x0F; }
    else if ((c & 0xF8) == 0xF0) { extra = 3; min = 0x10000; cp = c & 0x07; }
    else return false;
    if (i + static_cast<size_t>(extra) >= s.size()) return false;
    for (int k = 1; k <= extra; ++k) {
      unsigned char d = static_cast<unsigned char>(s[i + static_cast<size_t>(k)]);
      if ((d & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (d & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += static_cast<size_t>(extra) + 1;
  }
  return true;
}

// The entries whose four texts are fixed by the product, with their numbers.
struct GivenEntry {
  int number;
  const char* texts[4];  // CZ, EN, DE, SK
};
const GivenEntry GivenEntries[] = {
    {4, {"Nedostatek volného místa na disku.\n\rPožadované místo : %s MB", "Not enought disk space\n\rRequired space: %s MB",
         "Unzureichender Speicherplatz.\n\rVerlangter Speicherplatz : %s MB",
         "Nedostatok voľného miesta na disku.\n\rPožadované miesto: %s MB"}},
    {18, {"Instalace", "Installation", "Installation", "Inštalácia"}},
    {24, {"instalace", "installation", "Installation", "inštalácia"}},
    {30, {"FileName", "FileName", "Dateiname", "FileName"}},
    {41, {"Další", "Next", "Weiter", "Ďalší"}},
    {42, {"Zpět", "Previous", "Zurück", "Späť"}},
    {43, {"OK", "OK", "OK", "OK"}},
    {44, {"Zpět", "Back", "Rückwärts", "Späť"}},
    {45, {"Přerušit", "Terminate", "Beenden", "Prerušiť"}},
    {47, {"Dokončit", "Close", "Schließen", "Dokončiť"}},
    {48, {"Předčasné ukončení aplikace", "Terminate", "Beenden", "Predčasné ukončenie aplikácie"}},
    {111, {"Instalace systému %s byla úspěšně dokončena", "%s system has been successfully installed",
           "System %s wurde erfolgreich installiert", "Inštalácia systému %s bola úspešne dokončená"}},
    {128, {"Volba jazyka", "Language selection", "Sprachenauswahl", "Výber jazyka"}},
    {138, {"&Ano", "&Yes", "&Ja", "&Ano"}},
    {139, {"&Ne", "&No", "&Nein", "&Nie"}},
    {140, {"Varování", "Warning", "Warnung", "Varovanie"}},
    {141, {"Informace", "Information", "Informationen", "informácie"}},
    {142, {"Dotaz", "Question", "Anfrage", "Dotaz"}},
    {143, {"Chyba", "Error", "Fehler", "Chyba"}},
    {144, {"Info", "Info", "Info", "Info"}},
    {145, {"HOT-LINE telefon :", "HOT-LINE phone :", "HOT-LINE telefon :", "HOT-LINE telefón :"}},
    {148, {"Příručka :", "Manual :", "Handbuch :", "Príručka :"}},
};

TEST(CatalogueOrder, EntriesGivenInFourLanguagesSitAtTheirNumbersWithExactTexts) {
  ASSERT_EQ(MessageCatalogue.size(), 149u);
  for (const auto& given : GivenEntries)
    for (size_t lang = 0; lang < 4; ++lang)
      EXPECT_STREQ(Entry(given.number)[lang], given.texts[lang])
          << "entry " << given.number << " " << LanguageNames[lang];
}

TEST(CatalogueOrder, EnglishTextsAtBoundariesAndAroundSharedWordings) {
  struct Case { int number; const char* english; } cases[] = {
      {1, "Error Code"},
      {2, "Download file \"%s\""},
      {13, "Unknown version"},
      {82, "Unknown version"},
      {70, "Installation"},
      {102, "Installation"},
      {75, " Installation was interrupted. \n\r Restore the original version from backup"},
      {80, "%s"},
      {95, "Data of VELMOR system are stored in a SQL database. \rThe installation requires you to determine which "
           "Microsoft SQL Server \ryou want to use. You have the following choices:"},
      {116, "Searching for instance of Microsoft SQL Server on the network."},
      {117, "Searching for instance of MSSQL Server on the network.\n\r Found %s servers."},
      {120, "Configure Microsoft SQL Server"},
      {127, "Configure Microsoft SQL Server"},
      {137, "Initializing ......"},
      {146, "HOT-LINE e-mail :"},
      {149, "Web :"},
  };
  for (const auto& c : cases) EXPECT_STREQ(Entry(c.number)[langEN], c.english) << "entry " << c.number;
}

TEST(CatalogueOrder, NamedConstantsAreTheEntriesOfTheList) {
  EXPECT_EQ(&Entry(1), &msgErrorCode);
  EXPECT_EQ(&Entry(45), &msgTerminate);
  EXPECT_EQ(&Entry(48), &msgTerminateApplication);
  EXPECT_EQ(&Entry(127), &msgConfigureMSSQLHeading);
  EXPECT_EQ(&Entry(149), &msgWeb);
  std::set<const TMessage*> distinct(MessageCatalogue.begin(), MessageCatalogue.end());
  EXPECT_EQ(distinct.size(), MessageCatalogue.size()) << "an entry is listed twice";
}

// Every language keeps what the callers and the dialogs rely on: the argument places, the line
// structure and the indent spaces of the English text.
TEST(CatalogueTexts, EveryLanguageKeepsPlacesLineBreaksAndSpacesOfEnglish) {
  for (int n = 1; n <= 149; ++n) {
    const TMessage& e = Entry(n);
    std::string_view en = e[langEN];
    for (size_t lang = 0; lang < 4; ++lang) {
      std::string_view t = e[lang];
      SCOPED_TRACE(testing::Message() << "entry " << n << " " << LanguageNames[lang] << ": \"" << t << "\"");
      ASSERT_NE(e[lang], nullptr);
      EXPECT_FALSE(t.empty());
      EXPECT_TRUE(ValidUtf8(t));
      EXPECT_EQ(CountOf(t, "%s"), CountOf(en, "%s"));
      EXPECT_EQ(CountOf(t, "%"), CountOf(en, "%")) << "a percent sign that is not an argument place";
      EXPECT_TRUE(BreaksOf(t) == BreaksOf(en)) << "line breaks differ from English";
      EXPECT_EQ(BreaksOf(t).loneLF, 0);
      EXPECT_EQ(LeadingSpaces(t), LeadingSpaces(en));
      EXPECT_EQ(TrailingSpaces(t), TrailingSpaces(en));
      EXPECT_EQ(t.find('\t'), std::string_view::npos);
    }
  }
}

// The log and Velmor.INI are written in the ANSI code page (1250 on Czech systems): no letter of
// any language may turn into a replacement character there.
TEST(CatalogueTexts, EveryTextSurvivesTheAnsiCodePage) {
  for (int n = 1; n <= 149; ++n)
    for (size_t lang = 0; lang < 4; ++lang) {
      std::string_view t = Entry(n)[lang];
      EXPECT_EQ(platform::Utf8FromAnsi(platform::AnsiFromUtf8(t)), t)
          << "entry " << n << " " << LanguageNames[lang];
    }
}

TEST(CatalogueTexts, AnsiCodePageHoldsTheLettersOfAllFourLanguages) {
  const std::string letters = "čřžšěůúíáéýďťňČŘŽŠĚŮÚÍÁÉÝĎŤŇľĺŕôäĽĹŔÔÄöüßÖÜ";
  std::string ansi = platform::AnsiFromUtf8(letters);
  EXPECT_EQ(ansi.size(), platform::Utf16FromUtf8(letters).size()) << "one byte per letter";
  EXPECT_EQ(platform::Utf8FromAnsi(ansi), letters);
}

// A text left in English where a translation belongs is a fault; these are the same in the
// language by nature (names, "OK", a lone argument place).
TEST(CatalogueTexts, EveryLanguageIsTranslatedExceptWordsThatStayTheSame) {
  const std::set<int> sameInCzechAndSlovak = {30, 43, 80, 144, 146, 149};
  const std::set<int> sameInGerman = {18, 43, 70, 80, 102, 144, 149};
  for (int n = 1; n <= 149; ++n) {
    const TMessage& e = Entry(n);
    for (TLanguage lang : {langCZ, langSK})
      EXPECT_EQ(std::strcmp(e[lang], e[langEN]) == 0, sameInCzechAndSlovak.count(n) == 1)
          << "entry " << n << " " << LanguageNames[lang] << ": \"" << e[lang] << "\"";
    EXPECT_EQ(std::strcmp(e[langDE], e[langEN]) == 0, sameInGerman.count(n) == 1)
        << "entry " << n << " DE: \"" << e[langDE] << "\"";
  }
}

// Letters that belong to one language only must not turn up in another (a Slovak word in the
// Czech text, a Czech letter in the German one).
TEST(CatalogueTexts, LettersBelongToTheirLanguage) {
  struct Case { TLanguage language; std::vector<std::string> foreign; } cases[] = {
      {langCZ, {"ľ", "ĺ", "ŕ", "ô", "ä", "ö", "ü", "ß", "Ľ", "Ô"}},
      {langSK, {"ř", "ů", "ě", "Ř", "Ů", "Ě", "ö", "ü", "ß"}},
      {langDE, {"č", "ř", "ž", "š", "ě", "ů", "ý", "í", "á", "é", "ú", "ľ", "ô", "ň", "ť", "ď"}},
      {langEN, {"\xC3", "\xC4", "\xC5"}},  // English is plain ASCII
  };
  for (const auto& c : cases)
    for (int n = 1; n <= 149; ++n)
      for (const auto& letter : c.foreign)
        EXPECT_EQ(std::string_view(Entry(n)[c.language]).find(letter), std::string_view::npos)
            << "entry " << n << " " << LanguageNames[c.language] << " holds " << letter << ": \""
            << Entry(n)[c.language] << "\"";
}

// The program's own texts beyond the numbered entries keep the rules of the entries: the places,
// line breaks and spaces of English in every language, letters the ANSI code page holds and that
// belong to the language, and a translation in each.
TEST(CatalogueTexts, ProgramsOwnTextsKeepTheRulesOfTheEntries) {
  struct Own { const char* name; const TMessage& text; } own[] = {
      {"msgPackageFailed", msgPackageFailed},
      {"msgFilesInUse", msgFilesInUse},
      {"msgRetry", msgRetry},
      {"msgCancel", msgCancel},
      {"msgTargetNotInstallationFolder", msgTargetNotInstallationFolder},
      {"msgFolderNotEmpty", msgFolderNotEmpty},
      {"msgPackagesNotInstalled", msgPackagesNotInstalled},
      {"msgRestoreFilesLeft", msgRestoreFilesLeft},
      {"msgRestoreMoreFilesLeft", msgRestoreMoreFilesLeft},
      {"msgPackageHashMismatch", msgPackageHashMismatch},
      {"msgPackageHashUnreadable", msgPackageHashUnreadable},
      {"msgDefinitionFileNotLoaded", msgDefinitionFileNotLoaded},
      {"msgIndexWithoutVersions", msgIndexWithoutVersions},
      {"msgIndexUnreadable", msgIndexUnreadable},
      {"msgIndexTooLarge", msgIndexTooLarge},
      {"msgIndexNoFirstVersion", msgIndexNoFirstVersion},
      {"msgNetworkScanFailed", msgNetworkScanFailed},
      {"msgMSSQLIniEmpty", msgMSSQLIniEmpty},
      {"msgMSSQLIniNotText", msgMSSQLIniNotText},
      {"msgMSSQLIniNoSection", msgMSSQLIniNoSection},
      {"msgMSSQLIniNoEntry", msgMSSQLIniNoEntry},
      {"msgMSSQLIniNoneSuits", msgMSSQLIniNoneSuits},
      {"msgRestartNeededAfterMSSQL", msgRestartNeededAfterMSSQL},
      {"msgWindowsRestarting", msgWindowsRestarting},
      {"msgReplaceVelmorIni", msgReplaceVelmorIni},
      {"msgUnknownArgument", msgUnknownArgument},
      {"msgArgumentWithoutValue", msgArgumentWithoutValue},
      {"msgArgumentTwice", msgArgumentTwice},
      {"msgIndexOrSetupDat", msgIndexOrSetupDat},
      {"msgSwitchTakesNoValue", msgSwitchTakesNoValue},
      {"msgSqlServerOrSqlNew", msgSqlServerOrSqlNew},
      {"msgWrongInstallType", msgWrongInstallType},
      {"msgWrongLanguage", msgWrongLanguage},
      {"msgNeedsUnattended", msgNeedsUnattended},
      {"msgLogFileNotWritable", msgLogFileNotWritable},
      {"msgUsageHeading", msgUsageHeading},
      {"msgUsageExitCodes", msgUsageExitCodes},
  };
  const std::vector<std::string> foreign[4] = {
      {"ľ", "ĺ", "ŕ", "ô", "ä", "ö", "ü", "ß", "Ľ", "Ô"},
      {"\xC3", "\xC4", "\xC5"},
      {"č", "ř", "ž", "š", "ě", "ů", "ý", "í", "á", "é", "ú", "ľ", "ô", "ň", "ť", "ď"},
      {"ř", "ů", "ě", "Ř", "Ů", "Ě", "ö", "ü", "ß"},
  };
  std::set<const TMessage*> numbered(MessageCatalogue.begin(), MessageCatalogue.end());
  for (const Own& o : own) {
    EXPECT_EQ(numbered.count(&o.text), 0u) << o.name << " is a numbered entry";
    std::string_view en = o.text[langEN];
    for (size_t lang = 0; lang < 4; ++lang) {
      ASSERT_NE(o.text[lang], nullptr) << o.name;
      std::string_view t = o.text[lang];
      SCOPED_TRACE(testing::Message() << o.name << " " << LanguageNames[lang] << ": \"" << t << "\"");
      EXPECT_FALSE(t.empty());
      EXPECT_TRUE(ValidUtf8(t));
      EXPECT_EQ(CountOf(t, "%s"), CountOf(en, "%s"));
      EXPECT_EQ(CountOf(t, "%"), CountOf(en, "%"));
      EXPECT_TRUE(BreaksOf(t) == BreaksOf(en)) << "line breaks differ from English";
      EXPECT_EQ(BreaksOf(t).loneLF, 0);
      EXPECT_EQ(LeadingSpaces(t), LeadingSpaces(en));
      EXPECT_EQ(TrailingSpaces(t), TrailingSpaces(en));
      EXPECT_EQ(platform::Utf8FromAnsi(platform::AnsiFromUtf8(t)), t) << "lost in the ANSI code page";
      for (const std::string& letter : foreign[lang])
        EXPECT_EQ(t.find(letter), std::string_view::npos) << "holds " << letter;
      if (lang != langEN) EXPECT_NE(t, en) << "left in English";
    }
  }
}

TEST(CatalogueTexts, EntriesSharingEnglishAreSeparate) {
  // "Installation" as a caption and as a heading is the same word in every language.
  for (size_t lang = 0; lang < 4; ++lang) EXPECT_STREQ(Entry(18)[lang], Entry(102)[lang]);

  // The two "Terminate" entries: the button stops, the other ends the program.
  EXPECT_STREQ(msgTerminate[langEN], msgTerminateApplication[langEN]);
  EXPECT_STRNE(msgTerminate[langCZ], msgTerminateApplication[langCZ]);
  EXPECT_STREQ(msgTerminateApplication[langCZ], "Předčasné ukončení aplikace");
  EXPECT_NE(&msgInstallation, &msgInstallationHeading);
}

TEST(CatalogueLookup, MsgReadsTheLanguageCurrentAtUse) {
  LanguageGuard guard;
  ASSERT_TRUE(SetCurrentLanguage(langCZ));
  std::string before = Msg(msgNext);
  ASSERT_TRUE(SetCurrentLanguage(langSK));
  EXPECT_EQ(before, "Další");  // what was fetched stays as it was
  EXPECT_EQ(Msg(msgNext), "Ďalší");
  ASSERT_TRUE(SetCurrentLanguage(langDE));
  EXPECT_EQ(Msg(msgNext), "Weiter");
  EXPECT_EQ(CurrentLanguage(), langDE);
  ASSERT_TRUE(SetCurrentLanguage(langEN));
  EXPECT_EQ(Msg(msgClose), "Close");
}

TEST(CatalogueLookup, InvalidLanguageIsRefusedAndKeepsTheCurrentOne) {
  LanguageGuard guard;
  ASSERT_TRUE(SetCurrentLanguage(langSK));
  EXPECT_FALSE(SetCurrentLanguage(4));
  EXPECT_FALSE(SetCurrentLanguage(255));
  EXPECT_EQ(CurrentLanguage(), langSK);
  EXPECT_EQ(MsgIn(msgNext, 200), "Další");
}

TEST(CatalogueLookup, FormatMsgFillsTheCurrentLanguage) {
  LanguageGuard guard;
  SetCurrentLanguage(langDE);
  EXPECT_EQ(FormatMsg(msgSystemInstalledSuccessfully, "Velmor Kest"), "System Velmor Kest wurde erfolgreich installiert");
  SetCurrentLanguage(langCZ);
  EXPECT_EQ(FormatMsg(msgNotEnoughDiskSpace, std::string("120")),
            "Nedostatek volného místa na disku.\n\rPožadované místo : 120 MB");
  SetCurrentLanguage(langEN);
  EXPECT_EQ(FormatMsg(msgPlainText, "100% sure, %s stays"), "100% sure, %s stays") << "arguments are not re-read";
}

TEST(CatalogueFormat, PlacesPercentsAndArgumentCountMismatches) {
  struct Case {
    const char* text;
    std::initializer_list<std::string_view> args;
    const char* expected;
  } cases[] = {
      {"Found %s servers.", {"3"}, "Found 3 servers."},
      {"%s", {"x"}, "x"},
      {"%s%s", {"a", "b"}, "ab"},
      {"no places", {}, "no places"},
      {"no places", {"surplus"}, "no places"},
      {"a %s and %s", {"one"}, "a one and "},       // missing argument: empty
      {"%s", {}, ""},
      {"one %s", {"1", "2", "3"}, "one 1"},         // surplus arguments ignored
      {"100%% done", {}, "100% done"},
      {"%%s is literal", {"x"}, "%s is literal"},
      {"50% off", {}, "50% off"},                   // a sign before anything else stays
      {"%d %x %", {"x"}, "%d %x %"},                // other specifiers are not ours: kept as written
      {"trailing %", {}, "trailing %"},
      {"%%%s", {"v"}, "%v"},
      {"", {"x"}, ""},
      {"Chyba: %s", {"Čeština ß"}, "Chyba: Čeština ß"},
      {"\n\r%s\r", {"x"}, "\n\rx\r"},
  };
  for (const auto& c : cases) EXPECT_EQ(Format(c.text, c.args), c.expected) << "text \"" << c.text << "\"";
}

TEST(CatalogueFormat, ArgumentsWithEmbeddedZerosAndPercentsAreCopiedAsTheyAre) {
  std::string withZero("a\0b", 3);
  EXPECT_EQ(Format("[%s]", {withZero}), std::string("[a\0b]", 5));
  EXPECT_EQ(Format("%s|%s", {"%s", "%%"}), "%s|%%");
}

TEST(LanguagePage, ItemsAreTheProductsCaptionsInListOrder) {
  ASSERT_EQ(LanguageItems.size(), 4u);
  EXPECT_STREQ(LanguageItems[0], "   Čeština");
  EXPECT_STREQ(LanguageItems[1], "   Slovenčina");
  EXPECT_STREQ(LanguageItems[2], "   English");
  EXPECT_STREQ(LanguageItems[3], "   Deutsch");
}

TEST(LanguagePage, InstallLangChoosesItemAndLanguage) {
  struct Case { const char* code; int item; TLanguage language; } cases[] = {
      {"CZ", 0, langCZ}, {"SK", 1, langSK}, {"EN", 2, langEN}, {"DE", 3, langDE},
      {"cz", 0, langCZ}, {"sk", 1, langSK}, {"en", 2, langEN}, {"dE", 3, langDE},
      {"", 0, langCZ},   {"PL", 0, langCZ}, {"EN ", 0, langCZ}, {" EN", 0, langCZ},
      {"ENG", 0, langCZ}, {"E", 0, langCZ}, {"Čz", 0, langCZ},
  };
  for (const auto& c : cases) {
    TLanguageChoice choice = LanguageFromInstallLang(c.code);
    EXPECT_EQ(choice.Item, c.item) << "\"" << c.code << "\"";
    EXPECT_EQ(choice.Language, c.language) << "\"" << c.code << "\"";
  }
}

TEST(LanguagePage, ItemsMapToLanguagesAndBack) {
  struct Case { int item; TLanguage language; } cases[] = {{0, langCZ}, {1, langSK}, {2, langEN}, {3, langDE}};
  for (const auto& c : cases) {
    EXPECT_EQ(LanguageOfItem(c.item), c.language) << "item " << c.item;
    EXPECT_EQ(ItemOfLanguage(c.language), c.item) << "language " << int(c.language);
  }
  EXPECT_EQ(LanguageOfItem(-1), std::nullopt) << "no item selected: nothing happens";
  EXPECT_EQ(LanguageOfItem(4), std::nullopt);
  EXPECT_EQ(ItemOfLanguage(9), 0);
}

TEST(PageHeadingTable, PagesInComparisonOrderWithTheirHeadings) {
  struct Case { const char* page; const TMessage* heading; } expected[] = {
      {"tsSQL", &msgMSSQLSetting},
      {"tsSQLVolba", &Entry(127)},
      {"tsJazyk", &msgLanguageSelection},
      {"tsSQLInstall", &msgInstallingMSSQL},
      {"tsZaloha", &msgCreatingBackup},
      {"tsVolbaSW", &msgSelectVersion},
      {"tsCopyFiles", &msgCopyingFiles},
      {"tsUkonceni", &msgCompletingInstallation},
      {"tsObnova", &msgRestoringPreviousInstallation},
      {"tsSQLNet", &msgNetworkInstanceSettings},
  };
  ASSERT_EQ(PageHeadings.size(), std::size(expected));
  for (size_t i = 0; i < PageHeadings.size(); ++i) {
    EXPECT_STREQ(PageHeadings[i].Page, expected[i].page);
    EXPECT_EQ(PageHeadings[i].Heading, expected[i].heading) << expected[i].page;
    EXPECT_EQ(PageHeadingOf(expected[i].page), expected[i].heading);
  }
  EXPECT_STREQ(msgMSSQLSetting[langEN], "Microsoft SQL Server Setting");
  EXPECT_STREQ(msgNetworkInstanceSettings[langEN], "Network instance connection settings of MSSQL Server");
  EXPECT_STREQ(msgLanguageSelection[langSK], "Výber jazyka");
}

TEST(PageHeadingTable, PagesWithoutHeadingAreNotListed) {
  for (const char* page : {"tsAdresar", "tsSQLLocal", "", "tssql"}) EXPECT_EQ(PageHeadingOf(page), nullptr) << page;
}

}  // namespace

namespace {

std::vector<const TControlText*> RowsOf(std::string_view control) {
  std::vector<const TControlText*> rows;
  for (const auto& row : LanguageControlTexts)
    if (control == row.Control) rows.push_back(&row);
  return rows;
}

TEST(LanguageControlTable, SpecialRowsAndTheEntriesThatShareEnglish) {
  EXPECT_STREQ(LanguageControlTexts.front().Control, "lblPopisSQL");
  EXPECT_EQ(LanguageControlTexts.front().Kind, TControlTextKind::FormattedCaption);
  EXPECT_STREQ(LanguageControlTexts.back().Control, "labWeb");

  for (const char* group : {"rgVolbaDB", "rgVolbaDBNet"}) {
    auto rows = RowsOf(group);
    ASSERT_EQ(rows.size(), 1u) << group;
    EXPECT_EQ(rows[0]->Kind, TControlTextKind::DatabaseOptions);
  }
  auto label1 = RowsOf("Label1");
  ASSERT_EQ(label1.size(), 1u);
  EXPECT_EQ(label1[0]->Kind, TControlTextKind::ProductInstalled);
  EXPECT_EQ(label1[0]->Text, &msgSystemInstalledSuccessfully);

  EXPECT_EQ(RowsOf("lblNameDBNet").size(), 2u) << "written twice";
  ASSERT_EQ(RowsOf("btnStop").size(), 1u);
  EXPECT_EQ(RowsOf("btnStop")[0]->Text, &Entry(45)) << "the stop button, not the program's end";
  EXPECT_EQ(RowsOf("btnNext").size(), 0u) << "Next's caption belongs to the page";
  EXPECT_EQ(RowsOf("lblVerze").size(), 0u) << "written by the directory check";

  for (const auto& row : LanguageControlTexts)
    EXPECT_EQ(row.Text == nullptr, row.Kind == TControlTextKind::DatabaseOptions) << row.Control;
}

TEST(LanguageControlTable, DatabaseOptionsAndProductNameReadAsTheFormShowsThem) {
  LanguageGuard guard;
  SetCurrentLanguage(langEN);
  EXPECT_EQ(DatabaseOptionIndent + Msg(msgPresetDatabase), "   Preset (master data filled)");
  EXPECT_EQ(DatabaseOptionIndent + Msg(msgEmptyDatabase), "   Empty (master data filled by user)");
  EXPECT_EQ(FormatMsg(msgSystemInstalledSuccessfully, InstalledProductName(false)),
            "Velmor Tarpel system has been successfully installed");
  SetCurrentLanguage(langSK);
  EXPECT_EQ(FormatMsg(msgSystemInstalledSuccessfully, InstalledProductName(true)),
            "Inštalácia systému Velmor Kest bola úspešne dokončená");
  // The SQL page's explanation, with its lone carriage returns, passes the formatting unchanged.
  EXPECT_EQ(Format(Msg(msgDataStoredInSQLDatabase)), Msg(msgDataStoredInSQLDatabase));
}

}  // namespace
