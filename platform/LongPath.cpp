#include "platform/LongPath.h"

#include <vector>

namespace platform {

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

bool IsDriveLetter(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }

// Splits the rest of a path into its names and resolves them as Windows does for an ordinary
// path. names may already hold the share's server and share name, which ".." never removes.
void AppendNames(std::string_view rest, std::vector<std::string>& names, std::size_t keep) {
  std::size_t start = 0;
  while (start <= rest.size()) {
    std::size_t end = start;
    while (end < rest.size() && !IsSeparator(rest[end])) ++end;
    std::string name(rest.substr(start, end - start));
    if (name == "..") {
      if (names.size() > keep) names.pop_back();
    } else if (!name.empty() && name != ".") {
      while (!name.empty() && (name.back() == '.' || name.back() == ' ')) name.pop_back();
      if (!name.empty()) names.push_back(std::move(name));
    }
    start = end + 1;
  }
}

std::string Joined(std::string head, const std::vector<std::string>& names, std::size_t from) {
  for (std::size_t i = from; i < names.size(); ++i) {
    if (!head.empty() && head.back() != '\\') head.push_back('\\');
    head += names[i];
  }
  return head;
}

}  // namespace

std::size_t Utf16Length(std::string_view utf8) {
  std::size_t n = 0;
  for (unsigned char c : utf8) {
    if ((c & 0xC0) != 0x80) ++n;  // every character starts once
    if (c >= 0xF0) ++n;           // four-byte sequences are surrogate pairs
  }
  return n;
}

std::string ExtendedLengthPath(std::string_view path) {
  if (Utf16Length(path) <= kClassicPathLimit) return std::string(path);
  bool drive = path.size() >= 3 && IsDriveLetter(path[0]) && path[1] == ':' && IsSeparator(path[2]);
  bool unc = path.size() >= 3 && IsSeparator(path[0]) && IsSeparator(path[1]) && path[2] != '?' && path[2] != '.' &&
             !IsSeparator(path[2]);
  if (drive) {
    std::vector<std::string> names;
    AppendNames(path.substr(3), names, 0);
    std::string out = Joined(std::string("\\\\?\\") + path[0] + ":\\", names, 0);
    if (IsSeparator(path.back()) && out.back() != '\\') out.push_back('\\');
    return out;
  }
  if (unc) {
    std::vector<std::string> names;
    std::string_view rest = path.substr(2);
    // The server and the share are the root of a network path.
    std::size_t server = 0;
    while (server < rest.size() && !IsSeparator(rest[server])) ++server;
    std::size_t share = server + 1;
    while (share < rest.size() && !IsSeparator(rest[share])) ++share;
    if (server == 0 || share > rest.size() || share == server + 1) return std::string(path);
    names.emplace_back(rest.substr(0, server));
    names.emplace_back(rest.substr(server + 1, share - server - 1));
    if (share < rest.size()) AppendNames(rest.substr(share + 1), names, 2);
    std::string out = Joined("\\\\?\\UNC", names, 0);
    if (IsSeparator(path.back()) && out.back() != '\\') out.push_back('\\');
    return out;
  }
  return std::string(path);
}

std::string WithoutExtendedLengthPrefix(std::string_view path) {
  if (path.substr(0, 8) == "\\\\?\\UNC\\") return "\\\\" + std::string(path.substr(8));
  if (path.substr(0, 4) == "\\\\?\\" && path.size() >= 6 && IsDriveLetter(path[4]) && path[5] == ':')
    return std::string(path.substr(4));
  return std::string(path);
}

}  // namespace platform
