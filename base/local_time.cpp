// SPDX-License-Identifier: MIT
#include "base/local_time.h"

#include <ctime>

namespace {

// Seconds since the epoch in local time with their fraction, and the time of day.
double LocalSecondsSinceEpoch(double& secondsOfDay) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  const double fraction = static_cast<double>(now.tv_nsec) / 1e9;
  secondsOfDay = local.tm_hour * 3600.0 + local.tm_min * 60.0 + local.tm_sec + fraction;
  return static_cast<double>(now.tv_sec) + static_cast<double>(local.tm_gmtoff) + fraction;
}

}  // namespace

double LocalSecondsOfDay() {
  double secondsOfDay = 0;
  LocalSecondsSinceEpoch(secondsOfDay);
  return secondsOfDay;
}

double CurrentDateTime() {
  constexpr double DaysFrom1899To1970 = 25569.0;
  double secondsOfDay = 0;
  return LocalSecondsSinceEpoch(secondsOfDay) / 86400.0 + DaysFrom1899To1970;
}
