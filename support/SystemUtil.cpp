#include "support/SystemUtil.h"


#include <algorithm>
#include <cinttypes>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "platform/FileVersion.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Shell.h"
#include "platform/SystemInfo.h"
#include "platform/Text.h"
#include "support/RegexPattern.h"
#include "ui/Application.h"

namespace fs = std::filesystem;
using platform::RegRoot;
namespace regaccess = platform::regaccess;

std::string ZeroPad(long long n, int width) {
  std::string s = std::to_string(n);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

std::string TimeStampText(const platform::LocalTime& t) {
  return ZeroPad(t.year, 4) + ZeroPad(t.month, 2) + ZeroPad(t.day, 2) + ZeroPad(t.hour, 2) +
         ZeroPad(t.minute, 2) + ZeroPad(t.second, 2);
}

std::string TempDirectory() { return platform::TempPath(); }

// ---- programs -------------------------------------------------------------------------------

TExecuteRequest ExecuteRequestFor(void* owner, std::string_view file, std::string_view parameters,
                                  unsigned flags) {
  TExecuteRequest r;
  r.owner = owner;
  r.verb = (flags & RunElevated) && IsUACEnabled() ? "runas" : "";
  r.file = std::string(file);
  r.parameters = std::string(parameters);
  r.hidden = (flags & RunHidden) != 0;
  return r;
}

int ExecuteProgram(void* owner, std::string_view file, std::string_view parameters, unsigned flags) {
  TExecuteRequest r = ExecuteRequestFor(owner, file, parameters, flags);
  platform::ShellRequest request{r.owner, r.verb, r.file, r.parameters, r.hidden};
  std::unique_ptr<platform::StartedProcess> process = platform::ShellStart(request);
  if (!process) return -1;
  if (!(flags & RunWait)) return 0;
  std::uint32_t code = process->ExitCode();
  while (code == platform::kStillActive && !Application().Terminated()) {
    platform::SleepMilliseconds(50);
    code = process->ExitCode();
    Application().ProcessMessages();
  }
  return static_cast<int>(code);
}

std::string ExecutableFor(std::string_view file) { return platform::ProgramForFile(file); }

// ---- rights ---------------------------------------------------------------------------------

bool IsUACEnabled() {
  if (platform::OsVersion().major < 6) return false;
  TRegistry reg(regaccess::Read);
  reg.SetRootKey(RegRoot::LocalMachine);
  if (!reg.OpenKeyReadOnly("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System")) return false;
  return reg.ValueExists("EnableLUA") && reg.ReadBool("EnableLUA");
}

bool HasAdminRights() {
  static const char* const kCompanyKey = "Software\\MyCompanyName";
  static const char* const kTestKey = "Software\\MyCompanyName\\MyApplication\\";
  TRegistry reg(regaccess::Read);
  reg.SetRootKey(RegRoot::LocalMachine);
  reg.SetAccess(regaccess::Write);
  // Remember whether the parent was there, so that only what this test made is removed.
  bool companyExisted = reg.KeyExists(kCompanyKey);
  bool created = false;
  bool ok = reg.OpenKey(kTestKey, true, &created);
  reg.CloseKey();
  if (ok && created) {
    reg.DeleteKey(kTestKey);
    if (!companyExisted) reg.DeleteKey(kCompanyKey);
  }
  return ok;
}

// ---- shortcuts ------------------------------------------------------------------------------

namespace {

std::string ShellFolder(const char* name) {
  TRegistry reg;
  reg.SetRootKey(RegRoot::CurrentUser);
  if (!reg.OpenKey("\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", false)) return {};
  return reg.ReadString(name);
}

// The directory part of a path, with its trailing delimiter.
std::string ExtractFilePath(std::string_view path) {
  size_t pos = path.find_last_of("\\/:");
  return pos == std::string_view::npos ? std::string() : std::string(path.substr(0, pos + 1));
}

void SaveLink(const std::string& linkFile, std::string_view target, std::string_view arguments,
              std::string_view description) {
  platform::ShellLink link{std::string(target), std::string(arguments), ExtractFilePath(target),
                           std::string(description)};
  std::error_code ec;
  fs::path p = platform::PathFromUtf8(linkFile);
  if (fs::exists(p, ec)) fs::remove(p, ec);
  platform::SaveShellLink(linkFile, link);
}

}  // namespace

void CreateDesktopShortcut(std::string_view target, std::string_view arguments, std::string_view description,
                           std::string_view linkName) {
  std::string desktop = ShellFolder("Desktop");
  if (desktop.empty()) return;
  SaveLink(desktop + platform::PathDelimiter() + std::string(linkName) + ".lnk", target, arguments, description);
}

void CreateStartMenuShortcut(std::string_view target, std::string_view arguments, std::string_view description,
                             std::string_view folder, std::string_view linkName) {
  std::string dir = ShellFolder("Programs");
  if (dir.empty()) return;
  if (!folder.empty()) {
    dir += platform::PathDelimiter() + std::string(folder);
    std::error_code ec;
    fs::create_directories(platform::PathFromUtf8(dir), ec);
  }
  SaveLink(dir + platform::PathDelimiter() + std::string(linkName) + ".lnk", target, arguments, description);
}

// ---- files ----------------------------------------------------------------------------------

std::int64_t FileVersionKey(unsigned major, unsigned minor, unsigned release, unsigned build) {
  char digits[64];
  std::snprintf(digits, sizeof digits, "%02u%02u%04u%04u", major, minor, release, build);
  std::uint64_t key = 0;
  for (const char* p = digits; *p; ++p) {
    if (key > (static_cast<std::uint64_t>(INT64_MAX) >> 4)) return INT64_MAX;
    key = (key << 4) | static_cast<std::uint64_t>(*p - '0');
  }
  return static_cast<std::int64_t>(key);
}

void ReadFileVersion(std::string_view path, std::int64_t& key, std::string& text) {
  auto v = platform::ReadFileVersionNumbers(path);
  if (!v) {
    text.clear();
    return;
  }
  key = FileVersionKey(v->major, v->minor, v->release, v->build);
  char buf[64];
  std::snprintf(buf, sizeof buf, "%u.%u.%u.%04u", v->major, v->minor, v->release, v->build);
  text = buf;
}

bool IsDirectoryEmpty(std::string_view directory) {
  if (directory.empty()) return false;
  std::vector<platform::DirectoryEntry> entries;
  return platform::ListDirectory(directory, entries) && entries.empty();
}

std::int64_t DiskFreeBytes(std::string_view path) {
  if (path.empty()) return -1;
  std::error_code ec;
  // Walked up as text: the extended-length form of a long path has no parent the library knows.
  fs::path p = fs::absolute(platform::LexicalPath(path), ec);
  if (ec) return -1;
  // The folder may not exist yet: ask about the nearest parent that does.
  while (!fs::is_directory(platform::PathFromUtf8(platform::Utf8FromPath(p)), ec)) {
    fs::path parent = p.parent_path();
    if (parent.empty() || parent == p) return -1;
    p = parent;
  }
  return platform::FreeDiskBytes(platform::Utf8FromPath(p));
}

// ---- addresses ------------------------------------------------------------------------------

namespace {

// The classic pattern: a dotted host name ending in a two- or three-letter top-level domain.
const char* const kClassicUrl =
    "^(http|https|ftp)\\://[a-zA-Z0-9\\-\\.]+\\.[a-zA-Z]{2,3}(:[a-zA-Z0-9]*)?/?"
    "([a-zA-Z0-9\\-\\._\\?\\,\\'/\\\\\\+&%\\$#\\=~])*[^\\.\\,\\)\\(\\s]$";
// Hosts the classic pattern misses: IPv4 addresses, single names ("fileserver"), longer
// top-level domains and bracketed IPv6 addresses, with any port.
const char* const kOtherHostsUrl =
    "^(http|https|ftp)://"
    "(\\[[0-9a-f:.]+\\]|[a-z0-9]([a-z0-9\\-_]*[a-z0-9])?(\\.[a-z0-9]([a-z0-9\\-_]*[a-z0-9])?)*)"
    "(:[0-9]*)?"
    "(/([a-zA-Z0-9\\-\\._\\?\\,\\'/\\+&%\\$#\\=~])*[^\\.\\,\\)\\(\\s])?/?$";


}  // namespace

bool IsURL(std::string_view text) {
  static const TRegexPattern classic(kClassicUrl, TRegexPattern::Caseless);
  static const TRegexPattern otherHosts(kOtherHostsUrl, TRegexPattern::Caseless);
  std::string s(text);
  std::replace(s.begin(), s.end(), '\\', '/');
  s = platform::LowerAscii(s);
  return classic.Matches(s) || otherHosts.Matches(s);
}

// ---- machine --------------------------------------------------------------------------------

std::string ReadProcessorName() {
  TRegistry reg(regaccess::Read);
  reg.SetRootKey(RegRoot::LocalMachine);
  if (!reg.OpenKey("\\Hardware\\Description\\System\\CentralProcessor\\0", false)) return {};
  return reg.ReadString("ProcessorNameString");
}

double TotalMemoryGB() { return static_cast<double>(platform::TotalPhysicalMemoryBytes()) / 1073741824.0; }

std::string LocalComputerName() { return platform::ComputerName(); }

bool IsWindows64() { return platform::NativeArchitectureIsAmd64(); }
