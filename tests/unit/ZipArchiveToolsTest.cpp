// ZipArchive against independent implementations (Info-ZIP zip/unzip, 7-Zip, Python's zipfile),
// hostile and damaged input, and memory use of a large entry. Native only.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <map>
#include <random>
#include <sstream>
#include <streambuf>

#include "TestSupport.h"
#include "engine/ZipArchive.h"
#include "platform/Files.h"

using engine::ZipArchive;
using engine::ZipError;
using engine::ZipOpenMode;
using testing_support::Exists;
using testing_support::ReadFile;

using testing_support::TempFolder;

namespace {

std::string Quote(const std::string& s) { return "'" + s + "'"; }
int Shell(const std::string& command) { return testing_support::Run(command); }

void Extract(const std::string& archive, const std::string& base, const std::string& password = "") {
  ZipArchive zip;
  zip.FileName = archive;
  zip.BaseDir = base;
  zip.Password = password;
  zip.OpenArchive();
  zip.ExtractFiles("*.*");
  zip.CloseArchive();
}

TEST(ZipArchiveTools, OurArchivesPassInfoZipAnd7ZipAndKeepOemNames) {
  TempFolder tmp;
  tmp.Write("src/a.txt", std::string(20000, 'a'));
  tmp.Write("src/Složka/čeština.txt", "ěščřžýáíé");
  tmp.Write("src/Ωmega.txt", "greek");  // not in code page 852: UTF-8 with the flag
  ZipArchive zip;
  zip.FileName = tmp / "our.zip";
  zip.BaseDir = tmp / "src";
  zip.OpenArchive(ZipOpenMode::Create);
  for (const char* f : {"a.txt", "Složka/čeština.txt", "Ωmega.txt"}) zip.AddFiles(tmp / (std::string("src/") + f));
  zip.CloseArchive();

  EXPECT_EQ(Shell("unzip -tqq " + Quote(zip.FileName)), 0);
  EXPECT_EQ(Shell("7z t " + Quote(zip.FileName) + " >/dev/null"), 0);
  // Python reads names without the UTF-8 flag as CP437; the bytes must be the 852 ones.
  std::string check = R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
names = {}
for i in z.infolist():
    utf8 = bool(i.flag_bits & 0x800)
    name = i.filename if utf8 else i.filename.encode('cp437').decode('cp852')
    names[name] = utf8
    assert i.compress_type == zipfile.ZIP_DEFLATED, i.filename
    assert not any(i.extra[k:k+2] == b'\x01\x00' for k in range(0, len(i.extra), 2)), 'zip64 field'
    assert z.read(i) is not None
assert names == {'a.txt': False, 'Složka/čeština.txt': False, 'Ωmega.txt': True}, names
)";
  tmp.Write("check.py", check);
  EXPECT_EQ(Shell("python3 " + Quote(tmp / "check.py") + " " + Quote(zip.FileName)), 0);
  // Info-ZIP's unzip here turns OEM names into Latin-1; 7-Zip honours the flag.
  EXPECT_EQ(Shell("cd " + Quote(tmp.Path()) + " && 7z x -oun our.zip >/dev/null"), 0);
  EXPECT_EQ(ReadFile(tmp / "un/Ωmega.txt"), "greek");
  EXPECT_EQ(ReadFile(tmp / "un/a.txt"), std::string(20000, 'a'));
}

TEST(ZipArchiveTools, ReadsCzechNamesWrittenByInfoZipAnd7Zip) {
  TempFolder tmp;
  tmp.Write("src/Účetnictví/přehled.txt", "data");
  std::string src = Quote(tmp / "src");
  struct Case {
    const char* archive;
    std::string command;
  } cases[] = {
      {"infozip.zip", "cd " + src + " && zip -qr ../infozip.zip ."},
      {"infozip-crypt.zip", "cd " + src + " && zip -qr -P heslo ../infozip-crypt.zip ."},
      {"7z.zip", "cd " + src + " && 7z a -tzip ../7z.zip . >/dev/null"},
      {"7z-aes.zip", "cd " + src + " && 7z a -tzip -pheslo -mem=AES128 ../7z-aes.zip . >/dev/null"},
      {"7z-zipcrypto.zip", "cd " + src + " && 7z a -tzip -pheslo -mem=ZipCrypto ../7z-zipcrypto.zip . >/dev/null"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.archive);
    ASSERT_EQ(Shell(c.command), 0);
    std::string out = tmp / (std::string("out-") + c.archive);
    Extract(tmp / c.archive, out, "heslo");
    EXPECT_EQ(ReadFile(out + "/Účetnictví/přehled.txt"), "data");
  }
}

TEST(ZipArchiveTools, DamagedArchivesNeverCrashNorWriteOutside) {
  TempFolder tmp;
  tmp.Write("src/a.txt", "alpha alpha alpha alpha alpha");
  tmp.Write("src/Sub/b.txt", std::string(3000, 'b'));
  ASSERT_EQ(Shell("cd " + Quote(tmp / "src") + " && zip -qr -P heslo ../crypt.zip . && zip -qr ../plain.zip . && "
                "7z a -tzip -pheslo -mem=AES256 ../aes.zip . >/dev/null"),
            0);
  std::mt19937 random(20241209);
  int failures = 0, successes = 0;
  for (const char* name : {"plain.zip", "crypt.zip", "aes.zip"}) {
    std::string good = ReadFile(tmp / name);
    for (int round = 0; round < 300; ++round) {
      std::string bad = good;
      if (round % 3 == 0) {
        bad.resize(random() % good.size());  // truncated
      } else {
        for (int flips = 1 + round % 4; flips > 0; --flips)
          bad[random() % bad.size()] = static_cast<char>(random());
      }
      tmp.Write("bad/bad.zip", bad);
      std::string base = tmp / "bad/out";
      try {
        Extract(tmp / "bad/bad.zip", base, "heslo");
        ++successes;
      } catch (const ZipError& e) {
        EXPECT_GT(std::string(e.what()).size(), 10u);
        ++failures;
      }
      for (const auto& entry : std::filesystem::directory_iterator(platform::PathFromUtf8(tmp / "bad"))) {
        std::string leaf = platform::Utf8FromPath(entry.path().filename());
        EXPECT_TRUE(leaf == "bad.zip" || leaf == "out") << leaf;
      }
      std::filesystem::remove_all(platform::PathFromUtf8(base));
    }
  }
  EXPECT_GT(failures, 300) << "damage was detected";
  std::printf("damaged archives: %d rejected with an error, %d still extracted\n", failures, successes);
}

// Counts what it is given and keeps nothing.
class CountingBuffer : public std::streambuf {
 public:
  std::uint64_t Count = 0;

 protected:
  std::streamsize xsputn(const char*, std::streamsize n) override {
    Count += static_cast<std::uint64_t>(n);
    return n;
  }
  int overflow(int c) override {
    ++Count;
    return c;
  }
};

long MaxResidentKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

TEST(ZipArchiveTools, LargeEntriesStreamWithoutBeingHeldInMemory) {
  TempFolder tmp;
  const std::uint64_t size = 256ull << 20;
  // A sparse file of zeros: cheap to make, compresses to about 250 KiB.
  ASSERT_EQ(Shell("truncate -s " + std::to_string(size) + " " + Quote(tmp.Write("src/big.bin", ""))), 0);
  ASSERT_EQ(Shell("cd " + Quote(tmp / "src") + " && zip -q1 ../big.zip big.bin"), 0);
  ZipArchive zip;
  zip.FileName = tmp / "big.zip";
  zip.OpenArchive();
  long before = MaxResidentKiB();
  CountingBuffer counter;
  std::ostream out(&counter);
  zip.ExtractToStream("big.bin", out);
  long grown = MaxResidentKiB() - before;
  EXPECT_EQ(counter.Count, size);
  EXPECT_LT(grown, 32 * 1024) << "KiB of extra memory for a 256 MiB entry";
  std::printf("256 MiB entry streamed; peak memory grew by %ld KiB\n", grown);
}

TEST(ZipArchiveTools, VelkitArchiveCommands) {
  TempFolder tmp;
  tmp.Write("src/a.txt", "alpha");
  ASSERT_EQ(Shell("cd " + Quote(tmp / "src") + " && zip -q -P heslo ../k.zip a.txt"), 0);
  std::string velkit = std::string(VELSETUP_BINARY_DIR) + "/tools/velkit";
  auto status = [&](const std::string& args) {
    int rc = Shell(velkit + " " + args + " >" + Quote(tmp / "out.txt") + " 2>&1");
    return WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  };
  struct Case {
    std::string args;
    int status;
    std::string output;
  } cases[] = {
      {"archive list " + Quote(tmp / "k.zip"), 0, "a.txt"},
      {"archive extract " + Quote(tmp / "k.zip") + " " + Quote(tmp / "x") + " --password heslo", 0, "1 entries"},
      {"archive extract " + Quote(tmp / "k.zip") + " " + Quote(tmp / "y") + " --password bad", 1, "Wrong password"},
      {"archive extract " + Quote(tmp / "k.zip") + " " + Quote(tmp / "y"), 1, "no password"},
      {"archive extract " + Quote(tmp / "none.zip") + " " + Quote(tmp / "y"), 1, "does not exist"},
      {"archive extract " + Quote(tmp / "k.zip"), 2, "Usage"},
      {"archive list", 2, "Usage"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args);
    EXPECT_EQ(status(c.args), c.status);
    std::string output = ReadFile(tmp / "out.txt");
    EXPECT_NE(output.find(c.output), std::string::npos) << output;
  }
  EXPECT_EQ(ReadFile(tmp / "x/a.txt"), "alpha");
  EXPECT_FALSE(Exists(tmp / "y/a.txt"));
}

}  // namespace

namespace {

TEST(ZipArchiveTools, VelkitBackupPacksTheInstallationForUnzip) {
  TempFolder tmp;
  tmp.Write("Velmor/prog.exe", "program");
  tmp.Write("Velmor/Sub/lib.dll", "library");
  tmp.Write("Velmor/data.MDF", "database");
  tmp.Write("Velmor/Backup/Backup20240101000000.zip", "earlier backup");
  tmp.Write("Velmor/DemoData/demo.dat", "demo");
  std::string velkit = std::string(VELSETUP_BINARY_DIR) + "/tools/velkit";
  std::string out = tmp / "out.txt";
  ASSERT_EQ(Shell(velkit + " archive backup " + Quote(tmp / "Velmor") + " >" + Quote(out)), 0);
  std::string archive = ReadFile(out);
  while (!archive.empty() && archive.back() == '\n') archive.pop_back();
  std::string folder = tmp / "Velmor/Backup/Backup";
  ASSERT_EQ(archive.compare(0, folder.size(), folder), 0) << archive;
  EXPECT_EQ(archive.size(), folder.size() + 14 + 4) << "fourteen-digit time stamp and .zip";
  EXPECT_EQ(Shell("unzip -tqq " + Quote(archive)), 0);
  ASSERT_EQ(Shell("unzip -Z1 " + Quote(archive) + " | sort >" + Quote(out)), 0);
  EXPECT_EQ(ReadFile(out), "Sub/lib.dll\nprog.exe\n");

  EXPECT_EQ(Shell(velkit + " archive backup " + Quote(tmp / "Empty") + " 2>/dev/null"), 1 << 8);
  tmp.Write("Empty/Backup/old.zip", "x");
  ASSERT_EQ(Shell(velkit + " archive backup " + Quote(tmp / "Empty") + " >" + Quote(out)), 0);
  EXPECT_NE(ReadFile(out).find("Nothing to back up"), std::string::npos);
}

}  // namespace

namespace {

// AES entries of 7-Zip at every key length, large enough for many reads and keystream refills:
// a deflated text entry and a stored (incompressible) one, each compared byte for byte.
TEST(ZipArchiveTools, ExtractsAesArchivesOf7ZipAtEveryKeyLength) {
  TempFolder tmp;
  std::mt19937 random(7);
  std::string noise(300001, '\0');
  for (char& c : noise) c = static_cast<char>(random());
  std::string text;
  for (int i = 0; text.size() < 500000; ++i) text += "radek " + std::to_string(i * 7919 % 100003) + " faktura\r\n";
  tmp.Write("src/noise.bin", noise);
  tmp.Write("src/Sub/text.txt", text);
  for (const char* method : {"AES128", "AES192", "AES256"}) {
    SCOPED_TRACE(method);
    std::string archive = tmp / (std::string(method) + ".zip");
    ASSERT_EQ(Shell("cd " + Quote(tmp / "src") + " && 7z a -tzip -pheslo -mem=" + method + " " + Quote(archive) +
                    " . >/dev/null"),
              0);
    std::string out = tmp / (std::string("out-") + method);
    Extract(archive, out, "heslo");
    EXPECT_TRUE(ReadFile(out + "/noise.bin") == noise);
    EXPECT_TRUE(ReadFile(out + "/Sub/text.txt") == text);

    try {
      Extract(archive, tmp / "wrong", "hesla");
      ADD_FAILURE() << "a wrong password extracted";
    } catch (const ZipError& e) {
      EXPECT_NE(std::string(e.what()).find("Wrong password"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(Exists(tmp / "wrong/noise.bin"));
    EXPECT_FALSE(Exists(tmp / "wrong/Sub/text.txt"));

    // One flipped bit deep inside each entry's ciphertext: the authentication code (or the inflater
    // before it) refuses the entry and leaves no file.
    std::string bytes = ReadFile(archive);
    for (const char* entry : {"noise.bin", "Sub/text.txt"}) {
      SCOPED_TRACE(entry);
      size_t header = bytes.find("PK\x03\x04");
      auto u16 = [&](size_t at) { return static_cast<size_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8); };
      auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
      while (header != std::string::npos && bytes.compare(header + 30, u16(header + 26), entry) != 0)
        header = bytes.find("PK\x03\x04", header + 4);
      ASSERT_NE(header, std::string::npos);
      size_t data = header + 30 + u16(header + 26) + u16(header + 28);
      std::string damaged = bytes;
      damaged[data + u32(header + 18) * 2 / 3] ^= 0x10;
      std::string copy = tmp.Write("damaged.zip", damaged);
      std::string target = tmp / "damaged";
      try {
        ZipArchive zip;
        zip.FileName = copy;
        zip.BaseDir = target;
        zip.Password = "heslo";
        zip.OpenArchive();
        zip.ExtractFiles("*.*");
        ADD_FAILURE() << "a damaged entry extracted";
      } catch (const ZipError& e) {
        EXPECT_NE(std::string(e.what()).find("damaged"), std::string::npos) << e.what();
      }
      EXPECT_FALSE(Exists(target + "/" + entry));
      std::filesystem::remove_all(platform::PathFromUtf8(target));
    }
  }
}

}  // namespace

namespace {

// The traditional encryption as Info-ZIP writes it to a file and to a pipe (the CRC then follows
// the data and the encryption header repeats the file time) and as 7-Zip writes it; entry sizes
// around the encryption header and the reader's 128 KiB pieces, stored and deflated. Each file
// is compared byte for byte; a wrong password and a flipped bit in each entry leave no file.
TEST(ZipArchiveTools, ExtractsTraditionallyEncryptedArchivesOfInfoZipAnd7Zip) {
  TempFolder tmp;
  std::map<std::string, std::string> files;
  for (std::size_t size : {0u, 1u, 11u, 12u, 13u, 131071u, 131072u, 131073u, 300001u})
    files["noise" + std::to_string(size) + ".bin"] = testing_support::RandomBytes(size, static_cast<unsigned>(size));
  std::string text;
  for (int i = 0; text.size() < 500000; ++i) text += "radek " + std::to_string(i * 7919 % 100003) + " faktura\r\n";
  files["Sub/text.txt"] = text;
  for (const auto& [name, bytes] : files) tmp.Write("src/" + name, bytes);

  struct Maker {
    const char* name;
    const char* command;
  } makers[] = {
      {"infozip", "zip -qr -P heslo ../infozip.zip ."},
      {"infozip-pipe", "zip -qr -P heslo - . > ../infozip-pipe.zip"},
      {"7zip", "7z a -tzip -pheslo -mem=ZipCrypto ../7zip.zip . >/dev/null"},
  };
  for (const Maker& m : makers) {
    SCOPED_TRACE(m.name);
    std::string archive = tmp / (std::string(m.name) + ".zip");
    ASSERT_EQ(Shell("cd " + Quote(tmp / "src") + " && " + m.command), 0);
    std::string out = tmp / (std::string("out-") + m.name);
    Extract(archive, out, "heslo");
    for (const auto& [name, bytes] : files) EXPECT_TRUE(ReadFile(out + "/" + name) == bytes) << name;

    try {
      Extract(archive, tmp / "wrong", "hesla");
      ADD_FAILURE() << "a wrong password extracted";
    } catch (const ZipError& e) {
      EXPECT_NE(std::string(e.what()).find("password"), std::string::npos) << e.what();
    }

    std::string bytes = ReadFile(archive);
    for (const char* entry : {"noise300001.bin", "Sub/text.txt"}) {
      SCOPED_TRACE(entry);
      size_t header = bytes.find("PK\x03\x04");
      auto u16 = [&](size_t at) { return static_cast<size_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8); };
      while (header != std::string::npos && bytes.compare(header + 30, u16(header + 26), entry) != 0)
        header = bytes.find("PK\x03\x04", header + 4);
      ASSERT_NE(header, std::string::npos);
      size_t data = header + 30 + u16(header + 26) + u16(header + 28);
      std::string damaged = bytes;
      damaged[data + 12 + 40000] ^= 0x10;
      std::string copy = tmp.Write("damaged.zip", damaged);
      std::string target = tmp / "damaged";
      try {
        Extract(copy, target, "heslo");
        ADD_FAILURE() << "a damaged entry extracted";
      } catch (const ZipError& e) {
        EXPECT_NE(std::string(e.what()).find("damaged or the password is wrong"), std::string::npos) << e.what();
      }
      EXPECT_FALSE(Exists(target + "/" + entry));
      std::filesystem::remove_all(platform::PathFromUtf8(target));
    }
  }
  std::filesystem::remove_all(platform::PathFromUtf8(tmp / "wrong"));
}

}  // namespace
