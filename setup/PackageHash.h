#pragma once
// The SHA-256 of a package archive as the setup definition gives it (the optional "Sha256" child of
// a "ZipFile"), and the check of an obtained archive against it. The archive's password keeps its
// content from casual reading, not from change: anyone who can write to the kit's share or web
// server could put another archive made with the same password there. The hash, carried by the
// definition, tells the installer that the archive is the one the kit's author packed.
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/Catalogue.h"

class TZipFileCFG;

// The text of a "Sha256" element: 64 hexadecimal digits in any case, blanks around them ignored.
// Gives the digits in lower case, empty text for an empty element (no hash), and nothing for
// any other text.
std::optional<std::string> ParseSha256Text(std::string_view text);

// 64 lower-case hexadecimal digits.
std::string Sha256Hex(const std::array<std::uint8_t, 32>& digest);

// Checks an obtained archive against the package's hash before anything opens it. Empty when the
// package has no hash or the archive's SHA-256 is that hash; otherwise the message that names the
// package and both hashes (or, when the file cannot be read, the package and why), in the
// current language, for the log and the run's report of a failed package.
std::string PackageHashFault(const TZipFileCFG& package, const std::string& archivePath);

