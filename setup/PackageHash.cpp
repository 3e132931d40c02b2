#include "setup/PackageHash.h"

#include <exception>

#include "platform/Crypto.h"
#include "platform/Text.h"
#include "setup/PackageRecords.h"

const TMessage msgPackageHashMismatch = {
    "Balíček \"%s\" byl změněn a nebude nainstalován: jeho SHA-256 je %s, definice instalace uvádí %s.",
    "The package \"%s\" has been changed and will not be installed: its SHA-256 is %s, the setup definition "
    "gives %s.",
    "Das Paket \"%s\" wurde verändert und wird nicht installiert: sein SHA-256 ist %s, die Setup-Definition "
    "nennt %s.",
    "Balík \"%s\" bol zmenený a nebude nainštalovaný: jeho SHA-256 je %s, definícia inštalácie uvádza %s.",
};

const TMessage msgPackageHashUnreadable = {
    "Balíček \"%s\" nelze ověřit a nebude nainstalován: %s",
    "The package \"%s\" cannot be verified and will not be installed: %s",
    "Das Paket \"%s\" kann nicht geprüft werden und wird nicht installiert: %s",
    "Balík \"%s\" nie je možné overiť a nebude nainštalovaný: %s",
};

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
