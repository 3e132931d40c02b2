// The restore against Windows' own locking: a file that another program holds open without
// sharing cannot be replaced; it is left as it was and named, and the rest of the backup comes back.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "TestSupport.h"
#include "engine/BackupRestore.h"
#include "platform/Files.h"

using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

TEST(RestoreInUse, AFileHeldOpenWithoutSharingIsLeftAndTheRestIsRestored) {
  TempFolder tmp;
  std::string dir = tmp / "Velmor";
  std::vector<std::string> files = {tmp.Write("Velmor/VELMOR.EXE", "old program"),
                                    tmp.Write("Velmor/Data/a.txt", "old a"), tmp.Write("Velmor/b.txt", "old b")};
  auto backup = engine::BackUpFiles(dir, files, "20261211120000", engine::NoProgress());
  ASSERT_TRUE(backup.Complete);
  platform::WriteWholeFile(files[0], "new program");
  platform::WriteWholeFile(files[1], "new a");
  platform::WriteWholeFile(files[2], "new b");

  HANDLE held = CreateFileW(platform::PathFromUtf8(files[0]).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  engine::RestoreResult result = engine::RestoreBackup(backup.ArchivePath, dir, engine::NoProgress());
  CloseHandle(held);

  ASSERT_EQ(result.Skipped.size(), 1u);
  EXPECT_EQ(result.Skipped[0].Name, "VELMOR.EXE");
  EXPECT_FALSE(result.Skipped[0].Why.empty());
  EXPECT_EQ(ReadFile(files[0]), "new program") << "left as it was";
  EXPECT_EQ(ReadFile(files[1]), "old a");
  EXPECT_EQ(ReadFile(files[2]), "old b");
  for (auto& e : std::filesystem::recursive_directory_iterator(platform::PathFromUtf8(dir)))
    EXPECT_NE(e.path().extension(), ".vspart") << "no temporary file left: " << e.path().string();
}

}  // namespace
