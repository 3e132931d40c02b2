#pragma once
// The shell seam: starting programs, finding the program for a file, shell links.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The exit code a process reports while it is still running (Windows' STILL_ACTIVE).
constexpr std::uint32_t kStillActive = 259;

struct ShellRequest {
  void* owner = nullptr;   // owner window, may be null
  std::string verb;        // empty: the default action; "runas": elevated
  std::string file;        // past 259 characters given to the shell by its short (8.3) name
  std::string parameters;  // one command-line text, may be empty
  bool hidden = false;     // SW_HIDE instead of SW_SHOWNORMAL
};

class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  // The exit code, or kStillActive while the process runs.
  virtual std::uint32_t ExitCode() = 0;
};

// Starts the request the way the shell does; null when it cannot be started.
// The native build runs the file itself (it must be executable), the parameters split into
// arguments by the Windows command-line rules; verb and window state have no meaning there.
std::unique_ptr<StartedProcess> ShellStart(const ShellRequest& request);

void SleepMilliseconds(int ms);

// Asks the shell to open a document or an address (a web page, a "mailto:" link) with the
// request's verb; true when the shell took it. Nothing waits for what it starts.
// The native build has no shell: it keeps the requests in memory, where tests read them.
bool ShellOpen(const ShellRequest& request);
const std::vector<ShellRequest>& ShellOpenRequests();
void ClearShellOpenRequests();

// The program that opens the file (the file itself for a program or batch file); empty when
// there is none or the file does not exist.
std::string ProgramForFile(std::string_view file);

struct ShellLink {
  std::string target;
  std::string arguments;
  std::string workingDirectory;
  std::string description;
};

// Writes a shortcut file. Throws std::runtime_error when the shell link object cannot be made;
// returns whether the file was saved. The native build writes a small text file naming the
// same four fields.
bool SaveShellLink(std::string_view linkFile, const ShellLink& link);
std::optional<ShellLink> LoadShellLink(std::string_view linkFile);

}  // namespace platform
