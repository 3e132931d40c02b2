// Backup of a previous installation into a ZIP archive and its restore.
#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "engine/Backup.h"
#include "engine/ZipArchive.h"
#include "platform/FileAttributes.h"
#include "platform/Files.h"

using engine::BackUpFiles;
using engine::RestoreBackup;
using engine::ZipError;
using testing_support::Exists;
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

TEST(Backup, PacksTheFilesRelativeToTheTargetAndRestoresThemOverChanges) {
  Installation in;
  std::vector<int> positions;
  bool stop = false;
  auto result = BackUpFiles(in.dir, in.files, "20240305070809",
                            [&](const std::string&, int done, int) { positions.push_back(done); }, stop);
  ASSERT_TRUE(result.Complete);
  EXPECT_EQ(result.ArchivePath, in.tmp / "Velmor/Backup/Backup20240305070809.zip");
  EXPECT_TRUE(Exists(result.ArchivePath));
  ASSERT_GE(positions.size(), 3u);
  EXPECT_EQ(std::vector<int>(positions.begin(), positions.begin() + 3), (std::vector<int>{1, 2, 3}));

  engine::ZipArchive zip;
  zip.FileName = result.ArchivePath;
  zip.OpenArchive();
  engine::ZipEntryInfo e;
  std::vector<std::string> names;
  for (bool more = zip.FindFirst(e); more; more = zip.FindNext(e)) names.push_back(e.StoredPath + e.FileName);
  EXPECT_EQ(names, (std::vector<std::string>{"Sub\\lib.dll", "prog.exe", "Velmor.INI"}));
  zip.CloseArchive();

  // The failed installation changed a file and made it read-only, and removed another.
  platform::WriteWholeFile(in.files[1], "broken");
  platform::SetFileAttributesOf(in.files[1], platform::faReadOnly);
  std::filesystem::remove(platform::PathFromUtf8(in.files[0]));
  std::vector<std::string> restored;
  RestoreBackup(result.ArchivePath, in.dir, [&](const std::string& name) { restored.push_back(name); });
  EXPECT_EQ(restored.size(), 3u);
  EXPECT_EQ(ReadFile(in.files[1]), "program");
  EXPECT_EQ(ReadFile(in.files[0]), std::string(40000, 'l'));
}

TEST(Backup, NothingToBackUpIsCompleteWithoutAnArchive) {
  TempFolder tmp;
  bool stop = false;
  auto result = BackUpFiles(tmp / "Velmor", {}, "20240305070809", nullptr, stop);
  EXPECT_TRUE(result.Complete);
  EXPECT_EQ(result.ArchivePath, "");
  EXPECT_FALSE(Exists(tmp / "Velmor/Backup"));
}

TEST(Backup, AStopBetweenFilesOrWhileWritingLeavesNoArchive) {
  for (bool duringWrite : {false, true}) {
    SCOPED_TRACE(duringWrite ? "while writing" : "between files");
    Installation in;
    bool stop = false;
    int calls = 0;
    auto result = BackUpFiles(in.dir, in.files, "20240305070809",
                              [&](const std::string&, int done, int total) {
                                ++calls;
                                if (duringWrite ? (calls > total) : (done == 2)) stop = true;
                              },
                              stop);
    EXPECT_FALSE(result.Complete);
    EXPECT_EQ(result.ArchivePath, "");
    EXPECT_FALSE(Exists(in.tmp / "Velmor/Backup/Backup20240305070809.zip"));
    EXPECT_EQ(ReadFile(in.files[1]), "program") << "the installation itself is untouched";
  }
}

TEST(Backup, AFileThatVanishesIsAnErrorAndLeavesNoArchive) {
  Installation in;
  bool stop = false;
  try {
    BackUpFiles(in.dir, in.files, "20240305070809",
                [&](const std::string& file, int done, int) {
                  if (done == 1) std::filesystem::remove(platform::PathFromUtf8(file));
                },
                stop);
    FAIL() << "no error";
  } catch (const ZipError& e) {
    EXPECT_NE(std::string(e.what()).find("Backup20240305070809.zip"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(Exists(in.tmp / "Velmor/Backup/Backup20240305070809.zip"));
}

TEST(Backup, TwoRunsKeepTwoArchivesAndAMissingArchiveCannotBeRestored) {
  Installation in;
  bool stop = false;
  auto first = BackUpFiles(in.dir, in.files, "20240305070809", nullptr, stop);
  auto second = BackUpFiles(in.dir, in.files, "20240305070810", nullptr, stop);
  EXPECT_TRUE(Exists(first.ArchivePath));
  EXPECT_TRUE(Exists(second.ArchivePath));
  std::filesystem::remove(platform::PathFromUtf8(first.ArchivePath));
  EXPECT_THROW(RestoreBackup(first.ArchivePath, in.dir, nullptr), ZipError);
}

}  // namespace
