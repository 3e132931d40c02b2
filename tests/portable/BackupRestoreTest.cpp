// Backup of a previous installation into a ZIP archive and its restore, with the one progress sink.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>
#include <thread>

#include "TestSupport.h"
#include "engine/BackupRestore.h"
#include "engine/ZipArchive.h"
#include "platform/FileAttributes.h"
#include "platform/Files.h"

using engine::BackUpFiles;
using engine::RestoreBackup;
using engine::ZipError;
using testing_support::DataDir;
using testing_support::Exists;
using testing_support::RandomBytes;
using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

struct Installation {
  TempFolder tmp;
  std::string dir = tmp / "Velmor";
  std::vector<std::string> files;
  Installation() {
    files.push_back(tmp.Write("Velmor/Sub/lib.dll", std::string(40000, 'l')));
    files.push_back(tmp.Write("Velmor/prog.exe", "program"));
    files.push_back(tmp.Write("Velmor/Velmor.INI", "[SQLServer]"));
  }
};

// Records what a step reports; stops when told to, and notes any call off the calling thread.
struct Recorder : engine::ProgressSink {
  std::vector<std::uint64_t> totals;
  std::vector<std::pair<std::uint64_t, std::string>> items;
  std::function<bool(const Recorder&)> stopWhen;
  std::thread::id caller = std::this_thread::get_id();
  bool offThread = false;
  void SetTotal(std::uint64_t total) override {
    offThread |= std::this_thread::get_id() != caller;
    totals.push_back(total);
  }
  void Item(std::uint64_t completed, const std::string& item) override {
    offThread |= std::this_thread::get_id() != caller;
    items.emplace_back(completed, item);
  }
  bool ShouldStop() override {
    offThread |= std::this_thread::get_id() != caller;
    return stopWhen && stopWhen(*this);
  }
};

std::vector<std::string> EntryNames(const std::string& archive) {
  engine::ZipArchive zip;
  zip.FileName = archive;
  zip.OpenArchive();
  engine::ZipEntryInfo e;
  std::vector<std::string> names;
  for (bool more = zip.FindFirst(e); more; more = zip.FindNext(e)) names.push_back(e.StoredPath + e.FileName);
  return names;
}

// The names below dir, '/' separated, sorted.
std::vector<std::string> FolderContent(const std::string& dir) {
  std::vector<std::string> names;
  std::error_code ec;
  auto root = platform::PathFromUtf8(dir);
  for (auto it = std::filesystem::recursive_directory_iterator(root, ec);
       !ec && it != std::filesystem::recursive_directory_iterator(); it.increment(ec)) {
    std::string name = platform::Utf8FromPath(it->path().lexically_relative(root));
    std::replace(name.begin(), name.end(), '\\', '/');
    names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

TEST(BackupRestore, PacksTheFilesInListOrderAndRestoresThemOverChanges) {
  Installation in;
  Recorder progress;
  auto result = BackUpFiles(in.dir, in.files, "20240305070809", progress);
  ASSERT_TRUE(result.Complete);
  EXPECT_EQ(result.ArchivePath, in.tmp / "Velmor/Backup/Backup20240305070809.zip");
  EXPECT_EQ(progress.totals, std::vector<std::uint64_t>{3});
  ASSERT_EQ(progress.items.size(), 3u);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_EQ(progress.items[i], std::make_pair(std::uint64_t{i + 1}, in.files[i]));
  EXPECT_FALSE(progress.offThread);
  EXPECT_EQ(EntryNames(result.ArchivePath), (std::vector<std::string>{"Sub\\lib.dll", "prog.exe", "Velmor.INI"}));
  EXPECT_EQ(FolderContent(in.dir + "/Backup"), std::vector<std::string>{"Backup20240305070809.zip"})
      << "the complete archive and nothing beside it";

  // The failed installation changed a file and made it read-only, and removed another.
  platform::WriteWholeFile(in.files[1], "broken");
  platform::SetFileAttributesOf(in.files[1], platform::faReadOnly);
  std::filesystem::remove(platform::PathFromUtf8(in.files[0]));
  Recorder restored;
  RestoreBackup(result.ArchivePath, in.dir, restored);
  EXPECT_EQ(restored.totals, std::vector<std::uint64_t>{3});
  ASSERT_EQ(restored.items.size(), 3u);
  EXPECT_EQ(restored.items[0], std::make_pair(std::uint64_t{1}, std::string("Sub\\lib.dll")));
  EXPECT_EQ(ReadFile(in.files[1]), "program");
  EXPECT_EQ(ReadFile(in.files[0]), std::string(40000, 'l'));
}

// Large files are compressed in pieces on several threads and joined into one entry; random and
// repetitive content, empty files and many small files all come back byte for byte, in order.
TEST(BackupRestore, ManyAndLargeFilesComeBackWholeInListOrder) {
  TempFolder tmp;
  std::string dir = tmp / "Velmor";
  std::vector<std::string> files, contents;
  for (int i = 0; i < 120; ++i) {
    std::size_t size = i % 40 == 0 ? 3 * 1024 * 1024 + 77 * i : static_cast<std::size_t>(i * 97);
    std::string data = i % 3 == 0 ? RandomBytes(size, static_cast<unsigned>(i))
                                  : std::string(size, static_cast<char>('a' + i % 26));
    files.push_back(tmp.Write("Velmor/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".bin", data));
    contents.push_back(std::move(data));
  }
  Recorder progress;
  auto result = BackUpFiles(dir, files, "20240305070809", progress);
  ASSERT_TRUE(result.Complete);
  ASSERT_EQ(progress.items.size(), files.size());
  for (std::size_t i = 0; i < files.size(); ++i) ASSERT_EQ(progress.items[i].second, files[i]);
  EXPECT_FALSE(progress.offThread);

  std::string out = tmp / "restored";
  Recorder restored;
  RestoreBackup(result.ArchivePath, out, restored);
  EXPECT_FALSE(restored.offThread);
  for (std::size_t i = 0; i < files.size(); ++i) {
    std::string back = ReadFile(out + "/d" + std::to_string(i % 7) + "/f" + std::to_string(i) + ".bin");
    ASSERT_TRUE(back == contents[i]) << files[i];
  }
}

TEST(BackupRestore, NothingToBackUpIsCompleteWithoutAnArchive) {
  TempFolder tmp;
  auto result = BackUpFiles(tmp / "Velmor", {}, "20240305070809", engine::NoProgress());
  EXPECT_TRUE(result.Complete);
  EXPECT_EQ(result.ArchivePath, "");
  EXPECT_FALSE(Exists(tmp / "Velmor/Backup"));
}

// A stop after any file, the last one included, leaves the target as it was: no archive, no
// half-written file, no new Backup folder; an earlier backup stays.
TEST(BackupRestore, AStopLeavesNoArchiveAndTheTargetAsItWas) {
  for (bool earlierBackup : {false, true}) {
    for (std::uint64_t stopAfter : {1u, 2u, 3u}) {
      SCOPED_TRACE(std::to_string(stopAfter) + (earlierBackup ? " with an earlier backup" : ""));
      Installation in;
      if (earlierBackup) in.tmp.Write("Velmor/Backup/Backup20200101000000.zip", "old");
      Recorder progress;
      progress.stopWhen = [&](const Recorder& r) { return r.items.size() >= stopAfter; };
      auto result = BackUpFiles(in.dir, in.files, "20240305070809", progress);
      EXPECT_FALSE(result.Complete);
      EXPECT_EQ(result.ArchivePath, "");
      EXPECT_EQ(progress.items.size(), stopAfter) << "the stop takes effect between files";
      if (earlierBackup)
        EXPECT_EQ(FolderContent(in.dir + "/Backup"), std::vector<std::string>{"Backup20200101000000.zip"});
      else
        EXPECT_FALSE(Exists(in.dir + "/Backup"));
      EXPECT_EQ(ReadFile(in.files[1]), "program") << "the installation itself is untouched";
    }
  }
}

TEST(BackupRestore, AFileThatVanishesIsAnErrorAndLeavesNoArchive) {
  Installation in;
  std::filesystem::remove(platform::PathFromUtf8(in.files[1]));
  try {
    BackUpFiles(in.dir, in.files, "20240305070809", engine::NoProgress());
    FAIL() << "no error";
  } catch (const ZipError& e) {
    EXPECT_NE(std::string(e.what()).find("prog.exe"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(Exists(in.dir + "/Backup")) << "no archive, no half-written file, no new folder";
}

// Every .vspart file below dir: a skipped entry must not leave its temporary file behind.
std::vector<std::string> PartialFiles(const std::string& dir) {
  std::vector<std::string> partial;
  for (const std::string& name : FolderContent(dir))
    if (name.size() > 7 && name.compare(name.size() - 7, 7, ".vspart") == 0) partial.push_back(name);
  return partial;
}

std::vector<std::string> SkippedNames(const engine::RestoreResult& result) {
  std::vector<std::string> names;
  for (const auto& f : result.Skipped) names.push_back(f.Name);
  return names;
}

// A file the restore cannot write is left as it was and named with why; every other file of the
// backup comes back, and the progress still counts every entry.
TEST(BackupRestore, RestoreGoesPastFilesItCannotWrite) {
  struct Case {
    const char* what;
    std::function<void(Installation&)> block;
    std::vector<std::string> skipped;
    std::string leftAlone;  // a file below the blocking thing that must keep its content
  };
  const std::vector<Case> cases = {
      {"a folder where a file was",
       [](Installation& in) {
         std::filesystem::remove(platform::PathFromUtf8(in.files[1]));
         in.tmp.Write("Velmor/prog.exe/inside.txt", "a folder's file");
       },
       {"prog.exe"}, "Velmor/prog.exe/inside.txt"},
      {"a file where a folder was",
       [](Installation& in) {
         std::filesystem::remove_all(platform::PathFromUtf8(in.dir + "/Sub"));
         in.tmp.Write("Velmor/Sub", "a file named like the folder");
       },
       {"Sub\\lib.dll"}, "Velmor/Sub"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Installation in;
    auto backup = BackUpFiles(in.dir, in.files, "20240305070809", engine::NoProgress());
    ASSERT_TRUE(backup.Complete);
    platform::WriteWholeFile(in.files[2], "changed by the failed installation");
    c.block(in);
    std::string before = ReadFile(in.tmp / c.leftAlone);
    Recorder progress;
    engine::RestoreResult result = RestoreBackup(backup.ArchivePath, in.dir, progress);
    EXPECT_EQ(SkippedNames(result), c.skipped);
    for (const auto& f : result.Skipped) EXPECT_FALSE(f.Why.empty());
    EXPECT_EQ(ReadFile(in.files[2]), "[SQLServer]") << "the rest was restored";
    EXPECT_EQ(ReadFile(in.tmp / c.leftAlone), before) << "what stood in the way is untouched";
    EXPECT_EQ(progress.items.size(), 3u);
    EXPECT_EQ(PartialFiles(in.dir), std::vector<std::string>{});
  }
}

// Damaged data of one entry: the file on the disk keeps its content.
TEST(BackupRestore, RestoreLeavesAFileWhoseEntryIsDamaged) {
  TempFolder tmp;
  tmp.Write("Velmor/data.txt", "what was there");
  engine::RestoreResult result = RestoreBackup(DataDir() + "/zip/crc-mismatch.zip", tmp / "Velmor", engine::NoProgress());
  EXPECT_EQ(SkippedNames(result), std::vector<std::string>{"data.txt"});
  EXPECT_EQ(ReadFile(tmp / "Velmor/data.txt"), "what was there");
  EXPECT_EQ(PartialFiles(tmp / "Velmor"), std::vector<std::string>{});
}

TEST(BackupRestore, TwoRunsKeepTwoArchivesAndAMissingArchiveCannotBeRestored) {
  Installation in;
  auto first = BackUpFiles(in.dir, in.files, "20240305070809", engine::NoProgress());
  auto second = BackUpFiles(in.dir, in.files, "20240305070810", engine::NoProgress());
  EXPECT_TRUE(Exists(first.ArchivePath));
  EXPECT_TRUE(Exists(second.ArchivePath));
  std::filesystem::remove(platform::PathFromUtf8(first.ArchivePath));
  EXPECT_THROW(RestoreBackup(first.ArchivePath, in.dir, engine::NoProgress()), ZipError);
}

// Below 65,535 files and 4 GiB a backup is the plain ZIP 2.0 archive it always was, byte for byte:
// the fixture was written by the backup before it learnt Zip64. Its files are restored (which
// puts back their times and attributes) and backed up again in the fixture's order.
TEST(BackupRestore, BelowTheZip64LimitsTheArchiveIsByteForByteAsBefore) {
  TempFolder tmp;
  std::string fixture = DataDir() + "/backup/below-zip64-limits.zip";
  std::string dir = tmp / "Velmor";
  RestoreBackup(fixture, dir, engine::NoProgress());
  std::vector<std::string> files;
  engine::ZipArchive zip;
  zip.FileName = fixture;
  zip.OpenArchive();
  engine::ZipEntryInfo e;
  for (bool more = zip.FindFirst(e); more; more = zip.FindNext(e)) {
    std::string name = e.StoredPath + e.FileName;
    std::replace(name.begin(), name.end(), '\\', platform::PathDelimiter());
    files.push_back(platform::IncludeTrailingPathDelimiter(dir) + name);
  }
  zip.CloseArchive();
  auto result = BackUpFiles(dir, files, "20240305070809", engine::NoProgress());
  ASSERT_TRUE(result.Complete);
  std::string ours = ReadFile(result.ArchivePath), before = ReadFile(fixture);
  ASSERT_EQ(ours.size(), before.size());
  // The archive bit is the file system's say, not the writer's: Wine reports it on every file, a
  // Linux file never has it. It is left out of the comparison of each directory record.
  auto le = [](const std::string& b, std::size_t at, int n) {
    std::size_t v = 0;
    for (int k = n - 1; k >= 0; --k) v = v * 256 + static_cast<unsigned char>(b[at + static_cast<std::size_t>(k)]);
    return v;
  };
  std::size_t at = le(before, before.size() - 6, 4);
  for (std::size_t k = 0; k < files.size() && at + 46 <= before.size(); ++k) {
    for (std::string* b : {&ours, &before}) (*b)[at + 38] = static_cast<char>((*b)[at + 38] & ~platform::faArchive);
    at += 46 + le(before, at + 28, 2) + le(before, at + 30, 2) + le(before, at + 32, 2);
  }
  for (std::size_t i = 0; i < ours.size(); ++i) ASSERT_EQ(ours[i], before[i]) << "first difference at offset " << i;
}

// A backup archive whose names climb out of the installation is refused whole.
TEST(BackupRestore, RestoreRefusesEntriesClimbingOutOfTheTarget) {
  for (const char* fixture : {"climb-dotdot.zip", "climb-absolute.zip", "climb-backslash.zip"}) {
    SCOPED_TRACE(fixture);
    TempFolder tmp;
    std::string target = tmp / "a/b/Velmor";
    tmp.Write("a/b/Velmor/ok.txt", "mine");
    EXPECT_THROW(RestoreBackup(DataDir() + "/zip/" + fixture, target, engine::NoProgress()), ZipError);
    EXPECT_EQ(ReadFile(target + "/ok.txt"), "mine") << "nothing was written";
    EXPECT_FALSE(Exists(tmp / "a/escape.txt"));
    EXPECT_FALSE(Exists(tmp / "a/b/escape.txt"));
  }
}

}  // namespace
