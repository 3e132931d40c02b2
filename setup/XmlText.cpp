#include "setup/XmlText.h"

#include <cstdint>

#include "platform/Text.h"

namespace {

// Unicode of the bytes 0x80..0xFF. Bytes a code page leaves undefined map to the C1 control
// of the same number, as the Windows conversion does.
const char16_t kWindows1250[128] = {
    0x20AC, 0x0081, 0x201A, 0x0083, 0x201E, 0x2026, 0x2020, 0x2021,
    0x0088, 0x2030, 0x0160, 0x2039, 0x015A, 0x0164, 0x017D, 0x0179,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x0098, 0x2122, 0x0161, 0x203A, 0x015B, 0x0165, 0x017E, 0x017A,
    0x00A0, 0x02C7, 0x02D8, 0x0141, 0x00A4, 0x0104, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x015E, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x017B,
    0x00B0, 0x00B1, 0x02DB, 0x0142, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x0105, 0x015F, 0x00BB, 0x013D, 0x02DD, 0x013E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

const char16_t kWindows1252[128] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
    0x00A0, 0x00A1, 0x00A2, 0x00A3, 0x00A4, 0x00A5, 0x00A6, 0x00A7,
    0x00A8, 0x00A9, 0x00AA, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x00AF,
    0x00B0, 0x00B1, 0x00B2, 0x00B3, 0x00B4, 0x00B5, 0x00B6, 0x00B7,
    0x00B8, 0x00B9, 0x00BA, 0x00BB, 0x00BC, 0x00BD, 0x00BE, 0x00BF,
    0x00C0, 0x00C1, 0x00C2, 0x00C3, 0x00C4, 0x00C5, 0x00C6, 0x00C7,
    0x00C8, 0x00C9, 0x00CA, 0x00CB, 0x00CC, 0x00CD, 0x00CE, 0x00CF,
    0x00D0, 0x00D1, 0x00D2, 0x00D3, 0x00D4, 0x00D5, 0x00D6, 0x00D7,
    0x00D8, 0x00D9, 0x00DA, 0x00DB, 0x00DC, 0x00DD, 0x00DE, 0x00DF,
    0x00E0, 0x00E1, 0x00E2, 0x00E3, 0x00E4, 0x00E5, 0x00E6, 0x00E7,
    0x00E8, 0x00E9, 0x00EA, 0x00EB, 0x00EC, 0x00ED, 0x00EE, 0x00EF,
    0x00F0, 0x00F1, 0x00F2, 0x00F3, 0x00F4, 0x00F5, 0x00F6, 0x00F7,
    0x00F8, 0x00F9, 0x00FA, 0x00FB, 0x00FC, 0x00FD, 0x00FE, 0x00FF,
};

const char16_t kIso8859_2[128] = {
    0x0080, 0x0081, 0x0082, 0x0083, 0x0084, 0x0085, 0x0086, 0x0087,
    0x0088, 0x0089, 0x008A, 0x008B, 0x008C, 0x008D, 0x008E, 0x008F,
    0x0090, 0x0091, 0x0092, 0x0093, 0x0094, 0x0095, 0x0096, 0x0097,
    0x0098, 0x0099, 0x009A, 0x009B, 0x009C, 0x009D, 0x009E, 0x009F,
    0x00A0, 0x0104, 0x02D8, 0x0141, 0x00A4, 0x013D, 0x015A, 0x00A7,
    0x00A8, 0x0160, 0x015E, 0x0164, 0x0179, 0x00AD, 0x017D, 0x017B,
    0x00B0, 0x0105, 0x02DB, 0x0142, 0x00B4, 0x013E, 0x015B, 0x02C7,
    0x00B8, 0x0161, 0x015F, 0x0165, 0x017A, 0x02DD, 0x017E, 0x017C,
    0x0154, 0x00C1, 0x00C2, 0x0102, 0x00C4, 0x0139, 0x0106, 0x00C7,
    0x010C, 0x00C9, 0x0118, 0x00CB, 0x011A, 0x00CD, 0x00CE, 0x010E,
    0x0110, 0x0143, 0x0147, 0x00D3, 0x00D4, 0x0150, 0x00D6, 0x00D7,
    0x0158, 0x016E, 0x00DA, 0x0170, 0x00DC, 0x00DD, 0x0162, 0x00DF,
    0x0155, 0x00E1, 0x00E2, 0x0103, 0x00E4, 0x013A, 0x0107, 0x00E7,
    0x010D, 0x00E9, 0x0119, 0x00EB, 0x011B, 0x00ED, 0x00EE, 0x010F,
    0x0111, 0x0144, 0x0148, 0x00F3, 0x00F4, 0x0151, 0x00F6, 0x00F7,
    0x0159, 0x016F, 0x00FA, 0x0171, 0x00FC, 0x00FD, 0x0163, 0x02D9,
};

char16_t FromTableUnit(unsigned char b, const char16_t* table) {
  return b < 0x80 ? static_cast<char16_t>(b) : table ? table[b - 0x80] : static_cast<char16_t>(b);
}

// Straight to UTF-8 in a buffer of the exact size: a document near the size limit is held as
// its bytes and its converted text, nothing more.
std::string FromTable(std::string_view bytes, const char16_t* table) {
  size_t size = 0;
  for (char c : bytes) {
    char16_t u = FromTableUnit(static_cast<unsigned char>(c), table);
    size += u < 0x80 ? 1 : u < 0x800 ? 2 : 3;
  }
  std::string out;
  out.reserve(size);
  for (char c : bytes) platform::AppendUtf8(out, FromTableUnit(static_cast<unsigned char>(c), table));
  return out;
}

// UTF-16 or UTF-32 text (after its byte-order mark, if any) to UTF-8. A lone surrogate, a code
// point beyond U+10FFFF or a text that ends inside a character is refused like invalid UTF-8.
std::string FromWide(std::string_view bytes, size_t unit, bool bigEndian, size_t skipped) {
  auto at = [&](size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(bytes[i])); };
  auto read = [&](size_t i) {
    char32_t v = 0;
    for (size_t k = 0; k < unit; ++k) v |= at(i + k) << (8 * (bigEndian ? unit - 1 - k : k));
    return v;
  };
  auto invalid = [&](size_t i) {
    return std::runtime_error(std::string("The XML document is not valid ") + (unit == 2 ? "UTF-16" : "UTF-32") +
                              " (byte " + std::to_string(i + skipped) + ")");
  };
  if (bytes.size() % unit != 0) throw invalid(bytes.size() - bytes.size() % unit);
  std::string out;
  out.reserve(bytes.size() / unit * 3 / 2);
  for (size_t i = 0; i < bytes.size(); i += unit) {
    char32_t cp = read(i);
    if (unit == 2 && cp >= 0xD800 && cp < 0xDC00) {
      if (i + 2 >= bytes.size()) throw invalid(i);
      char32_t low = read(i + 2);
      if (low < 0xDC00 || low >= 0xE000) throw invalid(i);
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
      i += 2;
    } else if ((cp >= 0xD800 && cp < 0xE000) || cp > 0x10FFFF) {
      throw invalid(i);
    }
    platform::AppendUtf8(out, cp);
  }
  return out;
}

// Offset of the first byte that does not belong to a well-formed UTF-8 sequence, or npos.
size_t InvalidUtf8At(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    auto c = static_cast<unsigned char>(s[i]);
    size_t len;
    uint32_t cp;
    if (c < 0x80) { ++i; continue; }
    if (c >= 0xC2 && c <= 0xDF) { len = 2; cp = c & 0x1F; }
    else if (c >= 0xE0 && c <= 0xEF) { len = 3; cp = c & 0x0F; }
    else if (c >= 0xF0 && c <= 0xF4) { len = 4; cp = c & 0x07; }
    else return i;
    if (i + len > s.size()) return i;
    for (size_t k = 1; k < len; ++k) {
      auto cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) return i;
      cp = (cp << 6) | (cc & 0x3F);
    }
    if ((len == 3 && (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000))) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)))
      return i;
    i += len;
  }
  return std::string_view::npos;
}

bool StartsWith(std::string_view s, std::string_view prefix) { return s.substr(0, prefix.size()) == prefix; }

}  // namespace

std::string DeclaredXmlEncoding(std::string_view bytes) {
  if (StartsWith(bytes, "\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (!StartsWith(bytes, "<?xml")) return "";
  size_t end = bytes.find("?>");
  std::string_view decl = bytes.substr(0, end);
  size_t at = decl.find("encoding");
  if (at == std::string_view::npos) return "";
  size_t i = at + 8;
  auto skipBlanks = [&] {
    while (i < decl.size() && (decl[i] == ' ' || decl[i] == '\t' || decl[i] == '\r' || decl[i] == '\n')) ++i;
  };
  skipBlanks();
  if (i >= decl.size() || decl[i] != '=') return "";
  ++i;
  skipBlanks();
  if (i >= decl.size() || (decl[i] != '"' && decl[i] != '\'')) return "";
  char quote = decl[i++];
  size_t close = decl.find(quote, i);
  if (close == std::string_view::npos) return "";
  return platform::LowerAscii(decl.substr(i, close - i));
}

TXmlInput PrepareXmlInput(std::string bytes) {
  // UTF-32 and UTF-16, by byte-order mark or by the zero bytes around the first '<'. They are
  // converted here rather than by the parser, which would drop a lone surrogate silently.
  struct Wide {
    std::string_view start;
    size_t unit;
    bool bigEndian;
    size_t mark;  // bytes of the byte-order mark
  };
  static const Wide kWide[] = {
      {std::string_view("\xFF\xFE\0\0", 4), 4, false, 4}, {std::string_view("\0\0\xFE\xFF", 4), 4, true, 4},
      {std::string_view("<\0\0\0", 4), 4, false, 0},        {std::string_view("\0\0\0<", 4), 4, true, 0},
      {"\xFF\xFE", 2, false, 2},                               {"\xFE\xFF", 2, true, 2},
      {std::string_view("<\0", 2), 2, false, 0},              {std::string_view("\0<", 2), 2, true, 0},
  };
  for (const Wide& w : kWide)
    if (StartsWith(bytes, w.start))
      return {FromWide(std::string_view(bytes).substr(w.mark), w.unit, w.bigEndian, w.mark), TXmlInputEncoding::Utf8};

  bool bom = StartsWith(bytes, "\xEF\xBB\xBF");
  std::string encoding = bom ? std::string() : DeclaredXmlEncoding(bytes);
  const char16_t* table = nullptr;
  if (encoding.empty() || encoding == "utf-8" || encoding == "utf8" || encoding == "us-ascii" || encoding == "ascii") {
    std::string_view body = std::string_view(bytes).substr(bom ? 3 : 0);
    size_t bad = InvalidUtf8At(body);
    if (bad != std::string_view::npos)
      throw std::runtime_error("The XML document is not valid UTF-8 (byte " + std::to_string(bad + (bom ? 3 : 0)) + ")");
    if (bom) bytes.erase(0, 3);
    return {std::move(bytes), TXmlInputEncoding::Utf8};
  }
  if (encoding == "windows-1250" || encoding == "cp1250" || encoding == "x-cp1250") table = kWindows1250;
  else if (encoding == "windows-1252" || encoding == "cp1252" || encoding == "x-cp1252") table = kWindows1252;
  else if (encoding == "iso-8859-2" || encoding == "iso8859-2" || encoding == "latin2") table = kIso8859_2;
  else if (encoding == "iso-8859-1" || encoding == "iso8859-1" || encoding == "latin1") table = nullptr;
  else throw std::runtime_error("The XML document's encoding \"" + encoding + "\" is not supported");
  std::string converted = FromTable(bytes, table);
  return {std::move(converted), TXmlInputEncoding::Utf8};
}
