// velkit archive extract / list: the installer's own archive component from a shell.
#include <cinttypes>
#include <cstdio>
#include <ctime>
#include <exception>

#include <filesystem>

#include "Command.h"
#include "engine/BackupFileList.h"
#include "engine/BackupRestore.h"
#include "engine/ZipArchive.h"
#include "platform/Clock.h"
#include "platform/Crypto.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/PackageHash.h"
#include "support/SystemUtil.h"

namespace velkit {

namespace {

std::string DateText(std::int64_t unixTime) {
  std::time_t t = static_cast<std::time_t>(unixTime);
  std::tm* local = std::localtime(&t);
  if (!local) return "(no date)";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
  return text;
}

int Extract(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {"password", "mask"});
  if (o.positional.size() != 2) throw UsageError{"expected ARCHIVE and DIR"};
  engine::ZipArchive zip;
  zip.FileName = o.positional[0];
  zip.BaseDir = o.positional[1];
  if (const std::string* p = o.Get("password")) zip.Password = platform::AnsiFromUtf8(*p);
  std::string mask = o.Get("mask") ? *o.Get("mask") : "*.*";
  int extracted = 0;
  zip.OnExtractFile = [&](engine::ZipArchive&, std::string& name, std::uint32_t&, const std::string&) {
    std::printf("%s\n", name.c_str());
    ++extracted;
  };
  zip.OpenArchive();
  zip.ExtractFiles(mask);
  zip.CloseArchive();
  std::printf("%d entries extracted to %s\n", extracted, zip.BaseDir.c_str());
  return ExitOk;
}

int List(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {});
  if (o.positional.size() != 1) throw UsageError{"expected ARCHIVE"};
  engine::ZipArchive zip;
  zip.FileName = o.positional[0];
  zip.OpenArchive();
  std::printf("%-19s %12s %12s %-9s %-8s %s\n", "Date", "Size", "Packed", "Encrypted", "CRC", "Name");
  engine::ZipEntryInfo e;
  for (bool more = zip.FindFirst(e); more; more = zip.FindNext(e))
    std::printf("%-19s %12" PRIu64 " %12" PRIu64 " %-9s %08" PRIX32 " %s%s\n", DateText(e.ModifiedTime).c_str(),
                e.UncompressedSize, e.CompressedSize, e.Encrypted ? "yes" : "no", e.Crc32, e.StoredPath.c_str(),
                e.FileName.c_str());
  std::printf("%d entries\n", zip.FileCount());
  zip.CloseArchive();
  return ExitOk;
}

// Progress lines "n/total name" on the standard output.
class LineProgress : public engine::ProgressSink {
 public:
  void SetTotal(std::uint64_t total) override { FTotal = total; }
  void Item(std::uint64_t completed, const std::string& item) override {
    std::printf("%llu/%llu %s\n", static_cast<unsigned long long>(completed), static_cast<unsigned long long>(FTotal),
                item.c_str());
  }

 private:
  std::uint64_t FTotal = 0;
};

int Backup(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {}, {"progress"});
  if (o.positional.size() != 1) throw UsageError{"expected DIR"};
  const std::string& dir = o.positional[0];
  std::error_code ec;
  if (!std::filesystem::is_directory(platform::PathFromUtf8(dir), ec)) {
    std::fprintf(stderr, "velkit archive backup: the folder %s does not exist\n", dir.c_str());
    return ExitFailed;
  }
  std::vector<std::string> files;
  engine::ListFilesForBackup(dir, files);
  LineProgress lines;
  engine::BackupResult result = engine::BackUpFiles(dir, files, TimeStampText(platform::NowLocal()),
                                                    o.Has("progress") ? lines : engine::NoProgress());
  if (result.ArchivePath.empty())
    std::printf("Nothing to back up in %s\n", dir.c_str());
  else
    std::printf("%s\n", result.ArchivePath.c_str());
  return ExitOk;
}

int Restore(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {});
  if (o.positional.size() != 2) throw UsageError{"expected ARCHIVE and DIR"};
  LineProgress lines;
  engine::RestoreResult result = engine::RestoreBackup(o.positional[0], o.positional[1], lines);
  if (result.Skipped.empty()) {
    std::printf("Restored %s into %s\n", o.positional[0].c_str(), o.positional[1].c_str());
    return ExitOk;
  }
  for (const engine::RestoreSkippedFile& f : result.Skipped)
    std::fprintf(stderr, "left as it was: %s: %s\n", f.Name.c_str(), f.Why.c_str());
  std::fprintf(stderr, "Restored %s into %s except %zu file%s left as %s\n", o.positional[0].c_str(),
              o.positional[1].c_str(), result.Skipped.size(), result.Skipped.size() == 1 ? "" : "s",
              result.Skipped.size() == 1 ? "it was" : "they were");
  return ExitFailed;
}

// The SHA-256 the definition's "Sha256" element wants, computed as the installer computes it; the
// lines read like sha256sum's.
int Hash(const std::vector<std::string>& args) {
  Options o = ParseOptions(args, {});
  if (o.positional.empty()) throw UsageError{"expected ARCHIVE..."};
  int status = ExitOk;
  for (const std::string& file : o.positional) {
    try {
      std::printf("%s  %s\n", Sha256Hex(platform::Sha256OfFile(file)).c_str(), file.c_str());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "velkit archive hash: %s\n", e.what());
      status = ExitFailed;
    }
  }
  return status;
}

Registrar extractCommand({"archive", "extract", "ARCHIVE DIR [--password P] [--mask M]",
                          "extracts the entries of a ZIP archive (all, or those matching the mask) below DIR", Extract});
Registrar listCommand({"archive", "list", "ARCHIVE",
                       "lists the entries of a ZIP archive: date, sizes, encryption, CRC-32, name", List});
Registrar backupCommand({"archive", "backup", "DIR [--progress]",
                         "backs up the files of an installation into DIR/Backup/Backup<time stamp>.zip and prints its "
                         "path (--progress: a line per file)",
                         Backup});
Registrar restoreCommand({"archive", "restore", "ARCHIVE DIR",
                          "puts the files of a backup archive back into the installation DIR as the installer's "
                          "restore does (a line per file); a file it cannot write is left as it was and named, and "
                          "the exit status is then 1",
                          Restore});
Registrar hashCommand({"archive", "hash", "ARCHIVE...",
                       "prints the SHA-256 of each file as the installer computes it (the text of a package's "
                       "Sha256 element)",
                       Hash});

}  // namespace

}  // namespace velkit
