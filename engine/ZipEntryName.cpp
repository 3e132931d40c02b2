#include "engine/ZipEntryName.h"

#include <algorithm>

#include "platform/Text.h"

namespace engine {

namespace {
std::string Replace(std::string text, char from, char to) {
  std::replace(text.begin(), text.end(), from, to);
  return text;
}

bool IsAscii(std::string_view text) {
  return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// '*' any run of characters, '?' one character; the text and pattern are already upper case.
bool Wildcard(std::string_view text, std::string_view pattern) {
  size_t t = 0, p = 0, starP = std::string_view::npos, starT = 0;
  while (t < text.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || pattern[p] == text[t])) {
      ++t;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starT = t;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      t = ++starT;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}
}  // namespace

bool IsReservedDeviceName(std::string_view component) {
  std::string base = platform::UpperAscii(component.substr(0, component.find('.')));
  while (!base.empty() && base.back() == ' ') base.pop_back();
  static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
  for (const char* n : kNames)
    if (base == n) return true;
  if (base.compare(0, 3, "COM") != 0 && base.compare(0, 3, "LPT") != 0) return false;
  std::string_view digit = std::string_view(base).substr(3);
  // COM0-COM9 and LPT0-LPT9, and Windows also takes the superscript digits 1, 2 and 3 for them.
  if (digit.size() == 1) return digit[0] >= '0' && digit[0] <= '9';
  return digit == "\xC2\xB9" || digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

std::string EntryNameFromStored(std::string_view stored, bool utf8Flag) {
  std::string utf8 = utf8Flag || IsAscii(stored) ? std::string(stored) : platform::Utf8FromOem(stored);
  return Replace(std::move(utf8), '/', '\\');
}

std::string StoredFromEntryName(std::string_view name, bool& utf8Flag) {
  std::string slashed = Replace(std::string(name), '\\', '/');
  utf8Flag = false;
  if (IsAscii(slashed)) return slashed;
  std::string oem = platform::OemFromUtf8(slashed);
  if (platform::Utf8FromOem(oem) == slashed) return oem;
  utf8Flag = true;
  return slashed;
}

std::optional<std::vector<std::string>> SafeEntryComponents(std::string_view name) {
  std::vector<std::string> parts;
  if (!UnsafeEntryNameReason(name, &parts).empty()) return std::nullopt;
  return parts;
}

std::string UnsafeEntryNameReason(std::string_view name, std::vector<std::string>* components) {
  std::string path = Replace(std::string(name), '\\', '/');
  if (path.empty()) return "has an empty name";
  if (path.front() == '/') return "has an absolute path";
  if (path.size() >= 2 && path[1] == ':') return "names a drive";
  if (path.find(':') != std::string::npos) return "has a colon in its name (an alternate data stream)";
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= path.size()) {
    size_t end = path.find('/', start);
    if (end == std::string::npos) end = path.size();
    std::string part = path.substr(start, end - start);
    start = end + 1;
    if (part.empty() || part == ".") continue;
    if (part.find_first_not_of(". ") == std::string::npos) return "climbs out of its folder with \"" + part + "\"";
    if (part.find('\0') != std::string::npos) return "has a zero byte in its name";
    if (IsReservedDeviceName(part)) return "is named after the Windows device \"" + part + "\"";
    parts.push_back(std::move(part));
  }
  if (parts.empty()) return "names no file or folder";
  if (components) *components = std::move(parts);
  return {};
}

bool EntryMatchesMask(std::string_view entryName, std::string_view mask) {
  std::string m = Replace(std::string(mask), '/', '\\');
  if (m.empty()) return false;
  if (m == "*" || m == "*.*") return true;
  std::string name = Replace(std::string(entryName), '/', '\\');
  while (!name.empty() && name.back() == '\\') name.pop_back();
  if (m.find('\\') == std::string::npos) {
    size_t slash = name.rfind('\\');
    if (slash != std::string::npos) name.erase(0, slash + 1);
  }
  return Wildcard(platform::UpperText(name), platform::UpperText(m));
}

}  // namespace engine
