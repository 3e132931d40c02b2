#pragma once
// Text is UTF-8 everywhere inside the program. These are the only conversions:
// UTF-16 for the Win32 boundary and the registry, and the system's 8-bit code pages
// (ANSI for log files and Velmor.INI, OEM for ZIP entry names) for the formats that need them.
#include <string>
#include <string_view>

namespace platform {

std::u16string Utf16FromUtf8(std::string_view utf8);
std::string Utf8FromUtf16(std::u16string_view utf16);
// Appends one code point in UTF-8 (the caller has made sure it is a scalar value).
void AppendUtf8(std::string& out, char32_t cp);

// The system's ANSI code page (Windows-1250 on a Czech system; the native build uses 1250).
std::string AnsiFromUtf8(std::string_view utf8);
std::string Utf8FromAnsi(std::string_view ansi);

// The system's OEM code page (852 on a Czech system; the native build uses 852).
std::string OemFromUtf8(std::string_view utf8);
std::string Utf8FromOem(std::string_view oem);

// ASCII-only case folding and comparison, for names the format compares ignoring case.
std::string UpperAscii(std::string_view text);
std::string LowerAscii(std::string_view text);
bool SameTextAscii(std::string_view a, std::string_view b);

// Upper/lower case of the whole text including Czech, German and Slovak letters.
std::string UpperText(std::string_view utf8);
std::string LowerText(std::string_view utf8);

std::string Trim(std::string_view text);

}  // namespace platform
