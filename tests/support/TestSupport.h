#pragma once
// Shared helpers of the test programs.
#include <filesystem>
#include <cstddef>
#include <string>

namespace testing_support {

// A fresh folder under the system's temporary folder, removed with everything in it at the end.
class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  // UTF-8 path of the folder, without a trailing delimiter.
  const std::string& Path() const { return FPath; }
  // UTF-8 path of a name inside it (may hold subfolders, '/' separated).
  std::string operator/(const std::string& name) const;
  // Writes a file (creating its folders) and returns its UTF-8 path.
  std::string Write(const std::string& name, const std::string& bytes) const;

 private:
  std::string FPath;
};

std::string ReadFile(const std::string& utf8Path);
// size bytes of a fixed pseudo-random sequence (the same for the same seed): content that does not compress.
std::string RandomBytes(std::size_t size, unsigned seed);
bool Exists(const std::string& utf8Path);

// Folder of the checked-in test data (tests/data).
std::string DataDir();

// Runs a shell command (native build only) and returns its exit status.
int Run(const std::string& command);

}  // namespace testing_support
