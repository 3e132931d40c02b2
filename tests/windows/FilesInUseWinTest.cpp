// The Restart Manager's answer about held files, through the real rstrtmgr.dll. Windows names the
// program holding a file; Wine's Restart Manager may answer nothing, which the installer must
// take as "none" without failing.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestSupport.h"
#include "platform/FilesInUse.h"
#include "platform/win32/Wide.h"

namespace {

TEST(FilesInUseWin, AHeldFileNamesThisProgramOrNothingAndAFreeFileNothing) {
  testing_support::TempFolder tmp;
  std::string held = tmp.Write("VELMOR.EXE", "MZ held");
  std::string free = tmp.Write("Data/free.txt", "free");
  HANDLE h = CreateFileW(platform::win32::Wide(held).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  std::vector<std::string> programs = platform::ProgramsUsingFiles({held, free});
  CloseHandle(h);
  // Windows names this test program once; Wine may not know.
  EXPECT_LE(programs.size(), 1u);
  for (const std::string& p : programs) EXPECT_FALSE(p.empty());
  EXPECT_TRUE(platform::ProgramsUsingFiles({free}).empty());
  EXPECT_TRUE(platform::ProgramsUsingFiles({}).empty());
  EXPECT_TRUE(platform::ProgramsUsingFiles({tmp / "missing.txt"}).empty());
}

}  // namespace
