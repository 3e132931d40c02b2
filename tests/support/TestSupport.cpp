#include "TestSupport.h"

#include <atomic>
#include <cstdlib>
#include <random>

#include "platform/Files.h"
#include "platform/Process.h"

namespace testing_support {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
  static std::atomic<int> counter{0};
  std::random_device rd;
  std::string name = "velsetup-test-" + std::to_string(rd() % 1000000) + "-" + std::to_string(counter++);
  fs::path p = platform::PathFromUtf8(platform::TempPath()) / name;
  fs::create_directories(p);
  FPath = platform::Utf8FromPath(p);
}

namespace {

// Removes a file or a folder with everything in it, read-only entries included. Walks with the
// platform's listing: MinGW's directory iterator misreads folders whose path passes 260 characters.
void RemoveTree(const std::string& path, bool folder) {
  std::error_code ec;
  fs::path p = platform::PathFromUtf8(path);
  fs::permissions(p, fs::perms::owner_all, fs::perm_options::add, ec);
  std::vector<platform::DirectoryEntry> entries;
  if (folder && platform::ListDirectory(path, entries))
    for (const platform::DirectoryEntry& e : entries)
      RemoveTree(platform::IncludeTrailingPathDelimiter(path) + e.Name, e.Directory && !e.Link);
  fs::remove(p, ec);
}

}  // namespace

TempFolder::~TempFolder() { RemoveTree(FPath, true); }

std::string TempFolder::operator/(const std::string& name) const {
  return platform::Utf8FromPath((platform::PathFromUtf8(FPath) / platform::PathFromUtf8(name)).make_preferred());
}

std::string TempFolder::Write(const std::string& name, const std::string& bytes) const {
  std::string path = *this / name;
  fs::create_directories(platform::PathFromUtf8(path).parent_path());
  platform::WriteWholeFile(path, bytes);
  return path;
}

std::string ReadFile(const std::string& utf8Path) {
  std::string bytes;
  platform::ReadWholeFile(utf8Path, bytes);
  return bytes;
}

bool Exists(const std::string& utf8Path) {
  std::error_code ec;
  return fs::exists(platform::PathFromUtf8(utf8Path), ec);
}

std::string DataDir() { return VELSETUP_TEST_DATA; }

int Run(const std::string& command) { return std::system(command.c_str()); }

std::string RandomBytes(std::size_t size, unsigned seed) {
  std::mt19937 rng(seed);
  std::string s(size, '\0');
  for (char& c : s) c = static_cast<char>(rng());
  return s;
}

}  // namespace testing_support
