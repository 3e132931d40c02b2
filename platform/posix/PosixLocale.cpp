#include <clocale>

#include "platform/Locale.h"

namespace platform {

std::string DecimalSeparator() {
  // The C library's numeric locale; programs start in the "C" locale unless they set one.
  const std::lconv* conv = std::localeconv();
  return conv && conv->decimal_point && *conv->decimal_point ? conv->decimal_point : ".";
}

}  // namespace platform
