// The definition on Windows: the file beside the program, and environment references, whose
// names ignore case there. (Only here: the Windows tests run one after another in one process,
// so a setup.dat beside the test program disturbs no other test.)
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/win32/Wide.h"
#include "setup/SetupDat.h"

namespace {

TEST(SetupDatWindowsTest, EnvironmentNamesIgnoreCase) {
  wchar_t drive[64] = {};
  ASSERT_GT(GetEnvironmentVariableW(L"SystemDrive", drive, 64), 0u);
  std::string expected = platform::win32::Utf8(drive) + "\\Velmor";
  for (const char* text : {"%SystemDrive%\\Velmor", "%SYSTEMDRIVE%\\Velmor", "%systemdrive%\\Velmor"})
    EXPECT_EQ(ExpandEnvironment(text), expected) << text;
  ASSERT_TRUE(SetEnvironmentVariableW(L"VELSETUP_KIT", platform::win32::Wide("D:\\Sdílené\\Kit").c_str()));
  EXPECT_EQ(ExpandEnvironment("%velsetup_kit%\\Program.zip"), "D:\\Sdílené\\Kit\\Program.zip");
}

}  // namespace

namespace {

TEST(SetupDatWindowsTest, CreationLoadsTheFileBesideTheProgram) {
  std::string beside = platform::ExecutableDir() + "setup.dat";
  ASSERT_FALSE(testing_support::Exists(beside));
  struct Remove {
    std::string path;
    ~Remove() {
      std::error_code ec;
      std::filesystem::remove(platform::PathFromUtf8(path), ec);
      ReplaceSetupDat(nullptr);
    }
  } cleanup{beside};
  EXPECT_FALSE(TSetupDat().LoadedSetupDat());
  platform::WriteWholeFile(beside, testing_support::ReadFile(testing_support::DataDir() + "/definition/full.setup.dat"));
  TSetupDat dat;
  EXPECT_TRUE(dat.LoadedSetupDat());
  EXPECT_EQ(dat.ZipFiles().size(), 3u);
  EXPECT_TRUE(CreateSetupDat().LoadedSetupDat());
  EXPECT_EQ(SetupDat().VerzeExe(), "4.7.2.0001");
  EXPECT_TRUE(SetupDat().LoadSetupDat(""));
}

}  // namespace
