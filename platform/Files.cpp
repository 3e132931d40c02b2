#include "platform/Files.h"

#include <fstream>
#include <stdexcept>

#include "platform/LongPath.h"

namespace platform {

std::filesystem::path PathFromUtf8(std::string_view utf8) {
#ifdef _WIN32
  std::string text = ExtendedLengthPath(utf8);
  return std::filesystem::path(std::u8string(text.begin(), text.end()));
#else
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
#endif
}

std::filesystem::path LexicalPath(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8FromPath(const std::filesystem::path& path) {
  std::u8string s = path.u8string();
#ifdef _WIN32
  return WithoutExtendedLengthPrefix(std::string(s.begin(), s.end()));
#else
  return std::string(s.begin(), s.end());
#endif
}

std::string SystemPath(std::string_view utf8) {
#ifdef _WIN32
  return ExtendedLengthPath(utf8);
#else
  return std::string(utf8);
#endif
}

char PathDelimiter() {
#ifdef _WIN32
  return '\\';
#else
  return '/';
#endif
}

std::string IncludeTrailingPathDelimiter(std::string_view path) {
  std::string out(path);
  if (out.empty() || (out.back() != PathDelimiter() && out.back() != '/')) out.push_back(PathDelimiter());
  return out;
}

bool ReadWholeFile(std::string_view utf8Path, std::string& bytes) {
  std::ifstream in(PathFromUtf8(utf8Path), std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

void WriteWholeFile(std::string_view utf8Path, std::string_view bytes) {
  std::ofstream out(PathFromUtf8(utf8Path), std::ios::binary | std::ios::trunc);
  if (!out) throw std::runtime_error("Cannot create file " + std::string(utf8Path));
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.flush();
  if (!out) throw std::runtime_error("Cannot write file " + std::string(utf8Path));
}

}  // namespace platform
