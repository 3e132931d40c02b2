#include "app/win32/Win32Host.h"

#include "platform/SystemInfo.h"
#include "support/SystemUtil.h"

#include <windows.h>
#include <delayimp.h>

#include "app/CommandLine.h"
#include "app/Style.h"
#include "app/Unattended.h"
#include "platform/win32/Wide.h"
#include "setup/ProductIndex.h"
#include "setup/SetupDat.h"
#include "support/ErrorReport.h"
#include "support/InstallLog.h"
#include "support/MessageForm.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

using platform::win32::Wide;

namespace {

// The delay-loaded system DLLs (bcrypt, winhttp, version) come from the system folder, by their
// full path, whatever the search order of this Windows is.
FARPROC WINAPI LoadFromSystemFolder(unsigned notification, PDelayLoadInfo info) {
  if (notification != dliNotePreLoadLibrary || !info || !info->szDll) return nullptr;
  wchar_t system[MAX_PATH] = {};
  UINT len = GetSystemDirectoryW(system, MAX_PATH);
  if (len == 0 || len >= MAX_PATH) return nullptr;
  std::wstring path = std::wstring(system) + L"\\" + Wide(info->szDll);
  return reinterpret_cast<FARPROC>(LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
}

}  // namespace

void HardenDllSearch() {
  __pfnDliNotifyHook2 = LoadFromSystemFolder;
  // Libraries loaded later come from the system folder only, never from the folder the
  // installer was started from (a Downloads folder) or the current directory. Windows 7
  // has SetDefaultDllDirectories only with an optional update, so it is looked up; without
  // it, SetDllDirectoryW(L"") still takes the current directory out of the search, and the
  // few libraries the program loads itself are loaded by their full system-folder path.
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  HMODULE kernel = GetModuleHandleW(L"kernel32.dll");
  auto setDefault = kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn>(
                                 reinterpret_cast<void*>(GetProcAddress(kernel, "SetDefaultDllDirectories")))
                           : nullptr;
  if (setDefault) setDefault(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
}

// The installer's one lock, kept until the process ends (Windows releases it then). In the
// Global namespace, so a second copy in another session of the same computer is refused too.
bool TWin32StartupHost::TakeSingleInstanceLock() {
  HANDLE lock = CreateMutexW(nullptr, FALSE, L"Global\\VelSetup.TFInstall");
  DWORD error = GetLastError();
  // Access denied: the lock exists, made by a copy of another user.
  if (!lock) return error != ERROR_ACCESS_DENIED;
  if (error == ERROR_ALREADY_EXISTS) {
    CloseHandle(lock);
    return false;
  }
  if (FLock) CloseHandle(FLock);
  FLock = lock;
  return true;
}

TWin32StartupHost::~TWin32StartupHost() {
  if (FLock) CloseHandle(FLock);
}

std::vector<std::string> TWin32StartupHost::Arguments() {
  // The program's own name comes first, quoted or up to the first blank.
  std::wstring line = GetCommandLineW();
  size_t at = 0;
  if (!line.empty() && line[0] == L'"') {
    size_t close = line.find(L'"', 1);
    at = close == std::wstring::npos ? line.size() : close + 1;
  } else {
    while (at < line.size() && line[at] != L' ' && line[at] != L'\t') ++at;
  }
  return SplitCommandLine(platform::win32::Utf8(line.substr(at)));
}

void TWin32StartupHost::InitializeApplication() {
  ui::win32::UseWin32Backend();
  UseMessageForm();  // every message, question and wait notice in the installer's own window
}

bool TWin32StartupHost::ApplyStyle(const std::string& styleName) {
  std::string error = "Style resource missing";
  if (HRSRC res = FindResourceW(nullptr, L"VelmorSetupWhite", MAKEINTRESOURCEW(10))) {  // RT_RCDATA
    HGLOBAL data = LoadResource(nullptr, res);
    const char* text = data ? static_cast<const char*>(LockResource(data)) : nullptr;
    if (text && ApplyStyleText(styleName, std::string_view(text, SizeofResource(nullptr, res)), error)) return true;
  }
  // The style manager reports the problem in its own box; the windows keep the default look.
  MessageBoxW(nullptr, Wide(error).c_str(), L"Style", MB_OK | MB_ICONERROR);
  return false;
}

bool TWin32StartupHost::FindRunningWizard(const std::string& windowClass) {
  FRunning = FindWindowW(Wide(windowClass).c_str(), nullptr);
  return FRunning != nullptr;
}

void TWin32StartupHost::BringRunningWizardToFront() {
  HWND wnd = static_cast<HWND>(FRunning);
  if (!wnd) return;
  if (IsIconic(wnd)) ShowWindow(wnd, SW_RESTORE);
  SetForegroundWindow(wnd);
}

// The HTTPS downloads use the platform's TLS (WinHTTP): there are no library files to write.
void TWin32StartupHost::WriteSSLLibraries() {}

// The wizard is a top-level window of its own: it owns its taskbar button already.
void TWin32StartupHost::MainFormOnTaskbar() {}

void TWin32StartupHost::CreateSetupDat(bool loadBesideProgram) {
  if (loadBesideProgram)
    ::CreateSetupDat();
  else
    ReplaceSetupDat(std::make_unique<TSetupDat>(false));
}

bool TWin32StartupHost::LoadSetupDatFile(const std::string& path) { return SetupDat().LoadSetupDat(path); }

TStartupDefinition TWin32StartupHost::Definition() {
  const TSetupDat& d = SetupDat();
  return {d.LoadedSetupDat(), d.WinVerzeMajor(), d.WinVerzeMinor(), d.VersionProd()};
}

bool TWin32StartupHost::DownloadFile(const std::string& url, std::string& localPath) {
  // The host downloads nothing but the product index this way.
  return SetupDat().DownloadFile(url, localPath, nullptr, false, kMaxProductIndexSize);
}

void TWin32StartupHost::WindowsVersion(int& major, int& minor) {
  // The real version, whatever the manifest says.
  platform::OsVersionInfo v = platform::OsVersion();
  major = static_cast<int>(v.major);
  minor = static_cast<int>(v.minor);
}

// The installer's administrator test: a machine key opened for writing.
bool TWin32StartupHost::HasAdminRights() { return ::HasAdminRights(); }

void TWin32StartupHost::SetApplicationIcon(const std::string& resourceName) { FIcon = resourceName; }

void TWin32StartupHost::CreateWizard(const TWizardState& start) {
  FWizard = std::make_unique<TFInstall>(WizardHost(), SetupDat(), start);
  if (!FIcon.empty()) FWizard->SetIcon(FIcon);
  FWizard->FormCreate();
}

void TWin32StartupHost::RunMessageLoop() {
  if (!FWizard) return;
  // A start error the user has been shown while the wizard was made (no MSSQL.ini) has ended
  // the program: its window is not shown for a moment before it goes.
  if (!Application().Terminated()) ui::RunApplication(*FWizard);
  FWizard->FormDestroy();
}

void TWin32StartupHost::Terminate() { Application().Terminate(); }

void TWin32StartupHost::UnhandledError(const std::string& message) {
  if (FWizard)
    FWizard->RunErrorReport(message);
  else
    HandleUnhandledError(message, SetupDat().TechSupport());
}

int TWin32StartupHost::RunUnattended(const TCommandLine& options) {
  if (!FWizard) return ExitFailed;
  // A start error while the wizard was made (no MSSQL.ini) has ended the program already.
  int code = Application().Terminated() ? ExitFailed : RunUnattendedWizard(*FWizard, options);
  FWizard->FormDestroy();
  return code;
}

bool TWin32StartupHost::WriteConsoleText(const std::string& text) {
  // Output redirected by the caller (a file, a pipe), or else the console of the program that
  // started the installer, when it has one (a GUI program gets none of its own).
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  bool attached = false;
  if (!out || out == INVALID_HANDLE_VALUE || GetFileType(out) == FILE_TYPE_UNKNOWN) {
    if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
    attached = true;
    out = CreateFileW(L"CONOUT$", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                      nullptr);
    if (out == INVALID_HANDLE_VALUE) {
      FreeConsole();
      return false;
    }
  }
  std::string lines;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text.compare(i, 2, "\n\r") == 0) {
      lines += "\r\n";
      ++i;
    } else {
      lines += text[i];
    }
  }
  lines += "\r\n";
  DWORD mode = 0, written = 0;
  bool ok;
  if (GetConsoleMode(out, &mode)) {
    std::wstring wide = Wide(lines);
    ok = WriteConsoleW(out, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) != 0;
  } else {
    ok = WriteFile(out, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr) != 0;
  }
  if (attached) {
    CloseHandle(out);
    FreeConsole();
  }
  return ok;
}
