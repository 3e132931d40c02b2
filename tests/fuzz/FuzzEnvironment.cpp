// Environment references in the definition's folder values, and the scrambled password text
// with its conversion to the 8-bit code page the archives are opened with.
#include <cstdlib>

#include "FuzzSupport.h"
#include "platform/Text.h"
#include "setup/SetupDat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool once = [] {
    // Only the variables below exist, so every value's length is known.
    clearenv();
    setenv("A", "alfa", 1);
    setenv("PCT", "50%", 1);
    setenv("SELF", "<%SELF%>", 1);
    setenv("TEMP", "/tmp", 1);
    return true;
  }();
  (void)once;
  std::string text(fuzz::Bytes(data, size));
  std::string expanded = ExpandEnvironment(text);
  // Each "%NAME%" (three bytes or more) gives way to at most the longest value above, 8 bytes.
  if (expanded.size() > text.size() * 3 + 8) fuzz::Finding("the expansion grew beyond its values");
  std::string password = UnscramblePassword(text);
  platform::AnsiFromUtf8(password);
  if (ScramblePassword(password).size() > password.size() * 2 + 8) fuzz::Finding("scrambling blew up the text");
  return 0;
}
