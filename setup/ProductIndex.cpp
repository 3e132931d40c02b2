#include "setup/ProductIndex.h"

#include "setup/IniFile.h"

std::vector<TProductVersion> ReadProductIndex(const std::string& datsIniFile) {
  std::vector<TProductVersion> versions;
  TIniFile ini(datsIniFile);
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
