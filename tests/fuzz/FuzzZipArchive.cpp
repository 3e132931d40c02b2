// Package archives: open, list every entry, extract everything into a scratch folder (with the
// password of the test archives). Afterwards nothing may exist outside that folder: the scratch
// root holds the archive and the folder, and nothing else.
#include <filesystem>
#include <sstream>

#include "FuzzSupport.h"
#include "engine/ZipArchive.h"
#include "platform/Files.h"

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& root = fuzz::ScratchRoot();
  fs::path box = fs::path(root) / "box";
  std::error_code ec;
  fs::remove_all(box, ec);
  fs::create_directories(box / "out");
  std::string archive = (box / "in.zip").string();
  platform::WriteWholeFile(archive, fuzz::Bytes(data, size));
  for (const char* password : {"", "heslo"}) {
    engine::ZipArchive zip;
    zip.FileName = archive;
    zip.BaseDir = (box / "out").string();
    zip.Password = password;
    try {
      zip.OpenArchive();
      engine::ZipEntryInfo entry;
      std::string first;
      for (bool more = zip.FindFirst(entry); more; more = zip.FindNext(entry))
        if (first.empty() && !entry.IsDirectory()) first = entry.StoredPath + entry.FileName;
      if (!first.empty()) {
        std::ostringstream out;
        zip.ExtractToStream(first, out);
      }
      zip.ExtractFiles("*.*");
      zip.CloseArchive();
    } catch (const engine::ZipError&) {
    }
  }
  for (const auto& e : fs::directory_iterator(root))
    if (e.path().filename() != "box") fuzz::Finding("written outside the folder: " + e.path().string());
  for (const auto& e : fs::directory_iterator(box))
    if (e.path().filename() != "in.zip" && e.path().filename() != "out")
      fuzz::Finding("written outside the folder: " + e.path().string());
  for (const auto& e : fs::recursive_directory_iterator(box / "out"))
    if (e.is_symlink()) fuzz::Finding("a link was made: " + e.path().string());
  fs::remove_all(box, ec);
  return 0;
}
