// velkit install: the installer's run (the same plan and loop as the wizard's) from a shell, on the
// kit's own setup.dat, with no SQL Server steps and no configuration file. Kit authors try a kit
// with it; the fault-injection test kills it at random points.
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <string>

#include "Command.h"
#include "engine/BackupRestore.h"
#include "engine/InstallRun.h"
#include "engine/ZipArchive.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/Downloader.h"
#include "setup/PackageHash.h"
#include "setup/SetupDat.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/SystemUtil.h"

namespace velkit {

namespace {

namespace fs = std::filesystem;

// Message boxes of the installer's code (a failed load, a failed download) go to the error stream.
class ConsolePresenter : public TMessagePresenter {
 public:
  ConsolePresenter() { SetMessagePresenter(this); }
  ~ConsolePresenter() override { SetMessagePresenter(nullptr); }
  ConsolePresenter(const ConsolePresenter&) = delete;
  ConsolePresenter& operator=(const ConsolePresenter&) = delete;
  bool ShowMessageForm(const std::string& text, const std::string&, const std::string&, TMessageKind, int,
                       const TNotifyEvent&) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    return false;
  }
  void UpdateWait(const std::string&, const std::string&) override {}
  void CloseWait() override {}
};

extern "C" void RequestStop(int) { StopRequested = true; }

// One line per step on the standard output; Ctrl+C asks the run to stop where the installer's
// Stop button would.
class ConsoleProgress : public engine::ProgressSink {
 public:
  explicit ConsoleProgress(const char* what) : FWhat(what) {}
  void SetTotal(std::uint64_t total) override { FTotal = total; }
  void Item(std::uint64_t completed, const std::string& item) override {
    if (item.empty())
      std::printf("  %s %llu %%\n", FWhat, static_cast<unsigned long long>(completed));
    else
      std::printf("  %s %llu/%llu %s\n", FWhat, static_cast<unsigned long long>(completed),
                  static_cast<unsigned long long>(FTotal), item.c_str());
  }
  bool ShouldStop() override { return StopRequested; }

 private:
  const char* FWhat;
  std::uint64_t FTotal = 0;
};

// The run on the console: a line per step, per backed-up file, per package and per entry.
class ConsoleRunView : public engine::InstallView {
 public:
  ConsoleRunView(DownloadSources sources, const std::vector<TZipFileCFG>& packages, const engine::InstallPlan& plan)
      : FSources(std::move(sources)), FKitPackages(packages) {
    FPackages.SetTotal(static_cast<std::uint64_t>(plan.OverallTotal));
  }
  // The run's story, step by step, between the progress lines.
  void Log(const std::string& sentence) override { std::printf("%s\n", sentence.c_str()); }
  engine::ProgressSink& BackupProgress() override { return FBackup; }
  engine::ProgressSink& PackageProgress() override { return FEntries; }
  void PackageDone(const engine::PlannedPackage& package) override { FPackages.Item(++FHandled, package.FileName); }
  engine::FetchAnswer Fetch(const engine::PlannedPackage& package, std::string& path,
                            engine::ProgressSink& progress) override {
    const std::string& sha256 = FKitPackages.at(static_cast<size_t>(package.Source)).Sha256();
    if (StahniSoubor(FSources, package.ArchiveName, path, &progress, true, false, sha256))
      return engine::FetchAnswer::Obtained;
    if (StopRequested) return engine::FetchAnswer::Failed;
    std::fprintf(stderr, "velkit install: the package archive %s was not found\n", path.c_str());
    return engine::FetchAnswer::Missing;
  }
  // A package of a kit with hashes is opened only when it is the archive the kit names.
  std::string ArchiveProblem(const engine::PlannedPackage& package, const std::string& archive) override {
    return PackageHashFault(FKitPackages.at(static_cast<size_t>(package.Source)), archive);
  }
  void PackageFailed(const engine::PlannedPackage& package, const std::string& archive,
                     const std::string& error) override {
    if (archive.empty())
      std::fprintf(stderr, "velkit install: %s: %s\n", package.FileName.c_str(), error.c_str());
    else
      std::fprintf(stderr, "Error unpacking a file \"%s\". %s\n", archive.c_str(), error.c_str());
  }

 private:
  DownloadSources FSources;
  const std::vector<TZipFileCFG>& FKitPackages;
  ConsoleProgress FBackup{"backup"};
  ConsoleProgress FEntries{"extract"};
  ConsoleProgress FPackages{"package"};
  std::uint64_t FHandled = 0;
};

bool InstallationFound(const std::string& target) {
  std::error_code ec;
  for (auto it = fs::directory_iterator(platform::PathFromUtf8(target), ec); !ec && it != fs::directory_iterator();
       it.increment(ec))
    if (platform::UpperText(platform::Utf8FromPath(it->path().filename())) == "VELMOR.EXE" && it->is_regular_file(ec))
      return true;
  return false;
}

// The installation type the wizard settles on for this definition and target.
TTypeInstall WizardInstallType(const TSetupDat& dat, bool found) {
  if (dat.OnlyVersion() && dat.TypInst() < 2) return found ? tiKestUpdate : tiKest;
  if (dat.OnlyVersion() && dat.TypInst() <= 4) return found ? tiTarpelUpdate : tiTarpel;
  return tiTarpel;
}

int Install(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {"type"});
  if (o.positional.size() != 2) throw UsageError{"expected KIT and TARGET"};
  const std::string kit = o.positional[0];
  const std::string target = o.positional[1];
  std::setvbuf(stdout, nullptr, _IOLBF, 0);

  std::error_code ec;
  std::string definition = platform::IncludeTrailingPathDelimiter(kit) + "setup.dat";
  if (!fs::is_regular_file(platform::PathFromUtf8(definition), ec)) {
    std::fprintf(stderr, "velkit install: the kit folder %s has no setup.dat\n", kit.c_str());
    return ExitFailed;
  }
  ConsolePresenter presenter;
  TSetupDat dat(false);
  if (!dat.LoadSetupDat(definition)) {
    std::fprintf(stderr, "velkit install: the setup definition %s cannot be used\n", definition.c_str());
    return ExitFailed;
  }
  dat.SetLocalPath(kit);

  fs::path targetPath = platform::PathFromUtf8(target);
  if (fs::exists(targetPath, ec) && !fs::is_directory(targetPath, ec)) {
    std::fprintf(stderr, "velkit install: %s is not a folder\n", target.c_str());
    return ExitFailed;
  }
  fs::create_directories(targetPath, ec);
  if (ec) {
    std::fprintf(stderr, "velkit install: cannot create the folder %s: %s\n", target.c_str(), ec.message().c_str());
    return ExitFailed;
  }

  bool found = InstallationFound(target);
  TTypeInstall type = WizardInstallType(dat, found);
  if (const std::string* t = o.Get("type")) {
    if (t->size() != 1 || (*t)[0] < '0' || (*t)[0] > '4') throw UsageError{"--type takes a number from 0 to 4"};
    type = static_cast<TTypeInstall>((*t)[0] - '0');
  }
  std::printf("Installing the kit %s into %s: type %d, %s\n", kit.c_str(), target.c_str(), static_cast<int>(type),
              found ? "an update of the installation found there" : "a new installation");

  StopRequested = false;
  std::signal(SIGINT, RequestStop);
  std::signal(SIGTERM, RequestStop);

  engine::InstallChoices choices{target, type, engine::InstallTypeFiles(type), found,
                                 TimeStampText(platform::NowLocal())};
  const engine::InstallPlan plan = engine::PlanInstall(KitPackages(dat.ZipFiles()), dat.ZipPassword(), choices);
  ConsoleRunView view(DownloadSources{kit, dat.InstallServer(), dat.MSSQLInstall()}, dat.ZipFiles(), plan);
  engine::InstallRunResult result = engine::ApplyInstallPlan(plan, view, StopRequested);

  switch (result.Outcome) {
    case engine::RunOutcome::Cancelled:
      std::fprintf(stderr, "velkit install: files of %s are in use by:\n", target.c_str());
      for (const std::string& p : result.ProgramsInUse) std::fprintf(stderr, "  %s\n", p.c_str());
      std::fprintf(stderr, "Close them and run the installation again. Nothing was installed.\n");
      return ExitFailed;
    case engine::RunOutcome::BackupFailed:
      if (result.Error.empty())
        std::fprintf(stderr, "velkit install: the backup was stopped; nothing was installed\n");
      else
        std::fprintf(stderr, "velkit install: Error while backing up a previous version : %s\nNothing was installed.\n",
                     result.Error.c_str());
      return ExitFailed;
    default:
      break;
  }
  if (!result.NotInstalled.empty()) {
    std::printf("Packages not installed:\n");
    for (const std::string& name : result.NotInstalled) std::printf("  %s\n", name.c_str());
  }
  if (result.Outcome == engine::RunOutcome::PackageFailed) {
    std::fprintf(stderr, "velkit install: the package %s could not be installed: %s\n", result.FailedPackage.c_str(),
                 result.Error.c_str());
    // Unattended, an update that cannot complete goes back to the previous installation.
    std::printf("The update was interrupted: restoring the previous installation from %s\n",
                result.BackupArchive.c_str());
    ConsoleProgress restoreProgress("restore");
    try {
      engine::RestoreBackup(result.BackupArchive, target, restoreProgress);
      std::printf("The previous installation was restored.\n");
    } catch (const std::exception& e) {
      std::fprintf(stderr, "velkit install: the restore failed: %s\n", e.what());
    }
    return ExitFailed;
  }
  if (result.Outcome == engine::RunOutcome::Interrupted) {
    std::printf("The installation was stopped.\n");
    if (!result.BackupArchive.empty())
      std::printf("Restore the previous files with: velkit archive restore \"%s\" \"%s\"\n",
                  result.BackupArchive.c_str(), target.c_str());
    return ExitFailed;
  }
  if (!result.NotInstalled.empty()) return ExitFailed;
  std::printf("Installed.\n");
  return ExitOk;
}

Registrar installCommand(
    {"install", "", "KIT TARGET [--type N]",
     "backs up TARGET and extracts the kit's packages into it as the installer does (no SQL Server, no Velmor.INI); "
     "--type 0-4 overrides the installation type; exit 0 only when every package was installed",
     Install});

}  // namespace

}  // namespace velkit
