#pragma once
// The user's regional number format.
#include <string>

namespace platform {

// The decimal separator of the user's regional settings ("," on a Czech system).
std::string DecimalSeparator();

}  // namespace platform
