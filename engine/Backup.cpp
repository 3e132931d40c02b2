#include "engine/Backup.h"

#include <filesystem>
#include <system_error>

#include "engine/ZipArchive.h"
#include "platform/Files.h"
#include "platform/OutputFile.h"

namespace engine {

namespace fs = std::filesystem;

std::string BackupArchivePath(const std::string& adrInstall, const std::string& timeStamp) {
  std::string folder = platform::IncludeTrailingPathDelimiter(adrInstall) + "Backup";
  return platform::IncludeTrailingPathDelimiter(folder) + "Backup" + timeStamp + ".zip";
}

BackupResult BackUpFiles(const std::string& adrInstall, const std::vector<std::string>& files,
                         const std::string& timeStamp, const BackupProgress& progress, const bool& stopRequested) {
  BackupResult result;
  if (files.empty()) {
    result.Complete = true;
    return result;
  }
  std::string archivePath = BackupArchivePath(adrInstall, timeStamp);
  fs::path archive = platform::PathFromUtf8(archivePath);
  auto removePartial = [&] {
    std::error_code ec;
    fs::remove(archive, ec);
  };
  try {
    std::error_code ec;
    fs::create_directories(archive.parent_path(), ec);
    if (ec || !fs::is_directory(archive.parent_path()))
      throw ZipError("Cannot create the folder " + platform::Utf8FromPath(archive.parent_path()) +
                     (ec ? ": " + ec.message() : std::string()));
    ZipArchive zip;
    zip.FileName = archivePath;
    zip.BaseDir = adrInstall;
    zip.StopRequested = &stopRequested;
    int total = static_cast<int>(files.size());
    // The files are compressed while the archive is written; the stop button stays live then too.
    if (progress) zip.OnCloseProgress = [&](double) { progress(archivePath, total, total); };
    zip.OpenArchive(ZipOpenMode::Create);
    for (int i = 0; i < total && !stopRequested; ++i) {
      zip.AddFiles(files[static_cast<size_t>(i)]);
      if (progress) progress(files[static_cast<size_t>(i)], i + 1, total);
    }
    // A stopped archive is abandoned unwritten when zip goes out of scope.
    if (!stopRequested) {
      zip.CloseArchive();
      platform::FlushFileToDisk(archivePath);
    }
  } catch (...) {
    removePartial();
    if (stopRequested) return result;  // the stop ended the writing; not an error of its own
    throw;
  }
  if (stopRequested) {
    removePartial();
    return result;
  }
  result.Complete = true;
  result.ArchivePath = archivePath;
  return result;
}

void RestoreBackup(const std::string& archivePath, const std::string& adrInstall,
                   const std::function<void(const std::string& entryName)>& onEntry) {
  ZipArchive zip;
  zip.FileName = archivePath;
  zip.BaseDir = adrInstall;
  if (onEntry)
    zip.OnExtractFile = [&](ZipArchive&, std::string& name, std::uint32_t&, const std::string&) { onEntry(name); };
  zip.OpenArchive();
  zip.ExtractFiles("*.*");
  zip.CloseArchive();
}

}  // namespace engine
