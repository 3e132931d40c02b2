// A stand-in for the SQL Server (and Management Studio) setup program in the Windows tests.
// It registers an instance the way SQL Server setup does and ends with the exit code it is
// asked for:
//   SqlSetupStandIn.exe /INSTANCENAME=VELMOR /VIEW=32|64 /EXITCODE=3010 /ConfigurationFile="x.ini"
// /WAITFOR=path makes it wait (up to ten minutes) until that file exists before it goes on, as a
// long setup does: a test closes the wizard meanwhile.
// INSTANCENAME (MSSQLSERVER = the default instance) may also come from the configuration
// file's [OPTIONS] section, as with the real setup. Every run appends its command line to
// "<own path>.ran" (or to /RECORD=path), so a test sees what was started, and how. An exit
// code other than 0, 3010 and 1641 registers nothing, as a failed setup leaves nothing behind.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

std::wstring Option(const std::vector<std::wstring>& args, const std::wstring& name) {
  std::wstring prefix = L"/" + name + L"=";
  for (const std::wstring& a : args)
    if (a.size() >= prefix.size() && _wcsnicmp(a.c_str(), prefix.c_str(), prefix.size()) == 0) {
      std::wstring v = a.substr(prefix.size());
      if (v.size() >= 2 && v.front() == L'"' && v.back() == L'"') v = v.substr(1, v.size() - 2);
      return v;
    }
  return L"";
}

void Record(const std::wstring& file, const wchar_t* commandLine) {
  FILE* f = _wfopen(file.c_str(), L"ab");
  if (!f) return;
  std::string utf8(static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, nullptr, 0, nullptr, nullptr)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, commandLine, -1, utf8.data(), static_cast<int>(utf8.size()), nullptr, nullptr);
  utf8.pop_back();
  std::fprintf(f, "%s\r\n", utf8.c_str());
  std::fclose(f);
}

bool SetString(HKEY key, const wchar_t* name, const std::wstring& value, DWORD type = REG_SZ) {
  return RegSetValueExW(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                        static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool Register(const std::wstring& instance, REGSAM view) {
  const wchar_t* version = L"15.0.2000.5";
  HKEY key;
  if (_wcsicmp(instance.c_str(), L"MSSQLSERVER") == 0) {
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\MSSQLServer\\MSSQLServer\\CurrentVersion", 0,
                        nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
      return false;
    bool ok = SetString(key, L"CurrentVersion", version);
    RegCloseKey(key);
    return ok;
  }
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Microsoft SQL Server", 0, nullptr, 0,
                      KEY_READ | KEY_WRITE | view, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return false;
  // InstalledInstances: every name null-terminated, one more null at the end.
  std::vector<wchar_t> data(4096, L'\0');
  DWORD size = static_cast<DWORD>(data.size() * sizeof(wchar_t)), type = 0;
  std::wstring list;
  bool present = false;
  if (RegQueryValueExW(key, L"InstalledInstances", nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size) ==
          ERROR_SUCCESS && type == REG_MULTI_SZ) {
    for (const wchar_t* p = data.data(); *p; p += wcslen(p) + 1) {
      present = present || _wcsicmp(p, instance.c_str()) == 0;
      list += p;
      list.push_back(L'\0');
    }
  }
  if (!present) {
    list += instance;
    list.push_back(L'\0');
  }
  bool ok = RegSetValueExW(key, L"InstalledInstances", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(list.c_str()),
                           static_cast<DWORD>((list.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
  RegCloseKey(key);
  std::wstring path = L"SOFTWARE\\Microsoft\\Microsoft SQL Server\\" + instance + L"\\MSSQLServer\\CurrentVersion";
  if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_WRITE | view, nullptr, &key, nullptr) !=
      ERROR_SUCCESS)
    return false;
  ok = SetString(key, L"CurrentVersion", version) && ok;
  RegCloseKey(key);
  return ok;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  std::vector<std::wstring> args(argv + 1, argv + argc);
  std::wstring record = Option(args, L"RECORD");
  if (record.empty()) record = std::wstring(argv[0]) + L".ran";
  wchar_t self[MAX_PATH];
  if (record == std::wstring(argv[0]) + L".ran" && GetModuleFileNameW(nullptr, self, MAX_PATH))
    record = std::wstring(self) + L".ran";
  Record(record, GetCommandLineW());
  std::wstring waitFor = Option(args, L"WAITFOR");
  for (int i = 0; !waitFor.empty() && i < 6000 && GetFileAttributesW(waitFor.c_str()) == INVALID_FILE_ATTRIBUTES; ++i)
    Sleep(100);

  std::wstring instance = Option(args, L"INSTANCENAME");
  std::wstring config = Option(args, L"ConfigurationFile");
  if (instance.empty() && !config.empty()) {
    wchar_t buf[256] = {};
    GetPrivateProfileStringW(L"OPTIONS", L"INSTANCENAME", L"", buf, 256, config.c_str());
    instance = buf;
  }
  std::wstring code = Option(args, L"EXITCODE");
  int exitCode = code.empty() ? 0 : _wtoi(code.c_str());
  REGSAM view = Option(args, L"VIEW") == L"32" ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  if (!instance.empty() && (exitCode == 0 || exitCode == 3010 || exitCode == 1641) && !Register(instance, view))
    return 1;
  return exitCode;
}
