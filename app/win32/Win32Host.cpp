#include "app/win32/Win32Host.h"

#include <windows.h>

#include "app/Style.h"
#include "platform/win32/Wide.h"
#include "setup/SetupDat.h"
#include "support/Application.h"
#include "support/ErrorReport.h"
#include "support/InstallLog.h"
#include "support/MessageForm.h"
#include "ui/win32/Win32Backend.h"

using platform::win32::Wide;

void HardenDllSearch() {
  SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
  SetDllDirectoryW(L"");
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

void TWin32StartupHost::CreateSetupDat() { ::CreateSetupDat(); }

TStartupDefinition TWin32StartupHost::Definition() {
  const TSetupDat& d = SetupDat();
  return {d.LoadedSetupDat(), d.WinVerzeMajor(), d.WinVerzeMinor(), d.VersionProd()};
}

bool TWin32StartupHost::DownloadFile(const std::string& url, std::string& localPath) {
  return SetupDat().DownloadFile(url, localPath, nullptr, false);
}

void TWin32StartupHost::WindowsVersion(int& major, int& minor) {
  // RtlGetVersion tells the truth whatever the manifest says.
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof(info);
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  auto fn = ntdll ? reinterpret_cast<RtlGetVersionFn>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")))
                  : nullptr;
  if (fn && fn(&info) == 0) {
    major = static_cast<int>(info.dwMajorVersion);
    minor = static_cast<int>(info.dwMinorVersion);
  } else {
    major = 6;
    minor = 1;
  }
}

bool TWin32StartupHost::HasAdminRights() {
  SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
  PSID admins = nullptr;
  if (!AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0,
                                &admins))
    return false;
  BOOL member = FALSE;
  if (!CheckTokenMembership(nullptr, admins, &member)) member = FALSE;
  FreeSid(admins);
  return member != FALSE;
}

void TWin32StartupHost::SetApplicationIcon(const std::string& resourceName) { FIcon = resourceName; }

std::unique_ptr<TFInstall> TWin32StartupHost::MakeWizard() { return std::make_unique<TFInstall>(); }

void TWin32StartupHost::CreateWizard() {
  FWizard = MakeWizard();
  FInstall = FWizard.get();
  if (!FIcon.empty()) FWizard->SetIcon(FIcon);
  FWizard->FormCreate();
}

void TWin32StartupHost::RunMessageLoop() {
  if (!FWizard) return;
  ui::RunApplication(*FWizard);
  FWizard->FormDestroy();
}

void TWin32StartupHost::Terminate() { Application().Terminate(); }

void TWin32StartupHost::UnhandledError(const std::string& message) {
  if (FWizard)
    FWizard->RunErrorReport(message);
  else
    HandleUnhandledError(message);
}
