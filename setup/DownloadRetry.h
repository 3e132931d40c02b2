#pragma once
// When a download is tried again. A failure of the line (a connection refused, reset or cut, a
// time-out) and the answers 408, 429, 500, 502, 503 and 504 are transient: the download waits
// a growing pause, or what the server's Retry-After asks up to a bound, and tries again, at most
// as often as the schedule has pauses. Anything else (404, 403, a certificate refused, a file
// that cannot be written) fails at once.
#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/Progress.h"
#include "platform/HttpClient.h"

struct RetrySchedule {
  using Milliseconds = std::chrono::milliseconds;
  // One pause per retry, so its size is the number of retries.
  std::vector<Milliseconds> pauses{Milliseconds(1000), Milliseconds(3000), Milliseconds(9000)};
  // The longest pause a Retry-After may ask for.
  Milliseconds retryAfterLimit{30000};
  // Waits one pause; false when a stop ended it. Empty: WaitBeforeRetry. Tests put their own here
  // so that no test waits real seconds.
  std::function<bool(Milliseconds pause, engine::ProgressSink* progress)> wait;
};

// The schedule every download follows.
RetrySchedule& DownloadRetrySchedule();

// Whether a failed request may succeed when tried again.
bool IsTransientFailure(const http::Result& result);

// The pause a Retry-After value asks for: delay seconds, or an HTTP date (IMF-fixdate) against
// now. -1 when the value is absent or unreadable; 0 for a date already past.
std::int64_t RetryAfterSeconds(const std::string& value, std::chrono::system_clock::time_point now);

// The pause before retry number `retry` (0 for the first) after that failure: the schedule's,
// or longer when the server's Retry-After asks for more, never beyond the schedule's bound.
RetrySchedule::Milliseconds PauseBeforeRetry(const RetrySchedule& schedule, std::size_t retry,
                                             const http::Result& failure);

// Waits a pause in slices of 50 ms. With a progress sink, pending input runs between slices and
// a stop (the sink's, or StopRequested) ends the wait at once; without one it cannot be stopped.
bool WaitBeforeRetry(RetrySchedule::Milliseconds pause, engine::ProgressSink* progress);
