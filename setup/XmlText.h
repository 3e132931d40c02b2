#pragma once
// Bringing an XML document's bytes into a form the XML parser reads: documents with a
// byte-order mark, UTF-16 and UTF-8 go through as they are; an 8-bit document that declares
// windows-1250, windows-1252, ISO-8859-2 or ISO-8859-1 is converted to UTF-8 here.
#include <stdexcept>
#include <string>
#include <string_view>

enum class TXmlInputEncoding { Detect, Utf8 };

struct TXmlInput {
  std::string bytes;           // the document to parse
  TXmlInputEncoding encoding;  // Detect: let the parser read the byte-order mark or UTF-16 pattern
};

// Throws std::runtime_error for a declared encoding that is not supported and for bytes
// that are not UTF-8 in a document read as UTF-8.
TXmlInput PrepareXmlInput(std::string_view bytes);

// The encoding named in the XML declaration, in lower case; empty when none is declared.
std::string DeclaredXmlEncoding(std::string_view bytes);
