// SPDX-License-Identifier: MIT
// The system's local time, read from its real-time clock.
#pragma once

// The local time of day in seconds since midnight, with its fraction.
double LocalSecondsOfDay();
// The current local date and time as a day count: days since 30 December 1899, the fraction
// being the time of day (the date format of the high-score table).
double CurrentDateTime();
