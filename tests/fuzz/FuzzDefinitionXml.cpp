// The setup definition's XML document, as LoadSetupDat reads it after the container: encodings,
// well-formedness, the value rules and the package and banner lists.
#include "FuzzSupport.h"
#include "setup/SetupDat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  TSetupDat dat(false);
  bool loaded = dat.LoadSetupDatFromXml(fuzz::Bytes(data, size));
  if (loaded != dat.LoadedSetupDat()) fuzz::Finding("the result and LoadedSetupDat disagree");
  fuzz::ResetLog();
  return 0;
}
