// The file version of an installed program, read from its PE headers and VERSIONINFO resource,
// and the version key and text made of it.
#include "FuzzSupport.h"
#include "platform/FileVersion.h"
#include "support/SystemUtil.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto version = platform::ParsePeFileVersion(fuzz::Bytes(data, size));
  if (version) {
    if (version->major > 0xFFFF || version->minor > 0xFFFF || version->release > 0xFFFF || version->build > 0xFFFF)
      fuzz::Finding("a version part is wider than 16 bits");
    FileVersionKey(version->major, version->minor, version->release, version->build);
  }
  std::string path = fuzz::WriteScratch("program.exe", fuzz::Bytes(data, size));
  std::int64_t key = -1;
  std::string text;
  ReadFileVersion(path, key, text);
  if (text.empty() != !version) fuzz::Finding("the file and the bytes give different versions");
  return 0;
}
