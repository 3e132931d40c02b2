// The native build's process, clock and code page services.
#include <iconv.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <stdexcept>

#include "platform/Clock.h"
#include "platform/Files.h"
#include "platform/Process.h"
#include "platform/Text.h"

namespace platform {

namespace {
std::string Convert(std::string_view in, const char* to, const char* from) {
  iconv_t cd = iconv_open(to, from);
  if (cd == reinterpret_cast<iconv_t>(-1)) throw std::runtime_error("iconv cannot convert");
  std::string out;
  out.resize(in.size() * 4 + 4);
  char* src = const_cast<char*>(in.data());
  size_t srcLeft = in.size();
  char* dst = out.data();
  size_t dstLeft = out.size();
  while (srcLeft > 0) {
    size_t r = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
    if (r == static_cast<size_t>(-1)) {
      if (errno == EILSEQ || errno == EINVAL) {
        // A character the target cannot hold becomes '?', as WideCharToMultiByte does.
        if (dstLeft == 0) break;
        *dst++ = '?';
        --dstLeft;
        // skip one input character (one byte, or a whole UTF-8 sequence)
        size_t skip = 1;
        if (std::string_view(from) == "UTF-8") {
          unsigned char c = static_cast<unsigned char>(*src);
          skip = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
          if (skip > srcLeft) skip = srcLeft;
        }
        src += skip;
        srcLeft -= skip;
        continue;
      }
      break;
    }
  }
  out.resize(out.size() - dstLeft);
  iconv_close(cd);
  return out;
}
}  // namespace

std::string AnsiFromUtf8(std::string_view utf8) { return Convert(utf8, "CP1250", "UTF-8"); }
std::string Utf8FromAnsi(std::string_view ansi) { return Convert(ansi, "UTF-8", "CP1250"); }
std::string OemFromUtf8(std::string_view utf8) { return Convert(utf8, "CP852", "UTF-8"); }
std::string Utf8FromOem(std::string_view oem) { return Convert(oem, "UTF-8", "CP852"); }

LocalTime NowLocal() {
  auto now = std::chrono::system_clock::now();
  std::time_t tt = std::chrono::system_clock::to_time_t(now);
  std::tm tm{};
  localtime_r(&tt, &tm);
  LocalTime t;
  t.year = tm.tm_year + 1900;
  t.month = tm.tm_mon + 1;
  t.day = tm.tm_mday;
  t.hour = tm.tm_hour;
  t.minute = tm.tm_min;
  t.second = tm.tm_sec;
  t.millisecond = static_cast<int>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  return t;
}

std::string ShortDateText(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d", t.day, t.month, t.year);
  return buf;
}

std::string LongTimeText(const LocalTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d:%02d:%02d", t.hour, t.minute, t.second);
  return buf;
}

std::vector<std::string> CommandLineArgs(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

std::string ExecutablePath() {
  std::error_code ec;
  auto p = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : p.string();
}

std::string ExecutableDir() {
  std::string p = ExecutablePath();
  return p.substr(0, p.find_last_of('/') + 1);
}

std::optional<std::string> GetEnv(std::string_view name) {
  const char* v = std::getenv(std::string(name).c_str());
  if (!v) return std::nullopt;
  return std::string(v);
}

std::string TempPath() {
  std::string dir = GetEnv("TMPDIR").value_or("/tmp");
  if (dir.empty()) dir = "/tmp";
  if (dir.back() != '/') dir.push_back('/');
  return dir;
}

bool ListDirectory(std::string_view utf8Dir, std::vector<DirectoryEntry>& entries) {
  namespace fs = std::filesystem;
  entries.clear();
  std::error_code ec;
  for (fs::directory_iterator it(PathFromUtf8(utf8Dir), ec), end; !ec && it != end; it.increment(ec)) {
    DirectoryEntry e;
    e.Name = Utf8FromPath(it->path().filename());
    std::error_code e2;
    e.Link = it->is_symlink(e2);
    e.Directory = it->is_directory(e2);
    e.File = e.Link ? it->is_regular_file(e2) : !e.Directory;
    entries.push_back(std::move(e));
  }
  return !ec;
}

}  // namespace platform
