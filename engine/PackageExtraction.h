#pragma once
// Extraction of one package archive into its folder, with the kit's password, as the installation
// run's extract step does it. Which packages, and which folder, the plan decides
// (engine/InstallPlan.h).
#include <string>

#include "engine/Progress.h"

namespace engine {

// Extracts the archive into baseFolder. With onlyExistingFiles (an update of a package that
// asks for it) only entries whose bare names exist as files directly in baseFolder are written,
// each such name in every folder of the archive. Entries are reported through `entries`
// (SetTotal with the entry count, Item per entry in archive order). Throws ZipError when the
// archive is damaged, the password is wrong, a file cannot be written or the archive holds no
// file at all; the entries written before the error stay.
void ExtractPackageArchive(const std::string& archivePath, const std::string& baseFolder, const std::string& password,
                           bool onlyExistingFiles, ProgressSink& entries);

}  // namespace engine
