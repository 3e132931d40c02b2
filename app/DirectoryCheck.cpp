// The target-directory check of the directory page.
#include "app/DirectoryCheck.h"
#include "app/Unattended.h"


#include <algorithm>
#include <cctype>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <system_error>
#include <vector>

#include "app/Install.h"
#include "platform/FileVersion.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "support/RegexPattern.h"
#include "platform/Text.h"
#include "setup/SetupDat.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/SystemUtil.h"
#include "ui/Backend.h"

// The pattern text is kept exactly as the product has always had it, entity texts included:
// inside the excluded-character classes they only add the letters "&", "l", "g", "t" and ";".
const char* const PathPattern =
    R"pat((?:[a-z]:|\\\\[a-z0-9_.$\-]+\\[a-z0-9_.$\-]+)\\(?:[^\\/:*?"&lt;&gt;|\r\n]+\\)*[^\\/:*?"&lt;&gt;|\r\n]*)pat";

namespace {


// Up to four dot-separated decimal numbers; nullopt for any other text.
std::optional<std::vector<unsigned long long>> VersionNumbers(const std::string& text) {
  std::vector<unsigned long long> parts;
  std::string part;
  auto take = [&]() {
    if (part.empty() || part.size() > 18) return false;
    parts.push_back(std::stoull(part));
    part.clear();
    return true;
  };
  for (char c : text) {
    if (c == '.') {
      if (!take()) return std::nullopt;
    } else if (c >= '0' && c <= '9') {
      part += c;
    } else {
      return std::nullopt;
    }
  }
  if (!take() || parts.size() > 4) return std::nullopt;
  parts.resize(4, 0);
  return parts;
}

bool IsNetworkPath(const std::string& path) { return path.size() >= 2 && path[0] == '\\' && path[1] == '\\'; }

std::int64_t MiB(std::int64_t bytes) { return bytes < 0 ? 0 : bytes / 1048576; }

// What the found installation calls itself: its program's product name, "Velmor" without one.
std::string EditionName(const std::string& programFile) {
  std::optional<std::string> name = platform::ReadFileProductName(programFile);
  if (!name) return "Velmor";
  std::string trimmed = platform::Trim(*name);
  return trimmed.empty() ? "Velmor" : trimmed;
}

// The path's parts, lower-cased, separators unified, "." dropped and ".." resolved; the first
// part is its root ("c:", "\\\\server\\share" or "/" on the native build).
std::vector<std::string> PathParts(const std::string& path) {
  std::string text = platform::LowerText(platform::Trim(path));
  for (char& c : text)
    if (c == '/') c = '\\';
  std::vector<std::string> parts;
  std::size_t at = 0;
  if (IsNetworkPath(text)) {
    std::size_t server = text.find('\\', 2);
    std::size_t share = server == std::string::npos ? std::string::npos : text.find('\\', server + 1);
    parts.push_back(text.substr(0, share));
    at = share == std::string::npos ? text.size() : share;
  } else if (text.size() >= 2 && text[1] == ':') {
    parts.push_back(text.substr(0, 2));
    at = 2;
  } else if (!text.empty() && text[0] == '\\') {
    parts.push_back("\\");
  }
  std::string part;
  auto take = [&] {
    if (part == "..") {
      if (parts.size() > 1) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    part.clear();
  };
  for (; at < text.size(); ++at) {
    if (text[at] == '\\')
      take();
    else
      part += text[at];
  }
  take();
  return parts;
}

}  // namespace

TSystemFolders CurrentSystemFolders() {
  TSystemFolders folders;
  for (const char* name : {"SystemRoot", "windir", "ProgramFiles", "ProgramFiles(x86)", "ProgramW6432", "PUBLIC"})
    if (std::optional<std::string> value = platform::GetEnv(name); value && !value->empty())
      folders.Exact.push_back(*value);
  if (std::optional<std::string> profile = platform::GetEnv("USERPROFILE"); profile && !profile->empty()) {
    std::vector<std::string> parts = PathParts(*profile);
    // The profile's own root is refused as a subfolder of the profiles folder.
    std::size_t cut = profile->find_last_of("\\/");
    if (parts.size() >= 2 && cut != std::string::npos) folders.Profiles = profile->substr(0, cut);
  }
  return folders;
}

bool IsSystemFolderTarget(const std::string& path, const TSystemFolders& folders) {
  std::vector<std::string> parts = PathParts(path);
  if (parts.size() <= 1) return true;  // a drive root, a share's root, or no folder at all
  for (const std::string& folder : folders.Exact)
    if (!folder.empty() && parts == PathParts(folder)) return true;
  if (!folders.Profiles.empty()) {
    std::vector<std::string> profiles = PathParts(folders.Profiles);
    if (parts.size() >= profiles.size() && parts.size() <= profiles.size() + 1 &&
        std::equal(profiles.begin(), profiles.end(), parts.begin()))
      return true;
  }
  return false;
}

bool PathSyntaxValid(const std::string& path) {
  if (path.empty()) return false;
  static const TRegexPattern pattern(PathPattern, TRegexPattern::Caseless);
  return pattern.Matches(platform::LowerText(path));
}

int CompareVersionTexts(const std::string& installed, const std::string& kit) {
  auto a = VersionNumbers(installed), b = VersionNumbers(kit);
  if (a && b) return *a < *b ? -1 : *a > *b ? 1 : 0;
  return installed.compare(kit) < 0 ? -1 : installed == kit ? 0 : 1;
}

TInfoInstall::TInfoInstall(const std::string& adresar) : FAdresar(adresar) {
  std::error_code ec;
  if (!std::filesystem::is_directory(platform::PathFromUtf8(adresar), ec) || IsDirectoryEmpty(adresar)) return;
  std::string program = platform::IncludeTrailingPathDelimiter(adresar) + ProductProgramFile;
  if (!std::filesystem::is_regular_file(platform::PathFromUtf8(program), ec)) return;
  FExists = true;
  std::int64_t key = 0;
  ReadFileVersion(program, key, FVersionEXE);
  FVersion = EditionName(program);
}

std::string FreeSpaceVolumeOf(const std::string& path) {
  if (IsNetworkPath(path)) return path;
#ifndef _WIN32
  // The native build has no drive letters: an absolute path names its own volume.
  if (!path.empty() && path[0] == '/') return path;
#endif
  char drive = path.size() >= 2 && path[1] == ':' ? static_cast<char>(std::toupper(static_cast<unsigned char>(path[0])))
                                                  : 'A';
  return std::string(1, drive) + ":\\";
}

// --- The form's operations ---------------------------------------------------------------------

bool TFInstall::PathSyntaxValid() {
  const std::string& text = edDir.Text();
#ifndef _WIN32
  // The native build (tests, tools) takes its own absolute paths as well.
  if (!text.empty() && text[0] == '/') return true;
#endif
  return ::PathSyntaxValid(text);
}

bool TFInstall::KontrolaVerze() {
  LogProcedure log("KontrolaVerze");
  State.FCheckErrors = {};
  lblErrorDirVer.SetCaption("");
  lblErrorDirVer.Repaint();
  lblVerze.SetCaption("");
  lblVerze.Repaint();
  lblVersioInfo.SetVisible(false);
  State.UpdateVerion = false;

  if (!PathSyntaxValid()) {
    lblErrorDirVer.SetCaption(Msg(msgInstallationDirectoryNotFilled));
    lblErrorDirVer.SetFontColor(FindingRed);
    lblErrorDirVer.SetVisible(true);
    lblVerze.SetVisible(false);
    State.FCheckErrors.Include(ceErrPath);
    return false;
  }

  const TSetupDat& def = FDefinition;
  TInfoInstall found(edDir.Text());
  if (found.FExists) {
    lblVerze.SetCaption(found.FVersion + "  " + found.FVersionEXE);
    int order = CompareVersionTexts(found.FVersionEXE, def.VerzeExe());
    if (order == 0) {
      lblErrorDirVer.SetCaption(FormatMsg(msgSameVersionInLocation, found.FVersionEXE));
      lblErrorDirVer.SetFontColor(FindingGreen);
      State.UpdateVerion = true;
    } else if (order < 0) {
      State.UpdateVerion = true;
    } else {
      lblErrorDirVer.SetCaption(FormatMsg(msgNewerVersionInLocation, found.FVersion));
      lblErrorDirVer.SetFontColor(FindingRed);
      State.FCheckErrors.Include(ceErrVersion);
      State.UpdateVerion = false;
    }
  }

  std::string product;
  if (def.OnlyVersion() && def.TypInst() < 2) {
    product = "VELMOR Kest";
    ApplyInstallType(found.FExists ? tiKestUpdate : tiKest);
  } else if (def.OnlyVersion() && def.TypInst() <= 4) {
    product = "VELMOR Tarpel";
    ApplyInstallType(found.FExists ? tiTarpelUpdate : tiTarpel);
  } else if (!def.OnlyVersion()) {
    product = "Velmor";
  }

  SetCaption(Msg(msgInstallation) + " " + product + "  " + def.VerzeExe());
  if (def.OnlyVersion() && def.VersionProd() == 1)
    SetHeadingText(product + " " + Msg(msgZerdanEdition) + " - " + Msg(msgInstallation));
  else
    SetHeadingText(product + " - " + Msg(msgInstallation));

  lblErrorDirVer.SetVisible(!lblErrorDirVer.Caption().empty());
  lblVerze.SetVisible(!lblVerze.Caption().empty());
  lblVersioInfo.SetVisible(lblVerze.Visible());
  VisibleButton({btvPrevious, btvNext});
  btnNext.SetEnabled(State.FCheckErrors.Empty());
  btnUpdate.SetEnabled(State.FCheckErrors.Empty());
  return State.FCheckErrors.Empty();
}

bool TFInstall::KontrolaAdresare() {
  LogProcedure log("KontrolaAdresare");
  std::string trimmed = platform::Trim(edDir.Text());
  if (trimmed != edDir.Text()) edDir.SetText(trimmed);
  if (!PathSyntaxValid()) {
    ShowError(Msg(msgInstallationDirectoryNotFilled), "");
    return false;
  }
  // Before anything is written: a folder of the system is refused, and a folder full of other
  // files is taken only when the user says so (its files would go into the backup and the
  // packages would land among them).
  if (IsSystemFolderTarget(edDir.Text(), FHost.SystemFolders())) {
    ShowError(FormatMsg(msgTargetNotInstallationFolder, edDir.Text(),
                        platform::IncludeTrailingPathDelimiter(edDir.Text()) + "Velmor"),
              "");
    return false;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(platform::PathFromUtf8(edDir.Text()), ec) && !IsDirectoryEmpty(edDir.Text()) &&
      !TInfoInstall(edDir.Text()).FExists) {
    bool take = ShowQuestion(FormatMsg(msgFolderNotEmpty, edDir.Text()), "");
    InstallLog().Add("The folder " + edDir.Text() + " holds other files: " +
                     (take ? "the user installs into it" : "the user chooses another folder"));
    if (!take) return false;
  }
  const std::int64_t required = FDefinition.MinDiskFree();
  if (required <= 0) {
    State.AdrInstall = edDir.Text();
    return true;
  }

  std::int64_t free = MiB(FHost.FreeDiskSpace(FreeSpaceVolumeOf(edDir.Text())));
  if (required > free) {
    ShowError(FormatMsg(msgNotEnoughDiskSpace, std::to_string(required)), "");
    return false;
  }

  State.AdrInstall = edDir.Text();
  auto create = [](const std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(platform::PathFromUtf8(folder), ec);
    return std::filesystem::is_directory(platform::PathFromUtf8(folder), ec);
  };
  if (!create(State.AdrInstall)) {
    ShowError(FormatMsg(msgCannotCreateDestinationFolder, State.AdrInstall), "");
    return false;
  }

  // With little room on the drive of the temporary folder the downloads go to the target.
  std::int64_t tempFree = MiB(FHost.FreeDiskSpace(FreeSpaceVolumeOf(TempDirectory())));
  if (tempFree <= required) {
    const std::string downloads = platform::IncludeTrailingPathDelimiter(State.AdrInstall) + "Temp";
    if (!create(downloads)) {
      ShowError(FormatMsg(msgCannotCreateDestinationFolder, State.AdrInstall), "");
      return false;
    }
    SetDownloadFolder(downloads);
    InstallLog().Add("The drive of the temporary folder has " + std::to_string(tempFree) +
                     " MiB free: this run's downloads go to " + downloads);
  } else {
    SetDownloadFolder("");
  }
  State.AdrInstall = edDir.Text();
  return true;
}

void TFInstall::ShowCheckError() {
  LogProcedure log("ShowCheckError");
  std::string text;
  if (State.FCheckErrors.Contains(ceErrPath)) text += "\n\r\n\r" + Msg(msgInstallationDirectoryNotFilled);
  if (State.FCheckErrors.Contains(ceErrVersion)) text += "\n\r\n\r" + Msg(msgLaterVersionInDestination);
  if (!text.empty()) ShowError(text, Msg(msgErrorsFoundDuringChecking));
}

void TFInstall::edtDir1Change(ui::TControl*) {
  LogProcedure log("edtDir1Change");
  int page = pgcInstall.ActivePageIndex();
  if (page < 0 || page > tsAdresar.PageIndex()) return;
  KontrolaVerze();
  UpdateNextButton(page);
}

void TFInstall::Button2Click(ui::TControl*) {
  LogProcedure log("Button2Click");
  const std::string& text = edDir.Text();
  // The drive part: "C:" of a drive path, "\\server\share" of a network path.
  std::string root;
  if (text.size() >= 2 && text[1] == ':') {
    root = text.substr(0, 2);
  } else if (IsNetworkPath(text)) {
    size_t server = text.find('\\', 2);
    size_t share = server == std::string::npos ? std::string::npos : text.find('\\', server + 1);
    root = text.substr(0, share);
  }
  std::error_code ec;
  std::string initial = std::filesystem::is_directory(platform::PathFromUtf8(text), ec) ? text : std::string();
  std::string folder;
  if (FHost.BrowseForFolder(*this, Msg(msgSelectTargetDirectory), root, initial, folder)) edDir.SetText(folder);
}

void TFInstall::PlainMessageBox(const std::string& text) {
  if (UnattendedOptions()) {
    InstallLog().Add("Unattended: message not shown: " + text);
    return;
  }
  FHost.PlainMessageBox(*this, text);
}
