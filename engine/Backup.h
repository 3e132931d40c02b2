#pragma once
// Backup of a previous installation into a ZIP archive and its restore. The wizard wires these to its
// pages; here they take only paths, a progress callback and the stop flag.
#include <functional>
#include <string>
#include <vector>

namespace engine {

// Called after each file is added (its full path, files added so far, all files), and while the
// archive is written (the archive's path, all files, all files). The wizard shows it and lets the
// user interface process pending messages, where a Stop press sets the stop flag.
using BackupProgress = std::function<void(const std::string& file, int done, int total)>;

struct BackupResult {
  bool Complete = false;    // every file is in the archive (also true when there was nothing to back up)
  std::string ArchivePath;  // empty when there was nothing to back up or the backup was stopped
};

// The archive path: adrInstall + "\Backup\Backup" + timeStamp + ".zip" (this platform's separator).
std::string BackupArchivePath(const std::string& adrInstall, const std::string& timeStamp);

// Packs files (full paths below adrInstall, as ListFilesForBackup lists them) into a new archive,
// paths stored relative to adrInstall, deflated at the fastest level. Nothing to pack: complete,
// no archive. A stop between files (or while the archive is written) deletes the partial archive
// and returns incomplete. Errors (folder not creatable, file unreadable, disk full) delete the
// partial archive and are thrown as ZipError. The archive is flushed to the disk before it counts.
BackupResult BackUpFiles(const std::string& adrInstall, const std::vector<std::string>& files,
                         const std::string& timeStamp, const BackupProgress& progress, const bool& stopRequested);

// Extracts every entry of the backup archive over adrInstall (read-only files replaced, folders
// created). onEntry runs before each entry with its stored name. Errors are thrown as ZipError.
void RestoreBackup(const std::string& archivePath, const std::string& adrInstall,
                   const std::function<void(const std::string& entryName)>& onEntry);

}  // namespace engine
