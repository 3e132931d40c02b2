// The long steps of an installation run as the wizard shows them: the backup, the two steps of
// each package and the restore. The engine does the work; the sinks here move the pages'
// bars and labels, write the log lines and let pending input run, where Stop is answered.
#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

#include "app/Install.h"
#include "engine/BackupRestore.h"
#include "engine/PackageExtraction.h"
#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/SetupDat.h"
#include "support/Application.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/SystemUtil.h"

namespace {

// The restore's result when files of the backup could not be written.
const TMessage msgRestoreFilesLeft = {
    "Tyto soubory se nepodařilo obnovit a zůstaly tak, jak byly:",
    "These files could not be restored and were left as they were:",
    "Diese Dateien konnten nicht wiederhergestellt werden und blieben, wie sie waren:",
    "Tieto súbory sa nepodarilo obnoviť a zostali tak, ako boli:",
};
const TMessage msgRestoreMoreFilesLeft = {
    "... a dalších %s (uvedeny v instalačním protokolu)",
    "... and %s more (listed in the installation log)",
    "... und %s weitere (im Installationsprotokoll aufgeführt)",
    "... a ďalších %s (uvedené v inštalačnom protokole)",
};
// A message box lists this many files at most; the log lists them all.
constexpr std::size_t kListedFilesLeft = 15;

// The files a restore left as they were: every one in the log with why, the first ones in a
// message box.
void ReportFilesLeft(TFInstall& form, const std::vector<engine::RestoreSkippedFile>& skipped) {
  std::string heading = Msg(msgRestoreFilesLeft);
  InstallLog().AddError(heading);
  std::string text = heading;
  std::size_t listed = skipped.size() <= kListedFilesLeft ? skipped.size() : kListedFilesLeft - 1;
  for (std::size_t i = 0; i < skipped.size(); ++i) {
    std::string name = skipped[i].Name;
    std::replace(name.begin(), name.end(), '\\', platform::PathDelimiter());
    std::string path = platform::IncludeTrailingPathDelimiter(form.AdrInstall) + name;
    InstallLog().AddError(path + " : " + skipped[i].Why);
    if (i < listed) text.append("\n").append(path);
  }
  if (listed < skipped.size())
    text.append("\n").append(FormatMsg(msgRestoreMoreFilesLeft, std::to_string(skipped.size() - listed)));
  form.PlainMessageBox(text);
}

// The backup page: one file after another into the archive; Stop is seen between files.
class BackupProgress : public engine::ProgressSink {
 public:
  explicit BackupProgress(TFInstall& form) : F(form) {}
  void SetTotal(std::uint64_t total) override {
    F.ProgressBackup.SetMin(0);
    F.ProgressBackup.SetMax(static_cast<int>(total));
    F.ProgressBackup.SetPosition(0);
  }
  void Item(std::uint64_t completed, const std::string& file) override {
    F.lblFileName.SetCaption(file);
    InstallLog().Add(Msg(msgAddFileToArchive) + file);
    F.ProgressBackup.SetPosition(static_cast<int>(completed));
    Application().ProcessMessages();
  }
  bool ShouldStop() override {
    if (!StopRequested) return false;
    if (!FLogged) InstallLog().Add(Msg(msgCancelingInstallation));
    FLogged = true;
    return true;
  }

 private:
  TFInstall& F;
  bool FLogged = false;
};

// The copy page's per-file bar while one archive is extracted.
class ExtractProgress : public engine::ProgressSink {
 public:
  explicit ExtractProgress(TFInstall& form) : F(form) {}
  void SetTotal(std::uint64_t total) override {
    F.ProgressCopyFile.SetMax(static_cast<int>(total));
    F.ProgressCopyFile.SetPosition(0);
  }
  void Item(std::uint64_t, const std::string& entry) override {
    LogProcedure log("onInstallExtractFile");
    InstallLog().Add(Msg(msgExtractingArchives) + entry);
    F.ProgressCopyFile.StepBy(1);
    Application().ProcessMessages();
  }
  bool ShouldStop() override { return StopRequested; }

 private:
  TFInstall& F;
};

// The restore page: nothing on it can stop the restore.
class RestoreProgress : public engine::ProgressSink {
 public:
  explicit RestoreProgress(TFInstall& form) : F(form) {}
  void SetTotal(std::uint64_t total) override {
    F.ProgressBarRecov.SetMax(static_cast<int>(total));
    F.ProgressBarRecov.SetPosition(0);
  }
  void Item(std::uint64_t, const std::string& entry) override {
    LogProcedure log("onBackupExtractFile");
    InstallLog().Add(Msg(msgExtractingArchives) + entry);
    F.ProgressBarRecov.StepBy(1);
    F.lblFileNameRecov.SetCaption(entry);
    Application().ProcessMessages();
  }

 private:
  TFInstall& F;
};

// Asks the engine to stop when the program-wide request is set.
class StopOnRequest : public engine::ProgressSink {
 public:
  bool ShouldStop() override { return StopRequested; }
};

}  // namespace

bool TFInstall::BackUpPreviousVelmor() {
  ObnovaPrevVelmor = false;
  bool result = false;
  {
    LogProcedure log("BackUpPreviousVelmor");
    try {
      InstallLog().Add(Msg(msgLoadingBackupDirectoryStructure));
      std::vector<std::string> files;
      std::error_code ec;
      if (std::filesystem::is_directory(platform::PathFromUtf8(AdrInstall), ec)) ListFilesForBackup(AdrInstall, files);
      if (files.empty()) {
        BackupVelmor.clear();
        result = true;
      } else {
        AdrBackup = platform::IncludeTrailingPathDelimiter(AdrInstall) + "Backup" + platform::PathDelimiter();
        std::string stamp = TimeStampText(platform::NowLocal());
        BackupVelmor = engine::BackupArchivePath(AdrInstall, stamp);
        InstallLog().Add(Msg(msgCreateArchive) + BackupVelmor);
        BackupProgress progress(*this);
        engine::BackupResult backup = engine::BackUpFiles(AdrInstall, files, stamp, progress);
        result = backup.Complete && !StopRequested;
      }
    } catch (const std::exception& e) {
      std::string text = Msg(msgErrorBackingUp) + e.what();
      PlainMessageBox(text);
      InstallLog().AddError(text);
      result = false;
    }
  }
  ProgressBackup.SetPosition(0);
  lblFileName.SetCaption("");
  if (!result) {
    ShowPage(tsJazyk);
    // The engine removes what it began; a file left by anything else goes too.
    if (!BackupVelmor.empty()) {
      std::error_code ec;
      std::filesystem::remove(platform::PathFromUtf8(BackupVelmor), ec);
    }
    BackupVelmor.clear();
  }
  return result;
}

bool TFInstall::FetchPackage(const TPlannedPackage& package, std::string& archivePath) {
  lblCopyFile.SetCaption(FormatMsg(msgDownloadFile, package.FileName));
  ProgressCopyFile.SetMin(0);
  ProgressCopyFile.SetMax(100);
  ProgressCopyFile.SetPosition(0);
  ProgressCopyFile.Repaint();
  return StahniSoubor(package.ArchiveName, archivePath);
}

bool TFInstall::StahniSoubor(const std::string& fileName, std::string& fileNameWithPath) {
  const TSetupDat& def = SetupDat();
  DownloadSources sources{def.LocalPath(), def.InstallServer(), def.MSSQLInstall()};
  DownloadBar bar([this](int position) { ProgressCopyFile.SetPosition(position); });
  return ::StahniSoubor(sources, fileName, fileNameWithPath, &bar, true, false);
}

void TFInstall::ExtractPackage(const TPlannedPackage& package, const std::string& archivePath) {
  lblCopyFile.SetCaption(FormatMsg(msgExtractFile, package.FileName));
  ProgressCopyFile.SetPosition(0);
  const TSetupDat& def = SetupDat();
  engine::PackageSetRequest request;
  request.Packages = {def.ZipFiles().at(static_cast<size_t>(package.Source))};
  request.InstallType = FInstallType;
  request.TypeFiles = SetOfInstallTypeFiles;
  request.UpdateVersion = UpdateVerion;
  request.AdrInstall = AdrInstall;
  request.Password = platform::AnsiFromUtf8(def.ZipPassword());

  engine::PackageSetEvents events;
  // The archive is already here: the fetch step got it.
  events.Fetch = [&archivePath](const std::string&, std::string& path, engine::ProgressSink&) {
    path = archivePath;
    return true;
  };
  events.OnError = [](const TZipFileCFG&, const std::string& archive, const std::string& error) {
    InstallLog().AddError(Msg(msgErrorUnpackingFile) + archive + "\". " + error);
  };
  ExtractProgress entries(*this);
  StopOnRequest progress;
  engine::PackageSetResult result = engine::ExtractPackageSet(request, events, entries, progress);
  for (const std::string& name : result.NotInstalled) NotInstalledPackages.push_back(name);
}

bool TFInstall::RecoveryPrevVelmor() {
  LogProcedure log("RecoveryPrevVelmor");
  ShowPageButtons(tsObnova.PageIndex(), 0);
  pnlRecovResult.SetVisible(false);
  pnlRecovProgr.SetVisible(true);
  bool outcome = false;
  try {
    ProgressBarRecov.SetMin(0);
    ProgressBarRecov.SetPosition(0);
    RestoreProgress progress(*this);
    engine::RestoreResult restored = engine::RestoreBackup(BackupVelmor, AdrInstall, progress);
    outcome = restored.Skipped.empty();
    if (!outcome) ReportFilesLeft(*this, restored.Skipped);
  } catch (const std::exception& e) {
    std::string text = Msg(msgErrorRestoringPrevious) + e.what();
    PlainMessageBox(text);
    InstallLog().AddError(text);
  }
  ProgressBarRecov.SetPosition(0);
  lblFileNameRecov.SetCaption("");
  pnlRecovProgr.SetVisible(false);
  pnlRecovResult.SetVisible(true);
  std::string result = Msg(outcome ? msgRestorePreviousSucceeded : msgErrorRecoveringPrevious);
  lblResultRecov.SetCaption(result);
  InstallLog().Add(result);
  ShowPageButtons(tsObnova.PageIndex(), 1);
  return outcome;
}
