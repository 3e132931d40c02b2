// velkit archive backup and restore from a shell: a restore that leaves files as they were names
// them and ends with status 1.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>

#include "TestSupport.h"

using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

const std::string kVelkit = std::string(VELSETUP_BINARY_DIR) + "/tools/velkit";

std::string Quote(const std::string& s) { return "'" + s + "'"; }

int Capture(const TempFolder& dir, const std::string& command, std::string& out) {
  int status = testing_support::Run(command + " >" + Quote(dir / "out.txt") + " 2>&1");
  out = ReadFile(dir / "out.txt");
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ArchiveRestoreTool, NamesTheFilesLeftAsTheyWereAndFailsOnlyThen) {
  TempFolder tmp;
  tmp.Write("Velmor/VELMOR.EXE", "old program");
  tmp.Write("Velmor/Data/a.txt", "old a");
  std::string out;
  ASSERT_EQ(Capture(tmp, kVelkit + " archive backup " + Quote(tmp / "Velmor"), out), 0) << out;
  std::string archive = out.substr(0, out.find('\n'));

  tmp.Write("Velmor/Data/a.txt", "new a");
  EXPECT_EQ(Capture(tmp, kVelkit + " archive restore " + Quote(archive) + " " + Quote(tmp / "Velmor"), out), 0) << out;
  EXPECT_EQ(ReadFile(tmp / "Velmor/Data/a.txt"), "old a");
  EXPECT_EQ(out.find("left as"), std::string::npos) << out;

  tmp.Write("Velmor/Data/a.txt", "new a");
  std::filesystem::remove(tmp / "Velmor/VELMOR.EXE");
  tmp.Write("Velmor/VELMOR.EXE/in-the-way.txt", "a folder");
  EXPECT_EQ(Capture(tmp, kVelkit + " archive restore " + Quote(archive) + " " + Quote(tmp / "Velmor"), out), 1) << out;
  EXPECT_NE(out.find("left as it was: VELMOR.EXE: "), std::string::npos) << out;
  EXPECT_NE(out.find("except 1 file left as it was"), std::string::npos) << out;
  EXPECT_EQ(ReadFile(tmp / "Velmor/Data/a.txt"), "old a") << "the rest was restored";
}

}  // namespace
