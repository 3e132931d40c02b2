// The Windows builds' HTTP client: WinHTTP in asynchronous mode, so that the work event keeps
// coming while a connection is idle and a stop can close even a stalled transfer. TLS is the
// system's (Schannel) with its certificate store.
#include <windows.h>
#include <winhttp.h>

#include <atomic>
#include <string>
#include <vector>

#include "platform/HttpClient.h"
#include "platform/win32/Wide.h"

namespace http {

namespace {

using platform::win32::Utf8;
using platform::win32::Wide;

constexpr DWORD kBufferSize = 256 * 1024;
constexpr DWORD kIdleTickMs = 200;

std::string ErrorText(DWORD code) {
  struct Known {
    DWORD code;
    const char* text;
  };
  static const Known known[] = {
      {ERROR_WINHTTP_TIMEOUT, "the operation timed out"},
      {ERROR_WINHTTP_NAME_NOT_RESOLVED, "the server name could not be resolved"},
      {ERROR_WINHTTP_CANNOT_CONNECT, "a connection with the server could not be established"},
      {ERROR_WINHTTP_CONNECTION_ERROR, "the connection with the server was reset or closed"},
      {ERROR_WINHTTP_INVALID_SERVER_RESPONSE, "the server response could not be read"},
      {ERROR_WINHTTP_OPERATION_CANCELLED, "the operation was cancelled"},
      {ERROR_WINHTTP_SECURE_FAILURE, "the server's certificate is not valid"},
      {ERROR_WINHTTP_SECURE_CHANNEL_ERROR, "a secure connection could not be established"},
      {ERROR_WINHTTP_SECURE_INVALID_CA, "the server's certificate comes from an untrusted authority"},
      {ERROR_WINHTTP_SECURE_CERT_CN_INVALID, "the server's certificate names another server"},
      {ERROR_WINHTTP_SECURE_CERT_DATE_INVALID, "the server's certificate has expired or is not yet valid"},
      {ERROR_WINHTTP_UNRECOGNIZED_SCHEME, "the address is not an http or https address"},
      {ERROR_WINHTTP_INVALID_URL, "the address is not valid"},
  };
  std::string text;
  for (const Known& k : known)
    if (k.code == code) text = k.text;
  if (text.empty()) {
    wchar_t* buffer = nullptr;
    DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    HMODULE module = GetModuleHandleW(L"winhttp.dll");
    if (module) flags |= FORMAT_MESSAGE_FROM_HMODULE;
    DWORD n = FormatMessageW(flags, module, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    if (n && buffer) {
      text = Utf8(std::wstring_view(buffer, n));
      while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
    }
    if (buffer) LocalFree(buffer);
  }
  if (text.empty()) text = "network error";
  return text + " (WinHTTP error " + std::to_string(code) + ")";
}

// Failures of the line, which another attempt may not meet: refused, reset or closed, timed out.
// A connection closed before any answer is reported as an answer that cannot be read (the same
// code as a garbled head, which trying again does no harm to).
bool IsLineFailure(DWORD code) {
  return code == ERROR_WINHTTP_CANNOT_CONNECT || code == ERROR_WINHTTP_CONNECTION_ERROR ||
         code == ERROR_WINHTTP_TIMEOUT || code == ERROR_WINHTTP_INVALID_SERVER_RESPONSE;
}

// Shared between the caller and WinHTTP's callback thread. The request's last notification
// (handle closing) and the caller each drop one reference; the buffer lives until both did.
struct Context {
  HANDLE signal = CreateEventW(nullptr, FALSE, FALSE, nullptr);
  std::atomic<int> refs{2};
  DWORD completed = 0;  // the notification that signalled
  DWORD bytes = 0;      // bytes available, or bytes of a completed read
  DWORD error = 0;      // error of a failed asynchronous call
  std::vector<char> buffer = std::vector<char>(kBufferSize);

  void Release() {
    if (--refs == 0) {
      CloseHandle(signal);
      delete this;
    }
  }
};

void CALLBACK OnStatus(HINTERNET, DWORD_PTR context, DWORD status, LPVOID info, DWORD length) {
  auto* c = reinterpret_cast<Context*>(context);
  if (!c) return;
  switch (status) {
    case WINHTTP_CALLBACK_STATUS_SENDREQUEST_COMPLETE:
    case WINHTTP_CALLBACK_STATUS_HEADERS_AVAILABLE:
      c->completed = status;
      SetEvent(c->signal);
      break;
    case WINHTTP_CALLBACK_STATUS_DATA_AVAILABLE:
      c->completed = status;
      c->bytes = *static_cast<DWORD*>(info);
      SetEvent(c->signal);
      break;
    case WINHTTP_CALLBACK_STATUS_READ_COMPLETE:
      c->completed = status;
      c->bytes = length;
      SetEvent(c->signal);
      break;
    case WINHTTP_CALLBACK_STATUS_REQUEST_ERROR:
      c->completed = status;
      c->error = static_cast<WINHTTP_ASYNC_RESULT*>(info)->dwError;
      SetEvent(c->signal);
      break;
    case WINHTTP_CALLBACK_STATUS_HANDLE_CLOSING:
      c->Release();
      break;
    default:
      break;
  }
}

struct Handle {
  HINTERNET h = nullptr;
  ~Handle() {
    if (h) WinHttpCloseHandle(h);
  }
};

class WinHttpClient final : public HttpClient {
 public:
  explicit WinHttpClient(Options options) : FOptions(std::move(options)) {}

  Result Head(const std::string& url) override { return Perform(url, true, nullptr, nullptr, {}); }
  Result Get(const std::string& url, const BodySink& sink, const WorkEvent& work,
             const GetRequest& request) override {
    return Perform(url, false, &sink, &work, request);
  }

 private:
  Result Perform(const std::string& url, bool head, const BodySink* sink, const WorkEvent* work,
                 const GetRequest& getRequest) {
    Result result;
    // The fragment is the browser's business, never sent.
    std::wstring wurl = Wide(url.substr(0, url.find('#')));
    URL_COMPONENTS parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(wurl.c_str(), 0, 0, &parts)) {
      result.error = ErrorText(GetLastError());
      return result;
    }
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
      result.error = ErrorText(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
      return result;
    }
    std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path(parts.lpszUrlPath, parts.dwUrlPathLength);
    path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    // No agent name: the installer sends no headers of its own. No proxy.
    Handle session{WinHttpOpen(nullptr, WINHTTP_ACCESS_TYPE_NO_PROXY, WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS,
                               WINHTTP_FLAG_ASYNC)};
    if (!session.h) {
      result.error = ErrorText(GetLastError());
      return result;
    }
    // A connect time-out; no receive time-out, so a slow server is waited for (a stop ends it).
    WinHttpSetTimeouts(session.h, 0, FOptions.connectTimeoutMs, 30000, 0);
    DWORD protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2 | WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_3;
    if (!WinHttpSetOption(session.h, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols)) {
      protocols = WINHTTP_FLAG_SECURE_PROTOCOL_TLS1_2;  // systems that do not know TLS 1.3
      WinHttpSetOption(session.h, WINHTTP_OPTION_SECURE_PROTOCOLS, &protocols, sizeof protocols);
    }
    Handle connection{WinHttpConnect(session.h, host.c_str(), parts.nPort, 0)};
    if (!connection.h) {
      result.error = ErrorText(GetLastError());
      return result;
    }
    HINTERNET request = WinHttpOpenRequest(connection.h, head ? L"HEAD" : L"GET", path.c_str(), nullptr,
                                           WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                                           parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (!request) {
      result.error = ErrorText(GetLastError());
      return result;
    }
    DWORD policy = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    WinHttpSetOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &policy, sizeof policy);

    auto* ctx = new Context;
    WinHttpSetStatusCallback(request, OnStatus,
                             WINHTTP_CALLBACK_FLAG_ALL_COMPLETIONS | WINHTTP_CALLBACK_FLAG_HANDLES, 0);
    DWORD_PTR ctxValue = reinterpret_cast<DWORD_PTR>(ctx);
    WinHttpSetOption(request, WINHTTP_OPTION_CONTEXT_VALUE, &ctxValue, sizeof ctxValue);

    bool headersDone = false;
    bool stopped = false;
    // Waits for the pending asynchronous call; while the line is idle after the headers, the work
    // event still comes, and a false from it stops the wait.
    auto wait = [&]() -> bool {
      while (true) {
        DWORD r = WaitForSingleObject(ctx->signal, kIdleTickMs);
        if (r == WAIT_OBJECT_0) break;
        if (headersDone && work && *work && !(*work)(result.received, result.response)) {
          stopped = true;
          return false;
        }
      }
      if (ctx->completed == WINHTTP_CALLBACK_STATUS_REQUEST_ERROR) {
        result.error = ErrorText(ctx->error);
        result.connectionFailed = IsLineFailure(ctx->error);
        return false;
      }
      return true;
    };
    auto fail = [&](DWORD code) {
      result.error = ErrorText(code);
      result.connectionFailed = IsLineFailure(code);
      return false;
    };

    [&] {
      std::wstring extra = Wide(RequestHeaderLines(getRequest));
      if (!WinHttpSendRequest(request, extra.empty() ? WINHTTP_NO_ADDITIONAL_HEADERS : extra.c_str(),
                              extra.empty() ? 0 : static_cast<DWORD>(-1L), WINHTTP_NO_REQUEST_DATA, 0, 0, ctxValue))
        return fail(GetLastError());
      if (!wait()) return false;
      if (!WinHttpReceiveResponse(request, nullptr)) return fail(GetLastError());
      if (!wait()) return false;
      DWORD size = 0;
      WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, nullptr, &size,
                          WINHTTP_NO_HEADER_INDEX);
      std::wstring raw(size / sizeof(wchar_t) + 1, L'\0');
      if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_RAW_HEADERS_CRLF, WINHTTP_HEADER_NAME_BY_INDEX, raw.data(),
                               &size, WINHTTP_NO_HEADER_INDEX))
        return fail(GetLastError());
      raw.resize(size / sizeof(wchar_t));
      std::string block = Utf8(raw);
      ParseHeaderBlock(block, result.response);
      headersDone = true;
      // A known status decides first, as with the native client. Then the head itself: WinHTTP on
      // Windows refuses an answer cut inside its headers, but wine's hands it over as a head
      // without its closing empty line, and at a header line it cannot read it stops and hands
      // the rest over as the body. The raw head tells either apart from a whole answer.
      std::string status = StatusError(result.response);
      if (result.response.status == 0 || status.empty())
        if (std::string malformed = ResponseHeadError(block); !malformed.empty()) status = malformed;
      if (!status.empty()) {
        result.error = status;
        return false;
      }
      if (std::string malformed = MalformedHeadersError(result.response); !malformed.empty()) {
        result.error = malformed;
        return false;
      }
      if (head) return true;
      if (getRequest.onHeaders && !getRequest.onHeaders(result.response)) {
        result.error = "the answer does not continue the file";
        return false;
      }
      while (true) {
        // Ask what has arrived, then read only that: a read larger than what is there may wait
        // for the rest (wine's does), and the idle work event would not come meanwhile.
        if (!WinHttpQueryDataAvailable(request, nullptr)) return fail(GetLastError());
        if (!wait()) return false;
        DWORD available = ctx->bytes;
        if (available == 0) break;
        if (!WinHttpReadData(request, ctx->buffer.data(), available < kBufferSize ? available : kBufferSize, nullptr))
          return fail(GetLastError());
        if (!wait()) return false;
        DWORD n = ctx->bytes;
        if (n == 0) break;
        if (sink && *sink && !(*sink)(ctx->buffer.data(), n)) {
          result.error = "the received data could not be written";
          return false;
        }
        result.received += n;
        if (work && *work && !(*work)(result.received, result.response)) {
          stopped = true;
          return false;
        }
      }
      std::uint64_t length = result.response.ContentLength();
      if (!result.response.Chunked() && length > 0 && result.received != length) {
        result.error = "the connection closed after " + std::to_string(result.received) + " of " +
                       std::to_string(length) + " bytes";
        result.connectionFailed = true;
        return false;
      }
      return true;
    }();
    if (stopped) result.error = "the transfer was stopped and the connection closed";
    result.ok = result.error.empty();

    // Closing cancels whatever is pending; the callback's last call releases its reference.
    // Closing cancels whatever is pending. A call still running inside WinHTTP (wine finishes a
    // pending wait for data only when the server sends or closes) keeps the context alive through
    // its own reference until the handle-closing notification; nobody waits for that here.
    WinHttpCloseHandle(request);
    ctx->Release();
    return result;
  }

  Options FOptions;
};

}  // namespace

std::unique_ptr<HttpClient> CreateHttpClient(const Options& options) {
  return std::make_unique<WinHttpClient>(options);
}

}  // namespace http
