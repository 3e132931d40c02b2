#pragma once
// Which files of an installation folder the backup takes.
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Appends the full paths of the files to back up, depth first (the files of subfolders before a
// folder's own files): subfolders whose names begin with "Backup" or "DemoData" (any case) are
// skipped, and so are *.mdf files. Folder links are not followed.
void ListFilesForBackup(std::string_view directory, std::vector<std::string>& list);

}  // namespace engine
