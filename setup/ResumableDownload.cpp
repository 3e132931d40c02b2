#include "setup/ResumableDownload.h"

#include <charconv>
#include <filesystem>
#include <fstream>

#include "platform/Files.h"
#include "platform/Text.h"
#include "setup/DownloadRetry.h"
#include "setup/Downloader.h"
#include "support/InstallLog.h"

namespace {

namespace fs = std::filesystem;

// What identifies the server's copy for If-Range: a strong ETag, else Last-Modified (a weak ETag
// may not be used there). Empty when the answer has neither: such a download starts over.
std::string Validator(const http::Response& response) {
  std::string etag = platform::Trim(response.Header("ETag"));
  if (!etag.empty() && etag.rfind("W/", 0) != 0) return etag;
  return platform::Trim(response.Header("Last-Modified"));
}

bool ParseCount(std::string_view text, std::uint64_t& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && ec == std::errc() && end == text.data() + text.size();
}

// The percentage on the bar moves only forward: a download that starts over counts its bytes
// again from zero, but the user is not shown the bar running back.
class ForwardBar {
 public:
  explicit ForwardBar(engine::ProgressSink* progress) : FProgress(progress) {}
  bool Work(std::uint64_t soFar, std::uint64_t total) {
    if (!FProgress) return true;
    if (FProgress->ShouldStop()) return false;
    if (total == 0) return true;  // no length known (chunked): the bar stays
    std::uint64_t percent = soFar >= total ? 100 : soFar * 100 / total;
    if (percent < FShown) percent = FShown;
    FShown = percent;
    FProgress->Item(percent, "");
    return true;
  }

 private:
  engine::ProgressSink* FProgress;
  std::uint64_t FShown = 0;
};

bool Stopping(engine::ProgressSink* progress) { return progress && (StopRequested || progress->ShouldStop()); }

}  // namespace

std::string PartialDownloadPath(const std::string& finalPath) { return finalPath + ".part"; }

bool ContentRangeContinues(std::string_view contentRange, std::uint64_t from, std::uint64_t& length) {
  std::string range = platform::Trim(contentRange);
  length = 0;
  if (range.rfind("bytes ", 0) != 0) return false;
  std::string_view rest = std::string_view(range).substr(6);
  size_t dash = rest.find('-'), slash = rest.find('/');
  if (dash == std::string_view::npos || slash == std::string_view::npos || slash < dash) return false;
  std::uint64_t first = 0, last = 0, whole = 0;
  if (!ParseCount(rest.substr(0, dash), first) || !ParseCount(rest.substr(dash + 1, slash - dash - 1), last))
    return false;
  std::string_view wholeText = rest.substr(slash + 1);
  if (wholeText != "*" && !ParseCount(wholeText, whole)) return false;
  if (first != from || last < first || (whole != 0 && last + 1 != whole)) return false;
  length = whole;
  return true;
}

ResumableDownloadResult DownloadToFile(http::HttpClient& client, const std::string& address,
                                       const std::string& finalPath, engine::ProgressSink* progress,
                                       std::uint64_t maxBytes) {
  const RetrySchedule& schedule = DownloadRetrySchedule();
  const std::string part = PartialDownloadPath(finalPath);
  const fs::path partPath = platform::PathFromUtf8(part);
  ResumableDownloadResult result;
  std::ofstream file;
  std::uint64_t have = 0;   // bytes of the file in the part file
  std::uint64_t total = 0;  // the whole file's length; 0 while unknown or for a chunked answer
  std::string validator;
  ForwardBar bar(progress);
  std::error_code ec;

  auto fail = [&](std::string error) {
    if (file.is_open()) file.close();
    fs::remove(partPath, ec);
    result.ok = false;
    result.error = std::move(error);
    return result;
  };

  for (std::size_t retry = 0;; ++retry) {
    const bool resuming = have > 0 && !validator.empty();
    http::GetRequest request;
    if (resuming) {
      request.rangeFrom = have;
      request.ifRange = validator;
    }
    std::string refusal;   // why an answer was not taken into the file
    bool writeFailed = false;
    bool tooLarge = false;
    request.onHeaders = [&](const http::Response& response) {
      if (file.is_open()) file.close();
      if (response.status == 206) {
        std::uint64_t length = 0;
        bool continues = resuming && ContentRangeContinues(response.Header("Content-Range"), have, length);
        if (!continues || (length != 0 && total != 0 && length != total)) {
          refusal = "the server sent a part of the file that does not continue it (" +
                    http::ServerTextForMessage(response.Header("Content-Range")) + ")";
          return false;
        }
        if (total == 0) total = length;
        file.open(partPath, std::ios::binary | std::ios::app | std::ios::out);
      } else {
        if (resuming)
          InstallLog().Add("The server sent " + address + " whole instead of from byte " + std::to_string(have) +
                           " on: the download starts over");
        have = 0;
        total = response.Chunked() ? 0 : response.ContentLength();
        validator = Validator(response);
        file.open(partPath, std::ios::binary | std::ios::trunc | std::ios::out);
      }
      if (!file) {
        refusal = "cannot create the file " + part;
        writeFailed = true;
        return false;
      }
      return true;
    };
    http::BodySink sink = [&](const char* data, size_t size) {
      if (maxBytes > 0 && size > maxBytes - std::min(have, maxBytes)) {
        tooLarge = true;
        return false;
      }
      file.write(data, static_cast<std::streamsize>(size));
      if (!file) {
        writeFailed = true;
        return false;
      }
      have += size;
      return true;
    };
    http::WorkEvent work = [&](std::uint64_t, const http::Response&) { return bar.Work(have, total); };

    ++result.attempts;
    http::Result got = client.Get(address, sink, work, request);
    result.received += got.received;
    if (file.is_open()) {
      file.close();
      if (!file) writeFailed = true;
    }
    if (tooLarge)
      return fail("the answer is larger than " + std::to_string(maxBytes) + " bytes, the most this file may have");
    if (writeFailed) return fail(refusal.empty() ? "the file " + finalPath + " could not be written" : refusal);
    if (got.ok && (total == 0 || have == total)) break;
    if (got.ok) got.error = "the file has " + std::to_string(have) + " of " + std::to_string(total) + " bytes";
    // A range the server cannot satisfy (its file is shorter now) is asked for whole.
    if (resuming && got.response.status == 416) refusal = got.error;
    if (!refusal.empty()) got.error = refusal;
    if (Stopping(progress)) return fail(got.error);
    // A piece that does not fit is asked for again from the beginning.
    bool transient = IsTransientFailure(got) || !refusal.empty();
    if (!refusal.empty()) {
      have = 0;
      validator.clear();
    }
    if (!transient || retry >= schedule.pauses.size()) return fail(got.error);
    auto pause = PauseBeforeRetry(schedule, retry, got);
    bool resumable = have > 0 && !validator.empty();
    InstallLog().Add("Download of " + address + " failed (" + got.error + "); attempt " + std::to_string(retry + 2) +
                     " of " + std::to_string(schedule.pauses.size() + 1) + " in " +
                     std::to_string((pause.count() + 999) / 1000) + " s, " +
                     (resumable ? "from byte " + std::to_string(have) : std::string("from the beginning")));
    bool waited = schedule.wait ? schedule.wait(pause, progress) : WaitBeforeRetry(pause, progress);
    if (!waited || Stopping(progress)) return fail("the download was stopped while waiting to try again");
  }

  fs::rename(partPath, platform::PathFromUtf8(finalPath), ec);
  if (ec) return fail("the file " + finalPath + " could not be written (" + ec.message() + ")");
  result.ok = true;
  result.size = have;
  if (result.attempts > 1)
    InstallLog().Add("Downloaded " + address + ": " + std::to_string(have) + " bytes in " +
                     std::to_string(result.attempts) + " attempts, " + std::to_string(result.received) +
                     " bytes received");
  return result;
}
