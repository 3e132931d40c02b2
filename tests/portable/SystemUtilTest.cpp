// The operating-system utilities, run by both test programs (natively and under Wine).
#define PCRE2_CODE_UNIT_WIDTH 8
#include <gtest/gtest.h>
#include <pcre2.h>

#include <algorithm>
#include <filesystem>

#include "TestSupport.h"
#include "engine/BackupFileList.h"
#include "platform/FileVersion.h"
#include "platform/Files.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "platform/Text.h"
#include "support/SystemUtil.h"
#include "ui/Application.h"

using platform::RegRoot;
using testing_support::TempFolder;
namespace regaccess = platform::regaccess;
namespace fs = std::filesystem;

// ---- text -----------------------------------------------------------------------------------

TEST(ZeroPad, PadsButNeverShortens) {
  struct Case {
    long long n;
    int width;
    const char* expected;
  } cases[] = {
      {12345, 4, "12345"}, {7, 2, "07"}, {0, 4, "0000"}, {5, 0, "5"}, {5, -3, "5"}, {42, 2, "42"},
      {2024, 4, "2024"},   {-5, 3, "0-5"},  // the sign counts towards the width, zeros go in front
  };
  for (const Case& c : cases) EXPECT_EQ(ZeroPad(c.n, c.width), c.expected) << c.n << " width " << c.width;
}

TEST(TimeStampText, FourteenDigitsWithoutSeparators) {
  platform::LocalTime t;
  t.year = 2024, t.month = 3, t.day = 5, t.hour = 7, t.minute = 8, t.second = 9;
  EXPECT_EQ(TimeStampText(t), "20240305070809");
  platform::LocalTime late;
  late.year = 1999, late.month = 12, late.day = 31, late.hour = 23, late.minute = 59, late.second = 59;
  EXPECT_EQ(TimeStampText(late), "19991231235959");
  EXPECT_EQ(TimeStampText(platform::NowLocal()).size(), 14u);
}

TEST(TempDirectory, EndsWithDelimiterAndExists) {
  std::string t = TempDirectory();
  ASSERT_FALSE(t.empty());
  EXPECT_EQ(t.back(), platform::PathDelimiter());
  EXPECT_TRUE(fs::is_directory(platform::PathFromUtf8(t)));
}

// ---- addresses ------------------------------------------------------------------------------

namespace {
// The address pattern as it was first written; every address it accepts must stay accepted.
bool ClassicPatternAccepts(const std::string& text) {
  const char* pattern =
      "^(http|https|ftp)\\://[a-zA-Z0-9\\-\\.]+\\.[a-zA-Z]{2,3}(:[a-zA-Z0-9]*)?/?"
      "([a-zA-Z0-9\\-\\._\\?\\,\\'/\\\\\\+&%\\$#\\=~])*[^\\.\\,\\)\\(\\s]$";
  int err = 0;
  PCRE2_SIZE off = 0;
  pcre2_code* code =
      pcre2_compile(reinterpret_cast<PCRE2_SPTR>(pattern), PCRE2_ZERO_TERMINATED, PCRE2_CASELESS, &err, &off, nullptr);
  EXPECT_NE(code, nullptr);
  if (!code) return false;
  std::string s = text;
  std::replace(s.begin(), s.end(), '\\', '/');
  std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  pcre2_match_data* md = pcre2_match_data_create_from_pattern(code, nullptr);
  int rc = pcre2_match(code, reinterpret_cast<PCRE2_SPTR>(s.data()), s.size(), 0, 0, md, nullptr);
  pcre2_match_data_free(md);
  pcre2_code_free(code);
  return rc >= 0;
}
}  // namespace

TEST(IsURL, WebAddressesAndFolders) {
  struct Case {
    const char* text;
    bool url;
    bool classic;  // the first pattern's answer
  } cases[] = {
      // addresses the classic pattern already knew
      {"https://download.velmor.cz/kit/Velmor.zip", true, true},
      {"http://www.velmor.com/kit/", true, true},
      {"HTTPS://Download.Velmor.CZ/Kit/", true, true},
      {"https:\\\\download.velmor.cz\\kit\\", true, true},
      {"ftp://ftp.velmor.de:21/pub/kit", true, true},
      {"http://velmor.cz/a?b=c&d=%20#x", true, true},
      {"http://velmor.cz:8080", true, true},
      // hosts it refused: IP addresses, single names, long top-level domains, IPv6, ports
      {"http://192.168.1.5/kit/", true, false},
      {"http://192.168.1.5:8080/kit/setup.dat", true, false},
      {"http://fileserver/kit/", true, false},
      {"http://fileserver", true, false},
      {"https://download.velmor.info/", true, true},  // by backtracking into the path
      {"https://kit.velmor.solutions/2024/Velmor.zip", true, true},
      {"https://velmor.info", true, true},
      {"http://[::1]:8080/kit/", true, false},
      {"http://[fe80::1]/", true, false},
      {"http://localhost:43210/kit\\Velmor.zip", true, false},
      {"http://my_server/kit/", true, false},
      // folders and other things that are not web addresses
      {"C:\\Install", false, false},
      {"C:\\Install\\kit\\", false, false},
      {"D:/x", false, false},
      {"\\\\server\\share\\kit", false, false},
      {"\\\\192.168.1.5\\kit", false, false},
      {"kit\\packages", false, false},
      {".\\kit", false, false},
      {"..", false, false},
      {"", false, false},
      {"http://", false, false},
      {"http:///kit", false, false},
      {"http://velmor.cz/kit.", false, false},
      {"http://fileserver.", false, false},
      {"http://192.168.1.5/kit.", false, false},
      {"file://server/share", false, false},
      {"mailto:support@velmor.cz", false, false},
      {"http://velmor.cz/a b", false, false},
      {"https://[::1", false, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(IsURL(c.text), c.url) << c.text;
    EXPECT_EQ(ClassicPatternAccepts(c.text), c.classic) << "classic pattern: " << c.text;
    if (c.classic) {
      EXPECT_TRUE(IsURL(c.text)) << "accepted before, refused now: " << c.text;
    }
  }
}

// ---- folders --------------------------------------------------------------------------------

TEST(IsDirectoryEmpty, OnlyAnExistingFolderWithNothingInIt) {
  TempFolder t;
  fs::create_directories(platform::PathFromUtf8(t / "empty"));
  t.Write("withfile/a.txt", "x");
  fs::create_directories(platform::PathFromUtf8(t / "withfolder/sub"));
  t.Write("withhidden/.hidden", "x");
  t.Write("plain.txt", "x");
  struct Case {
    std::string dir;
    bool empty;
  } cases[] = {
      {t / "empty", true},     {t / "withfile", false}, {t / "withfolder", false}, {t / "withhidden", false},
      {t / "missing", false},  {t / "plain.txt", false}, {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsDirectoryEmpty(c.dir), c.empty) << c.dir;
}

TEST(ListFilesForBackup, SkipsBackupDemoDataAndDatabasesDepthFirst) {
  TempFolder t;
  std::string root = t / "Velmor";
  t.Write("Velmor/Velmor.exe", "x");
  t.Write("Velmor/Velmor.INI", "x");
  t.Write("Velmor/VELMOR.MDF", "db");
  t.Write("Velmor/log.Mdf", "db");
  t.Write("Velmor/data.mdf.txt", "x");
  t.Write("Velmor/Backup/Backup20240101000000.zip", "old");
  t.Write("Velmor/DemoData/demo.dat", "x");
  t.Write("Velmor/BACKUP_OLD/a.txt", "x");
  t.Write("Velmor/demodata2/b.txt", "x");
  t.Write("Velmor/Data/x.MDF", "db");
  t.Write("Velmor/Data/c.txt", "x");
  t.Write("Velmor/Data/Deep/d.txt", "x");
  t.Write("Velmor/Data/Backups/e.txt", "x");
  t.Write("Velmor/Data/MyBackup/f.txt", "x");  // the name merely contains the word
  fs::create_directories(platform::PathFromUtf8(t / "Velmor/EmptyFolder"));

  std::vector<std::string> list = {"kept"};
  engine::ListFilesForBackup(root, list);
  auto p = [&](const std::string& rel) { return t / ("Velmor/" + rel); };
  std::vector<std::string> expected = {"kept",           p("Data/Deep/d.txt"), p("Data/MyBackup/f.txt"),
                                       p("Data/c.txt"),  p("data.mdf.txt"),    p("Velmor.exe"),
                                       p("Velmor.INI")};
  EXPECT_EQ(list, expected);
}

TEST(ListFilesForBackup, TargetInsideAFolderNamedBackupIsStillListed) {
  // Only folders below the target count: C:\Backup\Velmor\Data must not be skipped.
  TempFolder t;
  t.Write("Backup/Velmor/Data/a.txt", "x");
  t.Write("DemoData/Velmor/Data/b.txt", "x");
  std::vector<std::string> list;
  engine::ListFilesForBackup(t / "Backup/Velmor", list);
  engine::ListFilesForBackup(t / "DemoData/Velmor", list);
  EXPECT_EQ(list, (std::vector<std::string>{t / "Backup/Velmor/Data/a.txt", t / "DemoData/Velmor/Data/b.txt"}));
}

TEST(ListFilesForBackup, MissingOrEmptyFolderAddsNothing) {
  TempFolder t;
  std::vector<std::string> list;
  engine::ListFilesForBackup(t / "missing", list);
  engine::ListFilesForBackup(t.Path(), list);
  engine::ListFilesForBackup("", list);
  EXPECT_TRUE(list.empty());
}

TEST(DiskFreeBytes, OfTheVolumeOfTheNearestExistingFolder) {
  TempFolder t;
  std::int64_t here = DiskFreeBytes(t.Path());
  EXPECT_GT(here, 0);
  // A target that does not exist yet is measured on its parent's volume.
  std::int64_t notYet = DiskFreeBytes(t / "not/yet/there");
  EXPECT_GT(notYet, 0);
  EXPECT_LT(std::max(here, notYet) - std::min(here, notYet), std::int64_t(256) << 20);
  EXPECT_EQ(DiskFreeBytes(""), -1);
}

// ---- file versions --------------------------------------------------------------------------

namespace {

void Put16(std::string& b, size_t at, unsigned v) {
  b[at] = static_cast<char>(v & 0xFF);
  b[at + 1] = static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& b, size_t at, std::uint32_t v) {
  Put16(b, at, v & 0xFFFF);
  Put16(b, at + 2, v >> 16);
}

// A minimal DLL image holding only a VERSIONINFO resource, 64-bit (PE32+) or 32-bit (PE32).
std::string BuildPe(bool pe32plus, platform::FileVersionNumbers v) {
  const size_t optSize = pe32plus ? 240 : 224;
  std::string b(0x400, '\0');
  Put16(b, 0, 0x5A4D);
  Put32(b, 0x3C, 0x40);
  Put32(b, 0x40, 0x00004550);
  size_t coff = 0x44;
  Put16(b, coff, pe32plus ? 0x8664 : 0x14C);
  Put16(b, coff + 2, 1);
  Put16(b, coff + 16, static_cast<unsigned>(optSize));
  Put16(b, coff + 18, pe32plus ? 0x2022 : 0x2102);
  size_t opt = coff + 20;
  Put16(b, opt, pe32plus ? 0x20B : 0x10B);
  if (pe32plus) {
    Put32(b, opt + 24, 0x80000000u);  // image base, low part
    Put32(b, opt + 28, 0x1);
  } else {
    Put32(b, opt + 28, 0x10000000u);
  }
  Put32(b, opt + 32, 0x1000);  // section alignment
  Put32(b, opt + 36, 0x200);   // file alignment
  Put16(b, opt + 40, 6);       // operating system version
  Put16(b, opt + 48, 6);       // subsystem version
  Put32(b, opt + 56, 0x2000);  // size of image
  Put32(b, opt + 60, 0x200);   // size of headers
  Put16(b, opt + 68, 2);       // subsystem: GUI
  size_t dirs = opt + (pe32plus ? 112 : 96);
  Put32(b, dirs - 4, 16);
  size_t section = opt + optSize;
  b.replace(section, 5, ".rsrc");

  // The resource tree: type 16 -> name 1 -> language 0x409 -> data.
  std::string r(0x100, '\0');
  auto dir = [&](size_t at, std::uint32_t id, std::uint32_t target) {
    Put16(r, at + 14, 1);
    Put32(r, at + 16, id);
    Put32(r, at + 20, target);
  };
  dir(0x00, 16, 0x80000000u | 0x18);
  dir(0x18, 1, 0x80000000u | 0x30);
  dir(0x30, 0x409, 0x48);
  const size_t vi = 0x58, viLen = 92;
  Put32(r, 0x48, 0x1000 + vi);
  Put32(r, 0x4C, viLen);
  Put16(r, vi, viLen);
  Put16(r, vi + 2, 52);
  const char* key = "VS_VERSION_INFO";
  for (size_t i = 0; key[i]; ++i) Put16(r, vi + 6 + 2 * i, static_cast<unsigned char>(key[i]));
  size_t fixed = vi + 40;
  Put32(r, fixed, 0xFEEF04BDu);
  Put32(r, fixed + 4, 0x10000);
  Put32(r, fixed + 8, (v.major << 16) | v.minor);
  Put32(r, fixed + 12, (v.release << 16) | v.build);
  Put32(r, fixed + 16, (v.major << 16) | v.minor);
  Put32(r, fixed + 20, (v.release << 16) | v.build);
  Put32(r, fixed + 24, 0x3F);
  Put32(r, fixed + 32, 0x40004);
  Put32(r, fixed + 36, 2);
  const size_t resSize = vi + viLen;
  Put32(b, dirs + 16, 0x1000);
  Put32(b, dirs + 20, static_cast<std::uint32_t>(resSize));
  Put32(b, section + 8, static_cast<std::uint32_t>(resSize));
  Put32(b, section + 12, 0x1000);
  Put32(b, section + 16, 0x200);
  Put32(b, section + 20, 0x200);
  Put32(b, section + 36, 0x40000040u);
  b.replace(0x200, r.size(), r);
  return b;
}

}  // namespace

TEST(FileVersionKey, DigitsReadAsHexadecimal) {
  struct Case {
    unsigned major, minor, release, build;
    std::int64_t key;
  } cases[] = {
      {4, 7, 2, 1, 0x040700020001LL},
      {10, 0, 19041, 1, 0x1000190410001LL},  // a five-digit release widens the key by one digit
      {0, 0, 0, 0, 0},
      {99, 99, 9999, 9999, 0x999999999999LL},
      {65535, 65535, 65535, 65535, INT64_MAX},  // too long for 63 bits
  };
  for (const Case& c : cases)
    EXPECT_EQ(FileVersionKey(c.major, c.minor, c.release, c.build), c.key)
        << c.major << "." << c.minor << "." << c.release << "." << c.build;
  // Order holds within the documented ranges.
  EXPECT_LT(FileVersionKey(4, 7, 2, 1), FileVersionKey(4, 7, 3, 0));
  EXPECT_LT(FileVersionKey(4, 99, 9999, 9999), FileVersionKey(5, 0, 0, 0));
}

TEST(ReadFileVersion, TextAndKeyOfAPeFile) {
  TempFolder t;
  struct Case {
    bool pe32plus;
    platform::FileVersionNumbers v;
    const char* text;
    std::int64_t key;
  } cases[] = {
      {true, {10, 0, 19041, 1}, "10.0.19041.0001", 0x1000190410001LL},
      {false, {4, 7, 2, 1}, "4.7.2.0001", 0x040700020001LL},
      {true, {1, 2, 3, 12345}, "1.2.3.12345", 0x0102000312345LL},
  };
  for (const Case& c : cases) {
    std::string file = t.Write(std::string("v") + c.text + ".dll", BuildPe(c.pe32plus, c.v));
    std::int64_t key = -7;
    std::string text = "old";
    ReadFileVersion(file, key, text);
    EXPECT_EQ(text, c.text);
    EXPECT_EQ(key, c.key) << c.text;
    EXPECT_EQ(platform::ParsePeFileVersion(BuildPe(c.pe32plus, c.v)), c.v);
  }
}

TEST(ReadFileVersion, NoVersionGivesEmptyTextAndKeepsKey) {
  TempFolder t;
  std::string pe = BuildPe(true, {1, 2, 3, 4});
  std::string noResource = pe;
  Put32(noResource, 0x44 + 20 + 112 + 16, 0);  // no resource directory
  std::string files[] = {t.Write("text.txt", "just text"), t.Write("empty.dll", ""),
                         t.Write("nores.dll", noResource), t / "missing.dll", t.Path()};
  for (const std::string& f : files) {
    std::int64_t key = 1234;
    std::string text = "old";
    ReadFileVersion(f, key, text);
    EXPECT_EQ(text, "") << f;
    EXPECT_EQ(key, 1234) << f;
  }
}

TEST(ParsePeFileVersion, DamagedFilesGiveNothing) {
  std::string pe = BuildPe(true, {1, 2, 3, 4});
  ASSERT_TRUE(platform::ParsePeFileVersion(pe));
  // Every truncation that cuts into the version data.
  for (size_t n = 0; n < 0x200 + 0x58 + 92; ++n)
    EXPECT_FALSE(platform::ParsePeFileVersion(std::string_view(pe).substr(0, n))) << "length " << n;
  struct Patch {
    size_t at;
    std::uint32_t value;
    const char* what;
  } patches[] = {
      {0x3C, 0xFFFFFFF0u, "PE header beyond the end"},
      {0x44 + 2, 0xFFFF, "section count far too high"},
      {0x44 + 20 + 112 + 16, 0x7FFFFFF0u, "resource directory outside every section"},
      {0x200 + 14, 0xFFFF, "resource directory with too many entries"},
      {0x200 + 20, 0x80000000u | 0x7FFFFFF0u, "subdirectory outside the tree"},
      {0x200 + 0x48, 0xFFFFFFF0u, "data entry pointing nowhere"},
      {0x200 + 0x4C, 0xFFFFFFF0u, "data entry far too long"},
      {0x200 + 0x58 + 40, 0x12345678u, "wrong signature"},
      {0x200 + 0x58 + 6, 0x00580058u, "wrong key"},
  };
  for (const Patch& p : patches) {
    std::string bad = pe;
    Put32(bad, p.at, p.value);
    EXPECT_FALSE(platform::ParsePeFileVersion(bad)) << p.what;
  }
}

// ---- registry -------------------------------------------------------------------------------

namespace {

const char* const kTestRoot = "Software\\VelSetupTests";

// Removes a key with everything below it (test clean-up only).
void DeleteTree(RegRoot root, const std::string& path, std::uint32_t view = 0) {
  TRegistry reg(regaccess::Read | view);
  reg.SetRootKey(root);
  if (reg.OpenKeyReadOnly(path))
    for (const std::string& sub : reg.GetKeyNames()) DeleteTree(root, path + "\\" + sub, view);
  reg.CloseKey();
  reg.SetAccess(regaccess::AllAccess | view);
  reg.DeleteKey(path);
}

class RegistryTest : public testing::Test {
 protected:
  void SetUp() override {
    DeleteTree(RegRoot::CurrentUser, kTestRoot);
    DeleteTree(RegRoot::LocalMachine, kTestRoot, regaccess::Wow64_64Key);
    DeleteTree(RegRoot::LocalMachine, kTestRoot, regaccess::Wow64_32Key);
  }
  void TearDown() override { SetUp(); }
};

}  // namespace

TEST_F(RegistryTest, ReadMultiSZDataTakesTextsUpToTheEmptyOne) {
  TRegistryEx reg;
  reg.SetRootKey(RegRoot::CurrentUser);
  ASSERT_TRUE(reg.OpenKey(std::string(kTestRoot) + "\\Multi", true));
  const char16_t units[] = u"A\0B\0\0C\0\0";
  std::u16string twoThenStop(units, sizeof units / sizeof units[0] - 1);
  std::string raw;
  for (char16_t c : twoThenStop) raw += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
  std::string noTerminator = platform::RegStringData("X").substr(0, 2);  // "X" without its null
  struct Case {
    const char* name;
    platform::RegType type;
    std::string data;
    std::vector<std::string> expected;
  } cases[] = {
      {"Instances", platform::RegType::MultiSz, platform::RegMultiStringData({"SQLEXPRESS", "VELMOR", "Žluťoučký"}),
       {"SQLEXPRESS", "VELMOR", "Žluťoučký"}},
      {"StopsAtEmpty", platform::RegType::MultiSz, raw, {"A", "B"}},
      {"Empty", platform::RegType::MultiSz, "", {}},
      {"OnlyTerminator", platform::RegType::MultiSz, std::string(2, '\0'), {}},
      {"Unterminated", platform::RegType::MultiSz, noTerminator, {"X"}},
      {"OddLength", platform::RegType::Binary, platform::RegStringData("AB") + "Z", {"AB"}},
      {"Single", platform::RegType::Sz, platform::RegStringData("one"), {"one"}},
  };
  for (const Case& c : cases) ASSERT_TRUE(reg.WriteValue(c.name, {c.type, c.data})) << c.name;
  for (const Case& c : cases) {
    std::vector<std::string> got = {"stale"};
    reg.ReadMultiSZData(c.name, got);
    EXPECT_EQ(got, c.expected) << c.name;
  }
  std::vector<std::string> got = {"stale"};
  reg.ReadMultiSZData("Missing", got);
  EXPECT_TRUE(got.empty());
}

TEST_F(RegistryTest, ValuesReadBackByType) {
  TRegistry reg;
  reg.SetRootKey(RegRoot::CurrentUser);
  ASSERT_TRUE(reg.OpenKey(std::string("\\") + kTestRoot + "\\Values", true));
  ASSERT_TRUE(reg.WriteString("Name", "Příliš žluťoučký kůň"));
  ASSERT_TRUE(reg.WriteInteger("On", 7));
  ASSERT_TRUE(reg.WriteInteger("Off", 0));
  ASSERT_TRUE(reg.WriteBinaryData("Blob", std::string("\x01\x02\x03", 3)));
  reg.CloseKey();

  ASSERT_TRUE(reg.OpenKeyReadOnly(std::string(kTestRoot) + "\\Values"));
  EXPECT_EQ(reg.ReadString("Name"), "Příliš žluťoučký kůň");
  EXPECT_EQ(reg.ReadString("On"), "");  // not a string
  EXPECT_EQ(reg.ReadString("Missing"), "");
  EXPECT_TRUE(reg.ReadBool("On"));
  EXPECT_FALSE(reg.ReadBool("Off"));
  EXPECT_FALSE(reg.ReadBool("Name"));
  EXPECT_FALSE(reg.ReadBool("Missing"));
  EXPECT_TRUE(reg.ValueExists("Off"));
  EXPECT_FALSE(reg.ValueExists("Missing"));
  EXPECT_EQ(reg.GetDataSize("Blob"), 3);
  EXPECT_EQ(reg.GetDataSize("On"), 4);
  EXPECT_EQ(reg.GetDataSize("Missing"), -1);
  char buf[8] = {};
  EXPECT_EQ(reg.ReadBinaryData("Blob", buf, 2), 2);
  EXPECT_EQ(std::string(buf, 2), "\x01\x02");
  // A read-only key refuses writes.
  EXPECT_FALSE(reg.WriteString("Name", "changed"));
  EXPECT_EQ(reg.ReadString("Name"), "Příliš žluťoučký kůň");
  // Nothing is created without the create flag.
  reg.CloseKey();
  EXPECT_FALSE(reg.OpenKey(std::string(kTestRoot) + "\\NotThere", false));
  EXPECT_FALSE(reg.KeyExists(std::string(kTestRoot) + "\\NotThere"));
  EXPECT_FALSE(reg.ValueExists("Name"));  // no key open
}

TEST_F(RegistryTest, ThirtyTwoBitViewLandsUnderWow6432Node) {
  std::string path = std::string(kTestRoot) + "\\View";
  TRegistry w32(regaccess::AllAccess | regaccess::Wow64_32Key);
  w32.SetRootKey(RegRoot::LocalMachine);
  ASSERT_TRUE(w32.OpenKey(path, true));
  ASSERT_TRUE(w32.WriteString("Bits", "32"));
  w32.CloseKey();
  TRegistry w64(regaccess::AllAccess | regaccess::Wow64_64Key);
  w64.SetRootKey(RegRoot::LocalMachine);
  ASSERT_TRUE(w64.OpenKey(path, true));
  ASSERT_TRUE(w64.WriteString("Bits", "64"));
  w64.CloseKey();

  TRegistry r(regaccess::Read | regaccess::Wow64_64Key);
  r.SetRootKey(RegRoot::LocalMachine);
  ASSERT_TRUE(r.OpenKeyReadOnly("Software\\Wow6432Node\\VelSetupTests\\View"));
  EXPECT_EQ(r.ReadString("Bits"), "32");
  ASSERT_TRUE(r.OpenKeyReadOnly(path));
  EXPECT_EQ(r.ReadString("Bits"), "64");
  TRegistry r32(regaccess::Read | regaccess::Wow64_32Key);
  r32.SetRootKey(RegRoot::LocalMachine);
  ASSERT_TRUE(r32.OpenKeyReadOnly(path));
  EXPECT_EQ(r32.ReadString("Bits"), "32");
}

TEST_F(RegistryTest, HasAdminRightsRemovesOnlyTheKeyItMade) {
  const std::string company = "Software\\MyCompanyName";
  const std::string app = company + "\\MyApplication";
  TRegistry reg(regaccess::AllAccess);
  reg.SetRootKey(RegRoot::LocalMachine);
  bool companyBefore = reg.KeyExists(company);
  if (!companyBefore) {
    EXPECT_TRUE(HasAdminRights());
    EXPECT_FALSE(reg.KeyExists(app));
    EXPECT_FALSE(reg.KeyExists(company));
  }
  // A key that was there before stays, with its value.
  ASSERT_TRUE(reg.OpenKey(app, true));
  ASSERT_TRUE(reg.WriteString("Keep", "me"));
  reg.CloseKey();
  EXPECT_TRUE(HasAdminRights());
  ASSERT_TRUE(reg.OpenKeyReadOnly(app));
  EXPECT_EQ(reg.ReadString("Keep"), "me");
  reg.CloseKey();
  // A company key that was there (with the test key missing) stays too.
  reg.OpenKey(app, false);
  reg.DeleteValue("Keep");
  reg.CloseKey();
  ASSERT_TRUE(reg.DeleteKey(app));
  EXPECT_TRUE(HasAdminRights());
  EXPECT_TRUE(reg.KeyExists(company));
  EXPECT_FALSE(reg.KeyExists(app));
  if (!companyBefore) reg.DeleteKey(company);
}

namespace {
// Sets (or with nullopt removes) EnableLUA for one test and puts the old state back.
class EnableLuaScope {
 public:
  explicit EnableLuaScope(std::optional<std::uint32_t> value) {
    FReg.SetRootKey(RegRoot::LocalMachine);
    FReg.OpenKey(kKey, true);
    FOld = FReg.ValueExists("EnableLUA") ? std::optional<std::int64_t>(FReg.ReadInteger("EnableLUA")) : std::nullopt;
    if (value)
      FReg.WriteInteger("EnableLUA", *value);
    else
      FReg.DeleteValue("EnableLUA");
  }
  ~EnableLuaScope() {
    if (FOld)
      FReg.WriteInteger("EnableLUA", static_cast<std::uint32_t>(*FOld));
    else
      FReg.DeleteValue("EnableLUA");
  }

 private:
  static constexpr const char* kKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
  TRegistry FReg;
  std::optional<std::int64_t> FOld;
};
}  // namespace

TEST(ExecuteRequestFor, RunasOnlyWhenElevationIsAskedAndUacIsOn) {
  bool modern = platform::OsVersion().major >= 6;
  struct Case {
    std::optional<std::uint32_t> enableLua;
    unsigned flags;
    bool runas;
  } cases[] = {
      {std::nullopt, RunElevated | RunWait, false},
      {0u, RunElevated | RunWait, false},
      {1u, RunElevated | RunWait, modern},
      {1u, RunWait, false},
      {1u, RunElevated | RunHidden, modern},
  };
  for (const Case& c : cases) {
    EnableLuaScope lua(c.enableLua);
    EXPECT_EQ(IsUACEnabled(), c.enableLua.value_or(0) != 0 && modern);
    TExecuteRequest r = ExecuteRequestFor(nullptr, "setup.exe", "/q", c.flags);
    EXPECT_EQ(r.verb, c.runas ? "runas" : "") << "flags " << c.flags;
    EXPECT_EQ(r.hidden, (c.flags & RunHidden) != 0);
    EXPECT_EQ(r.file, "setup.exe");
    EXPECT_EQ(r.parameters, "/q");
  }
}

// ---- programs -------------------------------------------------------------------------------

namespace {
// A script that ends with the given exit code after an optional pause.
std::string WriteExitScript(const TempFolder& t, const std::string& name, int code, int pauseSeconds = 0) {
#ifdef _WIN32
  std::string body = "@echo off\r\n";
  if (pauseSeconds) body += "ping -n " + std::to_string(pauseSeconds + 1) + " 127.0.0.1 >nul\r\n";
  body += "exit /b " + std::to_string(code) + "\r\n";
  return t.Write(name + ".cmd", body);
#else
  std::string body = "#!/bin/sh\n";
  if (pauseSeconds) body += "sleep " + std::to_string(pauseSeconds) + "\n";
  body += "exit " + std::to_string(code) + "\n";
  std::string path = t.Write(name + ".sh", body);
  fs::permissions(platform::PathFromUtf8(path), fs::perms::owner_all);
  return path;
#endif
}

#ifdef _WIN32
constexpr int kInstallerFailure = 1603;  // what an MSI-based setup reports when it fails
#else
constexpr int kInstallerFailure = 67;  // exit statuses are 8 bits here
#endif

class PumpScope {
 public:
  explicit PumpScope(TApplication::Pump pump) { Application().SetMessagePump(std::move(pump)); }
  ~PumpScope() {
    Application().SetMessagePump(nullptr);
    Application().ResetTerminated();
  }
};
}  // namespace

TEST(ExecuteProgram, StartsWaitsAndReportsExitCodes) {
  TempFolder t;
  std::string fails = WriteExitScript(t, "fails", kInstallerFailure);
  std::string ok = WriteExitScript(t, "ok", 0);
  std::string slow = WriteExitScript(t, "slow", 0, 1);
  int pumped = 0;
  PumpScope pump([&] { ++pumped; });
  EXPECT_EQ(ExecuteProgram(nullptr, t / "missing.exe", "", RunWait), -1);
  EXPECT_EQ(ExecuteProgram(nullptr, t / "missing.exe", "", 0), -1);
  EXPECT_EQ(ExecuteProgram(nullptr, "", "", RunWait), -1);
  EXPECT_EQ(ExecuteProgram(nullptr, fails, "", RunWait | RunHidden), kInstallerFailure);
  EXPECT_EQ(ExecuteProgram(nullptr, ok, "/quiet \"a b\"", RunWait | RunHidden), 0);
  // The interface stays alive while waiting (a program that ends at once may need no pumping).
  EXPECT_EQ(ExecuteProgram(nullptr, slow, "", RunWait | RunHidden), 0);
  EXPECT_GT(pumped, 0);
  EXPECT_EQ(ExecuteProgram(nullptr, fails, "", RunHidden), 0);  // no waiting: 0 once started
  platform::SleepMilliseconds(500);  // let it end before its folder goes
}

TEST(ExecuteProgram, WithoutWaitReturnsAtOnce) {
  TempFolder t;
  std::string slow = WriteExitScript(t, "slow", 5, 2);
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ExecuteProgram(nullptr, slow, "", RunHidden), 0);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(1500));
  platform::SleepMilliseconds(2500);  // let it end before its folder goes
}

TEST(ExecuteProgram, WaitEndsWhenTheApplicationTerminates) {
  TempFolder t;
  std::string slow = WriteExitScript(t, "slow", 5, 3);
  int pumped = 0;
  PumpScope pump([&] {
    if (++pumped == 3) Application().Terminate();
  });
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ExecuteProgram(nullptr, slow, "", RunWait | RunHidden), 259);
  EXPECT_EQ(pumped, 3);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2500));
}

TEST(ExecutableFor, ProgramsAreTheirOwnExecutable) {
  TempFolder t;
  std::string script = WriteExitScript(t, "tool", 0);
  std::string found = ExecutableFor(script);
  EXPECT_EQ(platform::LowerAscii(platform::Utf8FromPath(platform::PathFromUtf8(found).filename())),
            platform::LowerAscii(platform::Utf8FromPath(platform::PathFromUtf8(script).filename())));
  EXPECT_EQ(ExecutableFor(t / "missing.exe"), "");
  EXPECT_EQ(ExecutableFor(""), "");
}

// ---- shortcuts ------------------------------------------------------------------------------

namespace {
// Points the user's Desktop and Programs shell folders at test folders, then puts them back.
class ShellFoldersScope {
 public:
  ShellFoldersScope(const std::string& desktop, const std::string& programs) {
    FReg.SetRootKey(RegRoot::CurrentUser);
    FReg.OpenKey(kKey, true);
    for (const char* name : {"Desktop", "Programs"})
      FOld.emplace_back(name, FReg.ValueExists(name) ? std::optional<std::string>(FReg.ReadString(name))
                                                     : std::nullopt);
    FReg.WriteString("Desktop", desktop);
    FReg.WriteString("Programs", programs);
  }
  ~ShellFoldersScope() {
    for (auto& [name, value] : FOld)
      if (value)
        FReg.WriteString(name, *value);
      else
        FReg.DeleteValue(name);
  }

 private:
  static constexpr const char* kKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
  TRegistry FReg;
  std::vector<std::pair<std::string, std::optional<std::string>>> FOld;
};
}  // namespace

TEST(Shortcuts, DesktopAndStartMenuLinksReadBack) {
  TempFolder t;
  fs::create_directories(platform::PathFromUtf8(t / "Desktop"));
  fs::create_directories(platform::PathFromUtf8(t / "Programs"));
  ShellFoldersScope folders(t / "Desktop", t / "Programs");
  std::string target = t.Write("Velmor/Velmor.exe", "MZ");
  std::string dir = target.substr(0, target.find_last_of("\\/") + 1);

  // A stale file of the same name is replaced.
  t.Write("Desktop/Velmor Tarpel.lnk", "stale");
  CreateDesktopShortcut(target, "/db=VELMOR", "Velmor business system", "Velmor Tarpel");
  auto link = platform::LoadShellLink(t / "Desktop/Velmor Tarpel.lnk");
  ASSERT_TRUE(link);
  EXPECT_TRUE(platform::SameTextAscii(link->target, target)) << link->target;
  EXPECT_EQ(link->arguments, "/db=VELMOR");
  EXPECT_TRUE(platform::SameTextAscii(link->workingDirectory, dir)) << link->workingDirectory;
  EXPECT_EQ(link->description, "Velmor business system");

  CreateStartMenuShortcut(target, "", "Velmor", "Dromak Solutions\\Velmor", "Velmor Kest");
  auto menu = platform::LoadShellLink(t / "Programs/Dromak Solutions/Velmor/Velmor Kest.lnk");
#ifdef _WIN32
  ASSERT_TRUE(menu);
  EXPECT_EQ(menu->arguments, "");
#else
  // Here the backslash is an ordinary letter of the folder name.
  if (!menu) menu = platform::LoadShellLink(t / "Programs/Dromak Solutions\\Velmor/Velmor Kest.lnk");
  ASSERT_TRUE(menu);
#endif
  EXPECT_TRUE(platform::SameTextAscii(menu->target, target));

  CreateStartMenuShortcut(target, "", "Velmor", "", "Velmor Direct");
  EXPECT_TRUE(platform::LoadShellLink(t / "Programs/Velmor Direct.lnk"));
}

TEST(Shortcuts, NothingWhenTheShellFolderIsUnknown) {
  TempFolder t;
  ShellFoldersScope folders("", "");
  std::string target = t.Write("Velmor.exe", "MZ");
  CreateDesktopShortcut(target, "", "", "Velmor");
  CreateStartMenuShortcut(target, "", "", "Dromak Solutions", "Velmor");
  EXPECT_TRUE(IsDirectoryEmpty(t.Path()) == false);  // only the target is there
  std::vector<std::string> files;
  engine::ListFilesForBackup(t.Path(), files);
  EXPECT_EQ(files, std::vector<std::string>{target});
}

// ---- machine --------------------------------------------------------------------------------

TEST(MachineFacts, AreTruthfulAndWithinLimits) {
  EXPECT_GT(TotalMemoryGB(), 0.1);
  EXPECT_LT(TotalMemoryGB(), 65536.0);
  std::string name = LocalComputerName();
  EXPECT_FALSE(name.empty());
  EXPECT_LE(name.size(), 15u);
  platform::OsVersionInfo v = platform::OsVersion();
  EXPECT_GT(v.major, 0u);
#if defined(_WIN32) && defined(_WIN64)
  EXPECT_TRUE(IsWindows64());
#endif
}
