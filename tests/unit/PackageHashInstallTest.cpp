// velkit install, which runs the installer's extraction, on a kit whose definition carries the
// packages' hashes: a package replaced after the kit was packed is not opened, the message names it
// with both hashes, and the files it would have overwritten keep their previous content.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include "TestSupport.h"

namespace {

using testing_support::ReadFile;
using testing_support::TempFolder;

const std::string kVelkit = std::string(VELSETUP_BINARY_DIR) + "/tools/velkit";
const std::string kMakeKit = std::string(VELSETUP_SOURCE_DIR) + "/scripts/make-demo-kit.sh";

std::string Quote(const std::string& s) { return "'" + s + "'"; }

TEST(PackageHashInstall, AReplacedPackageIsNotInstalledAndTheOthersAre) {
  TempFolder dir;
  std::string kit = dir / "kit", target = dir / "Velmor";
  ASSERT_EQ(testing_support::Run("VELKIT=" + kVelkit + " " + kMakeKit + " " + Quote(kit) + " >/dev/null"), 0);
  ASSERT_EQ(testing_support::Run(kVelkit + " definition pack --hash-from " + Quote(kit) + " " + Quote(kit + "/setup.xml") + " " +
                Quote(kit + "/setup.dat") + " >/dev/null"),
            0);
  std::string packed = ReadFile(kit + "/Lang_EN.zip");
  // Another archive with the kit's password, put in the package's place.
  ASSERT_EQ(testing_support::Run("cd " + Quote(dir.Path()) + " && mkdir -p r && printf 'changed' >r/Velmor_EN.lng && cd r && "
                "rm -f " + Quote(kit + "/Lang_EN.zip") + " && zip -q -P 'Demo#Kit2024' " + Quote(kit + "/Lang_EN.zip") +
                " Velmor_EN.lng"),
            0);
  dir.Write("Velmor/Lang/Velmor_EN.lng", "previous language file");
  dir.Write("sums/packed.zip", packed);
  ASSERT_EQ(testing_support::Run("sha256sum " + Quote(dir / "sums/packed.zip") + " " + Quote(kit + "/Lang_EN.zip") + " | cut -c1-64 >" +
                Quote(dir / "sums.txt")),
            0);
  std::string sums = ReadFile(dir / "sums.txt");
  std::string expected = sums.substr(0, 64), actual = sums.substr(65, 64);

  int status = testing_support::Run("cd " + Quote(dir.Path()) + " && TMPDIR=" + Quote(dir.Path()) + " " + kVelkit + " install " +
                   Quote(kit) + " " + Quote(target) + " --type 0 >out.txt 2>err.txt");
  std::string out = ReadFile(dir / "out.txt"), err = ReadFile(dir / "err.txt");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << out << err;
  EXPECT_NE(err.find("\"Lang_EN.zip\""), std::string::npos) << err;
  EXPECT_NE(err.find(actual), std::string::npos) << "the archive's hash: " << err;
  EXPECT_NE(err.find(expected), std::string::npos) << "the definition's hash: " << err;
  EXPECT_NE(out.find("Packages not installed:\n  Lang_EN.zip\n"), std::string::npos) << out;
  EXPECT_EQ(ReadFile(target + "/Lang/Velmor_EN.lng"), "previous language file");
  EXPECT_NE(ReadFile(target + "/Velmor.exe").find("Velmor demonstration program"), std::string::npos)
      << "the package whose hash matches is installed";
}

}  // namespace
