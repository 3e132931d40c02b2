#include <windows.h>

#include "platform/Locale.h"
#include "platform/win32/Wide.h"

namespace platform {

std::string DecimalSeparator() {
  wchar_t buffer[8] = {};
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, buffer, 8) <= 0) return ".";
  return win32::Utf8(buffer);
}

}  // namespace platform
