#include "engine/PackageExtraction.h"

#include <filesystem>
#include <set>
#include <system_error>

#include "engine/ZipArchive.h"
#include "platform/Files.h"
#include "platform/Text.h"

namespace engine {

namespace fs = std::filesystem;

namespace {

// The update of an installation replaces only what it has: the bare names of the archive's
// entries that exist as files directly in the base folder.
std::vector<std::string> ExistingNames(ZipArchive& zip, const std::string& baseFolder) {
  std::vector<std::string> names;
  std::set<std::string> seen;
  ZipEntryInfo entry;
  for (bool more = zip.FindFirst(entry); more; more = zip.FindNext(entry)) {
    if (entry.IsDirectory() || !seen.insert(entry.FileName).second) continue;
    std::error_code ec;
    fs::path existing = platform::PathFromUtf8(platform::IncludeTrailingPathDelimiter(baseFolder) + entry.FileName);
    if (fs::is_regular_file(existing, ec)) names.push_back(entry.FileName);
  }
  return names;
}

}  // namespace

void ExtractPackageArchive(const std::string& archivePath, const std::string& baseFolder, const std::string& password,
                           bool onlyExistingFiles, ProgressSink& entries) {
  ZipArchive zip;
  zip.Password = password;
  zip.FileName = archivePath;
  zip.BaseDir = baseFolder;
  std::uint64_t done = 0;
  zip.OnExtractFile = [&](ZipArchive&, std::string& name, std::uint32_t&, const std::string&) {
    entries.Item(++done, name);
  };
  zip.OpenArchive();
  entries.SetTotal(static_cast<std::uint64_t>(zip.FileCount()));
  bool anyFile = false;
  ZipEntryInfo entry;
  for (bool more = zip.FindFirst(entry); more && !anyFile; more = zip.FindNext(entry)) anyFile = !entry.IsDirectory();
  if (!anyFile) throw ZipError("The archive holds no file");
  if (onlyExistingFiles) {
    std::vector<std::string> names = ExistingNames(zip, zip.BaseDir);
    if (!names.empty()) zip.ExtractFiles(names);
  } else {
    zip.ExtractFiles("*.*");
  }
  zip.CloseArchive();
}

}  // namespace engine
