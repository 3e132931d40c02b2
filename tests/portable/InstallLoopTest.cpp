// The one installation loop carrying out a plan: what happens to each package (obtained,
// extracted, damaged, missing, stopped), the files-in-use check and the backup of an update, an
// update that stops at a failed package, and the run doing exactly what the plan says.
#include <gtest/gtest.h>
#include <zip.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <functional>
#include <map>
#include <random>
#include <thread>

#include "TestSupport.h"
#include "engine/BackupRestore.h"
#include "engine/InstallRun.h"
#include "engine/ZipArchive.h"
#include "platform/Files.h"
#include "platform/FilesInUse.h"

using engine::FetchAnswer;
using engine::KitPackage;
using engine::RunOutcome;
using testing_support::DataDir;
using testing_support::Exists;
using testing_support::ReadFile;
using testing_support::TempFolder;

namespace {

KitPackage Package(const std::string& fileName, TTypeInstall type = tiKest, const std::string& dir = "") {
  KitPackage p;
  p.FileName = fileName;
  p.TypeInstall = type;
  p.DirInstall = dir;
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

// A view that records every call in order, with the thread it came on, fetches from a kit folder
// and sets the stop flag when the test's condition first holds.
struct PackageRun : engine::InstallView {
  std::vector<std::string> log;
  std::vector<std::string> story;  // the run's sentences
  std::thread::id caller = std::this_thread::get_id();
  bool offThread = false;
  std::atomic<bool> stop{false};
  std::function<bool(const PackageRun&)> stopWhen;
  std::string kit;
  std::map<std::string, FetchAnswer> answers;  // archive name -> a forced answer
  std::function<bool(const std::vector<std::string>&)> onFilesInUse;
  int configured = 0;

  struct Sink : engine::ProgressSink {
    PackageRun& run;
    std::string what;
    Sink(PackageRun& r, std::string w) : run(r), what(std::move(w)) {}
    void SetTotal(std::uint64_t total) override { run.Note(what + " total " + std::to_string(total)); }
    void Item(std::uint64_t n, const std::string& item) override {
      run.Note(what + " " + std::to_string(n) + " " + item);
    }
  };
  Sink entries{*this, "entries"}, backup{*this, "backup"};

  void Note(const std::string& line) {
    offThread |= std::this_thread::get_id() != caller;
    log.push_back(line);
    if (stopWhen && stopWhen(*this)) stop = true;
  }
  void Log(const std::string& sentence) override { story.push_back(sentence); }
  engine::ProgressSink& BackupProgress() override { return backup; }
  engine::ProgressSink& PackageProgress() override { return entries; }
  void StepBegins(const engine::PlanStep& step, const engine::InstallPlan& plan) override {
    if (step.Kind == engine::StepKind::Fetch) Note("fetch " + plan.Packages[size_t(step.Package)].FileName);
    if (step.Kind == engine::StepKind::Extract) Note("extract " + plan.Packages[size_t(step.Package)].FileName);
  }
  FetchAnswer Fetch(const engine::PlannedPackage& p, std::string& path, engine::ProgressSink&) override {
    Note("get " + p.ArchiveName);
    path = kit + "/" + p.ArchiveName;
    if (answers.count(p.ArchiveName)) return answers[p.ArchiveName];
    return Exists(path) ? FetchAnswer::Obtained : FetchAnswer::Missing;
  }
  void PackageDone(const engine::PlannedPackage& p) override { Note("done " + p.FileName); }
  void PackageFailed(const engine::PlannedPackage& p, const std::string& archive, const std::string& error) override {
    Note("error " + p.FileName + " | " + archive + " | " + error);
  }
  bool FilesInUse(const std::vector<std::string>& programs) override {
    std::string names;
    for (const auto& p : programs) names += " " + p;
    Note("in use" + names);
    return onFilesInUse && onFilesInUse(programs);
  }
  void Configure() override {
    ++configured;
    Note("configure");
  }

  engine::InstallRunResult Go(const engine::InstallPlan& plan) { return engine::ApplyInstallPlan(plan, *this, stop); }
  bool Has(const std::string& prefix) const {
    for (const auto& l : log)
      if (l.rfind(prefix, 0) == 0) return true;
    return false;
  }
  bool Told(const std::string& part) const {
    for (const auto& l : story)
      if (l.find(part) != std::string::npos) return true;
    return false;
  }
};

struct KitFixture : testing::Test {
  TempFolder tmp;
  PackageRun run;
  std::vector<KitPackage> packages;
  engine::InstallChoices choices;
  std::string password = "heslo";
  std::string target = tmp / "Velmor";
  void SetUp() override {
    run.kit = tmp / "kit";
    std::filesystem::create_directories(platform::PathFromUtf8(run.kit));
    choices = {target, tiTarpel, engine::InstallTypeFiles(tiTarpel), false, "20261211120000"};
  }
#ifndef _WIN32
  void TearDown() override { platform::SetProgramsUsingFiles({}); }
#endif
  engine::InstallPlan Plan() const { return engine::PlanInstall(packages, password, choices); }
  engine::InstallRunResult Go() { return run.Go(Plan()); }
  std::vector<std::string> Entries() const {
    std::vector<std::string> out;
    for (const auto& l : run.log)
      if (l.rfind("entries ", 0) == 0 && l.rfind("entries total", 0) != 0) out.push_back(l);
    return out;
  }
  // A previous installation: the update's backup has something to keep.
  void PreviousInstallation() {
    tmp.Write("Velmor/VELMOR.EXE", "old program");
    tmp.Write("Velmor/Data/a.txt", "old a");
    choices.Update = true;
  }
};

TEST_F(KitFixture, ANewInstallationTakesEveryPackageInOrderAndNamesTheOnesItCouldNotInstall) {
  MakePackage(run.kit + "/Program.zip", {{"prog.exe", "new program"}, {"Sub/lib.dll", "library"}});
  MakePackage(run.kit + "/Data.zip", {{"data.txt", "data"}});
  tmp.Write("kit/Broken.zip", "this is no archive");
  MakePackage(run.kit + "/Wrong.zip", {{"w.txt", "w"}}, "other");
  tmp.Write("kit/Empty.zip", std::string("PK\x05\x06", 4) + std::string(18, '\0'));  // a valid archive, no entry
  packages = {Package("Program", tiKest), Package("Missing.zip", tiKest), Package("Data.zip", tiTarpel, "Db"),
              Package("Broken.zip"),       Package("Wrong.zip"),           Package("Empty.zip"),
              Package("Demo.zip", tiVelmorDemo)};
  auto result = Go();

  EXPECT_EQ(result.Outcome, RunOutcome::Completed) << "failed packages do not stop a new installation";
  EXPECT_EQ(result.NotInstalled, (std::vector<std::string>{"Missing.zip", "Broken.zip", "Wrong.zip", "Empty.zip"}));
  EXPECT_EQ(result.BackupArchive, "") << "nothing to back up";
  EXPECT_EQ(run.configured, 1);
  EXPECT_EQ(ReadFile(target + "/prog.exe"), "new program");
  EXPECT_EQ(ReadFile(target + "/Sub/lib.dll"), "library");
  EXPECT_EQ(ReadFile(target + "/Db/data.txt"), "data");
  EXPECT_FALSE(Exists(target + "/w.txt"));
  EXPECT_FALSE(run.offThread);
  std::vector<std::string> expectedStart = {
      "fetch Program",   "entries total 100", "get Program.zip",     "extract Program",
      "entries total 0", "entries total 2",   "entries 1 prog.exe",  "entries 2 Sub\\lib.dll",
      "done Program",    "fetch Missing.zip", "entries total 100",   "get Missing.zip",
      "done Missing.zip",
  };
  ASSERT_GE(run.log.size(), expectedStart.size());
  EXPECT_EQ(std::vector<std::string>(run.log.begin(), run.log.begin() + static_cast<long>(expectedStart.size())),
            expectedStart);
  EXPECT_FALSE(run.Has("get Demo.zip"));
  for (const char* bad : {"Broken.zip", "Wrong.zip", "Empty.zip"}) {
    std::string line;
    for (const auto& l : run.log)
      if (l.rfind(std::string("error ") + bad, 0) == 0) line = l;
    EXPECT_NE(line.find(" | " + run.kit + "/" + bad + " | "), std::string::npos) << "names the archive: " << line;
    EXPECT_GT(line.size(), std::string("error  |  | ").size() + 2 * std::string(bad).size() + run.kit.size() + 3)
        << "and the error: " << line;
  }
  EXPECT_EQ(run.log.back(), "configure");
  // The story names the target, the backup archive and each package's folder.
  EXPECT_TRUE(run.Told("a new installation into " + target));
  EXPECT_TRUE(run.Told("the backup archive " + Plan().BackupArchive));
  EXPECT_TRUE(run.Told("Package Data.zip (Data.zip) goes to " + platform::IncludeTrailingPathDelimiter(target) + "Db"));
  EXPECT_TRUE(run.Told("Step Fetch Missing.zip: not obtained, passed over"));
  EXPECT_TRUE(run.Told("Step Extract Broken.zip: failed: "));
  EXPECT_TRUE(run.Told("Step Configure: done"));
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
  packages = {Package("Big.zip")};
  auto result = Go();
  ASSERT_EQ(result.Outcome, RunOutcome::Completed);
  EXPECT_TRUE(result.NotInstalled.empty());
  EXPECT_FALSE(run.offThread);
  std::vector<std::string> items = Entries();
  ASSERT_EQ(items.size(), entries.size());
  for (std::size_t i = 0; i < entries.size(); ++i) {
    std::string name = entries[i].first;
    std::replace(name.begin(), name.end(), '/', '\\');
    ASSERT_EQ(items[i], "entries " + std::to_string(i + 1) + " " + name);
    ASSERT_TRUE(ReadFile(target + "/" + entries[i].first) == entries[i].second) << entries[i].first;
  }
  for (const auto& f : std::filesystem::recursive_directory_iterator(platform::PathFromUtf8(target)))
    EXPECT_EQ(f.path().string().find(".vspart"), std::string::npos) << "no temporary file stays: " << f.path();
}

// Stop points: before a package, right after an archive is obtained, and during an archive (which
// is then extracted to its end). A stop leaves the remaining selected packages not installed and
// the configuration unwritten.
TEST_F(KitFixture, AStopEndsTheRunBetweenPackagesOnly) {
  MakePackage(run.kit + "/A.zip", {{"a1.txt", "1"}, {"a2.txt", "2"}, {"a3.txt", "3"}});
  MakePackage(run.kit + "/B.zip", {{"b.txt", "b"}});
  MakePackage(run.kit + "/C.zip", {{"c.txt", "c"}});
  struct Case {
    const char* name;
    std::function<bool(const PackageRun&)> stopWhen;
    std::vector<std::string> installed, notInstalled;
  } cases[] = {
      {"during the first archive", [](const PackageRun& r) { return r.Has("entries 1 a1.txt"); },
       {"a1.txt", "a2.txt", "a3.txt"}, {"B.zip", "C.zip"}},
      {"right after B was obtained", [](const PackageRun& r) { return r.Has("get B.zip"); },
       {"a1.txt", "a2.txt", "a3.txt"}, {"B.zip", "C.zip"}},
      {"after B", [](const PackageRun& r) { return r.Has("done B.zip"); },
       {"a1.txt", "a2.txt", "a3.txt", "b.txt"}, {"C.zip"}},
      {"after C, before the configuration", [](const PackageRun& r) { return r.Has("done C.zip"); },
       {"a1.txt", "a2.txt", "a3.txt", "b.txt", "c.txt"}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(platform::PathFromUtf8(target));
    run.log.clear();
    run.stop = false;
    run.stopWhen = c.stopWhen;
    packages = {Package("A.zip"), Package("B.zip"), Package("C.zip")};
    auto result = Go();
    EXPECT_EQ(result.Outcome, RunOutcome::Interrupted);
    EXPECT_EQ(result.NotInstalled, c.notInstalled);
    for (const auto& f : c.installed) EXPECT_TRUE(Exists(target + "/" + f)) << f;
    EXPECT_EQ(run.configured, 0);
    EXPECT_TRUE(run.Told("not begun, the installation was stopped"));
  }
}

// The plan's rules are what the run does: a changed folder or rule in the plan changes where
// and what the run writes, and the backup lands where the plan says.
TEST_F(KitFixture, TheRunDoesWhatThePlanSays) {
  MakePackage(run.kit + "/Upd.zip",
              {{"a.txt", "new a"}, {"Sub/a.txt", "new sub a"}, {"b.txt", "new b"}, {"Sub/c.txt", "new c"}});
  struct Case {
    const char* name;
    bool update, flag;
    std::function<void(engine::InstallPlan&)> change;
    std::string folder;  // below the target, where the entries go
    bool onlyExisting;
  } cases[] = {
      {"new installation", false, false, {}, "", false},
      {"new installation, flag set", false, true, {}, "", false},
      {"update", true, false, {}, "", false},
      {"update, existing files only", true, true, {}, "", true},
      {"the plan's folder moved", false, false,
       [&](engine::InstallPlan& p) { p.Packages[0].BaseFolder = target + "/Moved"; }, "Moved", false},
      {"the plan's rule turned on", false, false, [](engine::InstallPlan& p) { p.Packages[0].OnlyExistingFiles = true; },
       "", true},
      {"the plan's rule turned off", true, true, [](engine::InstallPlan& p) { p.Packages[0].OnlyExistingFiles = false; },
       "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::filesystem::remove_all(platform::PathFromUtf8(target));
    std::string base = c.folder.empty() ? target : target + "/" + c.folder;
    tmp.Write("Velmor/" + (c.folder.empty() ? "" : c.folder + "/") + "a.txt", "old a");
    tmp.Write("Velmor/" + (c.folder.empty() ? "" : c.folder + "/") + "Sub/c.txt", "old c");  // not directly there
    KitPackage p = Package("Upd.zip");
    p.InstallEnableExistFileOrNew = c.flag;
    packages = {p};
    choices.Update = c.update;
    engine::InstallPlan plan = Plan();
    if (c.change) c.change(plan);
    auto result = run.Go(plan);
    EXPECT_EQ(result.Outcome, RunOutcome::Completed);
    EXPECT_TRUE(result.NotInstalled.empty()) << "nothing to update is no failure";
    EXPECT_EQ(result.BackupArchive, plan.BackupArchive);
    EXPECT_EQ(ReadFile(base + "/a.txt"), "new a");
    EXPECT_EQ(ReadFile(base + "/Sub/a.txt"), "new sub a");
    EXPECT_EQ(Exists(base + "/b.txt"), !c.onlyExisting);
    EXPECT_EQ(ReadFile(base + "/Sub/c.txt"), c.onlyExisting ? "old c" : "new c");
    if (!c.folder.empty()) EXPECT_FALSE(Exists(target + "/b.txt"));
  }
}

// Names that would leave the target are refused before anything of that archive is written, and
// so is a package folder that would; a new installation goes on with the next package.
TEST_F(KitFixture, ArchivesAndFoldersClimbingOutOfTheTargetAreRefused) {
  for (const char* fixture : {"climb-dotdot.zip", "climb-absolute.zip", "climb-backslash.zip", "climb-drive.zip"})
    std::filesystem::copy_file(platform::PathFromUtf8(DataDir() + "/zip/" + fixture),
                               platform::PathFromUtf8(run.kit + "/" + fixture));
  MakePackage(run.kit + "/Good.zip", {{"good.txt", "good"}}, "");
  password = "";
  choices.Target = tmp / "a/b/Velmor";
  packages = {Package("climb-dotdot.zip"), Package("climb-absolute.zip"),  Package("climb-backslash.zip"),
              Package("climb-drive.zip"),  Package("Good.zip", tiKest, "..\\.."), Package("Good.zip", tiKest, "\\Sub")};
  auto result = Go();
  EXPECT_EQ(result.Outcome, RunOutcome::Completed);
  EXPECT_EQ(result.NotInstalled, (std::vector<std::string>{"climb-dotdot.zip", "climb-absolute.zip",
                                                           "climb-backslash.zip", "climb-drive.zip", "Good.zip"}));
  EXPECT_FALSE(Exists(tmp / "a/b/Velmor/ok.txt")) << "nothing of a refused archive is written";
  EXPECT_FALSE(Exists(tmp / "a/escape.txt"));
  EXPECT_FALSE(Exists(tmp / "a/b/escape.txt"));
  EXPECT_FALSE(Exists(tmp / "good.txt"));
  EXPECT_FALSE(Exists(tmp / "a/good.txt"));
  EXPECT_EQ(std::count(run.log.begin(), run.log.end(), "get Good.zip"), 1)
      << "the package whose folder is refused is not even fetched";
  EXPECT_EQ(ReadFile(tmp / "a/b/Velmor/Sub/good.txt"), "good") << "a leading backslash stays inside the target";
}

// A failed download interrupts the run before the next package.
TEST_F(KitFixture, AFailedFetchInterruptsTheRun) {
  MakePackage(run.kit + "/A.zip", {{"a.txt", "a"}});
  run.answers["Web.zip"] = FetchAnswer::Failed;
  packages = {Package("A.zip"), Package("Web.zip"), Package("A.zip")};
  auto result = Go();
  EXPECT_EQ(result.Outcome, RunOutcome::Interrupted);
  EXPECT_EQ(result.NotInstalled, (std::vector<std::string>{"Web.zip", "A.zip"}));
  EXPECT_EQ(std::count(run.log.begin(), run.log.end(), "get A.zip"), 1);
  EXPECT_EQ(run.configured, 0);
}

// An update that meets a package it cannot install stops there: the packages after it are not
// fetched, nothing is configured, and the backup is named for the restore.
TEST_F(KitFixture, AnUpdateStopsAtAFailedPackage) {
  PreviousInstallation();
  MakePackage(run.kit + "/Program.zip", {{"VELMOR.EXE", "new program"}});
  tmp.Write("kit/Damaged.zip", "PK\x03\x04 this is no archive");
  MakePackage(run.kit + "/Third.zip", {{"third.txt", "3"}});
  struct Case {
    const char* name;
    KitPackage second;
    std::string why;  // a part of the error
  } cases[] = {
      {"damaged archive", Package("Damaged.zip"), ""},
      {"folder outside the target", Package("Program.zip", tiKest, "..\\Other"), "..\\Other"},
      {"missing from a folder location", Package("Missing.zip"), ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    run.log.clear();
    std::filesystem::remove_all(platform::PathFromUtf8(target));
    std::filesystem::remove_all(platform::PathFromUtf8(tmp / "restored"));
    PreviousInstallation();
    packages = {Package("Program.zip"), c.second, Package("Third.zip")};
    auto result = Go();
    bool missing = c.second.FileName == "Missing.zip";
    if (missing) {
      // Kits may leave packages out on purpose: passed over and named, as in a new installation.
      EXPECT_EQ(result.Outcome, RunOutcome::Completed);
      EXPECT_EQ(result.NotInstalled, (std::vector<std::string>{"Missing.zip"}));
      EXPECT_TRUE(Exists(target + "/third.txt"));
      continue;
    }
    EXPECT_EQ(result.Outcome, RunOutcome::PackageFailed);
    EXPECT_EQ(result.FailedPackage, c.second.FileName);
    EXPECT_FALSE(result.Error.empty());
    EXPECT_NE(result.Error.find(c.why), std::string::npos) << result.Error;
    EXPECT_EQ(result.NotInstalled, (std::vector<std::string>{c.second.FileName, "Third.zip"}));
    EXPECT_FALSE(run.Has("get Third.zip"));
    EXPECT_EQ(run.configured, 0);
    ASSERT_FALSE(result.BackupArchive.empty());
    engine::RestoreBackup(result.BackupArchive, tmp / "restored", engine::NoProgress());
    EXPECT_EQ(ReadFile(tmp / "restored/VELMOR.EXE"), "old program") << "the backup keeps the previous program";
  }
}

#ifndef _WIN32
// Before the backup of an update: the programs holding the target's files, Retry or Cancel
// (the native build's stand-in answers for Windows' Restart Manager).
TEST_F(KitFixture, FilesInUseBeforeAnUpdateAreRetriedOrCancelled) {
  PreviousInstallation();
  MakePackage(run.kit + "/Program.zip", {{"VELMOR.EXE", "new program"}});
  packages = {Package("Program.zip")};
  std::string exe = target + "/VELMOR.EXE";
  for (bool retry : {false, true}) {
    SCOPED_TRACE(retry ? "retry after closing" : "cancel");
    run.log.clear();
    platform::SetProgramsUsingFiles({{exe, {"Velmor", "Velmor Tools"}}, {target + "/Data/a.txt", {"Velmor"}}});
    int asked = 0;
    run.onFilesInUse = [&](const std::vector<std::string>&) {
      ++asked;
      if (asked == 2) platform::SetProgramsUsingFiles({});  // the user closed them, then chose Retry
      return retry;
    };
    auto result = Go();
    EXPECT_EQ(run.log.front(), "in use Velmor Velmor Tools");
    if (!retry) {
      EXPECT_EQ(asked, 1);
      EXPECT_EQ(result.Outcome, RunOutcome::Cancelled);
      EXPECT_EQ(result.ProgramsInUse, (std::vector<std::string>{"Velmor", "Velmor Tools"}));
      EXPECT_FALSE(Exists(target + "/Backup")) << "nothing is written before the programs are closed";
      EXPECT_EQ(ReadFile(exe), "old program");
      EXPECT_TRUE(run.Told("Step Check files in use: files of the target are in use by Velmor, Velmor Tools"));
      EXPECT_TRUE(run.Told("Step Check files in use: answered Cancel, nothing was written"));
    } else {
      EXPECT_EQ(asked, 2);
      EXPECT_EQ(result.Outcome, RunOutcome::Completed);
      EXPECT_EQ(ReadFile(exe), "new program");
      EXPECT_TRUE(run.Told("Step Check files in use: answered Retry, looking again"));
    }
  }
  // A new installation does not ask.
  std::filesystem::remove_all(platform::PathFromUtf8(target));
  choices.Update = false;
  platform::SetProgramsUsingFiles({{exe, {"Velmor"}}});
  run.log.clear();
  EXPECT_EQ(Go().Outcome, RunOutcome::Completed);
  EXPECT_FALSE(run.Has("in use"));
}
#endif

TEST_F(KitFixture, AStoppedOrFailedBackupLeavesTheTargetAsItWas) {
  PreviousInstallation();
  MakePackage(run.kit + "/Program.zip", {{"VELMOR.EXE", "new program"}});
  packages = {Package("Program.zip")};
  run.stopWhen = [](const PackageRun& r) { return r.Has("backup 1 "); };
  auto stopped = Go();
  EXPECT_EQ(stopped.Outcome, RunOutcome::BackupFailed);
  EXPECT_EQ(stopped.Error, "");
  EXPECT_EQ(stopped.BackupArchive, "");
  EXPECT_FALSE(Exists(target + "/Backup"));
  EXPECT_FALSE(run.Has("get Program.zip"));

  run.stop = false;
  run.stopWhen = {};
  tmp.Write("Velmor/Backup", "in the way");  // the backup folder cannot be made
  auto failed = Go();
  EXPECT_EQ(failed.Outcome, RunOutcome::BackupFailed);
  EXPECT_FALSE(failed.Error.empty());
  EXPECT_EQ(ReadFile(target + "/VELMOR.EXE"), "old program");
  EXPECT_EQ(run.configured, 0);
}

}  // namespace
