// Backups past the limits of plain ZIP: more than 65,535 files, and a file, offsets and an archive
// over 4 GiB. Each archive is checked by Info-ZIP unzip and 7-Zip and read back by our own reader.
// Native only. The 4 GiB one is Zip64BigFile (a sparse file, so it costs time, not disk).
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <streambuf>

#include "TestSupport.h"
#include "engine/BackupRestore.h"
#include "engine/ZipArchive.h"
#include "platform/Files.h"

using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

namespace fs = std::filesystem;

std::string Quote(const std::string& s) { return "'" + s + "'"; }

std::uint64_t Le(const std::string& bytes, std::size_t at, std::size_t width) {
  std::uint64_t v = 0;
  for (std::size_t k = 0; k < width; ++k) v |= std::uint64_t{static_cast<unsigned char>(bytes[at + k])} << (8 * k);
  return v;
}

// The archive's last 98 bytes: the Zip64 end record (56), its locator (20) and the end record (22),
// when the archive has them.
struct EndRecords {
  std::string Tail;
  explicit EndRecords(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    auto size = static_cast<std::uint64_t>(in.tellg());
    Tail.resize(98);
    in.seekg(static_cast<std::streamoff>(size - Tail.size()));
    in.read(Tail.data(), static_cast<std::streamsize>(Tail.size()));
  }
  std::uint64_t End(std::size_t at, std::size_t width) const { return Le(Tail, 76 + at, width); }
  bool HasLocator() const { return Le(Tail, 56, 4) == 0x07064b50u && Le(Tail, 0, 4) == 0x06064b50u; }
  std::uint64_t Zip64(std::size_t at) const { return Le(Tail, at, 8); }
};

// Removes a tree of many files at the end of a test, in one call that changes nothing before it
// unlinks (the temporary folder's own clean-up makes every entry writable first, which costs
// minutes for 130,000 files on a busy disk).
struct RemovedAtEnd {
  std::string Path;
  ~RemovedAtEnd() {
    std::error_code ec;
    fs::remove_all(platform::PathFromUtf8(Path), ec);
  }
};

void CheckedByPeers(const std::string& archive) {
  EXPECT_EQ(testing_support::Run("unzip -tqq " + Quote(archive) + " >/dev/null"), 0) << "unzip -t";
  EXPECT_EQ(testing_support::Run("7z t " + Quote(archive) + " >/dev/null"), 0) << "7z t";
}

TEST(Zip64Backup, MoreThan65535FilesAreBackedUpAndRestored) {
  TempFolder tmp;
  std::string dir = tmp / "Velmor";
  RemovedAtEnd removeDir{dir};
  constexpr int kFiles = 65537;
  std::vector<std::string> files;
  files.reserve(kFiles);
  for (int i = 0; i < kFiles; ++i) {
    std::string name = "d" + std::to_string(i / 1000) + "/f" + std::to_string(i) + ".txt";
    files.push_back(tmp.Write("Velmor/" + name, "file " + std::to_string(i) + "\n"));
  }
  auto backup = engine::BackUpFiles(dir, files, "20261211120000", engine::NoProgress());
  ASSERT_TRUE(backup.Complete);

  EndRecords end(backup.ArchivePath);
  ASSERT_TRUE(end.HasLocator()) << "a Zip64 end record and its locator";
  EXPECT_EQ(end.End(8, 2), 0xFFFFu) << "the end record's count says: see the Zip64 record";
  EXPECT_EQ(end.End(10, 2), 0xFFFFu);
  EXPECT_EQ(end.Zip64(24), std::uint64_t{kFiles});
  EXPECT_EQ(end.Zip64(32), std::uint64_t{kFiles});
  EXPECT_EQ(end.End(16, 4), end.Zip64(48)) << "the directory's offset fits and is in both records";
  CheckedByPeers(backup.ArchivePath);

  std::string restored = tmp / "restored";
  RemovedAtEnd removeRestored{restored};
  engine::RestoreBackup(backup.ArchivePath, restored, engine::NoProgress());
  std::size_t count = 0;
  for (auto it = fs::recursive_directory_iterator(restored); it != fs::recursive_directory_iterator(); ++it)
    count += it->is_regular_file() ? 1 : 0;
  EXPECT_EQ(count, std::size_t{kFiles});
  for (int i : {0, 999, 65535, 65536})
    EXPECT_EQ(ReadFile(restored + "/d" + std::to_string(i / 1000) + "/f" + std::to_string(i) + ".txt"),
              "file " + std::to_string(i) + "\n");
}

// Counts what it is given and keeps the bytes at a few offsets.
class Probe : public std::streambuf {
 public:
  explicit Probe(std::map<std::uint64_t, char> wanted) : Wanted(std::move(wanted)) {}
  std::uint64_t Count = 0;
  std::map<std::uint64_t, char> Wanted, Seen;

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    auto size = static_cast<std::uint64_t>(n);
    for (auto it = Wanted.lower_bound(Count); it != Wanted.end() && it->first < Count + size; ++it)
      Seen[it->first] = s[it->first - Count];
    Count += size;
    return n;
  }
  int overflow(int c) override {
    char ch = static_cast<char>(c);
    return c == EOF ? 0 : (xsputn(&ch, 1), c);
  }
};

// One file over 4 GiB between two small ones: its sizes go into Zip64 fields of its local header
// and its directory record. Its zeros compress to a few MiB, so the offsets and the count still fit
// the classic end record.
TEST(Zip64BigFile, ASparseFileOver4GiBAndTheFileAfterItComeBackWhole) {
  TempFolder tmp;
  std::string dir = tmp / "Velmor";
  const std::uint64_t size = (std::uint64_t{1} << 32) + 123457;
  std::vector<std::string> files;
  files.push_back(tmp.Write("Velmor/before.txt", "before"));
  std::string big = tmp.Write("Velmor/Data/big.bin", "");
  fs::resize_file(big, size);
  // A few bytes that are not zero: at the start, across the 4 GiB boundary and at the end.
  std::map<std::uint64_t, char> marks = {{0, 'V'}, {(std::uint64_t{1} << 32) - 1, 'e'}, {std::uint64_t{1} << 32, 'l'},
                                         {size - 1, 'm'}};
  {
    std::fstream f(big, std::ios::binary | std::ios::in | std::ios::out);
    for (auto [at, c] : marks) {
      f.seekp(static_cast<std::streamoff>(at));
      f.put(c);
    }
  }
  files.push_back(big);
  files.push_back(tmp.Write("Velmor/after.txt", "after"));

  auto backup = engine::BackUpFiles(dir, files, "20261211120000", engine::NoProgress());
  ASSERT_TRUE(backup.Complete);
  EndRecords end(backup.ArchivePath);
  EXPECT_FALSE(end.HasLocator());
  EXPECT_EQ(end.End(8, 2), 3u);
  CheckedByPeers(backup.ArchivePath);
  // Python's zipfile reads the Zip64 fields of both headers (it compares the local one on open).
  std::string check = R"(
import sys, zipfile
z = zipfile.ZipFile(sys.argv[1])
i = z.getinfo("Data/big.bin")
assert i.file_size == int(sys.argv[2]) and i.extract_version == 45, (i.file_size, i.extract_version)
with z.open(i) as f:
    assert f.read(1) == b"V"
assert z.getinfo("after.txt").extract_version == 20
)";
  EXPECT_EQ(testing_support::Run("python3 -c " + Quote(check) + " " + Quote(backup.ArchivePath) + " " +
                                 std::to_string(size)),
            0);

  engine::ZipArchive zip;
  zip.FileName = backup.ArchivePath;
  zip.BaseDir = tmp / "restored";
  zip.OpenArchive();
  engine::ZipEntryInfo e;
  std::map<std::string, std::uint64_t> sizes;
  for (bool more = zip.FindFirst(e); more; more = zip.FindNext(e)) sizes[e.StoredPath + e.FileName] = e.UncompressedSize;
  EXPECT_EQ(sizes, (std::map<std::string, std::uint64_t>{{"before.txt", 6}, {"Data\\big.bin", size}, {"after.txt", 5}}));
  zip.ExtractFiles(std::vector<std::string>{"before.txt", "after.txt"});
  EXPECT_EQ(ReadFile(tmp / "restored/before.txt"), "before");
  EXPECT_EQ(ReadFile(tmp / "restored/after.txt"), "after");
  // The big entry is read whole (its CRC checked) without writing 4 GiB to the disk.
  Probe probe(marks);
  std::ostream out(&probe);
  zip.ExtractToStream("Data\\big.bin", out);
  EXPECT_EQ(probe.Count, size);
  EXPECT_EQ(probe.Seen, marks);
  zip.CloseArchive();
}

// Our reader on offsets past 4 GiB, in an archive that Python writes around a hole: a stored
// entry of 4 GiB of zeros (sparse on the disk), then an entry whose local header lies past 4 GiB,
// a directory past 4 GiB and the Zip64 end records. (The backup writes such archives too; one over
// 4 GiB of incompressible data is too slow to write in every test run.)
TEST(Zip64BigFile, OurReaderTakesEntriesAndADirectoryPast4GiB) {
  TempFolder tmp;
  std::string archive = tmp / "past4g.zip";
  std::string make = R"(
import struct, sys, zlib
path = sys.argv[1]
big, small = (1 << 32) + 4096, b"behind the hole"
crc, zero = 0, bytes(1 << 20)
for _ in range(big // len(zero)):
    crc = zlib.crc32(zero, crc)
crc = zlib.crc32(bytes(big % len(zero)), crc)
def local(name, size, crc, zip64):
    extra = struct.pack("<HHQQ", 1, 16, size, size) if zip64 else b""
    n = 0xFFFFFFFF if zip64 else size
    return struct.pack("<IHHHHHIIIHH", 0x04034b50, 45 if zip64 else 20, 0, 0, 0, 0x21, crc, n, n, len(name), len(extra)) + name + extra
def central(name, size, crc, offset):
    values = (struct.pack("<QQ", size, size) if size >= 0xFFFFFFFF else b"") + \
             (struct.pack("<Q", offset) if offset >= 0xFFFFFFFF else b"")
    extra = struct.pack("<HH", 1, len(values)) + values if values else b""
    return struct.pack("<IHHHHHHIIIHHHHHII", 0x02014b50, 45, 45, 0, 0, 0, 0x21, crc, min(size, 0xFFFFFFFF),
                       min(size, 0xFFFFFFFF), len(name), len(extra), 0, 0, 0, 0, min(offset, 0xFFFFFFFF)) + name + extra
with open(path, "wb") as f:
    a = local(b"zeros.bin", big, crc, True)
    f.write(a)
    f.seek(len(a) + big)
    second = f.tell()
    f.write(local(b"after.txt", len(small), zlib.crc32(small), False) + small)
    directory = f.tell()
    f.write(central(b"zeros.bin", big, crc, 0) + central(b"after.txt", len(small), zlib.crc32(small), second))
    end = f.tell()
    f.write(struct.pack("<IQHHIIQQQQ", 0x06064b50, 44, 45, 45, 0, 0, 2, 2, end - directory, directory))
    f.write(struct.pack("<IIQI", 0x07064b50, 0, end, 1))
    f.write(struct.pack("<IHHHHIIH", 0x06054b50, 0, 0, 2, 2, end - directory, 0xFFFFFFFF, 0))
)";
  ASSERT_EQ(testing_support::Run("python3 -c " + Quote(make) + " " + Quote(archive)), 0);
  engine::ZipArchive zip;
  zip.FileName = archive;
  zip.BaseDir = tmp / "out";
  zip.OpenArchive();
  ASSERT_EQ(zip.FileCount(), 2);
  zip.ExtractFiles("after.txt");
  EXPECT_EQ(ReadFile(tmp / "out/after.txt"), "behind the hole");
  engine::ZipEntryInfo e;
  ASSERT_TRUE(zip.FindFirst(e));
  EXPECT_EQ(e.UncompressedSize, (std::uint64_t{1} << 32) + 4096);  // read whole by the test above
  zip.CloseArchive();
}

}  // namespace
