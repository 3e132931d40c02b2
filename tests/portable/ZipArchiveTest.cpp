// ZipArchive on both builds: archives made by Info-ZIP, 7-Zip and Python (tests/data/zip) and
// round trips through our own writer.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "TestSupport.h"
#include "engine/ZipArchive.h"
#include "platform/FileAttributes.h"
#include "platform/Files.h"

using engine::ZipArchive;
using engine::ZipEntryInfo;
using engine::ZipError;
using engine::ZipOpenMode;
using testing_support::Exists;
using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

std::string Fixture(const std::string& name) { return testing_support::DataDir() + "/zip/" + name; }

std::string LargeText() {
  std::string text;
  char line[64];
  for (int i = 0; i < 400; ++i) {
    std::snprintf(line, sizeof line, "line %04d of the larger file\n", i);
    text += line;
  }
  return text;
}

// Extracts with a mask and returns the error text, empty when it succeeded.
std::string ExtractError(const std::string& archive, const std::string& baseDir, const std::string& password,
                         const std::string& mask = "*.*") {
  ZipArchive zip;
  zip.FileName = archive;
  zip.BaseDir = baseDir;
  zip.Password = password;
  try {
    zip.OpenArchive();
    zip.ExtractFiles(mask);
    zip.CloseArchive();
  } catch (const ZipError& e) {
    return e.what();
  }
  return {};
}

std::string MakeArchive(const TempFolder& tmp, const std::string& archive, const std::vector<std::string>& files) {
  ZipArchive zip;
  zip.FileName = tmp / archive;
  zip.BaseDir = tmp / "src";
  zip.OpenArchive(ZipOpenMode::Create);
  for (const auto& f : files) zip.AddFiles(tmp / ("src/" + f));
  zip.CloseArchive();
  return zip.FileName;
}

class EncryptedFixture : public ::testing::TestWithParam<const char*> {};

TEST_P(EncryptedFixture, ExtractsEveryEntryWithThePassword) {
  TempFolder tmp;
  EXPECT_EQ(ExtractError(Fixture(GetParam()), tmp.Path(), "heslo"), "");
  EXPECT_EQ(ReadFile(tmp / "plain.txt"), "plain text\n");
  EXPECT_EQ(ReadFile(tmp / "secret.txt"), "the secret\n");
  EXPECT_TRUE(ReadFile(tmp / "large.txt") == LargeText());

  ZipArchive zip;
  zip.FileName = Fixture(GetParam());
  zip.Password = "heslo";
  zip.OpenArchive();
  std::ostringstream out;
  zip.ExtractToStream("large.txt", out);
  EXPECT_TRUE(out.str() == LargeText());
}

TEST_P(EncryptedFixture, WrongOrMissingPasswordFailsButPlainEntriesStillExtract) {
  for (const char* password : {"wrong", ""}) {
    SCOPED_TRACE(password);
    TempFolder tmp;
    std::string error = ExtractError(Fixture(GetParam()), tmp.Path(), password, "secret.txt");
    EXPECT_NE(error.find("secret.txt"), std::string::npos) << error;
    EXPECT_NE(error.find("password"), std::string::npos) << error;
    EXPECT_FALSE(Exists(tmp / "secret.txt"));
    EXPECT_TRUE(std::filesystem::is_empty(platform::PathFromUtf8(tmp.Path()))) << "no partial file is left";

    EXPECT_EQ(ExtractError(Fixture(GetParam()), tmp.Path(), password, "plain.txt"), "");
    EXPECT_EQ(ReadFile(tmp / "plain.txt"), "plain text\n");
  }
}

INSTANTIATE_TEST_SUITE_P(ZipArchive, EncryptedFixture,
                         ::testing::Values("mixed-zipcrypto.zip", "streamed-zipcrypto.zip", "mixed-aes128.zip", "mixed-aes192.zip",
                                           "mixed-aes256.zip", "ae1-aes256.zip"));

TEST(ZipArchive, DescribesEntriesInArchiveOrder) {
  ZipArchive zip;
  zip.FileName = Fixture("mixed-zipcrypto.zip");
  zip.OpenArchive();
  EXPECT_EQ(zip.FileCount(), 3);
  ZipEntryInfo e;
  std::vector<std::string> names;
  for (bool more = zip.FindFirst(e); more; more = zip.FindNext(e)) {
    names.push_back(e.StoredPath + e.FileName);
    if (e.FileName == "large.txt") {
      EXPECT_TRUE(e.Encrypted);
      EXPECT_EQ(e.UncompressedSize, LargeText().size());
      EXPECT_LT(e.CompressedSize, e.UncompressedSize);
    }
    if (e.FileName == "plain.txt") {
      EXPECT_FALSE(e.Encrypted);
      EXPECT_EQ(e.Crc32, 0xF7293622u);  // CRC-32 of "plain text\n"
      EXPECT_GT(e.ModifiedTime, 1600000000);
    }
  }
  EXPECT_EQ(names, (std::vector<std::string>{"plain.txt", "secret.txt", "large.txt"}));
  EXPECT_FALSE(zip.FindNext(e));
}

TEST(ZipArchive, CzechNamesReadInOemAndInUtf8) {
  for (const char* archive : {"czech-oem.zip", "czech-utf8.zip"}) {
    SCOPED_TRACE(archive);
    TempFolder tmp;
    ZipArchive zip;
    zip.FileName = Fixture(archive);
    zip.BaseDir = tmp.Path();
    zip.OpenArchive();
    ZipEntryInfo e;
    ASSERT_TRUE(zip.FindFirst(e));
    EXPECT_EQ(e.StoredPath, "Žluťoučký kůň\\");
    EXPECT_EQ(e.FileName, "Úvod.txt");
    std::ostringstream out;
    zip.ExtractToStream("Žluťoučký kůň\\Úvod.txt", out);
    EXPECT_EQ(out.str(), "kun\n");
    zip.ExtractFiles("*.*");
    EXPECT_EQ(ReadFile(tmp / "Žluťoučký kůň/Úvod.txt"), "kun\n");
  }
}

TEST(ZipArchive, EntriesClimbingOutOfTheBaseFolderAreRefusedBeforeAnythingIsWritten) {
  for (const char* archive :
       {"climb-dotdot.zip", "climb-absolute.zip", "climb-drive.zip", "climb-backslash.zip", "climb-unc.zip"}) {
    SCOPED_TRACE(archive);
    TempFolder tmp;
    std::string base = tmp / "base";
    std::string error = ExtractError(Fixture(archive), base, "");
    EXPECT_TRUE(error.find("climbs out") != std::string::npos || error.find("absolute") != std::string::npos ||
                error.find("drive") != std::string::npos)
        << error;
    EXPECT_NE(error.find(Fixture(archive)), std::string::npos) << "names the archive: " << error;
    EXPECT_NE(error.find("escape.txt"), std::string::npos) << "names the entry: " << error;
    EXPECT_FALSE(Exists(base + "/ok.txt"));
    EXPECT_FALSE(Exists(tmp / "escape.txt"));
    EXPECT_FALSE(Exists(tmp / "base/escape.txt"));
    // A mask that leaves the hostile entry out extracts the rest.
    EXPECT_EQ(ExtractError(Fixture(archive), base, "", "ok.txt"), "");
    EXPECT_EQ(ReadFile(base + "/ok.txt"), "ok");
  }
}

// libzip believes the directory; these archives' directories do not describe their data.
TEST(ZipArchive, ForgedOrDamagedDirectoriesAreRefusedNamingTheArchive) {
  struct Case {
    const char* archive;
    const char* reason;
  } cases[] = {
      {"forged-overlap.zip", "share the same data"},
      {"forged-localname.zip", "\"safe.txt\" is named \"..\\..\\x\" in its local header"},
      {"damaged-centralname.zip", "\"sabe.txt\" is named \"safe.txt\" in its local header"},
      {"damaged-endrecord.zip", "belong to no entry"},
      {"damaged-gap.zip", "12 bytes at offset 43 belong to no entry"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.archive);
    TempFolder tmp;
    std::string base = tmp / "base";
    std::string error = ExtractError(Fixture(c.archive), base, "");
    EXPECT_NE(error.find(Fixture(c.archive)), std::string::npos) << error;
    EXPECT_NE(error.find(c.reason), std::string::npos) << error;
    EXPECT_FALSE(Exists(base)) << "nothing is extracted";
  }
  TempFolder tmp;
  EXPECT_EQ(ExtractError(Fixture("layout-sound.zip"), tmp / "base", ""), "");
  EXPECT_EQ(ReadFile(tmp / "base/other.txt"), "other\n");
}

TEST(ZipArchive, RoundTripKeepsFoldersContentTimesAndReadOnly) {
  TempFolder tmp;
  tmp.Write("src/a.txt", "alpha");
  tmp.Write("src/Sub/b.txt", "beta");
  tmp.Write("src/README", "no extension");
  tmp.Write("src/Složka/čeština.txt", "ěščřžýáíé");
  tmp.Write("src/empty.dat", "");
  tmp.Write("src/ro.txt", "read only");
  platform::SetFileModifiedTime(tmp / "src/a.txt", 1709618890);  // 2024-03-05, an even second
  platform::SetFileAttributesOf(tmp / "src/ro.txt", platform::faReadOnly);
  std::string archive =
      MakeArchive(tmp, "back.zip", {"a.txt", "Sub/b.txt", "README", "Složka/čeština.txt", "empty.dat", "ro.txt"});

  ZipArchive zip;
  zip.FileName = archive;
  zip.BaseDir = tmp / "out";
  std::vector<std::string> seen;
  zip.OnExtractFile = [&](ZipArchive&, std::string& name, std::uint32_t&, const std::string&) { seen.push_back(name); };
  zip.OpenArchive();
  EXPECT_EQ(zip.FileCount(), 6);
  zip.ExtractFiles("*.*");
  zip.CloseArchive();
  EXPECT_EQ(seen, (std::vector<std::string>{"a.txt", "Sub\\b.txt", "README", "Složka\\čeština.txt", "empty.dat",
                                            "ro.txt"}));
  EXPECT_EQ(ReadFile(tmp / "out/a.txt"), "alpha");
  EXPECT_EQ(ReadFile(tmp / "out/Sub/b.txt"), "beta");
  EXPECT_EQ(ReadFile(tmp / "out/README"), "no extension");
  EXPECT_EQ(ReadFile(tmp / "out/Složka/čeština.txt"), "ěščřžýáíé");
  EXPECT_TRUE(Exists(tmp / "out/empty.dat"));
  EXPECT_EQ(platform::GetFileModifiedTime(tmp / "out/a.txt"), 1709618890);
  EXPECT_TRUE(platform::GetFileAttributesOf(tmp / "out/ro.txt") & platform::faReadOnly);
  EXPECT_FALSE(platform::GetFileAttributesOf(tmp / "out/a.txt") & platform::faReadOnly);

  // Extracting again replaces the read-only file.
  platform::SetFileAttributesOf(tmp / "out/ro.txt", platform::faArchive);
  platform::WriteWholeFile(tmp / "out/ro.txt", "changed");
  platform::SetFileAttributesOf(tmp / "out/ro.txt", platform::faReadOnly);
  EXPECT_EQ(ExtractError(archive, tmp / "out", "", "ro.txt"), "");
  EXPECT_EQ(ReadFile(tmp / "out/ro.txt"), "read only");
}

TEST(ZipArchive, ExtractingOverAReadOnlyFileReplacesIt) {
  TempFolder tmp;
  tmp.Write("src/setup.ini", "new");
  std::string archive = MakeArchive(tmp, "p.zip", {"setup.ini"});
  tmp.Write("out/setup.ini", "old");
  platform::SetFileAttributesOf(tmp / "out/setup.ini", platform::faReadOnly);
  EXPECT_EQ(ExtractError(archive, tmp / "out", ""), "");
  EXPECT_EQ(ReadFile(tmp / "out/setup.ini"), "new");
}

// A package's extraction ends at the first entry it cannot write; a caller that handles such
// entries (the restore) is told of each and gets every other entry.
TEST(ZipArchive, AnEntryThatCannotBeWrittenEndsTheExtractionUnlessItsFailureIsHandled) {
  TempFolder tmp;
  for (const char* f : {"a.txt", "b.txt", "c.txt"}) tmp.Write(std::string("src/") + f, f);
  std::string archive = MakeArchive(tmp, "abc.zip", {"a.txt", "b.txt", "c.txt"});
  for (bool handled : {false, true}) {
    SCOPED_TRACE(handled ? "handled" : "not handled");
    std::string out = tmp / (handled ? "handled" : "plain");
    tmp.Write((handled ? "handled" : "plain") + std::string("/b.txt/in-the-way.txt"), "folder");
    ZipArchive zip;
    zip.FileName = archive;
    zip.BaseDir = out;
    std::vector<std::string> failed, reported;
    zip.OnExtractFile = [&](ZipArchive&, std::string& name, std::uint32_t&, const std::string&) {
      reported.push_back(name);
    };
    if (handled) zip.OnEntryFailed = [&](const std::string& name, const std::string&) { failed.push_back(name); };
    zip.OpenArchive();
    if (handled) {
      zip.ExtractFiles("*.*");
      EXPECT_EQ(failed, std::vector<std::string>{"b.txt"});
      EXPECT_EQ(reported, (std::vector<std::string>{"a.txt", "b.txt", "c.txt"}));
      EXPECT_EQ(ReadFile(out + "/c.txt"), "c.txt");
    } else {
      try {
        zip.ExtractFiles("*.*");
        ADD_FAILURE() << "no error";
      } catch (const ZipError& e) {
        EXPECT_NE(std::string(e.what()).find("b.txt"), std::string::npos) << e.what();
      }
      EXPECT_FALSE(Exists(out + "/c.txt")) << "nothing after the failed entry";
    }
    EXPECT_EQ(ReadFile(out + "/a.txt"), "a.txt");
    EXPECT_EQ(ReadFile(out + "/b.txt/in-the-way.txt"), "folder");
  }
}

TEST(ZipArchive, MasksSelectByFileNameInEveryFolder) {
  TempFolder tmp;
  tmp.Write("src/prog.exe", "1");
  tmp.Write("src/Sub/prog.exe", "2");
  tmp.Write("src/Sub/lib.dll", "3");
  std::string archive = MakeArchive(tmp, "m.zip", {"prog.exe", "Sub/prog.exe", "Sub/lib.dll"});
  EXPECT_EQ(ExtractError(archive, tmp / "bare", "", "PROG.EXE"), "");
  EXPECT_EQ(ReadFile(tmp / "bare/prog.exe"), "1");
  EXPECT_EQ(ReadFile(tmp / "bare/Sub/prog.exe"), "2");
  EXPECT_FALSE(Exists(tmp / "bare/Sub/lib.dll"));

  ZipArchive zip;
  zip.FileName = archive;
  zip.BaseDir = tmp / "excl";
  zip.OpenArchive();
  zip.ExtractFiles("*.*", engine::faZipAnyFile, "*.exe");
  EXPECT_FALSE(Exists(tmp / "excl/prog.exe"));
  EXPECT_EQ(ReadFile(tmp / "excl/Sub/lib.dll"), "3");
}

TEST(ZipArchive, ExtractToStreamWantsTheExactStoredPath) {
  TempFolder tmp;
  tmp.Write("src/Data/setup.dat", "<xml/>");
  std::string archive = MakeArchive(tmp, "s.zip", {"Data/setup.dat"});
  ZipArchive zip;
  zip.FileName = archive;
  zip.OpenArchive();
  std::ostringstream out;
  try {
    zip.ExtractToStream("setup.dat", out);
    FAIL() << "an entry inside a folder was found by its bare name";
  } catch (const ZipError& e) {
    EXPECT_NE(std::string(e.what()).find("setup.dat"), std::string::npos);
  }
  zip.ExtractToStream("Data\\setup.dat", out);
  EXPECT_EQ(out.str(), "<xml/>");
}

TEST(ZipArchive, HandlerMayRenameButNotLeaveTheBaseFolder) {
  TempFolder tmp;
  tmp.Write("src/a.txt", "alpha");
  std::string archive = MakeArchive(tmp, "h.zip", {"a.txt"});
  for (const char* newName : {"renamed\\x.txt", "..\\x.txt"}) {
    SCOPED_TRACE(newName);
    ZipArchive zip;
    zip.FileName = archive;
    zip.BaseDir = tmp / "out";
    zip.OnExtractFile = [&](ZipArchive&, std::string& name, std::uint32_t&, const std::string&) { name = newName; };
    zip.OpenArchive();
    if (std::string(newName).find("..") == std::string::npos) {
      zip.ExtractFiles("*.*");
      EXPECT_EQ(ReadFile(tmp / "out/renamed/x.txt"), "alpha");
    } else {
      EXPECT_THROW(zip.ExtractFiles("*.*"), ZipError);
      EXPECT_FALSE(Exists(tmp / "x.txt"));
    }
  }
}

TEST(ZipArchive, CreateModeReplacesAnyFileAndAnEmptyArchiveIsValid) {
  TempFolder tmp;
  std::string path = tmp.Write("backup.zip", "not an archive at all");
  ZipArchive zip;
  zip.FileName = path;
  zip.OpenArchive(ZipOpenMode::Create);
  zip.CloseArchive();
  zip.OpenArchive();
  EXPECT_EQ(zip.FileCount(), 0);
  ZipEntryInfo e;
  EXPECT_FALSE(zip.FindFirst(e));
}

TEST(ZipArchive, BadArchivesAndBadArgumentsGiveClearErrors) {
  TempFolder tmp;
  tmp.Write("src/a.txt", std::string(5000, 'a'));
  std::string good = MakeArchive(tmp, "good.zip", {"a.txt"});
  std::string bytes = ReadFile(good);
  tmp.Write("trunc.zip", bytes.substr(0, bytes.size() / 2));
  tmp.Write("text.zip", "hello, I am a text file");
  std::string damaged = bytes;
  damaged[40] = static_cast<char>(damaged[40] ^ 0x55);  // inside the deflated data of a.txt
  tmp.Write("damaged.zip", damaged);

  struct Case {
    std::string archive, expected;
  } cases[] = {
      {tmp / "missing.zip", "does not exist"},
      {tmp / "text.zip", "not a ZIP archive"},
      {tmp / "trunc.zip", "Cannot open the archive"},
      {tmp / "damaged.zip", "damaged"},
      {Fixture("crc-mismatch.zip"), "CRC"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.archive);
    std::string error = ExtractError(c.archive, tmp / "out", "");
    EXPECT_NE(error.find(c.expected), std::string::npos) << error;
  }
  EXPECT_FALSE(Exists(tmp / "out/a.txt")) << "a damaged entry leaves no file";
  EXPECT_FALSE(Exists(tmp / "out/data.txt")) << "an entry failing its CRC leaves no file";

  ZipArchive zip;
  zip.FileName = tmp / "new.zip";
  zip.BaseDir = tmp / "src";
  zip.OpenArchive(ZipOpenMode::Create);
  std::string outside = tmp.Write("elsewhere.txt", "x");
  EXPECT_THROW(zip.AddFiles(outside), ZipError);
  EXPECT_THROW(zip.AddFiles(tmp / "src/none.txt"), ZipError);
  ZipArchive closed;
  std::ostringstream out;
  EXPECT_THROW(closed.ExtractToStream("a.txt", out), ZipError);
}

}  // namespace

namespace {

TEST(ZipArchive, StoredAesEntriesOf7ZipExtract) {
  // 7-Zip stores incompressible data and marks every AES entry AE-2 (no CRC kept).
  TempFolder tmp;
  EXPECT_EQ(ExtractError(Fixture("stored-aes256.zip"), tmp.Path(), "heslo"), "");
  EXPECT_EQ(ReadFile(tmp / "noise.bin").size(), 256u);
  EXPECT_TRUE(ReadFile(tmp / "noise.bin") == ReadFile(tmp / "noise-plain.bin"));
  EXPECT_NE(ExtractError(Fixture("stored-aes256.zip"), tmp / "wrong", "heslo2", "noise.bin"), "");
  EXPECT_FALSE(Exists(tmp / "wrong/noise.bin"));

  // One changed byte of the encrypted data must be caught by the authentication code.
  std::string bytes = ReadFile(Fixture("stored-aes256.zip"));
  size_t header = bytes.find("PK\x03\x04", bytes.find("PK\x03\x04") + 4);  // the second entry, noise.bin
  ASSERT_NE(header, std::string::npos);
  auto u16 = [&](size_t at) { return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8; };
  size_t data = header + 30 + static_cast<size_t>(u16(header + 26)) + static_cast<size_t>(u16(header + 28));
  bytes[data + 16 + 2 + 100] = static_cast<char>(bytes[data + 16 + 2 + 100] ^ 1);  // after salt and verifier
  std::string damaged = tmp.Write("damaged.zip", bytes);
  std::string error = ExtractError(damaged, tmp / "damaged", "heslo", "noise.bin");
  EXPECT_NE(error.find("damaged"), std::string::npos) << error;
  EXPECT_FALSE(Exists(tmp / "damaged/noise.bin"));
}

}  // namespace

namespace {

// Damaged copies of the encrypted fixtures go through this build's own crypto (BCrypt on Windows).
TEST(ZipArchive, DamagedEncryptedArchivesGiveErrorsNeverCrashes) {
  TempFolder tmp;
  std::uint32_t seed = 20241209;
  auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
  int rejected = 0;
  for (const char* name :
       {"mixed-zipcrypto.zip", "streamed-zipcrypto.zip", "mixed-aes256.zip", "ae1-aes256.zip", "stored-aes256.zip"}) {
    std::string good = ReadFile(Fixture(name));
    for (int round = 0; round < 150; ++round) {
      std::string bad = good;
      if (round % 5 == 0)
        bad.resize(next() % good.size());
      else
        bad[next() % bad.size()] = static_cast<char>(next() >> 24);
      std::string archive = tmp.Write("bad.zip", bad);
      std::string error = ExtractError(archive, tmp / "out", "heslo");
      if (!error.empty()) ++rejected;
      std::error_code ec;
      std::filesystem::remove_all(platform::PathFromUtf8(tmp / "out"), ec);
    }
  }
  EXPECT_GT(rejected, 200);
  std::size_t left = 0;
  for (const auto& e : std::filesystem::directory_iterator(platform::PathFromUtf8(tmp.Path()))) {
    (void)e;
    ++left;
  }
  EXPECT_EQ(left, 1u) << "only bad.zip remains; nothing was written beside the base folder";
}

}  // namespace
