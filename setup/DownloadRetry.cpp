#include "setup/DownloadRetry.h"

#include <algorithm>
#include <charconv>
#include <thread>

#include "platform/Text.h"
#include "setup/Downloader.h"
#include "ui/Application.h"

RetrySchedule& DownloadRetrySchedule() {
  static RetrySchedule schedule;
  return schedule;
}

bool IsTransientFailure(const http::Result& result) {
  if (result.ok) return false;
  if (result.connectionFailed) return true;
  switch (result.response.status) {
    case 408: case 429: case 500: case 502: case 503: case 504:
      return true;
    default:
      return false;
  }
}

namespace {

// Days since 1970-01-01 of a civil date (proleptic Gregorian).
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

bool Number(std::string_view text, int& value) {
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size();
}

}  // namespace

std::int64_t RetryAfterSeconds(const std::string& value, std::chrono::system_clock::time_point now) {
  std::string text = platform::Trim(value);
  if (text.empty()) return -1;
  if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    if (text.size() > 9) return 1000000000;  // far beyond any bound
    return std::stoll(text);
  }
  // "Sun, 06 Nov 1994 08:49:37 GMT"
  static const char* const months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                        "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  if (text.size() != 29 || text[3] != ',' || text.substr(26) != "GMT") return -1;
  int day = 0, year = 0, hour = 0, minute = 0, second = 0;
  unsigned month = 0;
  for (unsigned i = 0; i < 12; ++i)
    if (text.substr(8, 3) == months[i]) month = i + 1;
  if (month == 0 || !Number(text.substr(5, 2), day) || !Number(text.substr(12, 4), year) ||
      !Number(text.substr(17, 2), hour) || !Number(text.substr(20, 2), minute) ||
      !Number(text.substr(23, 2), second) || text[19] != ':' || text[22] != ':')
    return -1;
  std::int64_t at = DaysFromCivil(year, month, static_cast<unsigned>(day)) * 86400 + hour * 3600 + minute * 60 + second;
  std::int64_t nowSeconds = std::chrono::duration_cast<std::chrono::seconds>(now.time_since_epoch()).count();
  return std::max<std::int64_t>(0, at - nowSeconds);
}

RetrySchedule::Milliseconds PauseBeforeRetry(const RetrySchedule& schedule, std::size_t retry,
                                             const http::Result& failure) {
  RetrySchedule::Milliseconds pause =
      schedule.pauses.empty() ? RetrySchedule::Milliseconds(0)
                              : schedule.pauses[std::min(retry, schedule.pauses.size() - 1)];
  std::int64_t asked = RetryAfterSeconds(failure.response.Header("Retry-After"), std::chrono::system_clock::now());
  if (asked >= 0) {
    auto limit = schedule.retryAfterLimit;
    auto wanted = asked >= limit.count() / 1000 + 1 ? limit : RetrySchedule::Milliseconds(asked * 1000);
    pause = std::max(pause, std::min(wanted, limit));
  }
  return pause;
}

bool WaitBeforeRetry(RetrySchedule::Milliseconds pause, engine::ProgressSink* progress) {
  using clock = std::chrono::steady_clock;
  const auto end = clock::now() + pause;
  while (true) {
    if (progress) {
      Application().ProcessMessages();
      if (StopRequested || progress->ShouldStop()) return false;
    }
    auto left = end - clock::now();
    if (left <= clock::duration::zero()) return true;
    std::this_thread::sleep_for(std::min<clock::duration>(left, std::chrono::milliseconds(50)));
  }
}
