// Windows attributes through a backup and restore: hidden, system and read-only come back.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "engine/ZipArchive.h"
#include "platform/FileAttributes.h"

using testing_support::TempFolder;

TEST(ZipArchiveWindows, HiddenSystemAndReadOnlyAttributesRoundTrip) {
  TempFolder tmp;
  struct Case {
    const char* name;
    std::uint32_t attributes;
  } cases[] = {
      {"hidden.txt", platform::faHidden},
      {"system.txt", platform::faSystem},
      {"readonly.txt", platform::faReadOnly},
      {"plain.txt", platform::faArchive},
  };
  engine::ZipArchive zip;
  zip.FileName = tmp / "attr.zip";
  zip.BaseDir = tmp / "src";
  zip.OpenArchive(engine::ZipOpenMode::Create);
  for (const auto& c : cases) {
    std::string path = tmp.Write(std::string("src/") + c.name, c.name);
    platform::SetFileAttributesOf(path, c.attributes);
    zip.AddFiles(path);
  }
  zip.CloseArchive();

  zip.BaseDir = tmp / "out";
  zip.OpenArchive();
  zip.ExtractFiles("*.*");
  zip.CloseArchive();
  const std::uint32_t kept = platform::faHidden | platform::faSystem | platform::faReadOnly;
  for (const auto& c : cases)
    EXPECT_EQ(platform::GetFileAttributesOf(tmp / (std::string("out/") + c.name)) & kept, c.attributes & kept) << c.name;
}
