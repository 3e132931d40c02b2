// A target folder of about 300 characters whose names the ANSI code page (1250 in the test prefix)
// cannot hold, through every step that handles it: folder creation, free space, extraction,
// backup and restore, the shortcut and the log.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "RecordingShellHandler.h"
#include "TestSupport.h"
#include "engine/BackupFileList.h"
#include "engine/BackupRestore.h"
#include "engine/ZipArchive.h"
#include "platform/Files.h"
#include "platform/LongPath.h"
#include "platform/Shell.h"
#include "platform/win32/Wide.h"
#include "support/InstallLog.h"
#include "support/SystemUtil.h"

namespace {

namespace fs = std::filesystem;
using platform::win32::Utf8;
using platform::win32::Wide;
using platform::win32::WidePath;
using testing_support::ReadFile;
using testing_support::TempFolder;

// Greek and Japanese are outside code page 1250; the Czech letters are inside it.
const char* const kNames[] = {"Velmor Ωμέγα 日本語", "Účetnictví žluťoučký kůň", "Программа Δεδομένα"};

std::string DeepTarget(const std::string& root) {
  std::string dir = root;
  for (int i = 0; platform::Utf16Length(dir) < 300; ++i)
    dir += "\\" + std::string(kNames[i % 3]) + " " + std::to_string(i);
  return dir;
}

bool Win32FileExists(const std::string& path) {
  return GetFileAttributesW(WidePath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The Desktop shell folder pointed at a folder of the test while it lives.
class DesktopFolder {
 public:
  explicit DesktopFolder(const std::string& folder) {
    RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", 0,
                    nullptr, 0, KEY_ALL_ACCESS, nullptr, &FKey, nullptr);
    DWORD size = sizeof FOld - sizeof(wchar_t);
    FHadOld = RegQueryValueExW(FKey, L"Desktop", nullptr, nullptr, reinterpret_cast<BYTE*>(FOld), &size) == 0;
    std::wstring desktop = Wide(folder);
    RegSetValueExW(FKey, L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(desktop.c_str()),
                   static_cast<DWORD>((desktop.size() + 1) * sizeof(wchar_t)));
  }
  ~DesktopFolder() {
    if (FHadOld)
      RegSetValueExW(FKey, L"Desktop", 0, REG_SZ, reinterpret_cast<const BYTE*>(FOld),
                     static_cast<DWORD>((wcslen(FOld) + 1) * sizeof(wchar_t)));
    else
      RegDeleteValueW(FKey, L"Desktop");
    RegCloseKey(FKey);
  }

 private:
  HKEY FKey = nullptr;
  wchar_t FOld[MAX_PATH] = {};
  bool FHadOld = false;
};

TEST(Win32LongPaths, DeepTargetWithNamesOutsideTheAnsiCodePage) {
  TempFolder t;
  const std::string target = DeepTarget(t.Path());
  ASSERT_GE(platform::Utf16Length(target), 300u);

  // Folder creation, the empty check and free space, also of a folder still to be made.
  std::error_code ec;
  ASSERT_TRUE(fs::create_directories(platform::PathFromUtf8(target), ec)) << ec.message();
  EXPECT_TRUE(Win32FileExists(target));
  EXPECT_TRUE(IsDirectoryEmpty(target));
  EXPECT_GT(DiskFreeBytes(target), 0);
  EXPECT_GT(DiskFreeBytes(target + "\\Ještě není\\Ωμέγα"), 0);

  // A package made by the archive component from a short folder, one entry with a long name of
  // its own, extracted into the target.
  const std::string longEntry = "Data Ωμέγα\\" + std::string(80, 'x') + " 日本語.txt";
  const std::vector<std::pair<std::string, std::string>> content = {
      {"Velmor.exe", "MZ program"}, {"Data Ωμέγα\\Ukázka.txt", "žluťoučký kůň"}, {longEntry, "long entry"}};
  std::string source = t / "src";
  for (const auto& [name, bytes] : content) t.Write("src/" + name, bytes);
  {
    engine::ZipArchive pack;
    pack.FileName = t / "Program.zip";
    pack.BaseDir = source;
    pack.OpenArchive(engine::ZipOpenMode::Create);
    for (const auto& entry : content) pack.AddFiles(source + "\\" + entry.first);
    pack.CloseArchive();
  }
  {
    engine::ZipArchive zip;
    zip.FileName = t / "Program.zip";
    zip.BaseDir = target;
    zip.OpenArchive();
    zip.ExtractFiles("*.*");
    zip.CloseArchive();
  }
  for (const auto& [name, bytes] : content) {
    std::string path = target + "\\" + name;
    EXPECT_TRUE(Win32FileExists(path)) << name;
    EXPECT_EQ(ReadFile(path), bytes) << name;
  }
  EXPECT_GT(platform::Utf16Length(target + "\\" + longEntry), 400u);
  EXPECT_FALSE(IsDirectoryEmpty(target));

  // A mask over a folder of the deep target adds the files of that folder, and only those.
  {
    engine::ZipArchive again;
    again.FileName = t / "Data.zip";
    again.BaseDir = target;
    again.OpenArchive(engine::ZipOpenMode::Create);
    again.AddFiles(target + "\\Data Ωμέγα\\*.txt");
    again.CloseArchive();
    again.OpenArchive();
    std::vector<std::string> names;
    engine::ZipEntryInfo e;
    for (bool more = again.FindFirst(e); more; more = again.FindNext(e)) names.push_back(e.StoredPath + e.FileName);
    again.CloseArchive();
    std::sort(names.begin(), names.end());
    std::vector<std::string> expected = {"Data Ωμέγα\\Ukázka.txt", longEntry};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(names, expected);
  }

  // The backup lists exactly these files (never the current folder's), and restores them.
  std::vector<std::string> files;
  engine::ListFilesForBackup(target, files);
  ASSERT_EQ(files.size(), content.size());
  for (const std::string& file : files) EXPECT_EQ(file.substr(0, target.size() + 1), target + "\\") << file;
  engine::BackupResult backup = engine::BackUpFiles(target, files, "20241208101502", engine::NoProgress());
  ASSERT_TRUE(backup.Complete);
  EXPECT_EQ(backup.ArchivePath, target + "\\Backup\\Backup20241208101502.zip");
  ASSERT_TRUE(Win32FileExists(backup.ArchivePath));
  platform::WriteWholeFile(target + "\\Velmor.exe", "overwritten by a failed update");
  ASSERT_TRUE(DeleteFileW(WidePath(target + "\\" + longEntry).c_str()));
  struct Entries : engine::ProgressSink {
    std::vector<std::string> names;
    void Item(std::uint64_t, const std::string& item) override { names.push_back(item); }
  } restored;
  engine::RestoreBackup(backup.ArchivePath, target, restored);
  EXPECT_EQ(restored.names.size(), content.size());
  for (const auto& [name, bytes] : content) EXPECT_EQ(ReadFile(target + "\\" + name), bytes) << name;

  // A desktop shortcut to the program: the link names that very file.
  std::string desktop = t / "Desktop";
  fs::create_directories(platform::PathFromUtf8(desktop));
  {
    DesktopFolder scope(desktop);
    CreateDesktopShortcut(target + "\\Velmor.exe", "", "Velmor Ωμέγα", "Velmor Ωμέγα 日本語");
  }
  std::optional<platform::ShellLink> link = platform::LoadShellLink(desktop + "\\Velmor Ωμέγα 日本語.lnk");
  ASSERT_TRUE(link.has_value());
  ASSERT_FALSE(link->target.empty());
  wchar_t full[2048];
  DWORD n = GetLongPathNameW(WidePath(link->target).c_str(), full, 2048);
  ASSERT_GT(n, 0u) << link->target;
  EXPECT_EQ(_wcsicmp(Wide(platform::WithoutExtendedLengthPrefix(Utf8(full))).c_str(),
                     Wide(target + "\\Velmor.exe").c_str()),
            0)
      << Utf8(full);

  // The log keeps the target's name.
  TInstallLog log;
  log.Add("Target " + target);
  std::string saved = log.Save();
  EXPECT_NE(ReadFile(saved).find(target), std::string::npos);
  DeleteFileW(Wide(saved).c_str());
}

// The last quoted text of a command line the stand-in recorded: the document it was handed.
std::string LastQuoted(const std::string& line) {
  size_t close = line.rfind('"');
  if (close == std::string::npos || close == 0) return {};
  size_t open = line.rfind('"', close - 1);
  return open == std::string::npos ? std::string() : line.substr(open + 1, close - open - 1);
}

// The long form of a path the shell handed over (in its short form past 260 characters).
std::string LongForm(const std::string& path) {
  std::wstring buffer(4096, L'\0');
  DWORD n = GetLongPathNameW(WidePath(path).c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
  buffer.resize(n);
  return platform::WithoutExtendedLengthPrefix(Utf8(buffer));
}

// The shell takes no extended-length path: a document or a program in a folder past 260
// characters is handed to it by its short name. A document type of the test's own, whose handler
// is the stand-in, shows what the shell was given. (Wine cannot start a program whose own path
// passes 259 characters in any form, so the program itself is only looked up here.)
TEST(Win32LongPaths, DocumentsAndProgramsInADeepFolderReachTheShell) {
  TempFolder t;
  const std::string target = DeepTarget(t.Path());
  std::error_code ec;
  ASSERT_TRUE(fs::create_directories(platform::PathFromUtf8(target), ec)) << ec.message();
  const std::string document = target + "\\Dokument Ωμέγα.vdc";
  platform::WriteWholeFile(document, "x");
  const std::string program = target + "\\Velmor.EXE";
  ASSERT_TRUE(CopyFileW(Wide(VELSETUP_SQL_STANDIN).c_str(), WidePath(program).c_str(), FALSE));

  const std::string record = t / "opened.txt";
  testing_support::RecordingShellHandler handler(L"velsetup_vdc_file", VELSETUP_SQL_STANDIN, record);
  ASSERT_TRUE(handler.Registered());
  ASSERT_TRUE(handler.SetValue(L".vdc", nullptr, L"velsetup_vdc_file"));

  EXPECT_TRUE(platform::ShellOpen({nullptr, "open", document, "", true}));
  for (int i = 0; i < 100 && ReadFile(record).empty(); ++i) Sleep(50);
  std::string opened = LastQuoted(ReadFile(record));
  EXPECT_LT(platform::Utf16Length(opened), 260u) << opened;
  EXPECT_EQ(_wcsicmp(Wide(LongForm(opened)).c_str(), Wide(document).c_str()), 0) << opened;

  fs::remove(platform::PathFromUtf8(record));
  EXPECT_EQ(ExecuteProgram(nullptr, document, "", RunWait | RunHidden), 0);
  EXPECT_EQ(_wcsicmp(Wide(LongForm(LastQuoted(ReadFile(record)))).c_str(), Wide(document).c_str()), 0);

  EXPECT_NE(ExecutableFor(document).find("SqlSetupStandIn"), std::string::npos) << ExecutableFor(document);
  std::string found = ExecutableFor(target + "\\velmor.exe");
  EXPECT_EQ(_wcsicmp(Wide(found).c_str(), Wide(target + "\\velmor.exe").c_str()), 0) << found;

  // A path past the limit that names nothing is refused, not started or found.
  EXPECT_EQ(ExecutableFor(target + "\\Missing.exe"), "");
  EXPECT_EQ(ExecuteProgram(nullptr, target + "\\Missing.exe", "", RunWait), -1);
  // A document whose short name would cut its extension keeps its name, and the shell refuses
  // it rather than open it with the program of another type.
  const std::string cut = target + "\\Dokument.vdcx";
  platform::WriteWholeFile(cut, "x");
  EXPECT_FALSE(platform::ShellOpen({nullptr, "open", cut, "", true}));
}

}  // namespace
