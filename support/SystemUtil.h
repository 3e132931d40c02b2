#pragma once
// The installer's small operating-system utilities. Stateless free functions.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Clock.h"
#include "support/Registry.h"

// Decimal text of n, prefixed with "0" until it is at least width long; never shortens.
std::string ZeroPad(long long n, int width);
// YYYYMMDDhhmmss, fourteen digits.
std::string TimeStampText(const platform::LocalTime& t);
// The user's temporary folder, with its trailing path delimiter.
std::string TempDirectory();

// ---- programs -------------------------------------------------------------------------------

constexpr unsigned RunHidden = 1;    // start with the window hidden
constexpr unsigned RunWait = 2;      // wait for the end and return the exit code
constexpr unsigned RunElevated = 4;  // ask for elevation when User Account Control is on

// The shell request ExecuteProgram makes: verb "runas" only with RunElevated while User Account
// Control is on, parameters only when not empty, hidden window with RunHidden.
struct TExecuteRequest {
  void* owner = nullptr;
  std::string verb, file, parameters;
  bool hidden = false;
};
TExecuteRequest ExecuteRequestFor(void* owner, std::string_view file, std::string_view parameters,
                                  unsigned flags);

// Starts a program: -1 when it cannot be started, 0 once started without RunWait, otherwise
// its exit code. While waiting it sleeps 50 ms at a time and lets pending messages run; when
// the application is terminating the wait ends and the result is 259 (still running).
int ExecuteProgram(void* owner, std::string_view file, std::string_view parameters, unsigned flags);

// The program that opens the file (the file itself for a program or batch file); empty if none.
std::string ExecutableFor(std::string_view file);

// ---- rights ---------------------------------------------------------------------------------

bool IsUACEnabled();
// Whether the machine part of the registry can be written: opens (creating) a test key under
// HKEY_LOCAL_MACHINE for writing. A key the test had to create is removed again.
bool HasAdminRights();

// ---- shortcuts ------------------------------------------------------------------------------

// Shortcut in the user's desktop folder (the "Desktop" shell folder); nothing when that folder
// is not known. Throws when the shell link object cannot be created.
void CreateDesktopShortcut(std::string_view target, std::string_view arguments, std::string_view description,
                           std::string_view linkName);
// Shortcut in the user's Start-menu programs folder, inside folder when it is not empty
// (created with its parents when missing).
void CreateStartMenuShortcut(std::string_view target, std::string_view arguments, std::string_view description,
                             std::string_view folder, std::string_view linkName);

// ---- files ----------------------------------------------------------------------------------

// The 64-bit key of a version: Format("%.2u%.2u%.4u%.4u") read as a hexadecimal number.
// Keys compare in version order while major and minor stay below 100 and release and build
// below 10000. A digit string too long for 63 bits gives INT64_MAX.
std::int64_t FileVersionKey(unsigned major, unsigned minor, unsigned release, unsigned build);
// Reads the file's version: text "major.minor.release.bbbb" and its key. A file without
// version information gives empty text and leaves key untouched.
void ReadFileVersion(std::string_view path, std::int64_t& key, std::string& text);

// True exactly when the directory exists and holds nothing.
bool IsDirectoryEmpty(std::string_view directory);

// Free bytes available to the user on the volume of path (the path need not exist yet: its
// nearest existing parent is asked); -1 when it cannot be determined.
std::int64_t DiskFreeBytes(std::string_view path);

// ---- addresses ------------------------------------------------------------------------------

// Whether the text is a web address (http, https or ftp), also when written with backslashes.
// Local and network folder paths are not.
bool IsURL(std::string_view text);

// ---- machine --------------------------------------------------------------------------------

std::string ReadProcessorName();
double TotalMemoryGB();
std::string LocalComputerName();
bool IsWindows64();
