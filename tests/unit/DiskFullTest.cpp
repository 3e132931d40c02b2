// A disk that fills up during the backup or during the extraction: a small tmpfs holds the target
// directory. The step reports the error and loses nothing: no half-written archive or file stays,
// and every file of the installation keeps its content. Needs the right to mount (root).
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <random>

#include "TestSupport.h"
#include "engine/BackupRestore.h"
#include "engine/PackageExtraction.h"
#include "engine/ZipArchive.h"
#include "platform/Files.h"

using testing_support::Exists;
using testing_support::RandomBytes;
using testing_support::ReadFile;
using testing_support::Run;
using testing_support::TempFolder;

namespace {

// A tmpfs of the given size mounted on a fresh folder, unmounted at the end.
class SmallDisk {
 public:
  explicit SmallDisk(const std::string& size) : FPath(FHost / "disk") {
    std::filesystem::create_directories(FPath);
    FMounted = Run("mount -t tmpfs -o size=" + size + " tmpfs '" + FPath + "' 2>/dev/null") == 0;
  }
  ~SmallDisk() {
    if (FMounted) Run("umount -l '" + FPath + "'");
  }
  bool Mounted() const { return FMounted; }
  const std::string& Path() const { return FPath; }
  std::string Write(const std::string& name, const std::string& bytes) const {
    std::string path = FPath + "/" + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    platform::WriteWholeFile(path, bytes);
    return path;
  }
  std::vector<std::string> Files() const {
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::recursive_directory_iterator(FPath))
      names.push_back(std::filesystem::relative(e.path(), FPath).string());
    std::sort(names.begin(), names.end());
    return names;
  }

 private:
  TempFolder FHost;
  std::string FPath;
  bool FMounted = false;
};

TEST(DiskFull, DuringTheBackupNothingIsLeftAndTheInstallationIsIntact) {
  SmallDisk disk("1m");
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  std::string big = RandomBytes(700 * 1024, 1);  // does not compress: the archive cannot fit
  std::vector<std::string> files = {disk.Write("Velmor/prog.exe", "program"), disk.Write("Velmor/Data/big.bin", big),
                                    disk.Write("Velmor/Velmor.INI", "[SQLServer]")};
  auto before = disk.Files();
  try {
    engine::BackUpFiles(disk.Path() + "/Velmor", files, "20240305070809", engine::NoProgress());
    FAIL() << "the backup did not notice the full disk";
  } catch (const engine::ZipError& e) {
    EXPECT_NE(std::string(e.what()).find("No space left"), std::string::npos) << e.what();
  }
  EXPECT_EQ(disk.Files(), before) << "no archive, no temporary file, no Backup folder";
  EXPECT_TRUE(ReadFile(files[1]) == big);
  EXPECT_EQ(ReadFile(files[0]), "program");
}

TEST(DiskFull, DuringTheExtractionTheOldFileStaysAndTheErrorSaysWhy) {
  SmallDisk disk("1m");
  if (!disk.Mounted()) GTEST_SKIP() << "cannot mount a tmpfs here";
  TempFolder kit;
  std::string old = RandomBytes(300 * 1024, 2);
  disk.Write("Velmor/big.bin", old);
  disk.Write("Velmor/prog.exe", "old program");
  // The new big.bin cannot be written beside the old one; after.txt comes after it.
  std::string package = kit / "Program.zip";
  {
    int error = 0;
    zip_t* za = zip_open(package.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    ASSERT_NE(za, nullptr);
    static const std::string newBig = RandomBytes(900 * 1024, 3);
    static const std::string prog = "new program", after = "after";
    for (const auto& [name, data] : {std::pair{"prog.exe", &prog}, {"big.bin", &newBig}, {"after.txt", &after}}) {
      zip_int64_t i = zip_file_add(za, name, zip_source_buffer(za, data->data(), data->size(), 0), 0);
      zip_file_set_encryption(za, static_cast<zip_uint64_t>(i), ZIP_EM_TRAD_PKWARE, "heslo");
    }
    ASSERT_EQ(zip_close(za), 0);
  }
  std::string error;
  try {
    engine::ExtractPackageArchive(package, disk.Path() + "/Velmor", "heslo", false, engine::NoProgress());
  } catch (const engine::ZipError& e) {
    error = e.what();
  }
  EXPECT_NE(error.find("No space left"), std::string::npos) << error;
  EXPECT_TRUE(ReadFile(disk.Path() + "/Velmor/big.bin") == old) << "the old file is whole";
  EXPECT_EQ(ReadFile(disk.Path() + "/Velmor/prog.exe"), "new program") << "entries before the error stay";
  EXPECT_FALSE(Exists(disk.Path() + "/Velmor/after.txt"));
  EXPECT_EQ(disk.Files(), (std::vector<std::string>{"Velmor", "Velmor/big.bin", "Velmor/prog.exe"}))
      << "no temporary file stays";
}

}  // namespace
