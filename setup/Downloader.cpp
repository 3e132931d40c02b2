#include "setup/Downloader.h"

#include <filesystem>
#include <stdexcept>

#include "engine/ZipEntryName.h"
#include "platform/Crypto.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Text.h"
#include "setup/DownloadRetry.h"
#include "setup/PackageHash.h"
#include "setup/ResumableDownload.h"
#include "support/Catalogue.h"
#include "support/InstallLog.h"
#include "support/MessageDialog.h"
#include "support/SystemUtil.h"
#include "ui/Application.h"

std::atomic<bool> StopRequested{false};

void DownloadBar::SetTotal(std::uint64_t) {
  if (FMove) FMove(0);
}

void DownloadBar::Item(std::uint64_t completed, const std::string&) {
  if (FMove) FMove(static_cast<int>(completed));
  Application().ProcessMessages();
}

bool DownloadBar::ShouldStop() { return StopRequested; }

std::string DownloadErrorLogText() { return Msg(msgErrorDownloadingMSSQL); }

std::string DownloadErrorBoxText(const std::string& address, const std::string& error) {
  return "Chyba při stahování souboru " + address + " : \n\r" + error;
}

std::string NormalizeDownloadAddress(const std::string& address) {
  std::string a = address;
  size_t p = a.find("/\\");
  if (p != std::string::npos) a.erase(p + 1, 1);
  p = a.find('\\');
  if (p != std::string::npos) a[p] = '/';
  return a;
}

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string PercentDecode(const std::string& s) {
  std::string out;
  for (size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '%' && i + 2 < s.size() && HexValue(s[i + 1]) >= 0 && HexValue(s[i + 2]) >= 0) {
      out += static_cast<char>(HexValue(s[i + 1]) * 16 + HexValue(s[i + 2]));
      i += 2;
    } else {
      out += s[i];
    }
  }
  return out;
}

// The parameters of a header value: name=value pairs after the first ';'.
std::string HeaderParameter(const std::string& header, const std::string& wanted) {
  size_t pos = header.find(';');
  while (pos != std::string::npos && pos < header.size()) {
    ++pos;
    while (pos < header.size() && (header[pos] == ' ' || header[pos] == '\t')) ++pos;
    size_t eq = header.find('=', pos);
    size_t semi = header.find(';', pos);
    if (eq == std::string::npos || (semi != std::string::npos && semi < eq)) {
      pos = semi;
      continue;
    }
    std::string name = platform::Trim(header.substr(pos, eq - pos));
    size_t v = eq + 1;
    while (v < header.size() && (header[v] == ' ' || header[v] == '\t')) ++v;
    std::string value;
    if (v < header.size() && header[v] == '"') {
      ++v;
      while (v < header.size() && header[v] != '"') {
        // Only \" and \\ are escapes: servers send Windows paths with plain backslashes.
        if (header[v] == '\\' && v + 1 < header.size() && (header[v + 1] == '"' || header[v + 1] == '\\')) ++v;
        value += header[v++];
      }
      pos = header.find(';', v);
    } else {
      size_t end = header.find(';', v);
      value = platform::Trim(header.substr(v, end == std::string::npos ? std::string::npos : end - v));
      pos = end;
    }
    if (platform::SameTextAscii(name, wanted)) return value;
  }
  return {};
}

}  // namespace

std::string ContentDispositionFileName(const std::string& header) {
  std::string name = HeaderParameter(header, "filename");
  if (!name.empty()) return name;
  // RFC 5987 form: charset'language'percent-encoded
  std::string extended = HeaderParameter(header, "filename*");
  size_t q = extended.find('\'');
  if (q == std::string::npos) return {};
  size_t q2 = extended.find('\'', q + 1);
  if (q2 == std::string::npos) return {};
  return PercentDecode(extended.substr(q2 + 1));
}

std::string AddressDocumentName(const std::string& address) {
  std::string a = address;
  size_t cut = a.find_first_of("?#");
  if (cut != std::string::npos) a.resize(cut);
  size_t scheme = a.find("://");
  size_t pathStart = a.find('/', scheme == std::string::npos ? 0 : scheme + 3);
  if (pathStart == std::string::npos) return {};
  return PercentDecode(a.substr(a.rfind('/') + 1));
}

std::string SafeDownloadFileName(const std::string& name) {
  std::string leaf = name.substr(name.find_last_of("/\\") == std::string::npos ? 0 : name.find_last_of("/\\") + 1);
  if (leaf.size() >= 2 && leaf[1] == ':' && std::isalpha(static_cast<unsigned char>(leaf[0]))) leaf.erase(0, 2);
  for (char& c : leaf) {
    unsigned char u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F || std::string_view("<>:\"|?*").find(c) != std::string_view::npos) c = '_';
  }
  // Windows drops trailing dots and spaces, which would turn "x." into "x" and ".." into "".
  while (!leaf.empty() && (leaf.back() == '.' || leaf.back() == ' ')) leaf.pop_back();
  while (!leaf.empty() && leaf.front() == ' ') leaf.erase(0, 1);
  if (leaf.empty()) return {};
  if (engine::IsReservedDeviceName(leaf)) leaf.insert(0, "_");
  return leaf;
}

std::string RemoteFileName(http::HttpClient& client, const std::string& url, engine::ProgressSink* progress) {
  const RetrySchedule& schedule = DownloadRetrySchedule();
  http::Result head;
  for (std::size_t retry = 0;; ++retry) {
    head = client.Head(url);
    if (head.ok || !IsTransientFailure(head) || retry >= schedule.pauses.size()) break;
    auto pause = PauseBeforeRetry(schedule, retry, head);
    InstallLog().Add("The request for the name of " + url + " failed (" + head.error + "); attempt " +
                     std::to_string(retry + 2) + " of " + std::to_string(schedule.pauses.size() + 1) + " in " +
                     std::to_string((pause.count() + 999) / 1000) + " s");
    bool waited = schedule.wait ? schedule.wait(pause, progress) : WaitBeforeRetry(pause, progress);
    if (!waited || (progress && (StopRequested || progress->ShouldStop())))
      throw std::runtime_error("the download was stopped while waiting to try again");
  }
  if (!head.ok) throw std::runtime_error(head.error);
  std::string name = SafeDownloadFileName(ContentDispositionFileName(head.response.Header("Content-Disposition")));
  if (name.empty()) name = SafeDownloadFileName(AddressDocumentName(url));
  if (name.empty()) throw std::runtime_error("the address " + url + " names no file");
  return name;
}

namespace {
std::string& DownloadFolderSetting() {
  static std::string folder;
  return folder;
}
}  // namespace

void SetDownloadFolder(const std::string& folder) {
  DownloadFolderSetting() = folder.empty() ? std::string() : platform::IncludeTrailingPathDelimiter(folder);
}

std::string DownloadFolder() {
  return DownloadFolderSetting().empty() ? TempDirectory() : DownloadFolderSetting();
}

bool DownloadFile(const std::string& urlFileName, std::string& saveFileName, engine::ProgressSink* progress,
                  bool hlasitChybu, std::uint64_t maxBytes) {
  LogProcedure log("DownloadFile");
  StopRequested = false;
  bool result = false;
  std::string address = NormalizeDownloadAddress(urlFileName);
  if (progress) progress->SetTotal(100);
  if (!IsURL(address)) return false;
  std::unique_ptr<http::HttpClient> client = http::CreateHttpClient(http::DefaultOptions());
  try {
    saveFileName = DownloadFolder() + RemoteFileName(*client, address, progress);
    InstallLog().Add(address + " -> " + saveFileName);
    // The name is taken only by a whole download: an older file of that name goes now, so that a
    // failure leaves nothing there that could pass for this download.
    std::error_code ec;
    const auto finalPath = platform::PathFromUtf8(saveFileName);
    if (std::filesystem::exists(finalPath, ec) && !std::filesystem::is_regular_file(finalPath, ec))
      throw std::runtime_error("cannot create the file " + saveFileName);
    std::filesystem::remove(finalPath, ec);
    if (ec) throw std::runtime_error("cannot replace the file " + saveFileName + " (" + ec.message() + ")");
    ResumableDownloadResult got = DownloadToFile(*client, address, saveFileName, progress, maxBytes);
    if (!got.ok) throw std::runtime_error(got.error);
    result = !StopRequested && !(progress && progress->ShouldStop());
  } catch (const std::exception& e) {
    InstallLog().AddError(DownloadErrorLogText() + e.what());
    if (hlasitChybu) {
      ShowError(DownloadErrorBoxText(address, e.what()), "");
      StopRequested = true;
    }
    result = false;
  }
  return result;
}

namespace {

// A whole download of an earlier attempt lies under the file's own name in the download folder
// (a broken one never does: it stays under its partial name); its hash decides whether it is the
// file the kit names.
bool VerifiedEarlierDownload(const std::string& fileName, const std::string& sha256, std::string& path) {
  std::string candidate = DownloadFolder() + fileName;
  std::error_code ec;
  if (!std::filesystem::is_regular_file(platform::PathFromUtf8(candidate), ec)) return false;
  std::string actual;
  try {
    actual = Sha256Hex(platform::Sha256OfFile(candidate));
  } catch (const std::exception& e) {
    InstallLog().Add(candidate + " cannot be read (" + e.what() + "): it is downloaded again");
    return false;
  }
  if (actual != sha256) {
    InstallLog().Add(candidate + " from an earlier attempt is not the file the kit names: it is downloaded again");
    return false;
  }
  InstallLog().Add(candidate + " from an earlier attempt has the kit's SHA-256: it is not downloaded again");
  path = candidate;
  return true;
}

}  // namespace

bool StahniSoubor(const DownloadSources& sources, const std::string& fileName, std::string& fileNameWithPath,
                  engine::ProgressSink* progress, bool hlasitChybu, bool mssql, const std::string& sha256) {
  LogProcedure log("StahniSoubor");
  std::string base = sources.LocalPath.empty() ? platform::ExecutableDir()
                                               : platform::IncludeTrailingPathDelimiter(sources.LocalPath);
  std::error_code ec;
  if (std::filesystem::is_regular_file(platform::PathFromUtf8(base + fileName), ec)) {
    fileNameWithPath = base + fileName;
    return true;
  }
  const std::string& location = mssql ? sources.MSSQLInstall : sources.InstallServer;
  if (IsURL(location)) {
    if (!sha256.empty() && VerifiedEarlierDownload(fileName, sha256, fileNameWithPath)) return true;
    std::string address = location;
    if (address.empty() || address.back() != '\\') address += '\\';
    return DownloadFile(address + fileName, fileNameWithPath, progress, hlasitChybu);
  }
  fileNameWithPath = platform::IncludeTrailingPathDelimiter(location) + fileName;
  return std::filesystem::is_regular_file(platform::PathFromUtf8(fileNameWithPath), ec);
}

void WriteSSLLibraries() {}
