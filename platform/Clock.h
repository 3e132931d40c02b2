#pragma once
// Local time and the operating system's regional formats for it.
#include <string>

namespace platform {

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0, millisecond = 0;
};

LocalTime NowLocal();
// The system's short date format and long time format (regional settings).
// The native build uses the Czech forms, 08.12.2024 and 10:15:02.
std::string ShortDateText(const LocalTime& t);
std::string LongTimeText(const LocalTime& t);

}  // namespace platform
