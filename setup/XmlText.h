#pragma once
// Bringing an XML document's bytes into the one form the XML parser is given, UTF-8: UTF-8 goes
// through as it is (without its byte-order mark); UTF-16 and UTF-32 (by byte-order mark or by
// the zero bytes around the first '<') and an 8-bit document that declares windows-1250,
// windows-1252, ISO-8859-2 or ISO-8859-1 are converted here.
#include <stdexcept>
#include <string>
#include <string_view>

enum class TXmlInputEncoding { Detect, Utf8 };

struct TXmlInput {
  std::string bytes;           // the document to parse
  TXmlInputEncoding encoding;  // Detect: let the parser read the byte-order mark or UTF-16 pattern
};

// Throws std::runtime_error for a declared encoding that is not supported and for bytes that
// are not valid in the document's encoding (a lone surrogate in UTF-16 included). Takes the
// bytes by value, so that a caller who moves them in holds the document only once.
TXmlInput PrepareXmlInput(std::string bytes);

// The encoding named in the XML declaration, in lower case; empty when none is declared.
std::string DeclaredXmlEncoding(std::string_view bytes);
