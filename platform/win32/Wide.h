#pragma once
// UTF-8 <-> UTF-16 at the Win32 boundary (wchar_t is UTF-16 on Windows).
#include <string>
#include <string_view>

#include "platform/LongPath.h"
#include "platform/Text.h"

namespace platform::win32 {

inline std::wstring Wide(std::string_view utf8) {
  std::u16string s = Utf16FromUtf8(utf8);
  return std::wstring(s.begin(), s.end());
}

// A UTF-8 path for a Win32 file function: long absolute paths in the extended-length form.
inline std::wstring WidePath(std::string_view utf8Path) { return Wide(ExtendedLengthPath(utf8Path)); }

inline std::string Utf8(std::wstring_view wide) {
  return Utf8FromUtf16(std::u16string(wide.begin(), wide.end()));
}

}  // namespace platform::win32
