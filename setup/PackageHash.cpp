#include "setup/PackageHash.h"

#include <exception>

#include "platform/Crypto.h"
#include "platform/Text.h"
#include "setup/PackageRecords.h"

std::optional<std::string> ParseSha256Text(std::string_view text) {
  std::string digits = platform::Trim(std::string(text));
  if (digits.empty()) return digits;
  if (digits.size() != 64) return std::nullopt;
  for (char& c : digits) {
    if (c >= 'A' && c <= 'F') c = static_cast<char>(c - 'A' + 'a');
    else if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return std::nullopt;
  }
  return digits;
}

std::string Sha256Hex(const std::array<std::uint8_t, 32>& digest) {
  static const char kDigits[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(64);
  for (std::uint8_t b : digest) {
    hex.push_back(kDigits[b >> 4]);
    hex.push_back(kDigits[b & 15]);
  }
  return hex;
}

std::string PackageHashFault(const TZipFileCFG& package, const std::string& archivePath) {
  if (package.Sha256().empty()) return {};
  std::string actual;
  try {
    actual = Sha256Hex(platform::Sha256OfFile(archivePath));
  } catch (const std::exception& e) {
    return FormatMsg(msgPackageHashUnreadable, package.FileName(), e.what());
  }
  if (actual == package.Sha256()) return {};
  return FormatMsg(msgPackageHashMismatch, package.FileName(), actual, package.Sha256());
}
