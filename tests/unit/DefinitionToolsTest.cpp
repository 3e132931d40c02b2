// Definition containers made by other ZIP tools load; what velkit makes, other tools read.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "TestSupport.h"
#include "setup/ProductIndex.h"
#include "setup/SetupDat.h"
#include "support/MessageDialog.h"

namespace {

using testing_support::DataDir;
using testing_support::ReadFile;
using testing_support::TempFolder;

const std::string kVelkit = std::string(VELSETUP_BINARY_DIR) + "/tools/velkit";

std::string Quote(const std::string& s) { return "'" + s + "'"; }

class DefinitionToolsTest : public testing::Test {
 protected:
  TempFolder dir;
  std::string xml = DataDir() + "/definition/full.xml";

  // Runs a command; returns its exit status, its output and error output in out and err.
  int Capture(const std::string& command, std::string* out = nullptr, std::string* err = nullptr) {
    int status = testing_support::Run(command + " >" + Quote(dir / "out.txt") + " 2>" + Quote(dir / "err.txt"));
    if (out) *out = ReadFile(dir / "out.txt");
    if (err) *err = ReadFile(dir / "err.txt");
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  // The XML as an entry "setup.dat" in a folder of its own, for the archivers to pick up.
  std::string Staged(const std::string& name = "setup.dat") {
    dir.Write("stage/" + name, ReadFile(xml));
    return dir / "stage";
  }
};

TEST_F(DefinitionToolsTest, ContainersOfEveryMakerLoad) {
  std::string stage = Staged();
  struct Case { const char* maker; std::string command; } cases[] = {
      {"Info-ZIP zip -P", "cd " + Quote(stage) + " && zip -q -P _MorkaTablin_ ../c.dat setup.dat"},
      {"7z ZipCrypto", "cd " + Quote(stage) + " && 7z a -tzip -p_MorkaTablin_ -mem=ZipCrypto ../c.dat setup.dat"},
      {"7z AES-256", "cd " + Quote(stage) + " && 7z a -tzip -p_MorkaTablin_ -mem=AES256 ../c.dat setup.dat"},
      {"7z AES-128 stored", "cd " + Quote(stage) + " && 7z a -tzip -mx0 -p_MorkaTablin_ -mem=AES128 ../c.dat setup.dat"},
      {"velkit pack", kVelkit + " definition pack " + Quote(xml) + " " + Quote(dir / "c.dat")},
      {"velkit pack --aes", kVelkit + " definition pack --aes " + Quote(xml) + " " + Quote(dir / "c.dat")},
  };
  for (const Case& c : cases) {
    std::remove((dir / "c.dat").c_str());
    ASSERT_EQ(Capture(c.command), 0) << c.maker;
    TSetupDat dat(false);
    ASSERT_TRUE(dat.LoadSetupDat(dir / "c.dat")) << c.maker;
    EXPECT_EQ(dat.ZipPassword(), "Kit#2024heslo") << c.maker;
    EXPECT_EQ(dat.ZipFiles().size(), 3u) << c.maker;
  }
}

TEST_F(DefinitionToolsTest, EntryMustLieInTheArchivesRoot) {
  std::string stage = Staged("sub/setup.dat");
  ASSERT_EQ(Capture("cd " + Quote(stage) + " && zip -q -r -P _MorkaTablin_ ../c.dat sub"), 0);
  TSetupDat dat(false);
  EXPECT_FALSE(dat.LoadSetupDat(dir / "c.dat"));
}

TEST_F(DefinitionToolsTest, PackedContainerIsReallyEncryptedForOtherTools) {
  ASSERT_EQ(Capture(kVelkit + " definition pack " + Quote(xml) + " " + Quote(dir / "p.dat")), 0);
  std::string out;
  ASSERT_EQ(Capture("unzip -P _MorkaTablin_ -p " + Quote(dir / "p.dat") + " setup.dat", &out), 0);
  EXPECT_EQ(out, ReadFile(xml));
  EXPECT_NE(Capture("unzip -P wrong -p " + Quote(dir / "p.dat") + " setup.dat"), 0);
  std::string listing;
  ASSERT_EQ(Capture("unzip -Z -v " + Quote(dir / "p.dat"), &listing), 0);
  EXPECT_NE(listing.find("encrypted"), std::string::npos) << listing;

  ASSERT_EQ(Capture(kVelkit + " definition pack --aes " + Quote(xml) + " " + Quote(dir / "a.dat")), 0);
  ASSERT_EQ(Capture("7z x -so -p_MorkaTablin_ " + Quote(dir / "a.dat") + " setup.dat", &out), 0);
  EXPECT_EQ(out, ReadFile(xml));
  ASSERT_EQ(Capture("7z l -slt " + Quote(dir / "a.dat"), &listing), 0);
  EXPECT_NE(listing.find("AES-256"), std::string::npos) << listing;
}

TEST_F(DefinitionToolsTest, PackRefusesADefinitionTheInstallerCannotRead) {
  std::string bad = dir.Write("bad.xml", "<Def><main/></Def>");
  std::string err;
  EXPECT_EQ(Capture(kVelkit + " definition pack " + Quote(bad) + " " + Quote(dir / "bad.dat"), nullptr, &err), 1);
  EXPECT_NE(err.find("Při načítání souboru \"setup.dat\" nastala chyba."), std::string::npos) << err;
  EXPECT_NE(err.find("\"Main\""), std::string::npos) << err;
  EXPECT_FALSE(testing_support::Exists(dir / "bad.dat"));
}

// --hash-from: each package's Sha256 from its archive in a folder, as sha256sum computes it; the
// document is otherwise the same text, and a missing archive packs nothing.
TEST_F(DefinitionToolsTest, PackFillsTheHashesFromAPackageFolder) {
  std::string packages = dir / "packages";
  dir.Write("packages/Program.zip", "program archive");
  dir.Write("packages/Lang_EN.zip", "language archive");
  dir.Write("packages/Tarpel.zip", "edition archive");
  // A stale hash of the third package is replaced.
  std::string original = ReadFile(xml);
  std::string withStale = original;
  withStale.insert(withStale.find("<TypInstalace>2</TypInstalace>"),
                   "<Sha256>" + std::string(64, 'A') + "</Sha256><!-- stale -->\n      ");
  std::string input = dir.Write("input.xml", withStale);
  std::string out, err;
  ASSERT_EQ(Capture(kVelkit + " definition pack --hash-from " + Quote(packages) + " " + Quote(input) + " " +
                        Quote(dir / "h.dat"),
                    &out, &err),
            0)
      << err;
  EXPECT_NE(out.find("3 packages, 3 with SHA-256"), std::string::npos) << out;
  std::string sums;
  ASSERT_EQ(Capture("cd " + Quote(packages) + " && sha256sum Program.zip Lang_EN.zip Tarpel.zip", &sums), 0);
  TSetupDat dat(false);
  ASSERT_TRUE(dat.LoadSetupDat(dir / "h.dat"));
  ASSERT_EQ(dat.ZipFiles().size(), 3u);
  for (const TZipFileCFG& z : dat.ZipFiles()) {
    std::string archive = z.FileName().find('.') == std::string::npos ? z.FileName() + ".zip" : z.FileName();
    EXPECT_NE(sums.find(z.Sha256() + "  " + archive), std::string::npos) << archive << "\n" << sums;
  }
  // The packed text is the input with a line per new element and the stale value replaced.
  std::string packed;
  ASSERT_EQ(Capture("unzip -P _MorkaTablin_ -p " + Quote(dir / "h.dat") + " setup.dat", &packed), 0);
  std::string expected = withStale;
  for (const TZipFileCFG& z : dat.ZipFiles()) {
    std::string line = "\n      <FileName>" + z.FileName() + "</FileName>";
    size_t at = expected.find(line);
    ASSERT_NE(at, std::string::npos) << z.FileName();
    if (z.FileName() == "Tarpel.zip")
      expected.replace(expected.find(std::string(64, 'A')), 64, z.Sha256());
    else
      expected.insert(at + line.size(), "\n      <Sha256>" + z.Sha256() + "</Sha256>");
  }
  EXPECT_EQ(packed, expected);

  // An 8-bit document comes out in UTF-8, saying so, with its text unchanged.
  std::string czech = "<?xml version=\"1.0\" encoding=\"windows-1250\"?>\n<D><Main><DBName>\xC8\x9Akola \x9Akola</DBName>"
                      "</Main><ZipFiles><ZipFile><FileName>Program</FileName></ZipFile></ZipFiles></D>\n";
  std::string czechXml = dir.Write("czech.xml", czech);
  ASSERT_EQ(Capture(kVelkit + " definition pack --hash-from " + Quote(packages) + " " + Quote(czechXml) + " " +
                        Quote(dir / "c.dat"),
                    &out, &err),
            0)
      << err;
  ASSERT_EQ(Capture("unzip -P _MorkaTablin_ -p " + Quote(dir / "c.dat") + " setup.dat", &packed), 0);
  EXPECT_EQ(packed, "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<D><Main><DBName>Č\xC5\xA1kola \xC5\xA1kola</DBName>"
                    "</Main><ZipFiles><ZipFile><FileName>Program</FileName><Sha256>" +
                        dat.ZipFiles()[0].Sha256() + "</Sha256></ZipFile></ZipFiles></D>\n");

  // Without the folder's archive of a package nothing is written, and the package is named.
  std::remove((dir / "packages/Lang_EN.zip").c_str());
  EXPECT_EQ(Capture(kVelkit + " definition pack --hash-from " + Quote(packages) + " " + Quote(xml) + " " +
                        Quote(dir / "m.dat"),
                    &out, &err),
            1);
  EXPECT_NE(err.find("Lang_EN.zip"), std::string::npos) << err;
  EXPECT_FALSE(testing_support::Exists(dir / "m.dat"));
}

// velkit archive hash prints what sha256sum prints; a file that is not there fails.
TEST_F(DefinitionToolsTest, ArchiveHashReadsLikeSha256sum) {
  dir.Write("a.zip", "");
  dir.Write("b.zip", testing_support::RandomBytes((4u << 20) + 5, 7));
  std::string ours, theirs, err;
  ASSERT_EQ(Capture("cd " + Quote(dir.Path()) + " && " + kVelkit + " archive hash a.zip b.zip", &ours), 0);
  ASSERT_EQ(Capture("cd " + Quote(dir.Path()) + " && sha256sum a.zip b.zip", &theirs), 0);
  EXPECT_EQ(ours, theirs);
  EXPECT_EQ(Capture(kVelkit + " archive hash " + Quote(dir / "none.zip"), &ours, &err), 1);
  EXPECT_NE(err.find("none.zip"), std::string::npos) << err;
}

TEST_F(DefinitionToolsTest, ShowPrintsTheDefinitionOrWhyItFailed) {
  std::string out, err;
  ASSERT_EQ(Capture("VELSETUP_TEST_KITROOT=/kit " + kVelkit + " definition show " +
                        Quote(DataDir() + "/definition/full.setup.dat"),
                    &out),
            0);
  // The whole document is valid JSON with every property, checked by an independent parser.
  dir.Write("show.json", out);
  EXPECT_EQ(Capture("python3 -c \"import json,sys; d=json.load(open(sys.argv[1])); "
                    "assert len(d) == 21, len(d); assert d['LocalPath'] == '/kit\\\\Kit'; "
                    "assert d['ZipFiles'][1]['JazykKod'] == 'EN'; assert d['Reklamy'][0]['Nazev'] == 'Jarní akce'; "
                    "assert d['MinDiskFree'] == 2048\" " +
                    Quote(dir / "show.json")),
            0)
      << out;

  EXPECT_EQ(Capture(kVelkit + " definition show " + Quote(DataDir() + "/definition/wrongpassword.setup.dat"), &out, &err), 1);
  EXPECT_EQ(out, "");
  EXPECT_EQ(err.substr(0, err.find('\n')), "Při načítání souboru \"setup.dat\" nastala chyba.");
  EXPECT_NE(err.find("assword"), std::string::npos) << err;
  EXPECT_EQ(Capture(kVelkit + " definition show " + Quote(dir / "none.dat"), &out, &err), 1);
  EXPECT_NE(err.find("no file"), std::string::npos) << err;
}

TEST_F(DefinitionToolsTest, PasswordScrambleMatchesTheLoader) {
  std::string out;
  ASSERT_EQ(Capture(kVelkit + " password scramble 'Heslo č. 1'", &out), 0);
  ASSERT_FALSE(out.empty());
  out.pop_back();
  EXPECT_EQ(UnscramblePassword(out), "Heslo č. 1");
  // U+FFC5 + 64 would be the control character 0x05, which XML text cannot hold.
  EXPECT_EQ(Capture(kVelkit + " password scramble \"$(printf '\\357\\277\\205')\""), 1);
}

TEST_F(DefinitionToolsTest, IndexShowListsTheVersionPage) {
  std::string ini = dir.Write("dats.ini",
                              "[Velmor1]\r\nURL=https://h.example.cz/v3/setup.dat;Default\r\nName=Velmor 3\r\n"
                              "[Velmor2]\r\nURL=https://h.example.cz/v2/setup.dat\r\nName=Velmor 2\r\n"
                              "[Velmor4]\r\nURL=x\r\nName=not listed\r\n");
  std::string out;
  ASSERT_EQ(Capture(kVelkit + " index show " + Quote(ini), &out), 0);
  EXPECT_EQ(out,
            "   Velmor 3\n      Velmor1: https://h.example.cz/v3/setup.dat (Default)\n"
            "   Velmor 2\n      Velmor2: https://h.example.cz/v2/setup.dat\n"
            "2 product versions\n");
  EXPECT_EQ(Capture(kVelkit + " index show " + Quote(dir.Write("empty.ini", "[Other]\r\nk=v\r\n"))), 1);
  EXPECT_EQ(Capture(kVelkit + " index show " + Quote(dir / "missing.ini")), 1);
  std::string err;
  EXPECT_EQ(Capture(kVelkit + " index show " + Quote(dir.Write("huge.ini", std::string(kMaxProductIndexSize + 1, ';'))),
                    nullptr, &err),
            1);
  EXPECT_NE(err.find("more than the 1024 KiB"), std::string::npos) << err;
}

// A large value in an 8-bit code page was held as bytes, UTF-16, UTF-8 and the parser's own
// copy at once: a 30 MiB text node peaked near 490 MB. Loaded in a child process, whose peak
// alone the kernel reports.
TEST_F(DefinitionToolsTest, ALargeEightBitValueLoadsWithoutManyCopies) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory hides the program's own";
#endif
  const size_t valueSize = 30u << 20;
  std::string xml = "<?xml version=\"1.0\" encoding=\"windows-1250\"?><Def><Main><DBNameKest>";
  xml.append(valueSize, '\x8A');  // Š: two bytes in UTF-8
  xml += "</DBNameKest></Main></Def>";
  dir.Write("stage/setup.dat", xml);
  xml.clear();
  xml.shrink_to_fit();
  ASSERT_EQ(testing_support::Run("cd " + Quote(dir / "stage") + " && zip -q -P _MorkaTablin_ ../big.dat setup.dat"), 0);
  pid_t child = fork();
  if (child == 0) {
    TSetupDat dat(false);
    bool ok = dat.LoadSetupDat(dir / "big.dat") && dat.DBNameKest().size() == 2 * valueSize;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  rusage usage{};
  ASSERT_EQ(wait4(child, &status, 0, &usage), child);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the definition loads with the whole value";
  long peakMiB = usage.ru_maxrss / 1024;
  // The archive entry (30 MiB), its UTF-8 form, the element's text and the stored value (60 MiB
  // each) are the copies a load needs; nothing beyond.
  EXPECT_LT(peakMiB, 260) << "MiB at the peak";
  std::printf("a 30 MiB windows-1250 value loads with a peak of %ld MiB\n", peakMiB);
}

}  // namespace

namespace {

TEST(DemoKitTest, ScriptMakesAKitTheInstallerCanRead) {
  testing_support::TempFolder dir;
  std::string kit = dir / "kit";
  ASSERT_EQ(testing_support::Run("VELKIT=" + kVelkit + " " + std::string(VELSETUP_SOURCE_DIR) +
                                 "/scripts/make-demo-kit.sh " + Quote(kit) + " http://localhost:8123/kit >/dev/null"),
            0);
  TSetupDat dat(false);
  ASSERT_TRUE(dat.LoadSetupDat(kit + "/setup.dat"));
  EXPECT_EQ(dat.InstallServer(), "http://localhost:8123/kit/");
  ASSERT_EQ(dat.ZipFiles().size(), 2u);
  // The packages open with the definition's password, checked by Info-ZIP unzip.
  for (const char* archive : {"Program.zip", "Lang_EN.zip"})
    EXPECT_EQ(testing_support::Run("unzip -tq -P " + Quote(dat.ZipPassword()) + " " + Quote(kit + "/" + archive) +
                                   " >/dev/null"),
              0)
        << archive;
  EXPECT_NE(testing_support::Run("unzip -tq -P wrong " + Quote(kit + "/Program.zip") + " >/dev/null 2>&1"), 0);
  std::vector<TProductVersion> versions = ReadProductIndex(kit + "/dats.ini");
  ASSERT_EQ(versions.size(), 1u);
  EXPECT_EQ(versions[0].URL.Value(), "http://localhost:8123/kit/setup.dat");
}

}  // namespace
