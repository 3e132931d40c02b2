#pragma once
// Extraction of a package set: the packages of the setup definition that the installation type
// and the language rules select, each fetched (local kit, folder or web location) and extracted
// with the definition's password into the target directory. The wizard's copy page and
// `velkit install` both run it; what it needs comes in as values and callbacks, never the form.
#include <functional>
#include <string>
#include <vector>

#include "engine/Progress.h"
#include "setup/PackageRecords.h"

namespace engine {

// The installable language codes of language packs, compared case-sensitively.
bool InstallableLanguage(const std::string& jazykKod);

// Whether the package belongs to this installation: its language, its edition and its type.
bool PackageSelected(const TZipFileCFG& package, TTypeInstall installType, TTypeInstallSet typeFiles);

// The package types an installation type includes: every type from tiKest up to its own.
TTypeInstallSet InstallTypeFiles(TTypeInstall installType);

// The archive name of a package: its FileName, with ".zip" appended when it has no extension.
std::string PackageArchiveName(const std::string& fileName);

// The range of the overall bar: the packages whose type is in typeFiles (only that condition).
int CountPackagesOfTypes(const std::vector<TZipFileCFG>& packages, TTypeInstallSet typeFiles);

struct PackageSetRequest {
  std::vector<TZipFileCFG> Packages;  // the definition's list, in its order
  TTypeInstall InstallType = tiKest;
  TTypeInstallSet TypeFiles;
  bool UpdateVersion = false;  // an update of an installation found in the target directory
  std::string AdrInstall;      // the target directory
  std::string Password;        // the definition's password in the system's 8-bit code page
};

// What the caller does around each package. Every call comes on the calling thread.
struct PackageSetEvents {
  // The package is about to be fetched ("Download file ...") or extracted ("Extract file ...").
  std::function<void(const TZipFileCFG& package)> OnFetch;
  std::function<void(const TZipFileCFG& package)> OnExtract;
  // Gets the archive of that name; true with its local path when it was obtained. A failed
  // download that must end the run says so through the progress sink's stop.
  std::function<bool(const std::string& archiveName, std::string& archivePath, ProgressSink& fileProgress)> Fetch;
  // One package handled (obtained or not): the overall bar moves on.
  std::function<void(const TZipFileCFG& package)> OnPackageDone;
  // An archive could not be extracted (damaged, wrong password, unwritable file, no entry at
  // all, or not the archive the package's SHA-256 names: then it is not opened at all); the text
  // names the archive and the error. The run goes on with the next package.
  std::function<void(const TZipFileCFG& package, const std::string& archivePath, const std::string& error)> OnError;
};

struct PackageSetResult {
  bool Complete = false;                 // every selected package handled and no stop requested
  std::vector<std::string> NotInstalled;  // FileNames of selected packages not obtained or not extracted
};

// Walks the packages in order; before each package and right after each archive is obtained it
// asks progress.ShouldStop() and ends the loop on true. Entries of one archive are reported
// through `entries` (SetTotal with the entry count, Item per entry in archive order); a stop
// asked during an archive takes effect after that archive is complete.
PackageSetResult ExtractPackageSet(const PackageSetRequest& request, PackageSetEvents& events,
                                   ProgressSink& entries, ProgressSink& progress);

}  // namespace engine
