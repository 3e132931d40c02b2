// Encodings of registry value data, the same on every build.
#include "platform/Registry.h"
#include "platform/Text.h"

namespace platform {

namespace {
void AppendUtf16Le(std::string& out, std::string_view utf8) {
  for (char16_t c : Utf16FromUtf8(utf8)) {
    out.push_back(static_cast<char>(c & 0xFF));
    out.push_back(static_cast<char>((c >> 8) & 0xFF));
  }
  out.append(2, '\0');
}
}  // namespace

std::string RegStringData(std::string_view utf8) {
  std::string out;
  AppendUtf16Le(out, utf8);
  return out;
}

std::string RegStringFromData(std::string_view data) {
  std::u16string text;
  for (size_t i = 0; i + 1 < data.size(); i += 2) {
    char16_t c = static_cast<char16_t>(static_cast<unsigned char>(data[i]) |
                                       (static_cast<unsigned char>(data[i + 1]) << 8));
    if (c == 0) break;
    text.push_back(c);
  }
  return Utf8FromUtf16(text);
}

std::string RegMultiStringData(const std::vector<std::string>& utf8) {
  std::string out;
  for (const std::string& s : utf8) AppendUtf16Le(out, s);
  out.append(2, '\0');
  return out;
}

std::string RegDWordData(std::uint32_t value) {
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i) out[static_cast<size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
  return out;
}

}  // namespace platform
