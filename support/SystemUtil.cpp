#include "support/SystemUtil.h"

#include "platform/Process.h"

std::string ZeroPad(long long n, int width) {
  std::string s = std::to_string(n);
  while (static_cast<int>(s.size()) < width) s.insert(s.begin(), '0');
  return s;
}

std::string TimeStampText(const platform::LocalTime& t) {
  return ZeroPad(t.year, 4) + ZeroPad(t.month, 2) + ZeroPad(t.day, 2) + ZeroPad(t.hour, 2) +
         ZeroPad(t.minute, 2) + ZeroPad(t.second, 2);
}

std::string TempDirectory() { return platform::TempPath(); }
