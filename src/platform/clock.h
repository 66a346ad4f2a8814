// The present date and time as the user's regional settings write them.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct LocalNow {
  int year, month, day;
  // Seconds since midnight to the hundredth, as a single-precision value.
  float secondsSinceMidnight;
  std::string shortDate;
  std::string longTime;
  bool atMidnight;
};

LocalNow Now();
// The user's general date: short date, a blank, long time; the date alone at
// exactly midnight.
std::string GeneralDate(const LocalNow& now);
std::string DecimalSeparator();
// The present moment in the system's 100 ns ticks since 1601 (UTC).
uint64_t NowTicks();

}  // namespace platform
