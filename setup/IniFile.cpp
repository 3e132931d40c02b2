#include "setup/IniFile.h"

#include <cstdint>
#include <limits>
#include <unordered_map>

#include "platform/Files.h"
#include "platform/Text.h"

namespace {

using TEncoding = TIniFile::TEncoding;

struct Line {
  enum Kind { Other, Section, Key } kind = Other;
  std::string raw;         // the line as the file holds it, as UTF-8, without its line break
  std::string name;        // section or key name
  std::string value;       // key value with the blanks around it removed
  bool hasValue = false;   // a key line without '=' names a key that has no value
};

struct Document {
  TEncoding encoding = TEncoding::Ansi;
  std::vector<Line> lines;
};

// The name every spelling of a section or key name folds to.
std::string FoldedName(const std::string& name) { return platform::UpperText(name); }

// The blanks the profile functions strip around names and values.
bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f' || c == '\x1a';
}

std::string TrimBlanks(std::string_view s) {
  size_t b = 0, e = s.size();
  while (b < e && IsBlank(s[b])) ++b;
  while (e > b && IsBlank(s[e - 1])) --e;
  return std::string(s.substr(b, e - b));
}

bool SameName(const std::string& a, const std::string& b) {
  return platform::SameTextAscii(a, b) || platform::UpperText(a) == platform::UpperText(b);
}

Line ParseLine(std::string raw) {
  Line line;
  line.raw = std::move(raw);
  std::string_view t = line.raw;
  while (!t.empty() && IsBlank(t.front())) t.remove_prefix(1);
  while (!t.empty() && IsBlank(t.back())) t.remove_suffix(1);
  if (t.empty() || t[0] == ';') return line;
  if (t[0] == '[') {
    size_t close = t.find(']', 1);
    if (close != std::string::npos) {
      line.kind = Line::Section;
      line.name = std::string(t.substr(1, close - 1));
      return line;
    }
    // A header without its bracket is no header; the profile functions read it as a key line.
  }
  line.kind = Line::Key;
  size_t eq = t.find('=');
  if (eq == std::string::npos) {
    line.name = std::string(t);
  } else {
    line.name = TrimBlanks(t.substr(0, eq));
    line.value = TrimBlanks(t.substr(eq + 1));
    line.hasValue = true;
  }
  return line;
}

std::u16string Utf16FromBytes(std::string_view bytes, bool bigEndian) {
  std::u16string w;
  w.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    auto lo = static_cast<unsigned char>(bytes[i + (bigEndian ? 1 : 0)]);
    auto hi = static_cast<unsigned char>(bytes[i + (bigEndian ? 0 : 1)]);
    w.push_back(static_cast<char16_t>(lo | (hi << 8)));
  }
  return w;
}

std::string BytesFromUtf16(std::u16string_view w, bool bigEndian) {
  std::string out;
  out.reserve(w.size() * 2 + 2);
  auto put = [&](char16_t c) {
    char lo = static_cast<char>(c & 0xFF), hi = static_cast<char>(c >> 8);
    if (bigEndian) { out.push_back(hi); out.push_back(lo); }
    else { out.push_back(lo); out.push_back(hi); }
  };
  put(0xFEFF);
  for (char16_t c : w) put(c);
  return out;
}

// The lines of a file's bytes, in the file's encoding.
Document Parse(std::string bytes) {
  Document doc;
  std::string text;
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    doc.encoding = TEncoding::Utf16LE;
    text = platform::Utf8FromUtf16(Utf16FromBytes(std::string_view(bytes).substr(2), false));
  } else if (bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF') {
    doc.encoding = TEncoding::Utf16BE;
    text = platform::Utf8FromUtf16(Utf16FromBytes(std::string_view(bytes).substr(2), true));
  } else if (bytes.size() >= 3 && bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) {
    doc.encoding = TEncoding::Utf8;
    text = bytes.substr(3);
  } else {
    text = platform::Utf8FromAnsi(bytes);
  }
  // The file's bytes are not needed any more; a large file is held once, not twice.
  std::string().swap(bytes);
  size_t start = 0;
  while (start < text.size()) {
    size_t nl = text.find('\n', start);
    size_t end = nl == std::string::npos ? text.size() : nl;
    size_t lineEnd = end;
    if (lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;
    doc.lines.push_back(ParseLine(text.substr(start, lineEnd - start)));
    if (nl == std::string::npos) break;
    start = nl + 1;
  }
  return doc;
}

// A missing or unreadable file reads as an empty one.
Document Load(const std::string& fileName) {
  std::string bytes;
  if (!platform::ReadWholeFile(fileName, bytes)) return {};
  return Parse(std::move(bytes));
}

void Save(const std::string& fileName, Document& doc) {
  std::string text;
  for (const Line& l : doc.lines) text += l.raw + "\r\n";
  std::string bytes;
  if (doc.encoding == TEncoding::Ansi) {
    bytes = platform::AnsiFromUtf8(text);
    // A letter the code page cannot hold would be lost: such a file is kept in UTF-16 instead,
    // which the profile functions read just as well.
    if (platform::Utf8FromAnsi(bytes) != text) doc.encoding = TEncoding::Utf16LE;
  }
  switch (doc.encoding) {
    case TEncoding::Ansi: break;
    case TEncoding::Utf8: bytes = "\xEF\xBB\xBF" + text; break;
    case TEncoding::Utf16LE: bytes = BytesFromUtf16(platform::Utf16FromUtf8(text), false); break;
    case TEncoding::Utf16BE: bytes = BytesFromUtf16(platform::Utf16FromUtf8(text), true); break;
  }
  try {
    platform::WriteWholeFile(fileName, bytes);
  } catch (const std::exception& e) {
    throw EIniFileException(e.what());
  }
}

size_t FindSection(const Document& doc, const std::string& section, size_t from = 0) {
  for (size_t i = from; i < doc.lines.size(); ++i)
    if (doc.lines[i].kind == Line::Section && SameName(doc.lines[i].name, section)) return i;
  return std::string::npos;
}

size_t SectionEnd(const Document& doc, size_t header) {
  size_t i = header + 1;
  while (i < doc.lines.size() && doc.lines[i].kind != Line::Section) ++i;
  return i;
}

size_t FindKey(const Document& doc, size_t header, const std::string& ident) {
  size_t end = SectionEnd(doc, header);
  for (size_t i = header + 1; i < end; ++i)
    if (doc.lines[i].kind == Line::Key && SameName(doc.lines[i].name, ident)) return i;
  return std::string::npos;
}

bool HasLineBreak(const std::string& s) { return s.find_first_of("\r\n") != std::string::npos; }

void CheckNames(const std::string& section, const std::string& ident) {
  if (TrimBlanks(section).empty() || HasLineBreak(section) || section.find(']') != std::string::npos)
    throw EIniFileException("Invalid INI section name \"" + section + "\"");
  std::string key = TrimBlanks(ident);
  if (key.empty() || HasLineBreak(ident) || ident.find('=') != std::string::npos || key[0] == ';' || key[0] == '[')
    throw EIniFileException("Invalid INI key name \"" + ident + "\"");
}

bool ParseInteger(const std::string& text, int& value) {
  std::string_view s = text;
  bool hex = false;
  if (s.size() > 2 && s[0] == '0' && (s[1] == 'x' || s[1] == 'X')) { s.remove_prefix(2); hex = true; }
  else if (s.size() > 1 && s[0] == '$') { s.remove_prefix(1); hex = true; }
  if (hex) {
    if (s.size() > 8) return false;
    uint32_t v = 0;
    for (char c : s) {
      int d = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : c >= 'A' && c <= 'F' ? c - 'A' + 10 : -1;
      if (d < 0) return false;
      v = v * 16 + static_cast<uint32_t>(d);
    }
    value = static_cast<int>(static_cast<int32_t>(v));
    return true;
  }
  bool negative = false;
  if (!s.empty() && (s[0] == '-' || s[0] == '+')) { negative = s[0] == '-'; s.remove_prefix(1); }
  if (s.empty()) return false;
  long long v = 0;
  for (char c : s) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max()) return false;
  value = static_cast<int>(v);
  return true;
}

}  // namespace

// The parsed file with an index: the first section of each name, and in each such section the
// first key of each name.
struct TMemIniFile::Parsed {
  Document doc;
  std::unordered_map<std::string, size_t> sections;
  std::unordered_map<size_t, std::unordered_map<std::string, size_t>> keys;

  const Line* Key(const std::string& section, const std::string& ident) const {
    auto s = sections.find(FoldedName(section));
    if (s == sections.end()) return nullptr;
    auto k = keys.find(s->second);
    if (k == keys.end()) return nullptr;
    auto line = k->second.find(FoldedName(ident));
    return line == k->second.end() ? nullptr : &doc.lines[line->second];
  }
};

TMemIniFile TMemIniFile::FromFile(const std::string& fileName) {
  TMemIniFile ini{std::string_view()};
  ini.FParsed->doc = Load(fileName);
  ini.Index();
  return ini;
}

TMemIniFile::TMemIniFile(std::string_view bytes) : FParsed(std::make_unique<Parsed>()) {
  FParsed->doc = Parse(std::string(bytes));
  Index();
}

void TMemIniFile::Index() {
  FParsed->sections.clear();
  FParsed->keys.clear();
  std::unordered_map<std::string, size_t>* current = nullptr;
  for (size_t i = 0; i < FParsed->doc.lines.size(); ++i) {
    const Line& line = FParsed->doc.lines[i];
    if (line.kind == Line::Section) {
      // Keys of a later section of the same name are never read.
      current = FParsed->sections.emplace(FoldedName(line.name), i).second ? &FParsed->keys[i] : nullptr;
    } else if (line.kind == Line::Key && current) {
      current->emplace(FoldedName(line.name), i);
    }
  }
}

TMemIniFile::~TMemIniFile() = default;
TMemIniFile::TMemIniFile(TMemIniFile&&) noexcept = default;
TMemIniFile& TMemIniFile::operator=(TMemIniFile&&) noexcept = default;

std::string TMemIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
  const Line* key = FParsed->Key(Section, Ident);
  if (!key || !key->hasValue) return Default;
  const std::string& v = key->value;
  // One pair of enclosing quotes is dropped, as the profile functions do.
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

int TMemIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
  int value;
  return ParseInteger(ReadString(Section, Ident, ""), value) ? value : Default;
}

bool TMemIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
  return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

bool TMemIniFile::SectionExists(const std::string& Section) const {
  auto s = FParsed->sections.find(FoldedName(Section));
  if (s == FParsed->sections.end()) return false;
  // A header alone counts as missing; a key line with an empty name does not count either.
  for (const auto& [name, line] : FParsed->keys.at(s->second))
    if (!FParsed->doc.lines[line].name.empty()) return true;
  return false;
}

bool TMemIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
  return FParsed->Key(Section, Ident) != nullptr;
}

std::vector<std::string> TMemIniFile::ReadSection(const std::string& Section) const {
  std::vector<std::string> keys;
  auto s = FParsed->sections.find(FoldedName(Section));
  if (s == FParsed->sections.end()) return keys;
  const Document& doc = FParsed->doc;
  size_t end = SectionEnd(doc, s->second);
  for (size_t i = s->second + 1; i < end; ++i)
    if (doc.lines[i].kind == Line::Key && !doc.lines[i].name.empty()) keys.push_back(doc.lines[i].name);
  return keys;
}

std::vector<std::string> TMemIniFile::ReadSections() const {
  std::vector<std::string> names;
  for (const Line& l : FParsed->doc.lines)
    if (l.kind == Line::Section) names.push_back(l.name);
  return names;
}

TIniFile::TEncoding TMemIniFile::Encoding() const { return FParsed->doc.encoding; }

// The profile functions look at the file as it is at each call.
std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
  return TMemIniFile::FromFile(FFileName).ReadString(Section, Ident, Default);
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
  return TMemIniFile::FromFile(FFileName).ReadInteger(Section, Ident, Default);
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
  return TMemIniFile::FromFile(FFileName).ReadBool(Section, Ident, Default);
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
  CheckNames(Section, Ident);
  if (HasLineBreak(Value)) throw EIniFileException("An INI value cannot hold a line break (key \"" + Ident + "\")");
  Document doc = Load(FFileName);
  size_t s = FindSection(doc, Section);
  if (s == std::string::npos) {
    if (!doc.lines.empty() && !TrimBlanks(doc.lines.back().raw).empty()) doc.lines.push_back(ParseLine(""));
    doc.lines.push_back(ParseLine("[" + Section + "]"));
    doc.lines.push_back(ParseLine(Ident + "=" + Value));
  } else {
    size_t k = FindKey(doc, s, Ident);
    if (k != std::string::npos) {
      doc.lines[k] = ParseLine(doc.lines[k].name + "=" + Value);
    } else {
      size_t at = s + 1;
      size_t end = SectionEnd(doc, s);
      for (size_t i = s + 1; i < end; ++i)
        if (doc.lines[i].kind == Line::Key) at = i + 1;
      doc.lines.insert(doc.lines.begin() + static_cast<long>(at), ParseLine(Ident + "=" + Value));
    }
  }
  Save(FFileName, doc);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
  WriteString(Section, Ident, std::to_string(Value));
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
  WriteString(Section, Ident, Value ? "1" : "0");
}

bool TIniFile::SectionExists(const std::string& Section) const { return TMemIniFile::FromFile(FFileName).SectionExists(Section); }

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
  return TMemIniFile::FromFile(FFileName).ValueExists(Section, Ident);
}

std::vector<std::string> TIniFile::ReadSection(const std::string& Section) const {
  return TMemIniFile::FromFile(FFileName).ReadSection(Section);
}

std::vector<std::string> TIniFile::ReadSections() const { return TMemIniFile::FromFile(FFileName).ReadSections(); }

void TIniFile::EraseSection(const std::string& Section) {
  Document doc = Load(FFileName);
  bool changed = false;
  for (size_t s = FindSection(doc, Section); s != std::string::npos; s = FindSection(doc, Section, s)) {
    doc.lines.erase(doc.lines.begin() + static_cast<long>(s), doc.lines.begin() + static_cast<long>(SectionEnd(doc, s)));
    changed = true;
  }
  if (changed) Save(FFileName, doc);
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
  Document doc = Load(FFileName);
  size_t s = FindSection(doc, Section);
  if (s == std::string::npos) return;
  size_t k = FindKey(doc, s, Ident);
  if (k == std::string::npos) return;
  doc.lines.erase(doc.lines.begin() + static_cast<long>(k));
  Save(FFileName, doc);
}

TIniFile::TEncoding TIniFile::Encoding() const { return Load(FFileName).encoding; }
