// Local date and time as the system counts it: a double of days since
// 30 December 1899, the fraction being the time of day. Before that day the
// whole part is negative and the fraction still counts forward from midnight
// (-1.25 is 29 December 1899, 06:00). Texts use the fixed short date
// "dd.mm.yyyy" and date-and-time "dd.mm.yyyy hh:nn:ss".
#pragma once

#include <cstdint>
#include <string>

#include "platform/export.h"

namespace platform {

// A date-time taken apart into its calendar fields, as decodeDateTime gives
// it; the defaults are day 0, 30 December 1899 at midnight.
struct VOSKO_API DateTimeParts {
  int year = 1899;
  int month = 12;
  int day = 30;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;
};

// The current local date and time, to the millisecond.
VOSKO_API double now();

VOSKO_API DateTimeParts decodeDateTime(double value);
// REQUIRES: a valid calendar date.
VOSKO_API double encodeDate(int year, int month, int day);
VOSKO_API double encodeTime(int hour, int minute, int second, int millisecond);

// The whole days of a date-time (towards zero) and its time of day in milliseconds.
VOSKO_API int64_t wholeDays(double value);
VOSKO_API int64_t timeOfDayMillis(double value);

VOSKO_API std::string formatShortDate(double value);
VOSKO_API std::string formatDateTime(double value);
// The day of a date-time as ISO 8601 "yyyy-mm-dd", the same day formatShortDate
// shows; a year beyond 0..9999 gets its sign and as many digits as it needs.
VOSKO_API std::string formatIsoDate(double value);
// Raises EConvertError "'text' is not a valid date" for anything but a
// valid "d.m.yyyy" date (one- or two-digit day and month).
VOSKO_API double parseShortDate(const std::string& text);

}  // namespace platform
