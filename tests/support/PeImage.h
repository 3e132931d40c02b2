#pragma once
// A minimal PE image (a DLL with nothing but a VERSIONINFO resource) for tests that need a
// program file with a version and a product name, such as an installed VELMOR.EXE.
#include <string>

namespace testing_support {

struct PeVersion {
  unsigned major = 0, minor = 0, release = 0, build = 0;
};

// The image's fixed file version is `version`; its string table (language 0x0409, Unicode)
// holds ProductName = productName unless that is empty, then no ProductName at all.
std::string BuildVersionedPe(PeVersion version, const std::string& productName);

}  // namespace testing_support
