#pragma once
// The product index "dats.ini": the installable product versions, sections Velmor1, Velmor2 ...
// with the keys "URL" (address of the version's setup definition) and "Name" (its label).
#include <cstdint>
#include <string>
#include <vector>

#include "setup/StringValue.h"

struct TProductVersion {
  std::string Name;  // the label of the version
  TStringValue URL;  // Value: the address of its "setup.dat" (first ';' token, trimmed)

  // The version list shows the label after three spaces.
  std::string Caption() const { return "   " + Name; }
};

// An index lists a handful of versions in a few hundred bytes each; a file above this size is
// broken or hostile, and is neither downloaded whole nor read.
constexpr std::uint64_t kMaxProductIndexSize = 1u << 20;

// Reads Velmor1, Velmor2 ... up to the first missing number; later sections are ignored. A
// missing key reads as empty text; a missing or unreadable file gives an empty list. A file
// larger than kMaxProductIndexSize is not read: the list is empty, the installation log notes
// why, and so does *problem when given.
std::vector<TProductVersion> ReadProductIndex(const std::string& datsIniFile, std::string* problem = nullptr);
