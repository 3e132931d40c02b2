#pragma once
// The installer's one door to HTTP and HTTPS: HEAD, and a GET that streams the body to a sink.
// WinHTTP behind it in the Windows builds, libcurl in the native build. Both behave the same:
// HTTP/1.1, TLS from the platform, a connect time-out and no read time-out, no proxy, no
// redirects (a 3xx answer is an error), no request headers of our own except the two of a resumed
// download (Range and If-Range), and every failure returned as a value with a text the log and
// the user can read.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace http {

struct Response {
  int status = 0;              // 200, 404, ...; 0 when no answer arrived
  std::string statusLine;      // "HTTP/1.1 404 Not Found", for messages
  std::vector<std::pair<std::string, std::string>> headers;  // in arrival order, names as sent

  // The first header of that name (compared ignoring case); empty when absent.
  std::string Header(std::string_view name) const;
  // Content-Length as a 64-bit count; 0 when absent or unreadable.
  std::uint64_t ContentLength() const;
  // Transfer-Encoding names "chunked": no length is known in advance.
  bool Chunked() const;
};

struct Result {
  bool ok = false;
  std::string error;  // readable text when !ok
  Response response;  // what arrived, also on failure
  std::uint64_t received = 0;  // body bytes handed to the sink
  // The failure came from the line, not from the answer: a connection refused, reset or closed
  // before the whole body, or a time-out. Trying again may succeed.
  bool connectionFailed = false;
};

// Takes the body as it arrives; returns false when it cannot store it (the transfer then fails).
using BodySink = std::function<bool(const char* data, std::size_t size)>;

// The work event: raised repeatedly while the body arrives, and several times a second
// while a connection is idle, with the bytes received so far and the response headers. Returning
// false closes the connection; the request then ends with an error.
using WorkEvent = std::function<bool(std::uint64_t receivedSoFar, const Response& response)>;

// Called once when the headers of a 2xx answer have arrived and were found usable, before the
// first byte of the body; returning false ends the request with an error.
using HeadersEvent = std::function<bool(const Response& response)>;

// What a GET asks beyond the plain request: the rest of a body from a byte on (Range: bytes=N-),
// and the validator of the copy already held (If-Range), so that a server whose file changed
// answers with the whole new body instead of a piece of it.
struct GetRequest {
  std::uint64_t rangeFrom = 0;  // 0: the whole body, no Range header
  std::string ifRange;          // sent only with a range
  HeadersEvent onHeaders;
};

struct Options {
  int connectTimeoutMs = 30000;
  // A PEM file of extra certificate authorities to trust instead of the system's (tests only;
  // the Windows builds trust the system store and ignore it).
  std::string caFile;
};

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  virtual Result Head(const std::string& url) = 0;
  virtual Result Get(const std::string& url, const BodySink& sink, const WorkEvent& work,
                     const GetRequest& request = {}) = 0;
};

// The client of this platform.
std::unique_ptr<HttpClient> CreateHttpClient(const Options& options = {});

// Options every client made by the program starts from; tests point caFile at their own CA.
Options& DefaultOptions();

// Helpers shared by the two clients.
// Whether a line is an HTTP/1.x status line: "HTTP/" digit "." digit, a space, a three-digit code,
// then nothing or a space and the reason text.
bool IsStatusLine(std::string_view line);
// The error for a response head as the system's HTTP library hands it back (each line ended by a
// line break, the empty line that ends the headers last): one that does not begin with a status
// line, that ends before that empty line (the answer was cut inside its headers), or whose last
// line was not taken as a header (the library stopped at a line it could not read and would hand
// the rest over as the body). Empty when the head is whole.
std::string ResponseHeadError(std::string_view head);
// A text the server sent, made fit for a message: control characters as '?', at most 80 characters.
std::string ServerTextForMessage(std::string_view text);
// Splits a raw header block ("HTTP/1.1 200 OK\r\nName: value\r\n...") into a Response. When the
// block holds several responses (100 Continue before the real one), the last one counts.
void ParseHeaderBlock(std::string_view block, Response& response);
// The request header lines of a GET (each ended by CRLF; empty for a plain request).
std::string RequestHeaderLines(const GetRequest& request);
// The error for a status the installer does not accept (3xx and 4xx/5xx); empty for 2xx.
std::string StatusError(const Response& response);
// The error for headers no download can be trusted with: a Content-Length that is not a decimal
// number of at most 64 bits (hexadecimal, signed, 2^64 or more), or several that disagree. Empty
// when the headers are usable. A body read with such a length could end anywhere.
std::string MalformedHeadersError(const Response& response);

}  // namespace http
