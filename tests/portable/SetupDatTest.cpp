#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>

#include "TestSupport.h"
#include "platform/Text.h"
#include "setup/SetupDat.h"
#include "support/InstallLog.h"
#include "support/ScriptedMessages.h"

namespace {

using testing_support::DataDir;
using testing_support::ReadFile;
using testing_support::TempFolder;

void SetEnv(const std::string& name, const std::string& value) {
#ifdef _WIN32
  std::u16string n = platform::Utf16FromUtf8(name), v = platform::Utf16FromUtf8(value);
  _wputenv_s(reinterpret_cast<const wchar_t*>(n.c_str()), reinterpret_cast<const wchar_t*>(v.c_str()));
#else
  setenv(name.c_str(), value.c_str(), 1);
#endif
}

std::string Definition(const std::string& main, const std::string& rest = "") {
  return "<?xml version=\"1.0\"?>\n<Def>\n<Main>" + main + "</Main>\n" + rest + "</Def>\n";
}

std::string Package(const std::string& inner, const std::string& tag = "ZipFile") {
  return "<" + tag + ">" + inner + "</" + tag + ">";
}

class SetupDatTest : public testing::Test {
 protected:
  TScriptedMessages presenter;  // installed while the fixture lives
  TSetupDat dat{false};
  void SetUp() override {
    SetEnv("VELSETUP_TEST_KITROOT", "C:\\Uživatelé\\Šárka");
  }

  // The load failed the way a broken definition must: one error box with the fixed text and
  // no title, and the log holds that text and then the reason.
  void ExpectLoadError(const std::string& reasonPart, const std::string& what) {
    EXPECT_FALSE(dat.LoadedSetupDat()) << what;
    ASSERT_EQ(presenter.Shown().size(), 1u) << what;
    EXPECT_EQ(presenter.Shown()[0].Text, "Při načítání souboru \"setup.dat\" nastala chyba.");
    EXPECT_EQ(presenter.Shown()[0].Title, "");
    EXPECT_EQ(presenter.Shown()[0].Kind, mkError);
    const auto& log = InstallLog().Log();
    ASSERT_GE(log.size(), 4u) << what;
    EXPECT_NE(log[log.size() - 4].find("!!! Při načítání souboru \"setup.dat\" nastala chyba. !!!"), std::string::npos);
    EXPECT_NE(log[log.size() - 2].find("!!! "), std::string::npos) << what;
    EXPECT_NE(log[log.size() - 2].find(reasonPart), std::string::npos) << what << ": " << log[log.size() - 2];
  }
};

// UTF-16 bytes with a byte-order mark, unit by unit as given (lone surrogates included).
std::string Utf16Le(std::u16string_view w) {
  std::string out = "\xFF\xFE";
  for (char16_t c : w) { out.push_back(static_cast<char>(c & 0xFF)); out.push_back(static_cast<char>(c >> 8)); }
  return out;
}
std::string Utf16Be(std::u16string_view w) {
  std::string out = "\xFE\xFF";
  for (char16_t c : w) { out.push_back(static_cast<char>(c >> 8)); out.push_back(static_cast<char>(c & 0xFF)); }
  return out;
}

TEST_F(SetupDatTest, LoadsEveryValueOfAFullDefinition) {
  ASSERT_TRUE(dat.LoadSetupDatFromXml(ReadFile(DataDir() + "/definition/full.xml")));
  EXPECT_TRUE(dat.LoadedSetupDat());
  EXPECT_TRUE(presenter.Shown().empty());
  EXPECT_EQ(dat.LocalPath(), "C:\\Uživatelé\\Šárka\\Kit");
  EXPECT_EQ(dat.ZipPassword(), "Kit#2024heslo");
  EXPECT_EQ(dat.MSSQLInstall(), "https://download.example.cz/velmor/MSSQL/");
  EXPECT_EQ(dat.InstallServer(), "https://download.example.cz/velmor/zb/Kit/");
  EXPECT_EQ(dat.InstallLang(), "EN");
  EXPECT_EQ(dat.InstallPath(), "C:\\Uživatelé\\Šárka\\Velmor");
  EXPECT_EQ(dat.InstallPathAlter(), "D:\\Velmor");
  EXPECT_EQ(dat.VersionProd(), 1);
  EXPECT_EQ(dat.DBName(), "VelmorData");
  EXPECT_EQ(dat.DBNameTarpel(), "TarpelData");
  EXPECT_EQ(dat.DBNameKest(), "KestData");
  EXPECT_EQ(dat.TypInst(), 2);
  EXPECT_FALSE(dat.OnlyVersion());
  EXPECT_EQ(dat.VerzeExe(), "4.7.2.0001");
  EXPECT_EQ(dat.TechSupport(), "podpora@example.cz");
  EXPECT_EQ(dat.MinDiskFree(), 2048);
  EXPECT_EQ(dat.WinVerzeMajor(), 6);
  EXPECT_EQ(dat.WinVerzeMinor(), 1);

  ASSERT_EQ(dat.ZipFiles().size(), 3u);
  const TZipFileCFG& program = dat.ZipFiles()[0];
  EXPECT_EQ(program.FileName(), "Program");
  EXPECT_EQ(program.DirInstall(), "");
  EXPECT_EQ(program.TypeInstall(), tiKest);
  EXPECT_TRUE(program.Povinny());
  EXPECT_FALSE(program.Jazyk());
  EXPECT_TRUE(program.Files().empty());
  const TZipFileCFG& lang = dat.ZipFiles()[1];
  EXPECT_EQ(lang.FileName(), "Lang_EN.zip");
  EXPECT_EQ(lang.DirInstall(), "Lang");
  EXPECT_TRUE(lang.Jazyk());
  EXPECT_EQ(lang.JazykKod(), "EN");
  EXPECT_FALSE(lang.Povinny());
  const TZipFileCFG& tarpel = dat.ZipFiles()[2];
  EXPECT_EQ(tarpel.TypeInstall(), tiTarpel);
  EXPECT_TRUE(tarpel.InstallEnableExistFileOrNew());
  EXPECT_TRUE(tarpel.ForOnlyVersion());

  ASSERT_EQ(dat.Reklamy().size(), 1u);
  EXPECT_EQ(dat.Reklamy()[0].Nazev, "Jarní akce");
  EXPECT_EQ(dat.Reklamy()[0].FilePath, "jaro.png");
  EXPECT_EQ(dat.Reklamy()[0].Ulozeni, 1);
  EXPECT_EQ(dat.Reklamy()[0].Data, "iVBORw0KGgo=");
  EXPECT_EQ(dat.Reklamy()[0].TimeSec, 0);
}

TEST_F(SetupDatTest, BooleansAreTrueOnlyForLowerCaseTrue) {
  struct Case { const char* text; bool expected; } cases[] = {
      {"true", true}, {"True", false}, {"TRUE", false}, {"1", false}, {" true", false}, {"", false},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(dat.LoadSetupDatFromXml(
        Definition(std::string("<OnlyVersion>") + c.text + "</OnlyVersion>",
                   "<ZipFiles>" + Package(std::string("<Jazyk>") + c.text + "</Jazyk><Povinny>" + c.text +
                                          "</Povinny><ForOnlyVersion>" + c.text + "</ForOnlyVersion>") +
                       "</ZipFiles>")));
    EXPECT_EQ(dat.OnlyVersion(), c.expected) << c.text;
    EXPECT_EQ(dat.ZipFiles()[0].Jazyk(), c.expected) << c.text;
    EXPECT_EQ(dat.ZipFiles()[0].Povinny(), c.expected) << c.text;
    EXPECT_EQ(dat.ZipFiles()[0].ForOnlyVersion(), c.expected) << c.text;
  }
}

// A number that is missing, malformed or too large for its field reads as 0: no load error and
// no wrapped value.
TEST_F(SetupDatTest, NumbersReadAsZeroUnlessTheyFitTheirField) {
  struct Case { const char* text; int32_t int32; int64_t int64; } cases[] = {
      {"", 0, 0},
      {"6", 6, 6},
      {" 6 ", 6, 6},
      {"-1", -1, -1},
      {"+3", 3, 3},
      {"007", 7, 7},
      {"2147483647", 2147483647, 2147483647},
      {"2147483648", 0, 2147483648LL},
      {"-2147483648", -2147483647 - 1, -2147483648LL},
      {"-2147483649", 0, -2147483649LL},
      {"4294967302", 0, 4294967302LL},  // would wrap to 6 as a 32-bit number
      {"9223372036854775807", 0, 9223372036854775807LL},
      {"9223372036854775808", 0, 0},
      {"18446744073709551617", 0, 0},
      {"abc", 0, 0},
      {"6x", 0, 0},
      {"0x10", 0, 0},
      {"1.5", 0, 0},
      {"1 000", 0, 0},
      {"-", 0, 0},
  };
  for (const Case& c : cases) {
    std::string v = c.text;
    ASSERT_TRUE(dat.LoadSetupDatFromXml(Definition(
        "<VersionProd>" + v + "</VersionProd><TypInst>" + v + "</TypInst><WinVerMajor>" + v + "</WinVerMajor><WinVerMinor>" +
            v + "</WinVerMinor><MinDiskFree>" + v + "</MinDiskFree>",
        "<Reklamy><Reklama><Type>" + v + "</Type></Reklama></Reklamy>")))
        << c.text;
    EXPECT_EQ(dat.VersionProd(), c.int32) << c.text;
    EXPECT_EQ(dat.TypInst(), c.int32) << c.text;
    EXPECT_EQ(dat.WinVerzeMajor(), c.int32) << c.text;
    EXPECT_EQ(dat.WinVerzeMinor(), c.int32) << c.text;
    EXPECT_EQ(dat.Reklamy()[0].Ulozeni, c.int32) << c.text;
    EXPECT_EQ(dat.MinDiskFree(), c.int64) << c.text;
  }
  EXPECT_TRUE(presenter.Shown().empty());
}

TEST_F(SetupDatTest, PackageTypeIsTrimmedAndMapped) {
  struct Case { const char* text; TTypeInstall expected; } cases[] = {
      {" 3 ", tiTarpelUpdate}, {"\n\t4\r\n", tiVelmorDemo}, {"1", tiKestUpdate}, {"7", tiKest},
      {"-2", tiKest},          {"", tiKest},                {"   ", tiKest},     {"2147483647", tiKest},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(dat.LoadSetupDatFromXml(
        Definition("", "<ZipFiles>" + Package(std::string("<TypInstalace>") + c.text + "</TypInstalace>") + "</ZipFiles>")))
        << c.text;
    EXPECT_EQ(dat.ZipFiles()[0].TypeInstall(), c.expected) << c.text;
  }
  ASSERT_TRUE(dat.LoadSetupDatFromXml(Definition("", "<ZipFiles>" + Package("<FileName>a</FileName>") + "</ZipFiles>")));
  EXPECT_EQ(dat.ZipFiles()[0].TypeInstall(), tiKest);
}

TEST_F(SetupDatTest, BrokenDefinitionsFailWithTheErrorBox) {
  struct Case { const char* what; std::string xml; const char* reason; } cases[] = {
      {"not well formed", "<Def><Main><DBName>x</Main></Def>", "not well formed"},
      {"truncated", "<Def><Main>", "not well formed"},
      {"empty", "", "document element"},
      {"two document elements", "<Def><Main/></Def><Def/>", "more than one"},
      {"no Main", "<Def><ZipFiles/></Def>", "\"Main\""},
      {"Main in lower case", "<Def><main><DBName>x</DBName></main></Def>", "\"Main\""},
      {"Main below another element", "<Def><X><Main/></X></Def>", "\"Main\""},
      {"non-numeric package type", Definition("", "<ZipFiles>" + Package("<TypInstalace>x</TypInstalace>") + "</ZipFiles>"),
       "TypInstalace"},
      {"fractional package type", Definition("", "<ZipFiles>" + Package("<TypInstalace>3.0</TypInstalace>") + "</ZipFiles>"),
       "TypInstalace"},
      {"hexadecimal package type", Definition("", "<ZipFiles>" + Package("<TypInstalace>0x3</TypInstalace>") + "</ZipFiles>"),
       "TypInstalace"},
      {"package type too large",
       Definition("", "<ZipFiles>" + Package("<TypInstalace>4294967299</TypInstalace>") + "</ZipFiles>"), "TypInstalace"},
      {"unknown encoding", "<?xml version=\"1.0\" encoding=\"koi8-r\"?><Def><Main/></Def>", "koi8-r"},
      {"bytes that are not UTF-8", "<Def><Main><DBName>\xE8\x61</DBName></Main></Def>", "UTF-8"},
      // UTF-16 whose surrogates do not pair is as broken as invalid UTF-8, not text with letters dropped.
      {"UTF-16LE with a lone high surrogate", Utf16Le(u"<Def><Main><DBName>a\xD800" u"b</DBName></Main></Def>"), "UTF-16"},
      {"UTF-16BE with a lone low surrogate", Utf16Be(u"<Def><Main><DBName>a\xDC00</DBName></Main></Def>"), "UTF-16"},
      {"UTF-16LE ending on a high surrogate", Utf16Le(u"<Def><Main/></Def>\xD83D"), "UTF-16"},
      {"UTF-16LE with an odd byte count", Utf16Le(u"<Def><Main/></Def>") + "x", "UTF-16"},
      {"UTF-32LE beyond U+10FFFF", std::string("<\0\0\0", 4) + std::string("\0\0\x11\0", 4), "UTF-32"},
  };
  for (const Case& c : cases) {
    presenter.Clear();
    InstallLog().Reset();
    dat.SetLoadedSetupDat(true);
    EXPECT_FALSE(dat.LoadSetupDatFromXml(c.xml)) << c.what;
    ExpectLoadError(c.reason, c.what);
  }
}

TEST_F(SetupDatTest, FailedLoadKeepsWhatWasReadBeforeTheError) {
  EXPECT_FALSE(dat.LoadSetupDatFromXml(Definition(
      "<DBName>Data</DBName><TypInst>3</TypInst>",
      "<ZipFiles>" + Package("<FileName>good.zip</FileName>") + Package("<FileName>bad.zip</FileName><TypInstalace>two</TypInstalace>") +
          Package("<FileName>never.zip</FileName>") + "</ZipFiles>")));
  ExpectLoadError("bad.zip", "second package broken");
  EXPECT_EQ(dat.DBName(), "Data");
  EXPECT_EQ(dat.TypInst(), 3);
  ASSERT_EQ(dat.ZipFiles().size(), 1u);
  EXPECT_EQ(dat.ZipFiles()[0].FileName(), "good.zip");
}

TEST_F(SetupDatTest, ListItemsMatchTheirNamesIgnoringCase) {
  ASSERT_TRUE(dat.LoadSetupDatFromXml(Definition(
      "", "<ZipFiles><!-- packages -->text" + Package("<FileName>1</FileName>", "zipfile") +
              Package("<FileName>skipped</FileName>", "Package") + Package("<FileName>2</FileName>", "ZIPFILE") +
              Package("<FileName>skipped</FileName>", "ZipFiles") + Package("<FileName>3</FileName>") + "</ZipFiles>"
              "<Reklamy><reklama><Name>a</Name><Type>2</Type><DataBase64>ignored</DataBase64></reklama>"
              "<Banner><Name>skipped</Name></Banner>"
              "<REKLAMA><Name>b</Name><Type>1</Type><DataBase64>QUJD</DataBase64></REKLAMA></Reklamy>")));
  ASSERT_EQ(dat.ZipFiles().size(), 3u);
  EXPECT_EQ(dat.ZipFiles()[0].FileName(), "1");
  EXPECT_EQ(dat.ZipFiles()[1].FileName(), "2");
  EXPECT_EQ(dat.ZipFiles()[2].FileName(), "3");
  ASSERT_EQ(dat.Reklamy().size(), 2u);
  EXPECT_EQ(dat.Reklamy()[0].Nazev, "a");
  EXPECT_EQ(dat.Reklamy()[0].Data, "") << "a banner not stored inside the definition carries no data";
  EXPECT_EQ(dat.Reklamy()[1].Data, "QUJD");
}

TEST_F(SetupDatTest, ListElementNamesAreCaseSensitive) {
  ASSERT_TRUE(dat.LoadSetupDatFromXml(
      Definition("", "<zipfiles>" + Package("") + "</zipfiles><REKLAMY><Reklama/></REKLAMY>")));
  EXPECT_TRUE(dat.ZipFiles().empty());
  EXPECT_TRUE(dat.Reklamy().empty());
}

TEST_F(SetupDatTest, TextIsTakenAsItStands) {
  ASSERT_TRUE(dat.LoadSetupDatFromXml(Definition(
      "<DBName>  Data  </DBName>"
      "<DBName>second DBName is not read</DBName>"
      "<DBNameKest>   </DBNameKest>"
      "<DBNameTarpel><![CDATA[<Tarpel> & co]]></DBNameTarpel>"
      "<TechSupport>a&amp;b&#x10D;&lt;</TechSupport>"
      "<InstallServer>\\\\server\\kit <!-- comment --> share</InstallServer>"
      "<Version>4<b>.7</b></Version>"
      "<dbname>lower case is another element</dbname>")));
  EXPECT_EQ(dat.DBName(), "  Data  ");
  EXPECT_EQ(dat.DBNameKest(), "   ");
  EXPECT_EQ(dat.DBNameTarpel(), "<Tarpel> & co");
  EXPECT_EQ(dat.TechSupport(), "a&bč<");
  EXPECT_EQ(dat.InstallServer(), "\\\\server\\kit  share");
  EXPECT_EQ(dat.VerzeExe(), "4.7");
}

TEST_F(SetupDatTest, ReadsTheDocumentInItsEncoding) {
  const std::string text = "Šťastný účet";
  std::u16string w = platform::Utf16FromUtf8(Definition("<DBName>" + text + "</DBName>"));
  std::string le = "\xFF\xFE", be = "\xFE\xFF";
  for (char16_t c : w) {
    le.push_back(static_cast<char>(c & 0xFF)); le.push_back(static_cast<char>(c >> 8));
    be.push_back(static_cast<char>(c >> 8)); be.push_back(static_cast<char>(c & 0xFF));
  }
  // "Šťastný účet" in the two 8-bit code pages that differ for š and ť.
  const std::string cp1250 = "\x8A\x9D" "astn\xFD \xFA\xE8" "et";
  const std::string iso8859_2 = "\xA9\xBB" "astn\xFD \xFA\xE8" "et";
  auto declared = [](const std::string& encoding, const std::string& value) {
    return "<?xml version=\"1.0\" encoding=\"" + encoding + "\"?><Def><Main><DBName>" + value + "</DBName></Main></Def>";
  };
  struct Case { const char* what; std::string bytes; } cases[] = {
      {"UTF-8 without declaration", "<Def><Main><DBName>" + text + "</DBName></Main></Def>"},
      {"UTF-8 with byte-order mark", "\xEF\xBB\xBF" + Definition("<DBName>" + text + "</DBName>")},
      {"UTF-16LE", le},
      {"UTF-16BE", be},
      {"windows-1250", declared("windows-1250", cp1250)},
      {"Windows-1250 in capitals", declared("WINDOWS-1250", cp1250)},
      {"ISO-8859-2", declared("ISO-8859-2", iso8859_2)},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(dat.LoadSetupDatFromXml(c.bytes)) << c.what;
    EXPECT_EQ(dat.DBName(), text) << c.what;
  }
  ASSERT_TRUE(dat.LoadSetupDatFromXml(declared("windows-1252", "Gr\xFC\xDF" "e \x80")));
  EXPECT_EQ(dat.DBName(), "Grüße €");
}

TEST_F(SetupDatTest, MissingListsGiveEmptyLists) {
  ASSERT_TRUE(dat.LoadSetupDatFromXml(Definition("<DBName>x</DBName>")));
  EXPECT_TRUE(dat.ZipFiles().empty());
  EXPECT_TRUE(dat.Reklamy().empty());
  EXPECT_EQ(dat.LocalPath(), "");
  EXPECT_EQ(dat.ZipPassword(), "");
}

TEST_F(SetupDatTest, EachLoadStartsFromAClearedDefinition) {
  ASSERT_TRUE(dat.LoadSetupDatFromXml(ReadFile(DataDir() + "/definition/full.xml")));
  dat.SetDBName("Chosen");
  ASSERT_TRUE(dat.LoadSetupDatFromXml(Definition("<DBName>Other</DBName>", "<ZipFiles>" + Package("<FileName>only.zip</FileName>") +
                                                                               "</ZipFiles>")));
  EXPECT_EQ(dat.DBName(), "Other");
  EXPECT_EQ(dat.InstallPathAlter(), "");
  ASSERT_EQ(dat.ZipFiles().size(), 1u);
  EXPECT_TRUE(dat.Reklamy().empty()) << "the banners of the first definition are gone";
}

TEST_F(SetupDatTest, ClearResetsTheLoadedValues) {
  ASSERT_TRUE(dat.LoadSetupDatFromXml(ReadFile(DataDir() + "/definition/full.xml")));
  dat.Clear();
  EXPECT_FALSE(dat.LoadedSetupDat());
  for (const std::string* s : {&dat.LocalPath(), &dat.ZipPassword(), &dat.MSSQLInstall(), &dat.InstallServer(),
                               &dat.InstallLang(), &dat.InstallPath()})
    EXPECT_EQ(*s, "");
  EXPECT_EQ(dat.MinDiskFree(), 0);
  EXPECT_EQ(dat.TypInst(), 0);
  EXPECT_FALSE(dat.OnlyVersion());
  EXPECT_TRUE(dat.ZipFiles().empty());
  // Values the next load overwrites anyway stay until then.
  EXPECT_EQ(dat.InstallPathAlter(), "D:\\Velmor");
  EXPECT_EQ(dat.DBName(), "VelmorData");
  EXPECT_EQ(dat.WinVerzeMajor(), 6);
  EXPECT_EQ(dat.VerzeExe(), "4.7.2.0001");
}

TEST_F(SetupDatTest, MissingFileFailsSilentlyAndKeepsEverything) {
  ASSERT_TRUE(dat.LoadSetupDatFromXml(ReadFile(DataDir() + "/definition/full.xml")));
  InstallLog().Reset();
  TempFolder dir;
  for (const std::string& path : {dir / "no-such-setup.dat", dir.Path()}) {
    EXPECT_FALSE(dat.LoadSetupDat(path)) << path;
    EXPECT_FALSE(dat.LoadedSetupDat());
    EXPECT_TRUE(presenter.Shown().empty());
    EXPECT_TRUE(InstallLog().Log().empty());
    EXPECT_EQ(dat.ZipPassword(), "Kit#2024heslo");
    EXPECT_EQ(dat.ZipFiles().size(), 3u);
    EXPECT_EQ(dat.MinDiskFree(), 2048);
  }
}

TEST_F(SetupDatTest, ProgramWideInstance) {
  ReplaceSetupDat(nullptr);
  EXPECT_FALSE(SetupDat().LoadedSetupDat());
  EXPECT_TRUE(SetupDat().ZipFiles().empty());
  auto own = std::make_unique<TSetupDat>(false);
  own->SetDBName("mine");
  ReplaceSetupDat(std::move(own));
  EXPECT_EQ(SetupDat().DBName(), "mine");
  ReplaceSetupDat(nullptr);
  EXPECT_EQ(SetupDat().DBName(), "");
}

TEST(EnvironmentExpansionTest, ReplacesPairsOfPercentSigns) {
  SetEnv("VELSETUP_T_A", "alfa");
  SetEnv("VELSETUP_T_CZ", "Příliš");
  SetEnv("VELSETUP_T_PCT", "50%");
  SetEnv("VELSETUP_T_SELF", "<%VELSETUP_T_SELF%>");
  struct Case { const char* in; const char* out; } cases[] = {
      {"%VELSETUP_T_A%\\Kit", "alfa\\Kit"},
      {"%VELSETUP_T_NO_SUCH_VARIABLE%\\Kit", "\\Kit"},
      {"C:\\%VELSETUP_T_CZ%\\%VELSETUP_T_A%", "C:\\Příliš\\alfa"},
      {"%VELSETUP_T_A%%VELSETUP_T_A%", "alfaalfa"},
      {"100% sure", "100% sure"},
      {"a%%b", "ab"},
      {"%", "%"},
      {"", ""},
      {"%VELSETUP_T_A% 5%", "alfa 5%"},
      {"x%VELSETUP_T_A", "x%VELSETUP_T_A"},
      {"%VELSETUP_T_PCT%%VELSETUP_T_A%", "50%alfa"},
      {"%VELSETUP_T_SELF%", "<%VELSETUP_T_SELF%>"},  // a value naming itself is inserted once
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandEnvironment(c.in), c.out) << c.in;
}

// Every pair erased must not shift the rest of the text: 2 MB of "%%" took half a minute so.
TEST(EnvironmentExpansionTest, TimeGrowsWithTheLengthOnly) {
  std::string pairs;
  for (int i = 0; i < 1000000; ++i) pairs += "%%";
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ExpandEnvironment("a" + pairs + "b%"), "ab%");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

TEST(PasswordTest, EveryCodeUnitIsShiftedBy64) {
  struct Case { const char* stored; const char* password; } cases[] = {
      {"\xC2\x8B\xC2\xA9\xC2\xB4" "crprt", "Kit#2024"},
      {"\xC2\x9F\xC2\x8D\xC2\xAF\xC2\xB2\xC2\xAB\xC2\xA1\xC2\x94\xC2\xA1\xC2\xA2\xC2\xAC\xC2\xA9\xC2\xAE\xC2\x9F",
       "_MorkaTablin_"},
      {"", ""},
      {"ŕ", "ĕ"},  // U+0155 - 64 = U+0115
  };
  for (const Case& c : cases) {
    EXPECT_EQ(UnscramblePassword(c.stored), c.password) << c.password;
    EXPECT_EQ(ScramblePassword(c.password), c.stored) << c.password;
  }
  EXPECT_EQ(UnscramblePassword(ScramblePassword("Heslo čšž")), "Heslo čšž");
}

}  // namespace

namespace {

// Every cut of a valid definition either loads or fails with the error box; none crashes.
TEST_F(SetupDatTest, EveryTruncationLoadsOrFailsCleanly) {
  std::string xml = ReadFile(DataDir() + "/definition/full.xml");
  int loaded = 0, failed = 0;
  for (size_t n = 0; n < xml.size(); ++n) {
    presenter.Clear();
    if (dat.LoadSetupDatFromXml(xml.substr(0, n))) {
      ++loaded;
      EXPECT_TRUE(presenter.Shown().empty());
    } else {
      ++failed;
      EXPECT_EQ(presenter.Shown().size(), 1u) << n;
    }
  }
  EXPECT_GT(failed, 0);
  EXPECT_TRUE(dat.LoadSetupDatFromXml(xml));
}

TEST_F(SetupDatTest, DeeplyNestedValueDoesNotExhaustTheStack) {
  const int depth = 200000;
  std::string inner;
  for (int i = 0; i < depth; ++i) inner += "<a>";
  inner += "deep";
  for (int i = 0; i < depth; ++i) inner += "</a>";
  ASSERT_TRUE(dat.LoadSetupDatFromXml(Definition("<DBName>x" + inner + "y</DBName>")));
  EXPECT_EQ(dat.DBName(), "xdeepy");
}

}  // namespace
