// The wizard as real windows under wine: its window class and size, Ctrl+I, a second copy of
// VelSetup.exe refused, and an uncaught error ending the program with both log files.
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupport.h"
#include "app/Install.h"
#include "app/win32/Win32Host.h"
#include "platform/Files.h"
#include "platform/Text.h"
#include "platform/win32/Wide.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/ErrorReport.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/SystemUtil.h"
#include "ui/Application.h"
#include "ui/win32/Win32Backend.h"

using platform::win32::Wide;

namespace {

// The real host, but Ctrl+I is counted instead of opening the information window.
class CountingHost : public TSystemWizardHost {
 public:
  int systemInfoShown = 0;
  void ShowSystemInformation(ui::TForm&) override { ++systemInfoShown; }
};

void Pump(int milliseconds) {
  DWORD end = GetTickCount() + static_cast<DWORD>(milliseconds);
  do {
    Application().ProcessMessages();
    Sleep(5);
  } while (GetTickCount() < end);
}

std::set<std::string> LogFiles(const std::string& prefix) {
  std::set<std::string> files;
  for (auto& e : std::filesystem::directory_iterator(platform::PathFromUtf8(TempDirectory())))
    if (platform::Utf8FromPath(e.path().filename()).rfind(prefix, 0) == 0) files.insert(platform::Utf8FromPath(e.path()));
  return files;
}

std::set<std::string> NewFiles(const std::set<std::string>& before, const std::set<std::string>& after) {
  std::set<std::string> added;
  for (const std::string& f : after)
    if (!before.count(f)) added.insert(f);
  return added;
}

class WizardWindowTest : public testing::Test {
 protected:
  void SetUp() override {
    ui::win32::UseWin32Backend();
    ReplaceSetupDat(std::make_unique<TSetupDat>(false));
    SetCurrentLanguage(langCZ);
    Application().ResetTerminated();
  }
  void TearDown() override {
    ui::SetBackend(nullptr);
    ReplaceSetupDat(nullptr);
    SetCurrentLanguage(langCZ);
    Application().ResetTerminated();
  }
};

TEST_F(WizardWindowTest, RealWindowHasTheClassAndTheFixedClientSize) {
  CountingHost host;
  TFInstall w{host, SetupDat()};
  w.FormCreate();
  w.ShowForm();
  Pump(50);
  HWND wnd = FindWindowW(L"TFInstall", nullptr);
  ASSERT_NE(wnd, nullptr);
  EXPECT_EQ(wnd, static_cast<HWND>(w.Handle()));
  wchar_t cls[64];
  GetClassNameW(wnd, cls, 64);
  EXPECT_STREQ(cls, L"TFInstall");
  RECT r;
  GetClientRect(wnd, &r);
  EXPECT_EQ(r.right - r.left, 754);
  EXPECT_EQ(r.bottom - r.top, 711);
  LONG style = GetWindowLongW(wnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_FALSE(style & WS_THICKFRAME);  // fixed border
  wchar_t title[128];
  GetWindowTextW(wnd, title, 128);
  EXPECT_STREQ(title, L"Instalace software VELMOR");
}

// A definition of the other product generation changes the icon on the window as it is: the
// same handle, still visible (a handle made anew would be a hidden window).
TEST_F(WizardWindowTest, TheIconChangesOnTheWindowThatIsThere) {
  CountingHost host;
  TFInstall w{host, SetupDat()};
  w.SetIcon("IcoVel2");
  w.FormCreate();
  w.ShowForm();
  Pump(50);
  HWND before = static_cast<HWND>(w.Handle());
  auto icon = [&] { return SendMessageW(before, WM_GETICON, ICON_BIG, 0); };
  LRESULT first = icon();
  EXPECT_NE(first, 0);
  w.LoadApplicationIcon("IcoVel3");
  Pump(50);
  EXPECT_EQ(static_cast<HWND>(w.Handle()), before);
  EXPECT_TRUE(IsWindow(before));
  EXPECT_TRUE(IsWindowVisible(before));
  EXPECT_NE(icon(), 0);
  EXPECT_NE(icon(), first);
  EXPECT_EQ(FindWindowW(L"TFInstall", nullptr), before);
}

TEST_F(WizardWindowTest, CtrlIOpensSystemInformationAndNothingElseDoes) {
  CountingHost host;
  TFInstall w{host, SetupDat()};
  w.FormCreate();
  w.ShowForm();
  Pump(50);
  HWND focus = static_cast<HWND>(w.rgbJazyk.Buttons(0).Handle());
  ASSERT_NE(focus, nullptr);
  struct Case {
    bool ctrl, shift, alt;
    int opened;
  } cases[] = {{true, false, false, 1}, {true, true, false, 0}, {false, false, true, 0}, {false, false, false, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.ctrl) + std::to_string(c.shift) + std::to_string(c.alt));
    host.systemInfoShown = 0;
    BYTE keys[256] = {};
    GetKeyboardState(keys);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = c.ctrl ? 0x80 : 0;
    keys[VK_SHIFT] = keys[VK_LSHIFT] = c.shift ? 0x80 : 0;
    keys[VK_MENU] = keys[VK_LMENU] = c.alt ? 0x80 : 0;
    SetKeyboardState(keys);
    // The key reaches the focused radio button; the form sees it first.
    if (c.alt)
      PostMessageW(focus, WM_SYSKEYDOWN, 'I', 0x20000001);
    else
      PostMessageW(focus, WM_KEYDOWN, 'I', 1);
    Pump(50);
    keys[VK_CONTROL] = keys[VK_LCONTROL] = keys[VK_SHIFT] = keys[VK_LSHIFT] = keys[VK_MENU] = keys[VK_LMENU] = 0;
    SetKeyboardState(keys);
    EXPECT_EQ(host.systemInfoShown, c.opened);
  }
}

struct CloseContext {
  DWORD pid;
  int* closed;
};

BOOL CALLBACK CloseWindowOf(HWND wnd, LPARAM lp) {
  auto* c = reinterpret_cast<CloseContext*>(lp);
  DWORD owner = 0;
  GetWindowThreadProcessId(wnd, &owner);
  if (owner == c->pid && IsWindowVisible(wnd)) {
    PostMessageW(wnd, WM_CLOSE, 0, 0);
    ++*c->closed;
  }
  return TRUE;
}

// Waits for a process, closing every window it shows (the error box of a refusal).
DWORD WaitClosingWindows(HANDLE process, DWORD pid, int* windowsClosed) {
  for (int i = 0; i < 600; ++i) {
    if (WaitForSingleObject(process, 50) == WAIT_OBJECT_0) break;
    CloseContext ctx{pid, windowsClosed};
    EnumWindows(CloseWindowOf, reinterpret_cast<LPARAM>(&ctx));
    Pump(20);
  }
  DWORD code = 999;
  GetExitCodeProcess(process, &code);
  return code;
}

// Starts the real exe with the arguments and waits for it to end, closing every window it shows;
// its exit code, and in windowsClosed how many windows it showed. 999 when it could not start.
DWORD RunInstaller(const std::wstring& arguments, int* windowsClosed) {
  std::wstring exe = Wide(std::string(VELSETUP_BINARY_DIR) + "/VelSetup.exe");
  std::wstring cmd = L"\"" + exe + L"\"" + arguments;
  STARTUPINFOW si{};
  si.cb = sizeof(si);
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
    ADD_FAILURE() << "VelSetup.exe did not start: " << GetLastError();
    return 999;
  }
  DWORD code = WaitClosingWindows(pi.hProcess, pi.dwProcessId, windowsClosed);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return code;
}

TEST_F(WizardWindowTest, SecondCopyIsRefusedAndBringsTheFirstToFront) {
  CountingHost host;
  TFInstall w{host, SetupDat()};
  w.FormCreate();
  w.ShowForm();
  Pump(50);
  HWND first = static_cast<HWND>(w.Handle());
  // Something else is in front before the second copy starts.
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 100, nullptr,
                               nullptr, nullptr, nullptr);
  SetForegroundWindow(other);
  Pump(50);

  auto before = LogFiles("VelmorInst");
  int closed = 0;
  DWORD code = RunInstaller(L"", &closed);
  Pump(50);
  EXPECT_EQ(code, 1618u);  // ERROR_INSTALL_ALREADY_RUNNING, as a deployment script reads it
  EXPECT_GE(closed, 1);  // the refusal was shown in a window
  EXPECT_EQ(GetForegroundWindow(), first);
  DestroyWindow(other);

  // Its log was saved and holds the refusal (in Czech: no language was chosen yet).
  auto added = NewFiles(before, LogFiles("VelmorInst"));
  ASSERT_EQ(added.size(), 1u);
  std::string log = platform::Utf8FromAnsi(testing_support::ReadFile(*added.begin()));
  EXPECT_NE(log.find(MsgIn(msgInstallationAlreadyRunning, langCZ)), std::string::npos) << log;
  EXPECT_EQ(log.find(MsgIn(msgInitializing, langCZ)), std::string::npos);
}

// Two copies started together: neither has a wizard window yet, the lock alone decides.
TEST_F(WizardWindowTest, TheLockRefusesASecondCopyBeforeAnyWizardWindowExists) {
  ASSERT_EQ(FindWindowW(L"TFInstall", nullptr), nullptr);
  {
    TWin32StartupHost first, second;
    EXPECT_TRUE(first.TakeSingleInstanceLock());
    EXPECT_FALSE(second.TakeSingleInstanceLock());
    EXPECT_FALSE(TWin32StartupHost().TakeSingleInstanceLock());
  }
  // The first host gave the lock back: the next copy would be the only one.
  {
    TWin32StartupHost next;
    EXPECT_TRUE(next.TakeSingleInstanceLock());
  }
  // The real exe while this process holds the lock: refused with the exit code a deployment
  // script reads (ERROR_INSTALL_ALREADY_RUNNING); shown in a window, except unattended.
  TWin32StartupHost holder;
  ASSERT_TRUE(holder.TakeSingleInstanceLock());
  struct Case {
    const wchar_t* arguments;
    DWORD code;
    bool shown;
  } cases[] = {{L"", 1618, true}, {L" /VERYSILENT", 1618, false}, {L" /SILENT", 1618, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(platform::win32::Utf8(c.arguments));
    int closed = 0;
    DWORD code = RunInstaller(c.arguments, &closed);
    EXPECT_EQ(code, c.code);
    EXPECT_EQ(closed >= 1, c.shown) << closed;
  }
}

// Records the messages instead of showing them.
class RecordedMessages : public TMessagePresenter {
 public:
  std::vector<std::string> errors;
  bool ShowMessageForm(const std::string& text, const std::string&, const std::string&, TMessageKind kind, int,
                       const TNotifyEvent&) override {
    if (kind == mkError) errors.push_back(text);
    return false;
  }
  void UpdateWait(const std::string&, const std::string&) override {}
  void CloseWait() override {}
};

// A wizard whose Next button fails with an error nothing catches.
class FailingHost : public TWin32StartupHost {
 public:
  RecordedMessages messages;
  void InitializeApplication() override {
    TWin32StartupHost::InitializeApplication();
    SetMessagePresenter(&messages);
  }
  bool ApplyStyle(const std::string&) override { return true; }  // the test program has no style resource
  // The test program's own arguments (--gtest_filter) are not the installer's.
  std::vector<std::string> Arguments() override { return {}; }
  void CreateSetupDat(bool) override {}
  TStartupDefinition Definition() override { return {true, -1, 0, 0}; }
  bool HasAdminRights() override { return true; }
  // The error report dialog is closed as soon as it shows, as a user would.
  static void CALLBACK CloseReport(HWND, UINT, UINT_PTR, DWORD) {
    if (FInstallErrDlg().Visible() && FInstallErrDlg().Handle()) {
      ++reportsClosed;
      PostMessageW(static_cast<HWND>(FInstallErrDlg().Handle()), WM_CLOSE, 0, 0);
    }
  }
  static inline int reportsClosed = 0;
  void RunMessageLoop() override {
    timer = SetTimer(nullptr, 0, 200, CloseReport);
    Wizard()->btnNext.OnClick = [](ui::TControl*) { throw std::runtime_error("Chyba v obsluze tlačítka"); };
    Wizard()->ShowForm();  // the button's window exists from here on
    PostMessageW(static_cast<HWND>(Wizard()->btnNext.Handle()), BM_CLICK, 0, 0);
    TWin32StartupHost::RunMessageLoop();
  }
  UINT_PTR timer = 0;
};

TEST_F(WizardWindowTest, UncaughtErrorEndsTheProgramWithBothLogFiles) {
  auto before = LogFiles("VelmorInst");
  auto beforeError = LogFiles("VelmorErrorInst");
  FailingHost host;
  EXPECT_EQ(RunVelSetup(host), 2);
  KillTimer(nullptr, host.timer);
  SetMessagePresenter(nullptr);
  EXPECT_TRUE(Application().Terminated());
  EXPECT_GE(FailingHost::reportsClosed, 1);  // the error report was shown
  HWND wnd = FindWindowW(L"TFInstall", nullptr);
  EXPECT_TRUE(!wnd || !IsWindowVisible(wnd));  // the wizard did not go on

  auto errors = NewFiles(beforeError, LogFiles("VelmorErrorInst"));
  auto logs = NewFiles(before, LogFiles("VelmorInst"));
  ASSERT_EQ(errors.size(), 1u);
  ASSERT_EQ(logs.size(), 1u);
  for (const std::string& f : {*errors.begin(), *logs.begin()}) {
    std::string text = platform::Utf8FromAnsi(testing_support::ReadFile(f));
    EXPECT_NE(text.find("Chyba v obsluze tlačítka"), std::string::npos) << f;
  }
}

}  // namespace

namespace {

// What VelSetup.exe carries: manifest, version, both icons (as raw icon files and as icons),
// the logos and the pictures, and the white style.
TEST(VelSetupResources, ExeCarriesManifestVersionIconsPicturesAndStyle) {
  std::wstring exe = Wide(std::string(VELSETUP_BINARY_DIR) + "/VelSetup.exe");
  HMODULE m = LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  ASSERT_NE(m, nullptr) << GetLastError();
  auto bytes = [&](const wchar_t* name, LPCWSTR type) {
    HRSRC r = FindResourceW(m, name, type);
    if (!r) return std::string();
    HGLOBAL g = LoadResource(m, r);
    return std::string(static_cast<const char*>(LockResource(g)), SizeofResource(m, r));
  };
  std::string manifest = bytes(MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24));
  EXPECT_NE(manifest.find("requireAdministrator"), std::string::npos);
  EXPECT_NE(manifest.find("Microsoft.Windows.Common-Controls"), std::string::npos);
  EXPECT_NE(manifest.find("PerMonitorV2"), std::string::npos);
  EXPECT_NE(manifest.find("<longPathAware xmlns=\"http://schemas.microsoft.com/SMI/2016/WindowsSettings\">true<"),
            std::string::npos);
  for (const char* os : {"e2011457-1546-43c5-a5fe-008deee3d3f0", "35138b9a-5d96-4fbd-8e2d-a2440225f93a",
                         "4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38", "1f676c76-80e1-4239-95bb-83d0f6d0da78",
                         "8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a"})
    EXPECT_NE(manifest.find(os), std::string::npos) << os;
  for (const wchar_t* icon : {L"IcoVel2", L"IcoVel3"}) {
    std::string raw = bytes(icon, MAKEINTRESOURCEW(10));  // RT_RCDATA: a whole .ico file
    ASSERT_GE(raw.size(), 6u);
    EXPECT_EQ(raw.substr(0, 4), std::string("\0\0\1\0", 4));
    EXPECT_NE(FindResourceW(m, icon, MAKEINTRESOURCEW(14)), nullptr);  // RT_GROUP_ICON
  }
  for (const wchar_t* bmp : {L"LogoV2", L"LogoV3Tarpel", L"LogoV3Kest", L"Folder", L"CopyFiles"})
    EXPECT_NE(FindResourceW(m, bmp, MAKEINTRESOURCEW(2)), nullptr);  // RT_BITMAP
  EXPECT_NE(bytes(L"VelmorSetupWhite", MAKEINTRESOURCEW(10)).find("name=Velmor setup white"), std::string::npos);
  FreeLibrary(m);

  DWORD ignored = 0;
  DWORD size = GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<char> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(exe.c_str(), 0, size, info.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT len = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &len));
  EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), 1u);
  wchar_t* name = nullptr;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\StringFileInfo\\040504B0\\OriginalFilename",
                             reinterpret_cast<void**>(&name), &len));
  EXPECT_STREQ(name, L"VelSetup.exe");
}

}  // namespace
