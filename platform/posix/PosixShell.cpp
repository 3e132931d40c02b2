// The native build's shell: programs run through fork/exec, shortcuts are small text files.
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <sstream>
#include <thread>
#include <vector>

#include "platform/Files.h"
#include "platform/Shell.h"

namespace platform {

namespace {

// Splits a command-line text into arguments by the rules Windows programs use: blanks separate,
// double quotes group, a doubled quote inside quotes is a quote, backslashes escape quotes.
std::vector<std::string> SplitCommandLine(std::string_view text) {
  std::vector<std::string> args;
  std::string cur;
  bool inQuotes = false, have = false;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\\') {
      size_t n = 0;
      while (i < text.size() && text[i] == '\\') ++n, ++i;
      if (i < text.size() && text[i] == '"') {
        cur.append(n / 2, '\\');
        if (n % 2) {
          cur.push_back('"');
        } else {
          --i;  // the quote is handled as a quote
        }
      } else {
        cur.append(n, '\\');
        --i;
      }
      have = true;
    } else if (c == '"') {
      if (inQuotes && i + 1 < text.size() && text[i + 1] == '"') {
        cur.push_back('"');
        ++i;
      } else {
        inQuotes = !inQuotes;
      }
      have = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (have) args.push_back(cur);
      cur.clear();
      have = false;
    } else {
      cur.push_back(c);
      have = true;
    }
  }
  if (have) args.push_back(cur);
  return args;
}

bool IsExecutableFile(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && ::access(path.c_str(), X_OK) == 0;
}

// A bare name is looked up on PATH, as the shell would.
std::string ResolveProgram(std::string_view file) {
  std::string f(file);
  if (f.empty()) return {};
  if (f.find('/') != std::string::npos) return IsExecutableFile(f) ? f : std::string();
  const char* path = std::getenv("PATH");
  std::stringstream dirs(path ? path : "/usr/bin:/bin");
  std::string dir;
  while (std::getline(dirs, dir, ':')) {
    std::string candidate = (dir.empty() ? std::string(".") : dir) + "/" + f;
    if (IsExecutableFile(candidate)) return candidate;
  }
  return {};
}

class PosixProcess : public StartedProcess {
 public:
  explicit PosixProcess(pid_t pid) : FPid(pid) {}
  ~PosixProcess() override {
    // Reap the child when it has ended; a running one is left to run, as a closed handle does.
    if (!FDone) ::waitpid(FPid, nullptr, WNOHANG);
  }
  std::uint32_t ExitCode() override {
    if (FDone) return FCode;
    int status = 0;
    pid_t r = ::waitpid(FPid, &status, WNOHANG);
    if (r == 0) return kStillActive;
    FDone = true;
    if (r < 0)
      FCode = 1;
    else if (WIFEXITED(status))
      FCode = static_cast<std::uint32_t>(WEXITSTATUS(status));
    else if (WIFSIGNALED(status))
      FCode = 128u + static_cast<std::uint32_t>(WTERMSIG(status));
    return FCode;
  }

 private:
  pid_t FPid;
  bool FDone = false;
  std::uint32_t FCode = 0;
};

}  // namespace

std::unique_ptr<StartedProcess> ShellStart(const ShellRequest& request) {
  std::string program = ResolveProgram(request.file);
  if (program.empty()) return nullptr;
  std::vector<std::string> args = SplitCommandLine(request.parameters);
  args.insert(args.begin(), program);
  std::vector<char*> argv;
  for (std::string& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  // A close-on-exec pipe tells the parent whether exec itself failed.
  int fds[2];
  if (::pipe2(fds, O_CLOEXEC) != 0) return nullptr;
  pid_t pid = ::fork();
  if (pid < 0) {
    ::close(fds[0]);
    ::close(fds[1]);
    return nullptr;
  }
  if (pid == 0) {
    ::close(fds[0]);
    ::execv(program.c_str(), argv.data());
    int err = errno;
    ssize_t ignored = ::write(fds[1], &err, sizeof err);
    (void)ignored;
    ::_exit(127);
  }
  ::close(fds[1]);
  int err = 0;
  ssize_t n;
  do {
    n = ::read(fds[0], &err, sizeof err);
  } while (n < 0 && errno == EINTR);
  ::close(fds[0]);
  if (n > 0) {
    ::waitpid(pid, nullptr, 0);
    return nullptr;
  }
  return std::make_unique<PosixProcess>(pid);
}

void SleepMilliseconds(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

namespace {
std::vector<ShellRequest> openRequests;
}

// No shell here: the request is kept, as a shell would have received it.
bool ShellOpen(const ShellRequest& request) {
  openRequests.push_back(request);
  return !request.file.empty();
}

const std::vector<ShellRequest>& ShellOpenRequests() { return openRequests; }
void ClearShellOpenRequests() { openRequests.clear(); }

std::string ProgramForFile(std::string_view file) {
  std::string f(file);
  return IsExecutableFile(f) ? f : std::string();
}

namespace {
constexpr const char* kLinkHeader = "[VelSetup Shortcut]";
const char* const kLinkFields[] = {"Target", "Arguments", "WorkingDirectory", "Description"};
std::string* Field(ShellLink& link, int i) {
  std::string* fields[] = {&link.target, &link.arguments, &link.workingDirectory, &link.description};
  return fields[i];
}
}  // namespace

bool SaveShellLink(std::string_view linkFile, const ShellLink& link) {
  std::string text = std::string(kLinkHeader) + "\n";
  ShellLink copy = link;
  for (int i = 0; i < 4; ++i) {
    std::string value = *Field(copy, i);
    for (char& c : value)
      if (c == '\n' || c == '\r') c = ' ';
    text += std::string(kLinkFields[i]) + "=" + value + "\n";
  }
  try {
    WriteWholeFile(linkFile, text);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

std::optional<ShellLink> LoadShellLink(std::string_view linkFile) {
  std::string bytes;
  if (!ReadWholeFile(linkFile, bytes)) return std::nullopt;
  std::istringstream in(bytes);
  std::string line;
  if (!std::getline(in, line) || line != kLinkHeader) return std::nullopt;
  ShellLink link;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (eq == std::string::npos) continue;
    for (int i = 0; i < 4; ++i)
      if (line.compare(0, eq, kLinkFields[i]) == 0) *Field(link, i) = line.substr(eq + 1);
  }
  return link;
}

}  // namespace platform
