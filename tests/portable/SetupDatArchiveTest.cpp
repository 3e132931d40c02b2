// Definitions read from their password-protected container (fixtures made with Info-ZIP zip -P).
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "setup/SetupDat.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"

namespace {

using testing_support::DataDir;
using testing_support::ReadFile;
using testing_support::TempFolder;

class CountingPresenter : public TMessagePresenter {
 public:
  std::vector<std::string> errors;
  bool ShowMessageForm(const std::string& text, const std::string& title, const std::string&, TMessageKind kind, int,
                       const TNotifyEvent&) override {
    if (kind == mkError) errors.push_back(text + "|" + title);
    return false;
  }
  void UpdateWait(const std::string&, const std::string&) override {}
  void CloseWait() override {}
};

class SetupDatArchiveTest : public testing::Test {
 protected:
  CountingPresenter presenter;
  TSetupDat dat{false};
  TempFolder dir;
  void SetUp() override { SetMessagePresenter(&presenter); }
  void TearDown() override { SetMessagePresenter(nullptr); }
  static std::string Fixture(const std::string& name) { return ReadFile(DataDir() + "/definition/" + name); }
};

TEST_F(SetupDatArchiveTest, LoadsTheEntryOfAPasswordProtectedArchive) {
  // Any file name will do, also one with Czech letters in a folder with them.
  std::string path = dir.Write("Instalace Účetnictví/definice verze 3.dat", Fixture("full.setup.dat"));
  ASSERT_TRUE(dat.LoadSetupDat(path));
  EXPECT_TRUE(dat.LoadedSetupDat());
  EXPECT_TRUE(presenter.errors.empty());
  EXPECT_EQ(dat.ZipPassword(), "Kit#2024heslo");
  EXPECT_EQ(dat.VerzeExe(), "4.7.2.0001");
  ASSERT_EQ(dat.ZipFiles().size(), 3u);
  EXPECT_EQ(dat.ZipFiles()[1].FileName(), "Lang_EN.zip");
  EXPECT_EQ(dat.Reklamy().size(), 1u);
}

TEST_F(SetupDatArchiveTest, UnreadableContainersFailWithTheErrorBox) {
  std::string good = Fixture("full.setup.dat");
  std::string damaged = good;
  damaged[damaged.size() / 2] = static_cast<char>(damaged[damaged.size() / 2] ^ 0x5A);
  struct Case { const char* what; std::string bytes; } cases[] = {
      {"wrong password", Fixture("wrongpassword.setup.dat")},
      {"no entry setup.dat", Fixture("noentry.setup.dat")},
      {"damaged compressed data", damaged},
      {"truncated archive", good.substr(0, good.size() - 30)},
      {"only the first half", good.substr(0, good.size() / 2)},
      {"empty file", ""},
      {"plain XML, not an archive", Fixture("full.xml")},
  };
  for (const Case& c : cases) {
    presenter.errors.clear();
    InstallLog().Reset();
    dat.SetLoadedSetupDat(true);
    EXPECT_FALSE(dat.LoadSetupDat(dir.Write("setup.dat", c.bytes))) << c.what;
    EXPECT_FALSE(dat.LoadedSetupDat()) << c.what;
    EXPECT_EQ(presenter.errors, std::vector<std::string>{"Při načítání souboru \"setup.dat\" nastala chyba.|"}) << c.what;
    const auto& log = InstallLog().Log();
    ASSERT_EQ(log.size(), 4u) << c.what;
    EXPECT_NE(log[2].find("!!! "), std::string::npos) << c.what;
    EXPECT_EQ(log[2].find("nastala chyba"), std::string::npos) << c.what << ": the second error line is the reason";
  }
}

TEST_F(SetupDatArchiveTest, ReasonNamesWhatIsWrong) {
  struct Case { const char* fixture; const char* reason; } cases[] = {
      {"wrongpassword.setup.dat", "assword"},
      {"noentry.setup.dat", "setup.dat"},
      // Found by fuzzing: an encryption method libzip does not know; asking libzip leaked its reader.
      {"fuzz-unknown-encryption.setup.dat", "uses a method this program cannot read (encryption method"},
  };
  for (const Case& c : cases) {
    InstallLog().Reset();
    EXPECT_FALSE(dat.LoadSetupDat(dir.Write("x.dat", Fixture(c.fixture))));
    ASSERT_EQ(InstallLog().Log().size(), 4u);
    EXPECT_NE(InstallLog().Log()[2].find(c.reason), std::string::npos) << InstallLog().Log()[2];
  }
}

}  // namespace

#include "engine/ZipArchive.h"
#include "engine/ZipWriter.h"

namespace {

// The container writer of the kit tool, read back by the installer's loader on each build.
TEST_F(SetupDatArchiveTest, WrittenContainersLoadWithEitherEncryption) {
  std::string xml = Fixture("full.xml");
  for (engine::ZipEncryption e : {engine::ZipEncryption::TraditionalPkware, engine::ZipEncryption::Aes256}) {
    std::string path = dir / "Kit č. 1/setup.dat";
    dir.Write("Kit č. 1/old", "");
    engine::WriteSingleEntryArchive(path, "setup.dat", xml, SetupDatPassword, e);
    ASSERT_TRUE(dat.LoadSetupDat(path)) << static_cast<int>(e);
    EXPECT_EQ(dat.ZipFiles().size(), 3u);
    engine::ZipArchive zip;
    zip.FileName = path;
    zip.OpenArchive();
    engine::ZipEntryInfo entry;
    ASSERT_TRUE(zip.FindFirst(entry));
    EXPECT_TRUE(entry.Encrypted);
    EXPECT_EQ(entry.FileName, "setup.dat");
    EXPECT_FALSE(zip.FindNext(entry));
  }
  EXPECT_THROW(engine::WriteSingleEntryArchive(dir / "no/such/folder/setup.dat", "setup.dat", xml, SetupDatPassword,
                                               engine::ZipEncryption::TraditionalPkware),
               engine::ZipError);
}

}  // namespace
