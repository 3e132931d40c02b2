// The native build's HTTP client, over libcurl's multi interface so that the work event keeps
// coming while a connection is idle and a stop closes even a stalled transfer.
#include <curl/curl.h>

#include <chrono>
#include <mutex>

#include "platform/HttpClient.h"

namespace http {

namespace {

void GlobalInit() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

struct Transfer {
  const BodySink* sink = nullptr;
  const WorkEvent* work = nullptr;
  const HeadersEvent* onHeaders = nullptr;
  bool stopped = false;
  bool refused = false;  // the headers event declined the answer
  std::chrono::steady_clock::time_point lastWork;
  std::string headerBlock;
  Response response;
  bool headersDone = false;
  bool sinkFailed = false;
  std::string malformed;  // why the headers cannot be trusted, once they are complete
  std::uint64_t received = 0;
};

size_t OnHeader(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  size_t n = size * count;
  std::string_view line(data, n);
  t->headerBlock.append(line);
  if (line == "\r\n" || line == "\n") {
    ParseHeaderBlock(t->headerBlock, t->response);
    // An interim 1xx answer is followed by the real one.
    if (t->response.status >= 200) {
      t->headersDone = true;
      t->malformed = MalformedHeadersError(t->response);
      if (t->malformed.empty() && StatusError(t->response).empty() && t->onHeaders && *t->onHeaders &&
          !(*t->onHeaders)(t->response)) {
        t->refused = true;
        return 0;
      }
    }
  }
  return n;
}

size_t OnBody(char* data, size_t size, size_t count, void* user) {
  auto* t = static_cast<Transfer*>(user);
  size_t n = size * count;
  if (!StatusError(t->response).empty()) {
    // The body of an error or redirect answer never reaches the file.
    return 0;
  }
  if (n == 0 || !t->malformed.empty()) return 0;
  if (t->sink && *t->sink && !(*t->sink)(data, n)) {
    t->sinkFailed = true;
    return 0;
  }
  t->received += n;
  // The work event comes with the data; the transfer loop adds it while the line is idle.
  if (t->work && *t->work) {
    t->lastWork = std::chrono::steady_clock::now();
    if (!(*t->work)(t->received, t->response)) {
      t->stopped = true;
      return 0;
    }
  }
  return n;
}

std::string CurlText(CURLcode code, const char* errorText) {
  return errorText[0] ? std::string(errorText) : std::string(curl_easy_strerror(code));
}

class CurlHttpClient final : public HttpClient {
 public:
  explicit CurlHttpClient(Options options) : FOptions(std::move(options)) { GlobalInit(); }

  Result Head(const std::string& url) override { return Perform(url, true, nullptr, nullptr, {}); }

  Result Get(const std::string& url, const BodySink& sink, const WorkEvent& work,
             const GetRequest& request) override {
    return Perform(url, false, &sink, &work, request);
  }

 private:
  Result Perform(const std::string& url, bool head, const BodySink* sink, const WorkEvent* work,
                 const GetRequest& request) {
    Result result;
    Transfer t;
    t.sink = sink;
    t.work = work;
    t.onHeaders = &request.onHeaders;
    CURL* easy = curl_easy_init();
    CURLM* multi = curl_multi_init();
    if (!easy || !multi) {
      if (easy) curl_easy_cleanup(easy);
      if (multi) curl_multi_cleanup(multi);
      result.error = "the HTTP client cannot be created";
      return result;
    }
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(easy, CURLOPT_URL, url.c_str());
    curl_easy_setopt(easy, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(easy, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(easy, CURLOPT_FOLLOWLOCATION, 0L);
    curl_easy_setopt(easy, CURLOPT_PROXY, "");  // no proxy, not even one named by the environment
    curl_easy_setopt(easy, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(FOptions.connectTimeoutMs));
    curl_easy_setopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(easy, CURLOPT_BUFFERSIZE, 256L * 1024L);
    if (!FOptions.caFile.empty()) curl_easy_setopt(easy, CURLOPT_CAINFO, FOptions.caFile.c_str());
    curl_easy_setopt(easy, CURLOPT_HEADERFUNCTION, OnHeader);
    curl_easy_setopt(easy, CURLOPT_HEADERDATA, &t);
    curl_easy_setopt(easy, CURLOPT_WRITEFUNCTION, OnBody);
    curl_easy_setopt(easy, CURLOPT_WRITEDATA, &t);
    if (head) curl_easy_setopt(easy, CURLOPT_NOBODY, 1L);
    // A resumed download's two headers, as lines of their own: libcurl's own resume would refuse
    // the whole body a server sends when its file changed, which is exactly what is wanted then.
    struct curl_slist* headers = nullptr;
    std::string lines = RequestHeaderLines(request);
    for (size_t pos = 0; pos < lines.size();) {
      size_t end = lines.find("\r\n", pos);
      headers = curl_slist_append(headers, lines.substr(pos, end - pos).c_str());
      pos = end + 2;
    }
    if (headers) curl_easy_setopt(easy, CURLOPT_HTTPHEADER, headers);
    curl_multi_add_handle(multi, easy);

    using clock = std::chrono::steady_clock;
    int running = 1;
    t.lastWork = clock::now();
    CURLcode code = CURLE_OK;
    while (true) {
      CURLMcode mc = curl_multi_perform(multi, &running);
      if (mc != CURLM_OK) {
        result.error = curl_multi_strerror(mc);
        break;
      }
      if (!running || t.stopped) break;
      if (work && *work && t.headersDone && StatusError(t.response).empty() &&
          clock::now() - t.lastWork >= std::chrono::milliseconds(200)) {
        t.lastWork = clock::now();
        if (!(*work)(t.received, t.response)) {
          t.stopped = true;
          break;
        }
      }
      curl_multi_poll(multi, nullptr, 0, 250, nullptr);
    }
    int pending = 0;
    while (CURLMsg* msg = curl_multi_info_read(multi, &pending))
      if (msg->msg == CURLMSG_DONE) code = msg->data.result;
    long requestSize = 0;  // bytes of the request sent: above 0 once a server was talking to us
    curl_easy_getinfo(easy, CURLINFO_REQUEST_SIZE, &requestSize);
    // Removing the handle mid-transfer closes the connection and drops what is buffered.
    curl_multi_remove_handle(multi, easy);
    curl_easy_cleanup(easy);
    curl_multi_cleanup(multi);
    curl_slist_free_all(headers);

    if (!t.headersDone && !t.headerBlock.empty()) ParseHeaderBlock(t.headerBlock, t.response);
    result.response = std::move(t.response);
    result.received = t.received;
    if (!result.error.empty()) return result;
    if (t.stopped) {
      result.error = "the transfer was stopped and the connection closed";
    } else if (!t.malformed.empty()) {
      result.error = t.malformed;
    } else if (t.sinkFailed) {
      result.error = "the received data could not be written";
    } else if (t.refused) {
      result.error = "the answer does not continue the file";
    } else if (std::string status = StatusError(result.response);
               result.response.status != 0 && !status.empty()) {
      result.error = status;
    } else if (!t.headerBlock.empty() && !t.headersDone) {
      // Some of a head, then the connection closed or a line libcurl refused: no answer to trust.
      std::string_view first = std::string_view(t.headerBlock).substr(0, t.headerBlock.find('\n'));
      if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
      if (!IsStatusLine(first))
        result.error = "the server's answer does not begin with a valid status line (\"" +
                       ServerTextForMessage(first) + "\")";
      else if (code == CURLE_WEIRD_SERVER_REPLY)
        result.error = "the server sent a header line that cannot be read (" + CurlText(code, errorText) + ")";
      else
        result.error = "the server's answer ended inside its headers";
    } else if (t.headerBlock.empty() && requestSize > 0 &&
               (code == CURLE_UNSUPPORTED_PROTOCOL || code == CURLE_WEIRD_SERVER_REPLY)) {
      // libcurl refused the first line of the answer before handing it over.
      result.error = "the server's answer does not begin with a valid status line (" + CurlText(code, errorText) + ")";
    } else if (code != CURLE_OK) {
      result.error = CurlText(code, errorText);
      result.connectionFailed = code == CURLE_COULDNT_CONNECT || code == CURLE_OPERATION_TIMEDOUT ||
                                code == CURLE_RECV_ERROR || code == CURLE_SEND_ERROR ||
                                code == CURLE_PARTIAL_FILE || code == CURLE_GOT_NOTHING;
    } else if (t.headerBlock.empty()) {
      result.error = "the server sent no answer";
      result.connectionFailed = true;
    } else if (!head && !result.response.Chunked() && result.response.ContentLength() > 0 &&
               t.received != result.response.ContentLength()) {
      result.error = "the connection closed after " + std::to_string(t.received) + " of " +
                     std::to_string(result.response.ContentLength()) + " bytes";
      result.connectionFailed = true;
    } else {
      result.ok = true;
    }
    return result;
  }

  Options FOptions;
};

}  // namespace

std::unique_ptr<HttpClient> CreateHttpClient(const Options& options) {
  return std::make_unique<CurlHttpClient>(options);
}

}  // namespace http
