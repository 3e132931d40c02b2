#include "engine/BackupFileList.h"

#include <algorithm>

#include "platform/Files.h"
#include "platform/Text.h"

namespace engine {

namespace {

struct DirEntries {
  std::vector<std::string> folders, files;  // full paths
};

// The folder's entries in the order Windows file systems list them (by name, ignoring case),
// so that both builds list the same folder the same way.
DirEntries ReadDir(const std::string& dir) {
  std::vector<platform::DirectoryEntry> entries;
  platform::ListDirectory(dir, entries);
  std::sort(entries.begin(), entries.end(), [](const platform::DirectoryEntry& a, const platform::DirectoryEntry& b) {
    std::string ua = platform::UpperText(a.Name);
    std::string ub = platform::UpperText(b.Name);
    return ua != ub ? ua < ub : a.Name < b.Name;
  });
  DirEntries out;
  std::string prefix = platform::IncludeTrailingPathDelimiter(dir);
  for (const platform::DirectoryEntry& e : entries) {
    if (e.Link) {
      // A link to a folder is not followed (it may lead back up); a link to a file is a file.
      if (e.File) out.files.push_back(prefix + e.Name);
      continue;
    }
    if (e.Directory)
      out.folders.push_back(prefix + e.Name);
    else
      out.files.push_back(prefix + e.Name);
  }
  return out;
}

std::string LeafName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

void ListFilesUnder(const std::string& dir, std::vector<std::string>& list, int depth) {
  if (depth > 256) return;
  DirEntries entries = ReadDir(dir);
  for (const std::string& folder : entries.folders) {
    std::string name = platform::UpperText(LeafName(folder));
    if (name.rfind("BACKUP", 0) == 0 || name.rfind("DEMODATA", 0) == 0) continue;
    ListFilesUnder(folder, list, depth + 1);
  }
  for (const std::string& file : entries.files) {
    if (platform::SameTextAscii(platform::Utf8FromPath(platform::LexicalPath(LeafName(file)).extension()), ".mdf"))
      continue;
    list.push_back(file);
  }
}

}  // namespace

void ListFilesForBackup(std::string_view directory, std::vector<std::string>& list) {
  if (directory.empty()) return;
  ListFilesUnder(std::string(directory), list, 0);
}

}  // namespace engine
