// The utilities against the Windows API itself, under Wine.
#include <windows.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "TestSupport.h"
#include "platform/FileVersion.h"
#include "platform/Files.h"
#include "platform/SystemInfo.h"
#include "platform/win32/Wide.h"
#include "support/SystemUtil.h"

using platform::RegRoot;
using platform::win32::Utf8;
using platform::win32::Wide;
using testing_support::TempFolder;
namespace regaccess = platform::regaccess;

namespace {

std::wstring RawReadString(HKEY root, const wchar_t* path, const wchar_t* name, REGSAM view) {
  HKEY key;
  if (RegOpenKeyExW(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return L"<no key>";
  wchar_t buf[256] = {};
  DWORD size = sizeof buf - sizeof(wchar_t), type = 0;
  LONG rc = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buf), &size);
  RegCloseKey(key);
  return rc == ERROR_SUCCESS ? std::wstring(buf) : L"<no value>";
}

bool RawKeyExists(HKEY root, const wchar_t* path, REGSAM view = 0) {
  HKEY key;
  if (RegOpenKeyExW(root, path, 0, KEY_READ | view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

}  // namespace

TEST(Win32Registry, ThirtyTwoBitViewSeenThroughTheApi) {
  TRegistry reg(regaccess::AllAccess | regaccess::Wow64_32Key);
  reg.SetRootKey(RegRoot::LocalMachine);
  ASSERT_TRUE(reg.OpenKey("Software\\VelSetupRawTests", true));
  ASSERT_TRUE(reg.WriteString("View", "thirty-two"));
  reg.CloseKey();
  EXPECT_EQ(RawReadString(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\VelSetupRawTests", L"View", KEY_WOW64_64KEY),
            L"thirty-two");
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, L"Software\\VelSetupRawTests", KEY_WOW64_64KEY));
  EXPECT_TRUE(reg.DeleteKey("Software\\VelSetupRawTests"));
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, L"Software\\Wow6432Node\\VelSetupRawTests", KEY_WOW64_64KEY));
}

TEST(Win32Registry, ReadMultiSZDataOfAValueTheApiWrote) {
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\VelSetupRawTests", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const wchar_t data[] = L"MSSQLSERVER\0SQLEXPRESS\0VELMOR\0";  // plus the literal's own null
  RegSetValueExW(key, L"InstalledInstances", 0, REG_MULTI_SZ, reinterpret_cast<const BYTE*>(data), sizeof data);
  RegCloseKey(key);

  TRegistryEx reg(regaccess::Read);
  reg.SetRootKey(RegRoot::CurrentUser);
  ASSERT_TRUE(reg.OpenKeyReadOnly("Software\\VelSetupRawTests"));
  std::vector<std::string> names;
  reg.ReadMultiSZData("InstalledInstances", names);
  EXPECT_EQ(names, (std::vector<std::string>{"MSSQLSERVER", "SQLEXPRESS", "VELMOR"}));
  EXPECT_EQ(reg.GetDataSize("InstalledInstances"), static_cast<int>(sizeof data));
  reg.CloseKey();
  RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\VelSetupRawTests");
}

TEST(Win32Registry, HasAdminRightsLeavesNoTestKeyBehind) {
  bool before = RawKeyExists(HKEY_LOCAL_MACHINE, L"Software\\MyCompanyName");
  EXPECT_TRUE(HasAdminRights());  // the Wine prefix runs as an administrator
  EXPECT_EQ(RawKeyExists(HKEY_LOCAL_MACHINE, L"Software\\MyCompanyName"), before);
  EXPECT_FALSE(RawKeyExists(HKEY_LOCAL_MACHINE, L"Software\\MyCompanyName\\MyApplication"));
}

TEST(Win32Shortcuts, LinkReadBackThroughIShellLink) {
  TempFolder t;
  std::filesystem::create_directories(platform::PathFromUtf8(t / "Desktop"));
  HKEY key;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                            0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  wchar_t old[MAX_PATH] = {};
  DWORD oldSize = sizeof old - sizeof(wchar_t);
  bool hadOld = RegQueryValueExW(key, L"Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(old), &oldSize) == 0;
  std::wstring desktop = Wide(t / "Desktop");
  RegSetValueExW(key, L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(desktop.c_str()),
                 static_cast<DWORD>((desktop.size() + 1) * sizeof(wchar_t)));

  std::string target = t.Write("Program Files/Velmor/Velmor.exe", "MZ");
  CreateDesktopShortcut(target, "/db=\"Velmor Demo\"", "Účetnictví Velmor", "Velmor Žluťoučký");

  if (hadOld)
    RegSetValueExW(key, L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(old),
                   static_cast<DWORD>((wcslen(old) + 1) * sizeof(wchar_t)));
  else
    RegDeleteValueW(key, L"Desktop");
  RegCloseKey(key);

  bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
  IShellLinkW* link = nullptr;
  ASSERT_TRUE(SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                         reinterpret_cast<void**>(&link))));
  IPersistFile* file = nullptr;
  ASSERT_TRUE(SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))));
  ASSERT_TRUE(SUCCEEDED(file->Load(Wide(t / "Desktop/Velmor Žluťoučký.lnk").c_str(), STGM_READ)));
  wchar_t buf[1024];
  link->GetPath(buf, 1024, nullptr, 0);
  EXPECT_EQ(_wcsicmp(buf, Wide(target).c_str()), 0) << Utf8(buf);
  link->GetArguments(buf, 1024);
  EXPECT_EQ(Utf8(buf), "/db=\"Velmor Demo\"");
  link->GetDescription(buf, 1024);
  EXPECT_EQ(Utf8(buf), "Účetnictví Velmor");
  link->GetWorkingDirectory(buf, 1024);
  EXPECT_EQ(_wcsicmp(buf, Wide(t / "Program Files/Velmor/").c_str()), 0) << Utf8(buf);
  file->Release();
  link->Release();
  if (com) CoUninitialize();
}

TEST(Win32FileVersion, WindresResourceReadByTheApiAndTheParser) {
  std::int64_t key = 0;
  std::string text;
  ReadFileVersion(VELSETUP_VERSION_SAMPLE, key, text);
  EXPECT_EQ(text, "10.0.19041.0001");
  EXPECT_EQ(key, 0x1000190410001LL);
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(VELSETUP_VERSION_SAMPLE, bytes));
  EXPECT_EQ(platform::ParsePeFileVersion(bytes), (platform::FileVersionNumbers{10, 0, 19041, 1}));
}

TEST(Win32FileVersion, ProductNameReadByTheApiAndTheParser) {
  EXPECT_EQ(platform::ReadFileProductName(VELSETUP_VERSION_SAMPLE), "VELMOR Tarpel sample");
  std::string bytes;
  ASSERT_TRUE(platform::ReadWholeFile(VELSETUP_VERSION_SAMPLE, bytes));
  EXPECT_EQ(platform::ParsePeProductName(bytes), "VELMOR Tarpel sample");
  wchar_t sys[MAX_PATH];
  GetSystemDirectoryW(sys, MAX_PATH);
  int compared = 0;
  for (const wchar_t* name : {L"kernel32.dll", L"user32.dll", L"shell32.dll", L"notepad.exe"}) {
    std::string path = Utf8(std::wstring(sys) + L"\\" + name);
    std::string image;
    if (!platform::ReadWholeFile(path, image)) continue;
    EXPECT_EQ(platform::ParsePeProductName(image), platform::ReadFileProductName(path)) << path;
    ++compared;
  }
  EXPECT_GT(compared, 0);
}

TEST(Win32FileVersion, ParserAgreesWithTheApiOnSystemLibraries) {
  wchar_t sys[MAX_PATH];
  GetSystemDirectoryW(sys, MAX_PATH);
  int compared = 0;
  for (const wchar_t* name : {L"kernel32.dll", L"user32.dll", L"shell32.dll", L"comctl32.dll", L"version.dll",
                              L"ntdll.dll", L"notepad.exe", L"cmd.exe"}) {
    std::string path = Utf8(std::wstring(sys) + L"\\" + name);
    auto api = platform::ReadFileVersionNumbers(path);
    std::string bytes;
    if (!platform::ReadWholeFile(path, bytes)) continue;
    EXPECT_EQ(platform::ParsePeFileVersion(bytes), api) << path;
    compared += api.has_value();
  }
  EXPECT_GT(compared, 0);
}

TEST(Win32Machine, FiguresMatchTheApi) {
  wchar_t temp[MAX_PATH + 1];
  DWORD n = GetTempPathW(MAX_PATH + 1, temp);
  EXPECT_EQ(TempDirectory(), Utf8(std::wstring_view(temp, n)));

  ULARGE_INTEGER avail{};
  ASSERT_TRUE(GetDiskFreeSpaceExW(temp, &avail, nullptr, nullptr));
  std::int64_t ours = DiskFreeBytes(Utf8(temp));
  EXPECT_LT(std::llabs(ours - static_cast<std::int64_t>(avail.QuadPart)), std::int64_t(64) << 20);
  // A folder still to be made on a drive is measured on that drive.
  EXPECT_GT(DiskFreeBytes(Utf8(temp) + "VelSetup\\not\\yet"), 0);
  // A drive letter that is not mapped cannot be measured.
  DWORD drives = GetLogicalDrives();
  for (char d = 'Q'; d <= 'Y'; ++d)
    if (!(drives & (1u << (d - 'A')))) {
      EXPECT_EQ(DiskFreeBytes(std::string(1, d) + ":\\Velmor"), -1) << d;
      break;
    }

  MEMORYSTATUSEX mem{};
  mem.dwLength = sizeof mem;
  GlobalMemoryStatusEx(&mem);
  EXPECT_DOUBLE_EQ(TotalMemoryGB(), static_cast<double>(mem.ullTotalPhys) / 1073741824.0);
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
  DWORD len = MAX_COMPUTERNAME_LENGTH + 1;
  GetComputerNameW(name, &len);
  EXPECT_EQ(LocalComputerName(), Utf8(std::wstring_view(name, len)));
  EXPECT_TRUE(IsWindows64());
  HKEY key;
  if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"Hardware\\Description\\System\\CentralProcessor\\0", 0, KEY_READ, &key) ==
      ERROR_SUCCESS) {
    RegCloseKey(key);
    EXPECT_EQ(Wide(ReadProcessorName()),
              RawReadString(HKEY_LOCAL_MACHINE, L"Hardware\\Description\\System\\CentralProcessor\\0",
                            L"ProcessorNameString", 0));
  }
}

TEST(Win32Machine, OsVersionIsTheRealOne) {
  using RtlGetVersionFn = LONG(WINAPI*)(OSVERSIONINFOW*);
  auto fn = reinterpret_cast<RtlGetVersionFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "RtlGetVersion")));
  ASSERT_NE(fn, nullptr);
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  fn(&info);
  platform::OsVersionInfo v = platform::OsVersion();
  EXPECT_EQ(v.major, info.dwMajorVersion);
  EXPECT_EQ(v.minor, info.dwMinorVersion);
  EXPECT_EQ(v.build, info.dwBuildNumber);
  EXPECT_GE(v.major, 6u);
}
