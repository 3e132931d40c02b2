#pragma once
// One download into a file that appears only whole. The body is written under a name of its own
// (the file's name + ".part") while attempts run; a connection that breaks after bytes arrived
// is asked again from where it broke (Range, with If-Range carrying the first answer's ETag or
// Last-Modified), a server that answers with the whole body instead (its file changed, or it
// ignores ranges) starts the file over, and a transient failure is tried again after a pause
// (setup/DownloadRetry.h). Only a complete file of the announced length is renamed to the final
// name, so a file under that name is always a whole download; a failed download leaves nothing
// under either name.
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/Progress.h"
#include "platform/HttpClient.h"

// The name a download is written under until it is complete.
std::string PartialDownloadPath(const std::string& finalPath);

// Whether a 206 answer's Content-Range ("bytes FIRST-LAST/LENGTH") is the rest of a file from
// byte `from` to its end; `length` receives the whole length (0 when the server gives "*").
bool ContentRangeContinues(std::string_view contentRange, std::uint64_t from, std::uint64_t& length);

struct ResumableDownloadResult {
  bool ok = false;
  std::string error;           // the last attempt's failure, as the client told it
  int attempts = 0;            // GET requests made
  std::uint64_t received = 0;  // body bytes that came over the line, over all attempts
  std::uint64_t size = 0;      // the file's length on success
};

// With a progress sink the bar shows the percentage of the whole file, never moving back, pending
// input runs at each work event and during pauses, and a stop ends the download at once.
// maxBytes above 0 bounds the file's size.
ResumableDownloadResult DownloadToFile(http::HttpClient& client, const std::string& address,
                                       const std::string& finalPath, engine::ProgressSink* progress,
                                       std::uint64_t maxBytes);
