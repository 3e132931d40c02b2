#include "engine/PackageExtraction.h"

#include <filesystem>
#include <set>
#include <stdexcept>
#include <system_error>

#include "engine/ZipArchive.h"
#include "engine/ZipEntryName.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/PackageHash.h"

namespace engine {

namespace fs = std::filesystem;

bool InstallableLanguage(const std::string& jazykKod) {
  static const char* const kCodes[] = {"EN", "GR", "SK", "PL", "ES", "RU", "RO"};
  for (const char* code : kCodes)
    if (jazykKod == code) return true;
  return false;
}

bool PackageSelected(const TZipFileCFG& package, TTypeInstall installType, TTypeInstallSet typeFiles) {
  bool language = !package.Jazyk() || InstallableLanguage(package.JazykKod());
  bool edition = !package.ForOnlyVersion() || package.TypeInstall() == installType;
  return language && edition && typeFiles.Contains(package.TypeInstall());
}

TTypeInstallSet InstallTypeFiles(TTypeInstall installType) { return TTypeInstallSet::Range(tiKest, installType); }

std::string PackageArchiveName(const std::string& fileName) {
  // Only the name's own part counts: "v1.2\Program" has no extension.
  std::size_t leaf = fileName.find_last_of("\\/");
  std::size_t dot = fileName.rfind('.');
  bool extension = dot != std::string::npos && (leaf == std::string::npos || dot > leaf);
  return extension ? fileName : fileName + ".zip";
}

int CountPackagesOfTypes(const std::vector<TZipFileCFG>& packages, TTypeInstallSet typeFiles) {
  int n = 0;
  for (const TZipFileCFG& p : packages)
    if (typeFiles.Contains(p.TypeInstall())) ++n;
  return n;
}

namespace {

// The folder a package goes to: the target directory, or its DirInstall below it. A DirInstall
// that would leave the target directory is refused like an entry that would.
std::string PackageBaseFolder(const std::string& adrInstall, const std::string& dirInstall) {
  std::string base = adrInstall;
  bool blank = dirInstall.find_first_not_of("\\/. ") == std::string::npos && dirInstall.find("..") == std::string::npos;
  if (blank) return base;
  auto components = SafeEntryComponents(dirInstall);
  if (!components)
    throw ZipError("The package folder \"" + dirInstall + "\" would lie outside the folder \"" + adrInstall + "\"");
  for (const std::string& c : *components) base = platform::IncludeTrailingPathDelimiter(base) + c;
  return base;
}

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

// Extracts one obtained archive. Throws ZipError.
void ExtractPackage(const PackageSetRequest& request, const TZipFileCFG& package,
                             const std::string& archivePath, ProgressSink& entries) {
  ZipArchive zip;
  zip.Password = request.Password;
  zip.FileName = archivePath;
  zip.BaseDir = PackageBaseFolder(request.AdrInstall, package.DirInstall());
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
  if (request.UpdateVersion && package.InstallEnableExistFileOrNew()) {
    std::vector<std::string> names = ExistingNames(zip, zip.BaseDir);
    if (!names.empty()) zip.ExtractFiles(names);
  } else {
    zip.ExtractFiles("*.*");
  }
  zip.CloseArchive();
}

}  // namespace

PackageSetResult ExtractPackageSet(const PackageSetRequest& request, PackageSetEvents& events, ProgressSink& entries,
                                   ProgressSink& progress) {
  PackageSetResult result;
  progress.SetTotal(static_cast<std::uint64_t>(CountPackagesOfTypes(request.Packages, request.TypeFiles)));
  std::uint64_t handled = 0;
  bool stopped = false;
  std::size_t i = 0;
  for (; i < request.Packages.size(); ++i) {
    const TZipFileCFG& package = request.Packages[i];
    if (progress.ShouldStop()) {
      stopped = true;
      break;
    }
    if (!PackageSelected(package, request.InstallType, request.TypeFiles)) continue;
    if (events.OnFetch) events.OnFetch(package);
    std::string archivePath;
    entries.SetTotal(100);
    bool obtained = events.Fetch && events.Fetch(PackageArchiveName(package.FileName()), archivePath, entries);
    bool installed = false;
    if (obtained) {
      if (progress.ShouldStop()) {
        stopped = true;
        break;
      }
      if (events.OnExtract) events.OnExtract(package);
      entries.SetTotal(0);
      try {
        // An archive that is not the one the definition names is never opened.
        if (std::string fault = PackageHashFault(package, archivePath); !fault.empty()) throw std::runtime_error(fault);
        ExtractPackage(request, package, archivePath, entries);
        installed = true;
      } catch (const std::exception& e) {
        if (events.OnError) events.OnError(package, archivePath, e.what());
      }
    }
    if (!installed) result.NotInstalled.push_back(package.FileName());
    if (events.OnPackageDone) events.OnPackageDone(package);
    progress.Item(++handled, package.FileName());
  }
  // A stop leaves the package it came at and those after it not installed.
  if (stopped)
    for (; i < request.Packages.size(); ++i)
      if (PackageSelected(request.Packages[i], request.InstallType, request.TypeFiles))
        result.NotInstalled.push_back(request.Packages[i].FileName());
  result.Complete = !stopped && !progress.ShouldStop();
  return result;
}

}  // namespace engine
