#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Text.h"
#include "setup/IniFile.h"
#include "setup/PackageRecords.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

TEST(TypeInstallTest, FromIntegerKeepsOnlyTheKnownTypes) {
  struct Case { long long in; TTypeInstall out; } cases[] = {
      {0, tiKest}, {1, tiKestUpdate}, {2, tiTarpel}, {3, tiTarpelUpdate}, {4, tiVelmorDemo},
      {5, tiKest}, {-1, tiKest}, {256 + 3, tiKest}, {-2147483648LL, tiKest}, {4294967299LL, tiKest},
  };
  for (const Case& c : cases) EXPECT_EQ(TZipFileCFG::TypeInstallFromInteger(c.in), c.out) << c.in;
  static_assert(sizeof(TTypeInstall) == 1);
}

TEST(TypeInstallTest, SetOperations) {
  TTypeInstallSet upToTarpel = TTypeInstallSet::Range(tiKest, tiTarpel);
  EXPECT_TRUE(upToTarpel.Contains(tiKest));
  EXPECT_TRUE(upToTarpel.Contains(tiKestUpdate));
  EXPECT_TRUE(upToTarpel.Contains(tiTarpel));
  EXPECT_FALSE(upToTarpel.Contains(tiTarpelUpdate));
  EXPECT_EQ(upToTarpel, (TTypeInstallSet{tiKest, tiKestUpdate, tiTarpel}));
  EXPECT_TRUE(TTypeInstallSet::Range(tiTarpel, tiKest).Empty());
  EXPECT_EQ((upToTarpel * TTypeInstallSet{tiTarpel, tiVelmorDemo}), TTypeInstallSet{tiTarpel});
  EXPECT_EQ(upToTarpel - TTypeInstallSet{tiKest}, (TTypeInstallSet{tiKestUpdate, tiTarpel}));
  EXPECT_EQ(TTypeInstallSet{tiKest} + TTypeInstallSet{tiVelmorDemo}, (TTypeInstallSet{tiVelmorDemo, tiKest}));
  TTypeInstallSet s;
  s.Include(static_cast<TTypeInstall>(9));  // no such type: ignored rather than setting a stray bit
  EXPECT_TRUE(s.Empty());
  s.Include(tiVelmorDemo);
  s.Exclude(tiVelmorDemo);
  EXPECT_TRUE(s.Empty());
}

TEST(ZipFileCFGTest, ClearKeepsFlagsAndLanguageCode) {
  TZipFileCFG z;
  z.SetFileName("Program.zip");
  z.SetDirInstall("Lang");
  z.SetTypeInstall(tiTarpel);
  z.Files() = {"a", "b"};
  z.SetPovinny(true);
  z.SetJazyk(true);
  z.SetJazykKod("EN");
  z.SetInstallEnableExistFileOrNew(true);
  z.SetForOnlyVersion(true);
  z.Clear();
  EXPECT_EQ(z.FileName(), "");
  EXPECT_EQ(z.DirInstall(), "");
  EXPECT_EQ(z.TypeInstall(), tiKest);
  EXPECT_TRUE(z.Files().empty());
  EXPECT_TRUE(z.Povinny());
  EXPECT_TRUE(z.Jazyk());
  EXPECT_EQ(z.JazykKod(), "EN");
  EXPECT_TRUE(z.InstallEnableExistFileOrNew());
  EXPECT_TRUE(z.ForOnlyVersion());
}

class RecordIniTest : public testing::Test {
 protected:
  TempFolder dir;
};

TEST_F(RecordIniTest, PackageLoadsFilesUpToTheFirstGapAndAppends) {
  TIniFile ini(dir.Write("k.ini", platform::AnsiFromUtf8(
                         "[Pkg]\r\n"
                         "AddFileName1=první.dll\r\n"
                         "AddFileName3=never read\r\n"
                         "DirInstall=Lang\r\n"
                         "TypeInstall=0x3\r\n"
                         "Povinny=1\r\n"
                         "Jazyk=5\r\n"
                         "JazykKod=SK\r\n"
                         "InstallEnableExistFileOrNew=0\r\n"
                         "ForOnlyVersion=yes\r\n")));
  TZipFileCFG z;
  z.SetFileName("kept.zip");
  z.LoadFromINI(ini, "pkg");
  EXPECT_EQ(z.Files(), std::vector<std::string>{"první.dll"});
  EXPECT_EQ(z.FileName(), "kept.zip");
  EXPECT_EQ(z.DirInstall(), "Lang");
  EXPECT_EQ(z.TypeInstall(), tiTarpelUpdate);
  EXPECT_TRUE(z.Povinny());
  EXPECT_TRUE(z.Jazyk());
  EXPECT_EQ(z.JazykKod(), "SK");
  EXPECT_FALSE(z.InstallEnableExistFileOrNew());
  EXPECT_FALSE(z.ForOnlyVersion());  // unreadable: the default
  z.LoadFromINI(ini, "Pkg");
  EXPECT_EQ(z.Files(), (std::vector<std::string>{"první.dll", "první.dll"}));
}

TEST_F(RecordIniTest, PackageMissingKeysGiveDefaults) {
  TIniFile ini(dir.Write("k.ini", "[Pkg]\r\nTypeInstall=9\r\n"));
  TZipFileCFG z;
  z.SetPovinny(true);
  z.SetJazykKod("EN");
  z.LoadFromINI(ini, "Pkg");
  EXPECT_EQ(z.TypeInstall(), tiKest);
  EXPECT_FALSE(z.Povinny());
  EXPECT_EQ(z.JazykKod(), "");
  EXPECT_TRUE(z.Files().empty());
}

TEST_F(RecordIniTest, PackageSaveReplacesTheWholeSection) {
  std::string path = dir.Write("k.ini",
                               "[Before]\r\nx=1\r\n"
                               "[Pkg]\r\nAddFileName1=old1\r\nAddFileName2=old2\r\nAddFileName3=old3\r\nStale=1\r\n"
                               "[After]\r\ny=2\r\n");
  TIniFile ini(path);
  TZipFileCFG z;
  z.Files() = {"nový.dll", "second.dat"};
  z.SetDirInstall("Jazyky\\CZ");
  z.SetTypeInstall(tiVelmorDemo);
  z.SetJazyk(true);
  z.SetJazykKod("EN");
  z.SetForOnlyVersion(true);
  z.SaveToINI(ini, "Pkg");
  EXPECT_EQ(ReadFile(path), platform::AnsiFromUtf8(
                                "[Before]\r\nx=1\r\n"
                                "[After]\r\ny=2\r\n"
                                "\r\n"
                                "[Pkg]\r\n"
                                "AddFileName1=nový.dll\r\n"
                                "AddFileName2=second.dat\r\n"
                                "DirInstall=Jazyky\\CZ\r\n"
                                "TypeInstall=4\r\n"
                                "Povinny=0\r\n"
                                "Jazyk=1\r\n"
                                "JazykKod=EN\r\n"
                                "InstallEnableExistFileOrNew=0\r\n"
                                "ForOnlyVersion=1\r\n"));
  TZipFileCFG back;
  back.LoadFromINI(ini, "Pkg");
  EXPECT_EQ(back.Files(), z.Files());
  EXPECT_EQ(back.DirInstall(), z.DirInstall());
  EXPECT_EQ(back.TypeInstall(), tiVelmorDemo);
  EXPECT_TRUE(back.Jazyk());
  EXPECT_TRUE(back.ForOnlyVersion());
  EXPECT_FALSE(back.Povinny());
}

TEST_F(RecordIniTest, BannerRoundTripLeavesDataOut) {
  std::string path = dir / "r.ini";
  TIniFile ini(path);
  TReklamaType r;
  r.Nazev = "Jarní akce";
  r.FilePath = "banner.png";
  r.Data = "iVBORw0KGgo=";
  r.Ulozeni = 1;
  r.TimeSec = 15;
  r.SaveToINI(ini, "Reklama1");
  EXPECT_EQ(ReadFile(path), platform::AnsiFromUtf8("[Reklama1]\r\nReklamaName=Jarní akce\r\nReklamaTime=15\r\n"
                                                   "ReklamaUlozeni=1\r\nReklamaFilePath=banner.png\r\n"));
  TReklamaType back;
  back.Data = "untouched";
  back.LoadFromINI(ini, "reklama1");
  EXPECT_EQ(back.Nazev, r.Nazev);
  EXPECT_EQ(back.FilePath, r.FilePath);
  EXPECT_EQ(back.Ulozeni, 1);
  EXPECT_EQ(back.TimeSec, 15);
  EXPECT_EQ(back.Data, "untouched");

  TReklamaType empty;
  empty.Nazev = "x";
  empty.TimeSec = 3;
  empty.LoadFromINI(ini, "NoSuchSection");
  EXPECT_EQ(empty.Nazev, "");
  EXPECT_EQ(empty.TimeSec, 0);
}

}  // namespace
