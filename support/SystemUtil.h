#pragma once
// The installer's small operating-system utilities. Stateless free functions.
#include <string>

#include "platform/Clock.h"

// Decimal text of n, prefixed with "0" until it is at least width long; never shortens.
std::string ZeroPad(long long n, int width);
// YYYYMMDDhhmmss, fourteen digits.
std::string TimeStampText(const platform::LocalTime& t);
// The user's temporary folder, with its trailing path delimiter.
std::string TempDirectory();
