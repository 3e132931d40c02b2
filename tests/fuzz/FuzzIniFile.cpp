// The INI reader and writer: any file reads without harm, and a value written into it reads
// back as written while every other section keeps its keys and values.
#include <map>

#include "FuzzSupport.h"
#include "platform/Text.h"
#include "setup/IniFile.h"

namespace {
using Contents = std::map<std::string, std::vector<std::pair<std::string, std::string>>>;

// Every section's keys and values as the reader sees them, but the section the harness writes.
Contents Read(const std::string& path) {
  Contents contents;
  TMemIniFile ini = TMemIniFile::FromFile(path);
  for (const std::string& s : ini.ReadSections()) {
    if (platform::UpperText(s) == "FUZZSECTION" || contents.count(platform::UpperText(s))) continue;
    auto& keys = contents[platform::UpperText(s)];
    for (const std::string& k : ini.ReadSection(s)) {
      keys.emplace_back(k, ini.ReadString(s, k, "<missing>"));
      ini.ReadInteger(s, k, 0);
    }
  }
  return contents;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string path = fuzz::WriteScratch("file.ini", fuzz::Bytes(data, size));
  Contents before = Read(path);
  TIniFile file(path);
  file.WriteString("FuzzSection", "FuzzKey", "written value");
  std::string back = file.ReadString("FuzzSection", "FuzzKey", "<missing>");
  if (back != "written value") fuzz::Finding("a written value reads back as \"" + back + "\"");
  if (Read(path) != before) fuzz::Finding("writing one key changed other sections");
  return 0;
}
