// Linux has no Restart Manager, but it can tell which processes hold a file: their open file
// descriptors under /proc. Tests may instead name the holders themselves.
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>
#include <system_error>

#include "platform/Files.h"
#include "platform/FilesInUse.h"

namespace platform {

namespace {

namespace fs = std::filesystem;

std::map<std::string, std::vector<std::string>>& Holders() {
  static std::map<std::string, std::vector<std::string>> holders;
  return holders;
}

void AddOnce(std::vector<std::string>& programs, const std::string& name) {
  if (std::find(programs.begin(), programs.end(), name) == programs.end()) programs.push_back(name);
}

// Every process of this user but this one whose open files include one of the files.
std::vector<std::string> ProcessesHolding(const std::vector<std::string>& files) {
  std::set<std::string> wanted;
  std::error_code ec;
  for (const std::string& f : files) {
    fs::path p = fs::weakly_canonical(PathFromUtf8(f), ec);
    if (!ec) wanted.insert(p.string());
  }
  std::vector<std::string> programs;
  const std::string self = std::to_string(getpid());
  for (auto it = fs::directory_iterator("/proc", ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
    std::string pid = it->path().filename().string();
    if (pid.find_first_not_of("0123456789") != std::string::npos || pid == self) continue;
    std::error_code fdError;
    for (auto fd = fs::directory_iterator(it->path() / "fd", fdError); !fdError && fd != fs::directory_iterator();
         fd.increment(fdError)) {
      std::error_code linkError;
      fs::path target = fs::read_symlink(fd->path(), linkError);
      if (linkError || !wanted.count(target.string())) continue;
      std::string name;
      std::getline(std::ifstream(it->path() / "comm"), name);
      AddOnce(programs, (name.empty() ? "process" : name) + " (" + pid + ")");
      break;
    }
  }
  return programs;
}

}  // namespace

void SetProgramsUsingFiles(std::map<std::string, std::vector<std::string>> holders) { Holders() = std::move(holders); }

std::vector<std::string> ProgramsUsingFiles(const std::vector<std::string>& files) {
  if (files.empty()) return {};
  if (Holders().empty()) return ProcessesHolding(files);
  std::vector<std::string> programs;
  for (const std::string& file : files) {
    auto it = Holders().find(file);
    if (it == Holders().end()) continue;
    for (const std::string& p : it->second) AddOnce(programs, p);
  }
  return programs;
}

}  // namespace platform
