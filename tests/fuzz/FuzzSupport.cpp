#include "FuzzSupport.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "platform/Files.h"
#include "support/InstallLog.h"

namespace fuzz {

const std::string& ScratchRoot() {
  static const std::string root = [] {
    auto path = std::filesystem::temp_directory_path() / ("velfuzz-" + std::to_string(getpid()));
    std::filesystem::create_directories(path);
    std::string text = path.string();
    // Removed when the run ends normally; a crash leaves it for a look.
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(std::filesystem::temp_directory_path() / ("velfuzz-" + std::to_string(getpid())), ec);
    });
    return text;
  }();
  return root;
}

std::string WriteScratch(const std::string& name, std::string_view bytes) {
  std::string path = ScratchRoot() + "/" + name;
  platform::WriteWholeFile(path, bytes);
  return path;
}

void ResetLog() { InstallLog().Reset(); }

void Finding(const std::string& text) {
  std::fprintf(stderr, "FINDING: %s\n", text.c_str());
  std::abort();
}

}  // namespace fuzz
