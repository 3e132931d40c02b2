#include "setup/ProductIndex.h"

#include <filesystem>

#include "platform/Files.h"
#include "setup/IniFile.h"
#include "support/InstallLog.h"

std::vector<TProductVersion> ReadProductIndex(const std::string& datsIniFile, std::string* problem) {
  std::vector<TProductVersion> versions;
  std::error_code ec;
  std::uintmax_t size = std::filesystem::file_size(platform::PathFromUtf8(datsIniFile), ec);
  if (!ec && size > kMaxProductIndexSize) {
    std::string text = "The product index " + datsIniFile + " is not read: it holds " + std::to_string(size) +
                       " bytes, more than the " + std::to_string(kMaxProductIndexSize >> 10) +
                       " KiB a product index may have";
    InstallLog().AddError(text);
    if (problem) *problem = text;
    return versions;
  }
  // Read once: a lookup per section instead of a pass over the file per section.
  TMemIniFile ini = TMemIniFile::FromFile(datsIniFile);
  for (int n = 1;; ++n) {
    std::string section = "Velmor" + std::to_string(n);
    if (!ini.SectionExists(section)) break;
    TProductVersion v;
    v.URL = TStringValue(ini.ReadString(section, "URL", ""));
    v.Name = ini.ReadString(section, "Name", "");
    versions.push_back(std::move(v));
  }
  return versions;
}
