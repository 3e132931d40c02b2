// Machine facts and file versions of the Windows builds.
#include <windows.h>

#include <vector>

#include "platform/FileVersion.h"
#include "platform/SystemInfo.h"
#include "platform/Files.h"
#include "platform/win32/Wide.h"

namespace platform {

using win32::Utf8;
using win32::Wide;
using win32::WidePath;

OsVersionInfo OsVersion() {
  // RtlGetVersion reports the real version; GetVersionEx is adjusted by the manifest.
  OsVersionInfo v;
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto fn = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                  : nullptr;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (fn && fn(&info) == 0) {
    v.major = info.dwMajorVersion;
    v.minor = info.dwMinorVersion;
    v.build = info.dwBuildNumber;
  }
  return v;
}

std::uint64_t TotalPhysicalMemoryBytes() {
  MEMORYSTATUSEX status{};
  status.dwLength = sizeof status;
  if (!GlobalMemoryStatusEx(&status)) return 0;
  return status.ullTotalPhys;
}

std::string ComputerName() {
  wchar_t buf[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD n = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(buf, &n)) return {};
  return Utf8(std::wstring_view(buf, n));
}

bool NativeArchitectureIsAmd64() {
  SYSTEM_INFO info{};
  GetNativeSystemInfo(&info);
  return info.wProcessorArchitecture == PROCESSOR_ARCHITECTURE_AMD64;
}

std::int64_t FreeDiskBytes(std::string_view existingFolder) {
  if (existingFolder.empty()) return -1;
  ULARGE_INTEGER available{};
  std::wstring folder = WidePath(IncludeTrailingPathDelimiter(existingFolder));
  // No "insert the disk" box for an empty drive.
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
  BOOL ok = GetDiskFreeSpaceExW(folder.c_str(), &available, nullptr, nullptr);
  SetErrorMode(oldMode);
  if (!ok) return -1;
  return static_cast<std::int64_t>(available.QuadPart);
}

std::optional<FileVersionNumbers> ReadFileVersionNumbers(std::string_view utf8Path) {
  std::wstring path = WidePath(utf8Path);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &len) || !fixed ||
      len < sizeof(VS_FIXEDFILEINFO))
    return std::nullopt;
  return FileVersionNumbers{HIWORD(fixed->dwFileVersionMS), LOWORD(fixed->dwFileVersionMS),
                            HIWORD(fixed->dwFileVersionLS), LOWORD(fixed->dwFileVersionLS)};
}

std::optional<std::string> ReadFileProductName(std::string_view utf8Path) {
  std::wstring path = Wide(utf8Path);
  DWORD handle = 0;
  DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return std::nullopt;
  struct Translation {
    WORD language, codePage;
  }* translations = nullptr;
  UINT len = 0;
  if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &len) ||
      !translations || len < sizeof(Translation))
    return std::nullopt;
  wchar_t key[64];
  swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\ProductName", translations[0].language,
           translations[0].codePage);
  wchar_t* text = nullptr;
  if (!VerQueryValueW(data.data(), key, reinterpret_cast<void**>(&text), &len) || !text) return std::nullopt;
  return win32::Utf8(std::wstring_view(text, wcsnlen(text, len)));
}

}  // namespace platform
