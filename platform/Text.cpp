#include "platform/Text.h"

#include <cctype>

namespace platform {

std::u16string Utf16FromUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    char32_t cp;
    size_t len;
    if (c < 0x80) { cp = c; len = 1; }
    else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; len = 2; }
    else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; len = 3; }
    else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; len = 4; }
    else { out.push_back(u'\uFFFD'); ++i; continue; }
    if (i + len > s.size()) { out.push_back(u'\uFFFD'); break; }
    bool ok = true;
    for (size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) { ok = false; break; }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) { out.push_back(u'\uFFFD'); ++i; continue; }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

std::string Utf8FromUtf16(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp < 0xE000) {
      cp = 0xFFFD;
    }
    AppendUtf8(out, cp);
  }
  return out;
}

std::string UpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

std::string LowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

bool SameTextAscii(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

namespace {
// Case pairs of the Latin-1 Supplement and Latin Extended-A blocks, which hold every
// letter of the four interface languages.
char16_t UpperUnit(char16_t c) {
  if (c >= u'a' && c <= u'z') return static_cast<char16_t>(c - 32);
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return static_cast<char16_t>(c - 32);
  if (c >= 0x100 && c <= 0x137 && (c & 1)) return static_cast<char16_t>(c - 1);
  if (c >= 0x139 && c <= 0x148 && !(c & 1)) return static_cast<char16_t>(c - 1);
  if (c >= 0x14A && c <= 0x177 && (c & 1)) return static_cast<char16_t>(c - 1);
  if (c == 0x17A || c == 0x17C || c == 0x17E) return static_cast<char16_t>(c - 1);
  return c;
}
char16_t LowerUnit(char16_t c) {
  if (c >= u'A' && c <= u'Z') return static_cast<char16_t>(c + 32);
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return static_cast<char16_t>(c + 32);
  if (c >= 0x100 && c <= 0x137 && !(c & 1)) return static_cast<char16_t>(c + 1);
  if (c >= 0x139 && c <= 0x148 && (c & 1)) return static_cast<char16_t>(c + 1);
  if (c >= 0x14A && c <= 0x177 && !(c & 1)) return static_cast<char16_t>(c + 1);
  if (c == 0x179 || c == 0x17B || c == 0x17D) return static_cast<char16_t>(c + 1);
  return c;
}
}  // namespace

std::string UpperText(std::string_view utf8) {
  std::u16string w = Utf16FromUtf8(utf8);
  for (char16_t& c : w) c = UpperUnit(c);
  return Utf8FromUtf16(w);
}

std::string LowerText(std::string_view utf8) {
  std::u16string w = Utf16FromUtf8(utf8);
  for (char16_t& c : w) c = LowerUnit(c);
  return Utf8FromUtf16(w);
}

std::string Trim(std::string_view text) {
  // Like the platform's Trim: everything at or below a space is trimmed at both ends.
  size_t b = 0, e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) <= ' ') ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) <= ' ') --e;
  return std::string(text.substr(b, e - b));
}

}  // namespace platform
