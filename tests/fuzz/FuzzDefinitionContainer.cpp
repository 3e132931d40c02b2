// The setup definition file: a password-protected ZIP archive holding "setup.dat".
#include "FuzzSupport.h"
#include "setup/SetupDat.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string path = fuzz::WriteScratch("setup.dat", fuzz::Bytes(data, size));
  TSetupDat dat(false);
  dat.LoadSetupDat(path);
  fuzz::ResetLog();
  return 0;
}
