#pragma once
// Fetching the installer's remote files: the product index, a version's definition, the package
// archives and the SQL Server installers. DownloadFile copies one http(s) address into the
// download folder (the temporary folder, or the target's "Temp"); StahniSoubor finds a named file in the local kit, a folder or a web location.
// Both run on the user-interface thread and let input run through the work event, where the
// stop buttons set StopRequested.
#include <atomic>
#include <functional>
#include <string>

#include "engine/Progress.h"
#include "platform/HttpClient.h"

// The program-wide stop request of downloads and of the installation run. Set by the stop
// buttons on the user-interface thread; atomic so that a worker thread (or a signal handler of a
// console tool) may read or set it too.
extern std::atomic<bool> StopRequested;

// The progress of a download with a bar: SetTotal(100) puts it to 0, Item(percentage) moves it
// and lets pending input run (where the stop buttons answer); ShouldStop reads StopRequested.
class DownloadBar : public engine::ProgressSink {
 public:
  explicit DownloadBar(std::function<void(int position)> move = {}) : FMove(std::move(move)) {}
  void SetTotal(std::uint64_t total) override;
  void Item(std::uint64_t completed, const std::string& item) override;
  bool ShouldStop() override;

 private:
  std::function<void(int position)> FMove;
};

// The log line of every failed download (a catalogue text, the same for every file).
std::string DownloadErrorLogText();
// The fixed Czech text of the download error box, the same in every interface language.
std::string DownloadErrorBoxText(const std::string& address, const std::string& error);

// "http://h/dir/\file" -> "http://h/dir/file"; "http://h/dir\file" -> "http://h/dir/file".
// Replaces the first "/\" by "/", then the first remaining backslash by "/".
std::string NormalizeDownloadAddress(const std::string& address);

// The "filename" parameter of a Content-Disposition header (quoted or not; "filename*" when
// only that one is given); empty when there is none.
std::string ContentDispositionFileName(const std::string& header);
// The last path segment of an address, without query and fragment, percent-decoded.
std::string AddressDocumentName(const std::string& address);
// A name a server proposed, made safe to create in the temporary folder: folders and drive
// letters dropped, characters Windows forbids replaced by '_', device names prefixed with '_';
// empty when nothing usable is left ("", ".", "..").
std::string SafeDownloadFileName(const std::string& name);

// The name a download is saved under: a HEAD request (tried again after a transient failure, see
// setup/DownloadRetry.h); the Content-Disposition file name, else the address's last segment.
// Throws std::runtime_error with the client's text when the HEAD fails or no usable name is left.
std::string RemoteFileName(http::HttpClient& client, const std::string& url, engine::ProgressSink* progress = nullptr);

// The folder downloads are saved in: the temporary folder, unless the target directory check
// chose the target's "Temp" folder because the temporary drive is short of space.
std::string DownloadFolder();
// Sets that folder for the downloads that follow; empty puts them back into the temporary folder.
void SetDownloadFolder(const std::string& folder);

// Downloads an http or https address into the download folder. saveFileName receives the local
// path as soon as the name is known, also when the transfer then fails. The body is written under
// PartialDownloadPath(saveFileName) and renamed to saveFileName only when whole, so after a
// failure no file is under that name (an older one of that name is removed when the download
// begins); a broken connection is resumed, and a transient failure tried again
// (setup/ResumableDownload.h). Returns true when the whole body arrived and no stop was
// requested. An address that is not a web address returns false at once, silently. Without a
// progress sink (nullptr) the download has no bar, lets no input run and cannot be stopped. With
// maxBytes above 0, a body larger than that is cut off there and the download fails (files whose
// size has a known bound, such as the product index).
bool DownloadFile(const std::string& urlFileName, std::string& saveFileName, engine::ProgressSink* progress,
                  bool hlasitChybu, std::uint64_t maxBytes = 0);

// Where StahniSoubor looks: the local kit folder (empty: the program's own folder), and the two
// source locations of the definition (a folder or a web address).
struct DownloadSources {
  std::string LocalPath;
  std::string InstallServer;
  std::string MSSQLInstall;
};

// A local copy in the kit folder wins; otherwise the file is downloaded from a web location or
// taken where it lies in a folder location. True when a usable local file is at fileNameWithPath.
// With the file's SHA-256 (64 lower-case hex digits), a copy that an earlier attempt downloaded
// whole into the download folder and whose hash is that one is taken instead of downloading again.
bool StahniSoubor(const DownloadSources& sources, const std::string& fileName, std::string& fileNameWithPath,
                  engine::ProgressSink* progress, bool hlasitChybu, bool mssql, const std::string& sha256 = "");

// Kept in start-up's order: the TLS layer is the platform's, so there is nothing to write.
void WriteSSLLibraries();
