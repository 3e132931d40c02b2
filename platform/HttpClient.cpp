#include "platform/HttpClient.h"

#include <charconv>

#include "platform/Text.h"

namespace http {

std::string Response::Header(std::string_view name) const {
  for (const auto& [n, v] : headers)
    if (platform::SameTextAscii(n, name)) return v;
  return {};
}

std::uint64_t Response::ContentLength() const {
  std::string text = platform::Trim(Header("Content-Length"));
  std::uint64_t n = 0;
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (ec != std::errc() || end != text.data() + text.size()) return 0;
  return n;
}

bool Response::Chunked() const {
  return platform::LowerAscii(Header("Transfer-Encoding")).find("chunked") != std::string::npos;
}

void ParseHeaderBlock(std::string_view block, Response& response) {
  size_t pos = 0;
  while (pos < block.size()) {
    size_t eol = block.find('\n', pos);
    if (eol == std::string_view::npos) eol = block.size();
    std::string_view line = block.substr(pos, eol - pos);
    pos = eol + 1;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    if (line.substr(0, 5) == "HTTP/") {
      // A new response begins (an interim 1xx answer may come first): start over.
      response.headers.clear();
      response.statusLine = std::string(line);
      response.status = 0;
      size_t sp = line.find(' ');
      if (sp != std::string_view::npos) {
        std::string_view code = line.substr(sp + 1, 3);
        int status = 0;
        auto [end, ec] = std::from_chars(code.data(), code.data() + code.size(), status);
        if (ec == std::errc() && end == code.data() + code.size()) response.status = status;
      }
      continue;
    }
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    response.headers.emplace_back(platform::Trim(line.substr(0, colon)), platform::Trim(line.substr(colon + 1)));
  }
}

bool IsStatusLine(std::string_view line) {
  auto digit = [&](size_t i) { return i < line.size() && line[i] >= '0' && line[i] <= '9'; };
  if (line.substr(0, 5) != "HTTP/" || !digit(5) || line.size() < 7 || line[6] != '.' || !digit(7)) return false;
  if (line.size() < 9 || line[8] != ' ' || !digit(9) || !digit(10) || !digit(11)) return false;
  return line.size() == 12 || line[12] == ' ';
}

std::string ServerTextForMessage(std::string_view text) {
  constexpr size_t kLimit = 80;
  std::string shown;
  for (char c : text.substr(0, kLimit)) {
    unsigned char u = static_cast<unsigned char>(c);
    shown += (u < 0x20 || u == 0x7f) ? '?' : c;
  }
  if (text.size() > kLimit) shown += "...";
  return shown;
}

std::string ResponseHeadError(std::string_view head) {
  size_t eol = head.find('\n');
  std::string_view first = head.substr(0, eol);
  if (!first.empty() && first.back() == '\r') first.remove_suffix(1);
  if (!IsStatusLine(first))
    return "the server's answer does not begin with a valid status line (\"" + ServerTextForMessage(first) + "\")";
  // The end: a line break, then the empty line.
  std::string_view rest = head;
  auto dropLineBreak = [&rest] {
    if (rest.empty() || rest.back() != '\n') return false;
    rest.remove_suffix(1);
    if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
    return true;
  };
  if (!dropLineBreak()) {
    size_t start = head.rfind('\n');
    std::string_view last = start == std::string_view::npos ? head : head.substr(start + 1);
    return "the server sent a header line that cannot be read (\"" + ServerTextForMessage(last) + "\")";
  }
  if (!dropLineBreak()) return "the server's answer ended inside its headers";
  return {};
}

std::string StatusError(const Response& response) {
  if (response.status >= 200 && response.status < 300) return {};
  std::string line = response.statusLine.empty() ? "HTTP status " + std::to_string(response.status)
                                                 : response.statusLine;
  if (response.status >= 300 && response.status < 400) {
    std::string location = response.Header("Location");
    return line + " (redirects are not followed" + (location.empty() ? "" : ": " + location) + ")";
  }
  return line;
}

std::string MalformedHeadersError(const Response& response) {
  std::string first;
  bool seen = false;
  for (const auto& [name, value] : response.headers) {
    if (!platform::SameTextAscii(name, "Content-Length")) continue;
    std::string text = platform::Trim(value);
    std::uint64_t n = 0;
    auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), n);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() || text[0] == '-' || text[0] == '+')
      return "the server sent an invalid Content-Length \"" + text + "\"";
    if (seen && text != first) return "the server sent two different lengths (" + first + " and " + text + ")";
    first = text;
    seen = true;
  }
  return {};
}

std::string RequestHeaderLines(const GetRequest& request) {
  if (request.rangeFrom == 0) return {};
  std::string lines = "Range: bytes=" + std::to_string(request.rangeFrom) + "-\r\n";
  if (!request.ifRange.empty()) lines += "If-Range: " + request.ifRange + "\r\n";
  return lines;
}

Options& DefaultOptions() {
  static Options options;
  return options;
}

}  // namespace http
