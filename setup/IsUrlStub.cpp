// Stand-in for the address check of the system utilities until they provide IsURL.
#include <regex>
#include <string>

#include "platform/Text.h"

bool IsURL(const std::string& text) {
  std::string t = text;
  for (char& c : t)
    if (c == '\\') c = '/';
  t = platform::LowerAscii(t);
  static const std::regex pattern(
      R"(^(http|https|ftp)\://([a-zA-Z0-9\-\.]+\.[a-zA-Z]{2,3}|localhost|[0-9]{1,3}(\.[0-9]{1,3}){3})(:[a-zA-Z0-9]*)?/?([a-zA-Z0-9\-\._\?\,'/\\\+&%\$#\=~])*[^\.\,\)\(\s]$)",
      std::regex::icase);
  return std::regex_match(t, pattern);
}
