// Extraction of a package set: which packages an installation takes, and what happens to each one
// (obtained, extracted, damaged, missing, stopped), with the progress and events in order.
#include <gtest/gtest.h>
#include <zip.h>

#include <filesystem>
#include <map>
#include <random>
#include <thread>

#include "TestSupport.h"
#include "engine/PackageExtraction.h"
#include "engine/ZipArchive.h"
#include "platform/Files.h"

using engine::ExtractPackageSet;
using engine::PackageSetEvents;
using engine::PackageSetRequest;
using testing_support::DataDir;
using testing_support::Exists;
using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

TZipFileCFG Package(const std::string& fileName, TTypeInstall type = tiKest, const std::string& dir = "") {
  TZipFileCFG p;
  p.SetFileName(fileName);
  p.SetTypeInstall(type);
  p.SetDirInstall(dir);
  return p;
}

// A package archive written with libzip: entries in the given order, ZipCrypto with a password.
void MakePackage(const std::string& path, const std::vector<std::pair<std::string, std::string>>& entries,
                 const std::string& password = "heslo") {
  int error = 0;
  zip_t* za = zip_open(path.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &error);
  ASSERT_NE(za, nullptr);
  for (const auto& [name, data] : entries) {
    zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
    zip_int64_t i = zip_file_add(za, name.c_str(), src, ZIP_FL_ENC_UTF_8);
    ASSERT_GE(i, 0);
    if (!password.empty())
      zip_file_set_encryption(za, static_cast<zip_uint64_t>(i), ZIP_EM_TRAD_PKWARE, password.c_str());
  }
  ASSERT_EQ(zip_close(za), 0) << zip_strerror(za);
}

// Records every sink call and event in order, with the thread it came on.
struct PackageRun : engine::ProgressSink {
  std::vector<std::string> log;
  std::thread::id caller = std::this_thread::get_id();
  bool offThread = false;
  std::function<bool(const PackageRun&)> stopWhen;
  std::string kit;
  std::map<std::string, std::function<void()>> onFetch;  // archive name -> what fetching it does

  struct Entries : engine::ProgressSink {
    PackageRun& run;
    explicit Entries(PackageRun& r) : run(r) {}
    void SetTotal(std::uint64_t total) override { run.Note("entries total " + std::to_string(total)); }
    void Item(std::uint64_t n, const std::string& item) override { run.Note("entry " + std::to_string(n) + " " + item); }
  } entries{*this};

  void Note(const std::string& line) {
    offThread |= std::this_thread::get_id() != caller;
    log.push_back(line);
  }
  void SetTotal(std::uint64_t total) override { Note("packages total " + std::to_string(total)); }
  void Item(std::uint64_t n, const std::string& item) override { Note("package " + std::to_string(n) + " " + item); }
  bool ShouldStop() override {
    offThread |= std::this_thread::get_id() != caller;
    return stopWhen && stopWhen(*this);
  }

  PackageSetEvents Events() {
    PackageSetEvents e;
    e.OnFetch = [this](const TZipFileCFG& p) { Note("fetch " + p.FileName()); };
    e.OnExtract = [this](const TZipFileCFG& p) { Note("extract " + p.FileName()); };
    e.Fetch = [this](const std::string& name, std::string& path, engine::ProgressSink&) {
      Note("get " + name);
      if (onFetch.count(name)) onFetch[name]();
      path = kit + "/" + name;
      return Exists(path);
    };
    e.OnPackageDone = [this](const TZipFileCFG& p) { Note("done " + p.FileName()); };
    e.OnError = [this](const TZipFileCFG& p, const std::string& archive, const std::string& error) {
      Note("error " + p.FileName() + " | " + archive + " | " + error);
    };
    return e;
  }
  engine::PackageSetResult Go(const PackageSetRequest& request) {
    PackageSetEvents events = Events();
    return ExtractPackageSet(request, events, entries, *this);
  }
  bool Has(const std::string& prefix) const {
    for (const auto& l : log)
      if (l.rfind(prefix, 0) == 0) return true;
    return false;
  }
};

TEST(PackageSelection, LanguageEditionAndTypeRules) {
  struct Case {
    bool jazyk;
    std::string kod;
    bool forOnly;
    TTypeInstall packageType, installType;
    bool selected;
  } cases[] = {
      {false, "", false, tiKest, tiTarpel, true},
      {false, "XX", false, tiKest, tiKest, true},          // the code counts only for language packs
      {true, "EN", false, tiKest, tiKest, true},
      {true, "RO", false, tiKest, tiKest, true},
      {true, "en", false, tiKest, tiKest, false},          // codes compare case-sensitively
      {true, "CZ", false, tiKest, tiKest, false},          // Czech is no installable language pack
      {true, "DE", false, tiKest, tiKest, false},
      {false, "", true, tiTarpel, tiTarpel, true},         // only for its own edition
      {false, "", true, tiKest, tiTarpel, false},
      {false, "", false, tiTarpel, tiKest, false},         // a type above the installation
      {false, "", false, tiTarpelUpdate, tiVelmorDemo, true},
  };
  for (const Case& c : cases) {
    TZipFileCFG p = Package("p.zip", c.packageType);
    p.SetJazyk(c.jazyk);
    p.SetJazykKod(c.kod);
    p.SetForOnlyVersion(c.forOnly);
    EXPECT_EQ(engine::PackageSelected(p, c.installType, engine::InstallTypeFiles(c.installType)), c.selected)
        << c.kod << " " << int(c.packageType) << " for " << int(c.installType);
  }
  EXPECT_EQ(engine::InstallTypeFiles(tiKest), (TTypeInstallSet{tiKest}));
  EXPECT_EQ(engine::InstallTypeFiles(tiTarpel), (TTypeInstallSet{tiKest, tiKestUpdate, tiTarpel}));
  EXPECT_EQ(engine::InstallTypeFiles(tiVelmorDemo), TTypeInstallSet::Range(tiKest, tiVelmorDemo));
}

TEST(PackageSelection, ArchiveNameAndOverallCount) {
  EXPECT_EQ(engine::PackageArchiveName("Program"), "Program.zip");
  EXPECT_EQ(engine::PackageArchiveName("Program.zip"), "Program.zip");
  EXPECT_EQ(engine::PackageArchiveName("Data.pak"), "Data.pak");
  EXPECT_EQ(engine::PackageArchiveName("v1.2\\Program"), "v1.2\\Program.zip");
  // Only the type counts: a language pack that will be passed over still counts.
  TZipFileCFG pack = Package("lang.zip", tiKest);
  pack.SetJazyk(true);
  pack.SetJazykKod("CZ");
  std::vector<TZipFileCFG> list = {Package("a", tiKest), pack, Package("b", tiTarpel), Package("c", tiVelmorDemo)};
  EXPECT_EQ(engine::CountPackagesOfTypes(list, engine::InstallTypeFiles(tiTarpel)), 3);
}

struct KitFixture : testing::Test {
  TempFolder tmp;
  PackageRun run;
  PackageSetRequest request;
  std::string target = tmp / "Velmor";
  void SetUp() override {
    run.kit = tmp / "kit";
    std::filesystem::create_directories(platform::PathFromUtf8(run.kit));
    request.InstallType = tiTarpel;
    request.TypeFiles = engine::InstallTypeFiles(tiTarpel);
    request.AdrInstall = target;
    request.Password = "heslo";
  }
};

TEST_F(KitFixture, EveryPackageInOrderWithItsEntriesAndProblemsNamed) {
  MakePackage(run.kit + "/Program.zip", {{"prog.exe", "new program"}, {"Sub/lib.dll", "library"}});
  MakePackage(run.kit + "/Data.zip", {{"data.txt", "data"}});
  tmp.Write("kit/Broken.zip", "this is no archive");
  MakePackage(run.kit + "/Wrong.zip", {{"w.txt", "w"}}, "other");
  tmp.Write("kit/Empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));  // a valid archive, no entry
  request.Packages = {Package("Program", tiKest), Package("Missing.zip", tiKest), Package("Data.zip", tiTarpel, "Db"),
                      Package("Broken.zip"),       Package("Wrong.zip"),           Package("Empty.zip"),
                      Package("Demo.zip", tiVelmorDemo)};
  auto result = run.Go(request);

  EXPECT_TRUE(result.Complete) << "failed packages do not stop the run";
  EXPECT_EQ(result.NotInstalled, (std::vector<std::string>{"Missing.zip", "Broken.zip", "Wrong.zip", "Empty.zip"}));
  EXPECT_EQ(ReadFile(target + "/prog.exe"), "new program");
  EXPECT_EQ(ReadFile(target + "/Sub/lib.dll"), "library");
  EXPECT_EQ(ReadFile(target + "/Db/data.txt"), "data");
  EXPECT_FALSE(Exists(target + "/w.txt"));
  EXPECT_FALSE(run.offThread);
  std::vector<std::string> expectedStart = {
      "packages total 6",  // Demo is of a type outside the installation
      "fetch Program",
      "entries total 100",
      "get Program.zip",
      "extract Program",
      "entries total 0",
      "entries total 2",
      "entry 1 prog.exe",
      "entry 2 Sub\\lib.dll",
      "done Program",
      "package 1 Program",
      "fetch Missing.zip",
      "entries total 100",
      "get Missing.zip",
      "done Missing.zip",
      "package 2 Missing.zip",
  };
  ASSERT_GE(run.log.size(), expectedStart.size());
  EXPECT_EQ(std::vector<std::string>(run.log.begin(), run.log.begin() + static_cast<long>(expectedStart.size())),
            expectedStart);
  EXPECT_FALSE(run.Has("get Demo.zip"));
  for (const char* bad : {"Broken.zip", "Wrong.zip", "Empty.zip"}) {
    std::string line;
    for (const auto& l : run.log)
      if (l.rfind(std::string("error ") + bad, 0) == 0) line = l;
    EXPECT_NE(line.find(run.kit + "/" + bad + " | "), std::string::npos) << "names the archive: " << line;
    EXPECT_GT(line.size(), std::string("error  | ").size() + 2 * std::string(bad).size() + run.kit.size() + 3)
        << "and the error: " << line;
  }
  EXPECT_EQ(run.log.back(), "package 6 Empty.zip");
}

TEST_F(KitFixture, EntriesAreReportedInArchiveOrderWhateverTheirSizes) {
  std::vector<std::pair<std::string, std::string>> entries;
  std::mt19937 rng(7);
  for (int i = 0; i < 150; ++i) {
    std::size_t size = i % 25 == 0 ? 2 * 1024 * 1024 : static_cast<std::size_t>(rng() % 3000);
    std::string data(size, '\0');
    for (char& c : data) c = static_cast<char>(i % 2 ? rng() : 'a' + i % 26);
    entries.emplace_back("d" + std::to_string(i % 5) + "/e" + std::to_string(i) + ".bin", data);
  }
  MakePackage(run.kit + "/Big.zip", entries);
  request.Packages = {Package("Big.zip")};
  auto result = run.Go(request);
  ASSERT_TRUE(result.Complete);
  EXPECT_TRUE(result.NotInstalled.empty());
  EXPECT_FALSE(run.offThread);
  std::vector<std::string> items;
  for (const auto& l : run.log)
    if (l.rfind("entry ", 0) == 0) items.push_back(l);
  ASSERT_EQ(items.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::string name = entries[i].first;
    std::replace(name.begin(), name.end(), '/', '\\');
    ASSERT_EQ(items[i], "entry " + std::to_string(i + 1) + " " + name);
    ASSERT_TRUE(ReadFile(target + "/" + entries[i].first) == entries[i].second) << entries[i].first;
  }
  for (const auto& f : std::filesystem::recursive_directory_iterator(platform::PathFromUtf8(target)))
    EXPECT_EQ(f.path().string().find(".vspart"), std::string::npos) << "no temporary file stays: " << f.path();
}

// Stop points: before a package, right after an archive is obtained, and during an archive (which
// is then extracted to its end). A stop leaves the remaining selected packages not installed.
TEST_F(KitFixture, AStopEndsTheRunBetweenPackagesOnly) {
  MakePackage(run.kit + "/A.zip", {{"a1.txt", "1"}, {"a2.txt", "2"}, {"a3.txt", "3"}});
  MakePackage(run.kit + "/B.zip", {{"b.txt", "b"}});
  MakePackage(run.kit + "/C.zip", {{"c.txt", "c"}});
  struct Case {
    const char* name;
    std::function<bool(const PackageRun&)> stopWhen;
    std::vector<std::string> installed, notInstalled;
  } cases[] = {
      {"during the first archive", [](const PackageRun& r) { return r.Has("entry 1 a1.txt"); },
       {"a1.txt", "a2.txt", "a3.txt"}, {"B.zip", "C.zip"}},
      {"right after B was obtained", [](const PackageRun& r) { return r.Has("get B.zip"); },
       {"a1.txt", "a2.txt", "a3.txt"}, {"B.zip", "C.zip"}},
      {"after B", [](const PackageRun& r) { return r.Has("package 2 B.zip"); },
       {"a1.txt", "a2.txt", "a3.txt", "b.txt"}, {"C.zip"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(platform::PathFromUtf8(target));
    run.log.clear();
    run.stopWhen = c.stopWhen;
    request.Packages = {Package("A.zip"), Package("B.zip"), Package("C.zip")};
    auto result = run.Go(request);
    EXPECT_FALSE(result.Complete);
    EXPECT_EQ(result.NotInstalled, c.notInstalled);
    for (const auto& f : c.installed) EXPECT_TRUE(Exists(target + "/" + f)) << f;
    EXPECT_FALSE(Exists(target + "/c.txt"));
    EXPECT_FALSE(run.Has("get C.zip"));
  }
}

// An update replaces only files the installation has directly in the package's folder: every
// entry of such a name (in any folder), nothing else.
TEST_F(KitFixture, UpdateOnlyExistingReplacesTheNamesFoundInTheBaseFolder) {
  MakePackage(run.kit + "/Upd.zip",
              {{"a.txt", "new a"}, {"Sub/a.txt", "new sub a"}, {"b.txt", "new b"}, {"Sub/c.txt", "new c"}});
  for (bool update : {false, true}) {
    for (bool flag : {false, true}) {
      SCOPED_TRACE(std::string(update ? "update" : "new") + (flag ? ", existing only" : ""));
      std::filesystem::remove_all(platform::PathFromUtf8(target));
      tmp.Write("Velmor/a.txt", "old a");
      tmp.Write("Velmor/Sub/c.txt", "old c");  // not directly in the base folder
      TZipFileCFG p = Package("Upd.zip");
      p.SetInstallEnableExistFileOrNew(flag);
      request.Packages = {p};
      request.UpdateVersion = update;
      auto result = run.Go(request);
      EXPECT_TRUE(result.Complete);
      EXPECT_TRUE(result.NotInstalled.empty()) << "nothing to update is no failure";
      bool onlyExisting = update && flag;
      EXPECT_EQ(ReadFile(target + "/a.txt"), "new a");
      EXPECT_EQ(ReadFile(target + "/Sub/a.txt"), "new sub a");
      EXPECT_EQ(Exists(target + "/b.txt"), !onlyExisting);
      EXPECT_EQ(ReadFile(target + "/Sub/c.txt"), onlyExisting ? "old c" : "new c");
    }
  }
}

// Names that would leave the target are refused before anything of that archive is written, and
// so is a package folder that would; the run goes on with the next package.
TEST_F(KitFixture, ArchivesAndFoldersClimbingOutOfTheTargetAreRefused) {
  for (const char* fixture : {"climb-dotdot.zip", "climb-absolute.zip", "climb-backslash.zip", "climb-drive.zip"})
    std::filesystem::copy_file(platform::PathFromUtf8(DataDir() + "/zip/" + fixture),
                               platform::PathFromUtf8(run.kit + "/" + fixture));
  MakePackage(run.kit + "/Good.zip", {{"good.txt", "good"}}, "");
  request.Password = "";
  request.AdrInstall = tmp / "a/b/Velmor";
  request.Packages = {Package("climb-dotdot.zip"), Package("climb-absolute.zip"), Package("climb-backslash.zip"),
                      Package("climb-drive.zip"),  Package("Good.zip", tiKest, "..\\.."),
                      Package("Good.zip", tiKest, "Sub")};
  auto result = run.Go(request);
  EXPECT_TRUE(result.Complete);
  EXPECT_EQ(result.NotInstalled, (std::vector<std::string>{"climb-dotdot.zip", "climb-absolute.zip",
                                                           "climb-backslash.zip", "climb-drive.zip", "Good.zip"}));
  EXPECT_FALSE(Exists(tmp / "a/b/Velmor/ok.txt")) << "nothing of a refused archive is written";
  EXPECT_FALSE(Exists(tmp / "a/escape.txt"));
  EXPECT_FALSE(Exists(tmp / "a/b/escape.txt"));
  EXPECT_FALSE(Exists(tmp / "good.txt"));
  EXPECT_FALSE(Exists(tmp / "a/good.txt"));
  EXPECT_EQ(ReadFile(tmp / "a/b/Velmor/Sub/good.txt"), "good");
}

// A download error ends the run: the fetch sets the stop, and the loop ends before the next one.
TEST_F(KitFixture, AFailedFetchThatAsksToStopEndsTheRun) {
  MakePackage(run.kit + "/A.zip", {{"a.txt", "a"}});
  bool stop = false;
  run.stopWhen = [&](const PackageRun&) { return stop; };
  run.onFetch["Web.zip"] = [&] { stop = true; };
  request.Packages = {Package("Web.zip"), Package("A.zip")};
  auto result = run.Go(request);
  EXPECT_FALSE(result.Complete);
  EXPECT_EQ(result.NotInstalled, (std::vector<std::string>{"Web.zip", "A.zip"}));
  EXPECT_FALSE(run.Has("get A.zip"));
}

}  // namespace
