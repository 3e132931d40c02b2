// What a server decides about a download's file name, and the address check: the
// Content-Disposition header, the address's last segment, the name made safe for the
// temporary folder, the address normalisation and IsURL; and what a server says about a
// resumed download and a retry: Content-Range and Retry-After.
#include "FuzzSupport.h"
#include "engine/ZipEntryName.h"
#include "setup/DownloadRetry.h"
#include "setup/Downloader.h"
#include "setup/ResumableDownload.h"
#include "support/SystemUtil.h"

namespace {
void CheckSafe(const std::string& from, const std::string& name) {
  if (name.empty()) return;
  if (name.find_first_of("/\\:<>\"|?*") != std::string::npos) fuzz::Finding("unsafe character kept: " + name);
  for (char c : name)
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) fuzz::Finding("control character kept in " + name);
  if (name == "." || name == ".." || name.back() == '.' || name.back() == ' ' || name.front() == ' ')
    fuzz::Finding("a name Windows would change: \"" + name + "\" from " + from);
  if (engine::IsReservedDeviceName(name)) fuzz::Finding("a device name: " + name);
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string text(fuzz::Bytes(data, size));
  CheckSafe(text, SafeDownloadFileName(text));
  CheckSafe(text, SafeDownloadFileName(ContentDispositionFileName(text)));
  CheckSafe(text, SafeDownloadFileName(AddressDocumentName(text)));
  std::string normal = NormalizeDownloadAddress(text);
  if (normal.size() != text.size() && normal.size() + 1 != text.size())
    fuzz::Finding("normalisation changed more than one character");
  IsURL(text);
  IsURL(normal);
  if (RetryAfterSeconds(text, std::chrono::system_clock::now()) < -1) fuzz::Finding("a negative pause");
  std::uint64_t length = 0;
  if (ContentRangeContinues(text, 1000, length) && length != 0 && length <= 1000)
    fuzz::Finding("a range that continues at 1000 in a file of " + std::to_string(length) + " bytes");
  return 0;
}
