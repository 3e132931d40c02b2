// The Restart Manager's list of programs holding files. rstrtmgr.dll is loaded at the first
// question, from the system folder only, like the other libraries loaded late.
#include <windows.h>
#include <restartmanager.h>

#include <algorithm>

#include "platform/FilesInUse.h"
#include "platform/win32/Wide.h"

namespace platform {

namespace {

using StartSession = DWORD(WINAPI*)(DWORD*, DWORD, WCHAR[]);
using RegisterResources = DWORD(WINAPI*)(DWORD, UINT, LPCWSTR[], UINT, RM_UNIQUE_PROCESS[], UINT, LPCWSTR[]);
using GetList = DWORD(WINAPI*)(DWORD, UINT*, UINT*, RM_PROCESS_INFO[], LPDWORD);
using EndSession = DWORD(WINAPI*)(DWORD);

// Owns the loaded library.
struct Library {
  HMODULE handle = nullptr;
  Library() {
    wchar_t system[MAX_PATH] = {};
    UINT len = GetSystemDirectoryW(system, MAX_PATH);
    if (len == 0 || len >= MAX_PATH) return;
    std::wstring path = std::wstring(system) + L"\\rstrtmgr.dll";
    handle = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  }
  ~Library() {
    if (handle) FreeLibrary(handle);
  }
  Library(const Library&) = delete;
  Library& operator=(const Library&) = delete;
  template <class F>
  F Get(const char* name) const {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(handle, name)));
  }
};

}  // namespace

std::vector<std::string> ProgramsUsingFiles(const std::vector<std::string>& files) {
  std::vector<std::string> programs;
  if (files.empty()) return programs;
  Library rm;
  if (!rm.handle) return programs;
  auto start = rm.Get<StartSession>("RmStartSession");
  auto add = rm.Get<RegisterResources>("RmRegisterResources");
  auto list = rm.Get<GetList>("RmGetList");
  auto end = rm.Get<EndSession>("RmEndSession");
  if (!start || !add || !list || !end) return programs;

  DWORD session = 0;
  WCHAR key[CCH_RM_SESSION_KEY + 1] = {};
  if (start(&session, 0, key) != ERROR_SUCCESS) return programs;
  std::vector<std::wstring> wide;
  wide.reserve(files.size());
  for (const std::string& f : files) wide.push_back(win32::WidePath(f));
  std::vector<LPCWSTR> names;
  names.reserve(wide.size());
  for (const std::wstring& w : wide) names.push_back(w.c_str());
  if (add(session, static_cast<UINT>(names.size()), names.data(), 0, nullptr, 0, nullptr) == ERROR_SUCCESS) {
    std::vector<RM_PROCESS_INFO> info;
    UINT needed = 0, count = 0;
    DWORD reasons = 0;
    DWORD rc = list(session, &needed, &count, nullptr, &reasons);
    // The list may grow between the two calls: ask again while it does.
    for (int attempt = 0; rc == ERROR_MORE_DATA && attempt < 3; ++attempt) {
      info.resize(needed);
      count = needed;
      rc = list(session, &needed, &count, info.data(), &reasons);
    }
    if (rc == ERROR_SUCCESS) {
      for (UINT i = 0; i < count && i < info.size(); ++i) {
        std::string name = win32::Utf8(info[i].strAppName);
        if (name.empty()) name = "process " + std::to_string(info[i].Process.dwProcessId);
        if (std::find(programs.begin(), programs.end(), name) == programs.end()) programs.push_back(name);
      }
    }
  }
  end(session);
  return programs;
}

}  // namespace platform
