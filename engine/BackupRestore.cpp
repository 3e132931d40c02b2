#include "engine/BackupRestore.h"

#include <filesystem>
#include <system_error>

#include "engine/ZipArchive.h"
#include "platform/Files.h"

namespace engine {

namespace fs = std::filesystem;

std::string BackupArchivePath(const std::string& adrInstall, const std::string& timeStamp) {
  std::string folder = platform::IncludeTrailingPathDelimiter(adrInstall) + "Backup";
  return platform::IncludeTrailingPathDelimiter(folder) + "Backup" + timeStamp + ".zip";
}

BackupResult BackUpFiles(const std::string& adrInstall, const std::vector<std::string>& files,
                         const std::string& timeStamp, ProgressSink& progress) {
  BackupResult result;
  if (files.empty()) {
    result.Complete = true;
    return result;
  }
  std::string archivePath = BackupArchivePath(adrInstall, timeStamp);
  fs::path folder = platform::PathFromUtf8(archivePath).parent_path();
  std::error_code ec;
  bool folderExisted = fs::exists(folder, ec);
  fs::create_directories(folder, ec);
  if (ec || !fs::is_directory(folder))
    throw ZipError("Cannot create the folder " + platform::Utf8FromPath(folder) +
                   (ec ? ": " + ec.message() : std::string()));
  progress.SetTotal(files.size());
  // The archive is written under a temporary name and renamed once complete and on the disk, so
  // a stop, an error or a killed process never leaves something that looks like a backup.
  ZipArchive zip;
  zip.FileName = archivePath;
  zip.BaseDir = adrInstall;
  zip.Progress = &progress;
  // A backup that does not complete leaves the target as it was: no archive, no new folder.
  auto removeNewFolder = [&] {
    std::error_code ignored;
    if (!folderExisted) fs::remove(folder, ignored);
  };
  try {
    zip.OpenArchive(ZipOpenMode::Create);
    for (const std::string& file : files) zip.AddFiles(file);
    zip.CloseArchive();
  } catch (const ZipStopped&) {
    removeNewFolder();
    return result;
  } catch (...) {
    removeNewFolder();
    throw;
  }
  result.Complete = true;
  result.ArchivePath = archivePath;
  return result;
}

RestoreResult RestoreBackup(const std::string& archivePath, const std::string& adrInstall, ProgressSink& progress) {
  RestoreResult result;
  ZipArchive zip;
  zip.FileName = archivePath;
  zip.BaseDir = adrInstall;
  std::uint64_t done = 0;
  zip.OnExtractFile = [&](ZipArchive&, std::string& name, std::uint32_t&, const std::string&) {
    progress.Item(++done, name);
  };
  zip.OnEntryFailed = [&](const std::string& name, const std::string& why) {
    result.Skipped.push_back({name, why});
  };
  zip.OpenArchive();
  progress.SetTotal(static_cast<std::uint64_t>(zip.FileCount()));
  zip.ExtractFiles("*.*");
  zip.CloseArchive();
  return result;
}

}  // namespace engine
