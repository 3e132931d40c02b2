#pragma once
// INI files read and written by the rules of the Windows profile-file functions, the same
// on every build: section and key names compare ignoring case (Czech letters included), the
// first section and the first key of a name count, values lose the blanks around them and
// one pair of enclosing quotes, a line starting with ';' is a comment. The file is text in
// the ANSI code page, or UTF-16 (LE or BE) or UTF-8 with a byte-order mark.
//
// Like the profile functions, the object holds nothing but the file name: every read looks
// at the file as it is now, every write changes the file at once and keeps every other
// line (other sections, comments, blank lines) as it was.
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// A write that could not be done: the file cannot be written, or a name or value would
// break the file's structure (a line break, a ']' in a section name, a '=' in a key name).
class EIniFileException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class TIniFile {
 public:
  enum class TEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

  explicit TIniFile(std::string fileName) : FFileName(std::move(fileName)) {}

  const std::string& FileName() const { return FFileName; }

  // A missing file, section or key gives Default.
  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
  // Decimal, or hexadecimal with the prefix 0x (or $); a value that is no 32-bit number gives Default.
  // Hexadecimal values up to 0xFFFFFFFF are taken as the 32-bit pattern (0xFFFFFFFF is -1).
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
  // True when the stored integer is not 0.
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;

  // Writes "Ident=Value" into the first section of the name, replacing the key's old value,
  // or adding the key after the section's last key, or adding the section at the end.
  void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
  void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
  // Written as 1 or 0.
  void WriteBool(const std::string& Section, const std::string& Ident, bool Value);

  // True when the section holds at least one key: a section header alone counts as missing.
  bool SectionExists(const std::string& Section) const;
  bool ValueExists(const std::string& Section, const std::string& Ident) const;
  // The key names of the section's first occurrence, in file order (comments excluded).
  std::vector<std::string> ReadSection(const std::string& Section) const;
  // The names of all sections, in file order.
  std::vector<std::string> ReadSections() const;

  // Removes every section of the name with all its lines. Nothing happens when it is missing.
  void EraseSection(const std::string& Section);
  void DeleteKey(const std::string& Section, const std::string& Ident);

  // The encoding the file has now (ANSI for a missing file).
  TEncoding Encoding() const;

 private:
  std::string FFileName;
};

// The same reading rules over bytes held in memory, read once: the file is parsed when the object
// is made, and each read is a look-up, so reading every key takes time in proportion to the file.
// What a downloaded file says cannot change between two reads.
class TMemIniFile {
 public:
  explicit TMemIniFile(std::string_view bytes);
  // The file as it is now; a missing or unreadable file reads as an empty one.
  static TMemIniFile FromFile(const std::string& fileName);
  ~TMemIniFile();
  TMemIniFile(TMemIniFile&&) noexcept;
  TMemIniFile& operator=(TMemIniFile&&) noexcept;

  std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
  int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
  bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
  bool SectionExists(const std::string& Section) const;
  bool ValueExists(const std::string& Section, const std::string& Ident) const;
  std::vector<std::string> ReadSection(const std::string& Section) const;
  std::vector<std::string> ReadSections() const;
  TIniFile::TEncoding Encoding() const;

 private:
  struct Parsed;
  void Index();
  std::unique_ptr<Parsed> FParsed;
};
