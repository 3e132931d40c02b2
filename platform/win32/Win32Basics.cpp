// Process, clock and code page services of the Windows builds.
#include <windows.h>
#include <shellapi.h>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "platform/win32/Wide.h"

namespace platform {

using win32::Utf8;
using win32::Wide;
using win32::WidePath;

namespace {
std::string ToCodePage(std::string_view utf8, UINT cp) {
  std::wstring w = Wide(utf8);
  if (w.empty()) return {};
  int n = WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(cp, 0, w.data(), static_cast<int>(w.size()), out.data(), n, nullptr, nullptr);
  return out;
}
std::string FromCodePage(std::string_view bytes, UINT cp) {
  if (bytes.empty()) return {};
  int n = MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(cp, 0, bytes.data(), static_cast<int>(bytes.size()), w.data(), n);
  return Utf8(w);
}
}  // namespace

std::string AnsiFromUtf8(std::string_view utf8) { return ToCodePage(utf8, CP_ACP); }
std::string Utf8FromAnsi(std::string_view ansi) { return FromCodePage(ansi, CP_ACP); }
std::string OemFromUtf8(std::string_view utf8) { return ToCodePage(utf8, CP_OEMCP); }
std::string Utf8FromOem(std::string_view oem) { return FromCodePage(oem, CP_OEMCP); }

LocalTime NowLocal() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  LocalTime t;
  t.year = st.wYear;
  t.month = st.wMonth;
  t.day = st.wDay;
  t.hour = st.wHour;
  t.minute = st.wMinute;
  t.second = st.wSecond;
  t.millisecond = st.wMilliseconds;
  return t;
}

namespace {
SYSTEMTIME ToSystemTime(const LocalTime& t) {
  SYSTEMTIME st{};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  return st;
}
}  // namespace

std::string ShortDateText(const LocalTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  wchar_t buf[128];
  int n = GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, buf, 128);
  return n > 0 ? Utf8(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

std::string LongTimeText(const LocalTime& t) {
  SYSTEMTIME st = ToSystemTime(t);
  wchar_t buf[128];
  int n = GetTimeFormatW(LOCALE_USER_DEFAULT, 0, &st, nullptr, buf, 128);
  return n > 0 ? Utf8(std::wstring_view(buf, static_cast<size_t>(n - 1))) : std::string();
}

std::vector<std::string> CommandLineArgs(int, char**) {
  std::vector<std::string> args;
  int n = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &n);
  if (!argv) return args;
  for (int i = 0; i < n; ++i) args.push_back(Utf8(argv[i]));
  LocalFree(argv);
  return args;
}

std::string ExecutablePath() {
  std::wstring buf(32768, L'\0');
  DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  buf.resize(n);
  return Utf8(buf);
}

std::string ExecutableDir() {
  std::string p = ExecutablePath();
  return p.substr(0, p.find_last_of("\\/") + 1);
}

std::optional<std::string> GetEnv(std::string_view name) {
  std::wstring wname = Wide(name);
  DWORD n = GetEnvironmentVariableW(wname.c_str(), nullptr, 0);
  if (n == 0) {
    if (GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    return std::string();
  }
  std::wstring buf(n, L'\0');
  n = GetEnvironmentVariableW(wname.c_str(), buf.data(), n);
  buf.resize(n);
  return Utf8(buf);
}

std::string TempPath() {
  wchar_t buf[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, buf);
  return Utf8(std::wstring_view(buf, n));
}

bool ListDirectory(std::string_view utf8Dir, std::vector<DirectoryEntry>& entries) {
  entries.clear();
  std::string pattern = IncludeTrailingPathDelimiter(utf8Dir) + "*";
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(win32::WidePath(pattern).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_NOT_FOUND;
  do {
    std::wstring_view name(data.cFileName);
    if (name == L"." || name == L"..") continue;
    DirectoryEntry e;
    e.Name = Utf8(name);
    e.Link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    e.Directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    e.File = !e.Directory;
    entries.push_back(std::move(e));
  } while (FindNextFileW(find, &data));
  bool complete = GetLastError() == ERROR_NO_MORE_FILES;
  FindClose(find);
  return complete;
}

}  // namespace platform
