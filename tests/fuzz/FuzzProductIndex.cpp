// The product index dats.ini: sections Velmor1, Velmor2 ... with the URL value split by
// TStringValue.
#include "FuzzSupport.h"
#include "setup/ProductIndex.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string path = fuzz::WriteScratch("dats.ini", fuzz::Bytes(data, size));
  for (const TProductVersion& v : ReadProductIndex(path)) {
    const std::string& url = v.URL.Value();
    if (url.find(';') != std::string::npos) fuzz::Finding("an address kept a semicolon: " + url);
    if (!url.empty() && (static_cast<unsigned char>(url.front()) <= ' ' || static_cast<unsigned char>(url.back()) <= ' '))
      fuzz::Finding("an address kept blanks around it: " + url);
  }
  fuzz::ResetLog();
  return 0;
}
