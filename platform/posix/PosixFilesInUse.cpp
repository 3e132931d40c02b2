#include <algorithm>

#include "platform/FilesInUse.h"

namespace platform {

namespace {
std::map<std::string, std::vector<std::string>>& Holders() {
  static std::map<std::string, std::vector<std::string>> holders;
  return holders;
}
}  // namespace

void SetProgramsUsingFiles(std::map<std::string, std::vector<std::string>> holders) { Holders() = std::move(holders); }

std::vector<std::string> ProgramsUsingFiles(const std::vector<std::string>& files) {
  std::vector<std::string> programs;
  for (const std::string& file : files) {
    auto it = Holders().find(file);
    if (it == Holders().end()) continue;
    for (const std::string& p : it->second)
      if (std::find(programs.begin(), programs.end(), p) == programs.end()) programs.push_back(p);
  }
  return programs;
}

}  // namespace platform
