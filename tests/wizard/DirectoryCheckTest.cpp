// The directory page: the path pattern, the installation found and its version, the Next
// button it decides, free space, the folders it creates and the folder browser.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "LoopbackServer.h"
#include "PeImage.h"
#include "WizardTestSupport.h"
#include "app/DirectoryCheck.h"
#include "platform/FileVersion.h"
#include "platform/Files.h"
#include "setup/Downloader.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/SystemUtil.h"

namespace wizard_test {
namespace {

TEST(PathPattern, IsTheProductsTextWithItsEntities) {
  std::string p = PathPattern;
  EXPECT_EQ(p.size(), 102u);
  EXPECT_NE(p.find("&lt;&gt;"), std::string::npos);
}

TEST(PathSyntaxValid, DriveOrShareFollowedByABackslash) {
  struct Case {
    const char* path;
    bool valid;
  } cases[] = {
      {"", false},
      {"C:", false},
      {"Velmor", false},
      {"Program Files\\Velmor", false},
      {"\\\\server\\share", false},
      {"\\\\server", false},
      {"C:\\", true},
      {"c:\\Program Files\\Velmor", true},
      {"D:\\VELMOR\\", true},
      {"\\\\server\\share\\", true},
      {"\\\\srv-1.firma\\data$\\Velmor", true},
      {"   C:\\Velmor", true},             // found inside the text
      {"C:\\Účetnictví\\Velmor", true},    // letters beyond ASCII in folder names
      {"C:\\a<b|c", true},                 // the excluded characters only end the match
      {"\\\\ser ver\\share\\x", false},    // a blank is no server name character
  };
  for (const Case& c : cases) EXPECT_EQ(PathSyntaxValid(c.path), c.valid) << c.path;
}

TEST(IsSystemFolderTarget, DriveRootsAndTheSystemsOwnFolders) {
  const TSystemFolders folders{{"C:\\Windows", "C:\\Program Files", "C:\\Program Files (x86)"}, "C:\\Users"};
  struct Case {
    const char* path;
    bool refused;
  } cases[] = {
      {"C:\\", true},
      {"c:", true},
      {"D:\\", true},
      {"C:\\Velmor\\..", true},  // resolves to the root
      {"\\\\server\\share", true},
      {"\\\\server\\share\\", true},
      {"C:\\Windows", true},
      {"c:\\WINDOWS\\", true},
      {"C:/Windows", true},
      {"C:\\Windows\\.\\System32\\..", true},
      {"C:\\Program Files", true},
      {"C:\\Program Files (x86)\\", true},
      {"C:\\Users", true},
      {"C:\\Users\\jana", true},  // a profile's root
      {"C:\\Users\\Public", true},
      {"C:\\Velmor", false},
      {"C:\\Program Files\\Velmor", false},
      {"C:\\Users\\jana\\Velmor", false},
      {"C:\\Windows\\Velmor", false},  // only the folders themselves are refused
      {"\\\\server\\share\\Velmor", false},
      {"D:\\Program Files", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsSystemFolderTarget(c.path, folders), c.refused) << c.path;
}

TEST(CompareVersionTexts, FourNumbersCompareNumerically) {
  struct Case {
    const char* installed;
    const char* kit;
    int order;
  } cases[] = {
      {"3.0.9.0001", "3.0.10.0001", -1},  // text order would call this newer
      {"3.0.10.0001", "3.0.9.0001", 1},
      {"3.0.10.0001", "3.0.10.0001", 0},
      {"3.0.9.1", "3.0.9.0001", 0},
      {"4.0.0.0000", "3.99.9999.9999", 1},
      {"3.1", "3.1.0.0", 0},
      {"", "3.0.10.0001", -1},  // no version information: an update
      {"", "", 0},
      {"3.0.x", "3.0.9", 1},  // not a version: compared as text
  };
  for (const Case& c : cases) {
    int order = CompareVersionTexts(c.installed, c.kit);
    EXPECT_EQ((order > 0) - (order < 0), c.order) << c.installed << " / " << c.kit;
  }
}

TEST(FreeSpaceVolumeOf, NetworkPathDriveOrNativePath) {
  EXPECT_EQ(FreeSpaceVolumeOf("\\\\server\\share\\Velmor"), "\\\\server\\share\\Velmor");
  EXPECT_EQ(FreeSpaceVolumeOf("d:\\Velmor"), "D:\\");
  EXPECT_EQ(FreeSpaceVolumeOf("x C:\\Velmor"), "A:\\");  // no drive part
  EXPECT_EQ(FreeSpaceVolumeOf("/srv/velmor"), "/srv/velmor");
}

TEST(ProductName, ReadFromTheVersionResource) {
  using testing_support::BuildVersionedPe;
  EXPECT_EQ(platform::ParsePeProductName(BuildVersionedPe({3, 0, 9, 1}, "VELMOR Tarpel")), "VELMOR Tarpel");
  EXPECT_EQ(platform::ParsePeProductName(BuildVersionedPe({3, 0, 9, 1}, "")), std::nullopt);
  EXPECT_EQ(platform::ParsePeFileVersion(BuildVersionedPe({3, 0, 9, 1}, "x")),
            (platform::FileVersionNumbers{3, 0, 9, 1}));
  // Cut anywhere, the image gives no name rather than a wrong one.
  std::string pe = BuildVersionedPe({1, 2, 3, 4}, "VELMOR Kest");
  for (size_t n = 0; n < pe.size(); n += 7) {
    auto name = platform::ParsePeProductName(std::string_view(pe).substr(0, n));
    if (name) {
      EXPECT_EQ(*name, "VELMOR Kest") << n;
    }
  }
}

class DirectoryCheckTest : public WizardTest {
 protected:
  // A target directory holding an installation: VELMOR.EXE of that version and product name
  // (no version resource at all when version is empty).
  std::string Installed(const std::string& name, const std::string& version, const std::string& product = "") {
    std::string dir = temp / name;
    std::string exe;
    if (version.empty()) {
      exe = "not a program";
    } else {
      testing_support::PeVersion v;
      std::sscanf(version.c_str(), "%u.%u.%u.%u", &v.major, &v.minor, &v.release, &v.build);
      exe = testing_support::BuildVersionedPe(v, product);
    }
    temp.Write(name + "/VELMOR.EXE", exe);
    return dir;
  }
  std::unique_ptr<TFInstall> OnDirectoryPage() {
    auto w = Create();
    w->ShowPage(w->tsAdresar);
    return w;
  }
};

TEST_F(DirectoryCheckTest, EveryVersionFinding) {
  std::filesystem::create_directories(temp / "empty");
  temp.Write("other/readme.txt", "x");
  struct Case {
    std::string dir;
    std::string verze;        // lblVerze
    const TMessage* finding;  // lblErrorDirVer's text, nullptr: none
    std::string argument;
    unsigned colour;
    bool update, enabled;
  } cases[] = {
      {temp / "missing", "", nullptr, "", 0, false, true},
      {temp / "empty", "", nullptr, "", 0, false, true},
      {temp / "other", "", nullptr, "", 0, false, true},
      {Installed("same", "3.0.10.1", "VELMOR Tarpel"), "VELMOR Tarpel  3.0.10.0001", &msgSameVersionInLocation,
       "3.0.10.0001", FindingGreen, true, true},
      {Installed("older", "3.0.9.1", "VELMOR Tarpel"), "VELMOR Tarpel  3.0.9.0001", nullptr, "", 0, true, true},
      {Installed("newer", "3.1.0.0", "VELMOR Kest"), "VELMOR Kest  3.1.0.0000", &msgNewerVersionInLocation,
       "VELMOR Kest", FindingRed, false, false},
      {Installed("unnamed", "3.0.9.1"), "Velmor  3.0.9.0001", nullptr, "", 0, true, true},
      {Installed("noversion", ""), "Velmor  ", nullptr, "", 0, true, true},
      {"Velmor", "", &msgInstallationDirectoryNotFilled, "", FindingRed, false, false},
  };
  auto w = OnDirectoryPage();
  for (const Case& c : cases) {
    SCOPED_TRACE(c.dir);
    w->edDir.SetText(c.dir);
    EXPECT_EQ(w->lblVerze.Caption(), c.verze);
    EXPECT_EQ(w->lblVerze.Visible(), !c.verze.empty());
    EXPECT_EQ(w->lblVersioInfo.Visible(), !c.verze.empty());
    EXPECT_EQ(w->lblErrorDirVer.Visible(), c.finding != nullptr);
    if (c.finding) {
      EXPECT_EQ(w->lblErrorDirVer.Caption(), FormatMsg(*c.finding, c.argument));
      EXPECT_EQ(w->lblErrorDirVer.Font().Color, c.colour);
    }
    EXPECT_EQ(w->State.UpdateVerion, c.update);
    EXPECT_EQ(w->btnNext.Enabled(), c.enabled);
    EXPECT_EQ(w->btnNext.Caption(), Msg(c.update ? msgUpdateVersion : msgConfigureMSSQL));
  }
  // The red finding right after the green one is red again.
  w->edDir.SetText(temp / "same");
  w->edDir.SetText(temp / "newer");
  EXPECT_EQ(w->lblErrorDirVer.Font().Color, FindingRed);
}

TEST_F(DirectoryCheckTest, EditionTypeCaptionAndHeading) {
  struct Case {
    bool onlyVersion;
    int typInst, versionProd;
    bool installed;
    TTypeInstall type;
    std::string heading;
  } cases[] = {
      {true, 0, 0, false, tiKest, "VELMOR Kest - Installation"},
      {true, 1, 0, true, tiKestUpdate, "VELMOR Kest - Installation"},
      {true, 2, 1, false, tiTarpel, "VELMOR Tarpel ZERDAN edition - Installation"},
      {true, 4, 0, true, tiTarpelUpdate, "VELMOR Tarpel - Installation"},
      {true, 5, 0, true, tiTarpel, " - Installation"},  // no name, the type stays
      {false, 0, 1, true, tiTarpel, "Velmor - Installation"},
  };
  std::string installed = Installed("inst", "3.0.9.1");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.heading + (c.installed ? " installed" : ""));
    definition.SetOnlyVersion(c.onlyVersion);
    definition.SetTypInst(c.typInst);
    definition.SetVersionProd(c.versionProd);
    auto w = OnDirectoryPage();
    w->State.FInstallType = tiTarpel;
    w->edDir.SetText(c.installed ? installed : temp / "new");
    EXPECT_EQ(w->State.FInstallType, c.type);
    EXPECT_EQ(w->lblObrazovkaInfov2.Caption(), c.heading);
    std::string product = c.heading.substr(0, c.heading.find(" - "));
    product = product.substr(0, product.find(" ZERDAN"));
    EXPECT_EQ(w->Caption(), "Installation " + product + "  3.0.10.0001");
  }
}

TEST_F(DirectoryCheckTest, DiskSpaceBoundaries) {
  definition.SetMinDiskFree(500);
  struct Case {
    std::int64_t targetFree, tempFree;
    bool passes, tempFolder;
  } cases[] = {
      {500, 1000, true, false},  // exactly what is required
      {499, 1000, false, false},
      {500, 500, true, true},    // the temporary folder's drive has no more than required
      {500, 501, true, false},
      {-1, 1000, false, false},  // a volume that cannot be queried has nothing free
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.targetFree) + " " + std::to_string(c.tempFree));
    std::string target = temp / ("target" + std::to_string(n++));
    auto w = OnDirectoryPage();
    w->edDir.SetText(target);
    host.freeMiB[target] = c.targetFree;
    host.freeMiB[TempDirectory()] = c.tempFree;
    messages->Clear();
    EXPECT_EQ(w->KontrolaAdresare(), c.passes);
    EXPECT_EQ(testing_support::Exists(target), c.passes);
    EXPECT_EQ(testing_support::Exists(target + "/Temp"), c.tempFolder);
    if (!c.passes) {
      EXPECT_EQ(messages->Texts(), (std::vector<std::string>{FormatMsg(msgNotEnoughDiskSpace, "500")}));
    }
    if (c.passes) {
      EXPECT_EQ(w->State.AdrInstall, target);
    }
  }
}

TEST_F(DirectoryCheckTest, WithoutARequirementNothingIsMeasuredOrCreated) {
  definition.SetMinDiskFree(0);
  auto w = OnDirectoryPage();
  w->edDir.SetText("  " + (temp / "later") + " ");
  EXPECT_TRUE(w->KontrolaAdresare());
  EXPECT_EQ(w->edDir.Text(), temp / "later");  // trimmed before use
  EXPECT_EQ(w->State.AdrInstall, temp / "later");
  EXPECT_TRUE(host.freeSpaceAsked.empty());
  EXPECT_FALSE(testing_support::Exists(temp / "later"));
}

// Refused before anything is written: the message names the folder and proposes one of its own.
TEST_F(DirectoryCheckTest, SystemFoldersAndDriveRootsAreRefused) {
  definition.SetMinDiskFree(1);
  for (const char* folder : {"Windows", "Program Files", "Users/jana"}) temp.Write(std::string(folder) + "/x", "x");
  const std::vector<std::string> refused = {"/", temp / "Windows", temp / "Program Files/", temp / "Users/jana",
                                            temp / "Users"};
  for (const std::string& path : refused) {
    SCOPED_TRACE(path);
    auto w = OnDirectoryPage();
    host.systemFolders = {{temp / "Windows", temp / "Program Files"}, temp / "Users"};
    w->edDir.SetText(path);
    ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
    EXPECT_EQ(Page(*w), "tsAdresar");
    ASSERT_FALSE(messages->Shown().empty());
    EXPECT_EQ(messages->Shown().back().Kind, mkError);
    EXPECT_EQ(messages->Texts().back(), FormatMsg(msgTargetNotInstallationFolder, path,
                                                  platform::IncludeTrailingPathDelimiter(path) + "Velmor"));
    EXPECT_TRUE(host.freeSpaceAsked.empty()) << "refused before anything else is done";
  }
  EXPECT_FALSE(testing_support::Exists(temp / "Windows/Temp"));
}

// A folder holding other files gets one question; No keeps the page and writes nothing.
TEST_F(DirectoryCheckTest, AFolderOfOtherFilesIsTakenOnlyWhenTheUserSaysSo) {
  definition.SetMinDiskFree(1);
  temp.Write("Docs/letter.txt", "dear");
  std::filesystem::create_directories(temp / "Empty");
  Installed("Installed", "3.0.9.0001");
  for (bool yes : {false, true}) {
    SCOPED_TRACE(yes ? "Yes" : "No");
    auto w = OnDirectoryPage();
    host.freeMiB[TempDirectory()] = 0;  // the check would create Temp in the target
    messages->Clear();
    w->edDir.SetText(temp / "Docs");
    messages->Answer(yes);
    EXPECT_EQ(w->KontrolaAdresare(), yes);
    ASSERT_EQ(messages->Shown().size(), 1u);
    EXPECT_EQ(messages->Shown()[0].Kind, mkQuestion);
    EXPECT_EQ(messages->Shown()[0].Text, FormatMsg(msgFolderNotEmpty, temp / "Docs"));
    EXPECT_EQ(testing_support::Exists(temp / "Docs/Temp"), yes);
    EXPECT_TRUE(LogHas(yes ? "the user installs into it" : "the user chooses another folder"));
  }
  for (const char* quiet : {"Empty", "Installed", "New"}) {
    auto w = OnDirectoryPage();
    messages->Clear();
    w->edDir.SetText(temp / quiet);
    EXPECT_TRUE(w->KontrolaAdresare()) << quiet;
    EXPECT_TRUE(messages->Shown().empty()) << quiet << ": an empty folder, an installation or a new folder";
  }
}

TEST_F(DirectoryCheckTest, FolderThatCannotBeCreatedKeepsThePage) {
  definition.SetMinDiskFree(1);
  temp.Write("file", "x");
  auto w = OnDirectoryPage();
  w->edDir.SetText(temp / "file/Velmor");
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsAdresar");
  EXPECT_EQ(messages->Texts().back(), FormatMsg(msgCannotCreateDestinationFolder, temp / "file/Velmor"));

  w->edDir.SetText("Velmor");  // Next is disabled now; the check itself refuses too
  EXPECT_FALSE(w->btnNext.Enabled());
  EXPECT_FALSE(w->KontrolaAdresare());
  EXPECT_EQ(messages->Texts().back(), Msg(msgInstallationDirectoryNotFilled));
}

TEST_F(DirectoryCheckTest, DirectoryThatChangedOnDiskShowsTheFindingsList) {
  std::string dir = Installed("changing", "3.0.9.1");
  auto w = OnDirectoryPage();
  w->edDir.SetText(dir);
  EXPECT_TRUE(w->btnNext.Enabled());
  Installed("changing", "9.0.0.0");  // someone installs a newer version meanwhile
  ASSERT_TRUE(ui::headless::UserClick(w->btnNext));
  EXPECT_EQ(Page(*w), "tsAdresar");
  ASSERT_FALSE(messages->Shown().empty());
  EXPECT_EQ(messages->Shown().back().Text, "\n\r\n\r" + Msg(msgLaterVersionInDestination));
  EXPECT_EQ(messages->Shown().back().Title, Msg(msgErrorsFoundDuringChecking));
  EXPECT_EQ(messages->Shown().back().Kind, mkError);
}

TEST_F(DirectoryCheckTest, EditsAreCheckedOnlyUpToTheDirectoryPage) {
  auto w = OnDirectoryPage();
  w->edDir.SetText(Installed("a", "3.1.0.0"));
  EXPECT_FALSE(w->btnNext.Enabled());
  w->ShowPage(w->tsSQLVolba);
  InstallLog().Reset();
  w->edDir.SetText(temp / "b");
  EXPECT_FALSE(LogHas("procedura KontrolaVerze"));
  EXPECT_EQ(w->lblErrorDirVer.Caption(), FormatMsg(msgNewerVersionInLocation, "Velmor"));
}

TEST_F(DirectoryCheckTest, FolderBrowser) {
  auto w = OnDirectoryPage();
  std::filesystem::create_directories(temp / "existing");
  w->edDir.SetText(temp / "existing");
  host.folderAnswers.push_back(temp / "chosen");
  host.folderAnswers.push_back(std::nullopt);
  ASSERT_TRUE(ui::headless::UserClick(w->ColorButton2));
  EXPECT_EQ(w->edDir.Text(), temp / "chosen");
  ASSERT_TRUE(ui::headless::UserClick(w->ColorButton2));
  EXPECT_EQ(w->edDir.Text(), temp / "chosen");  // cancelled: unchanged
  ASSERT_EQ(host.folderRequests.size(), 2u);
  EXPECT_EQ(host.folderRequests[0].Title, Msg(msgSelectTargetDirectory));
  EXPECT_EQ(host.folderRequests[0].Initial, temp / "existing");
  EXPECT_EQ(host.folderRequests[1].Initial, "");  // chosen does not exist yet

  // The tree is rooted at the drive or share the path names.
  struct Case {
    const char* text;
    const char* root;
  } cases[] = {{"C:\\Velmor\\x", "C:"}, {"\\\\srv\\data\\Velmor", "\\\\srv\\data"}, {"Velmor", ""}};
  for (const Case& c : cases) {
    w->edDir.SetText(c.text);
    ASSERT_TRUE(ui::headless::UserClick(w->ColorButton2));
    EXPECT_EQ(host.folderRequests.back().Root, c.root) << c.text;
  }
}

// The check that creates the target's "Temp" folder for a short temporary drive sends this run's
// downloads there; a check that finds room sends them back to the temporary folder.
TEST_F(DirectoryCheckTest, ShortTemporaryDriveSendsTheDownloadsToTheTargetsTempFolder) {
  ASSERT_EQ(testing_support::TestServer().error, "");
  definition.SetMinDiskFree(500);
  std::string target = temp / "downloads";
  auto w = OnDirectoryPage();
  w->edDir.SetText(target);
  host.freeMiB[target] = 1000;
  host.freeMiB[TempDirectory()] = 300;
  InstallLog().Reset();
  ASSERT_TRUE(w->KontrolaAdresare());
  const std::string folder = platform::IncludeTrailingPathDelimiter(target + "/Temp");
  EXPECT_EQ(DownloadFolder(), folder);
  bool logged = false;
  for (const auto& line : InstallLog().Log())
    logged = logged || (line.find("downloads go to " + target + "/Temp") != std::string::npos);
  EXPECT_TRUE(logged) << "the log names the download folder";
  std::string saved;
  EXPECT_TRUE(DownloadFile(testing_support::TestServer().Http("/file/package.zip?size=5000"), saved, nullptr, false));
  EXPECT_EQ(saved, folder + "package.zip");
  EXPECT_EQ(testing_support::ReadFile(saved).size(), 5000u);

  // The folder now holds the download, so the check asks before it takes the folder again.
  host.freeMiB[TempDirectory()] = 501;
  messages->Answer(true);
  ASSERT_TRUE(w->KontrolaAdresare());
  EXPECT_EQ(DownloadFolder(), TempDirectory());
  SetDownloadFolder("");
}

}  // namespace
}  // namespace wizard_test
