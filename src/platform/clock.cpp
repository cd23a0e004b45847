#include "platform/clock.h"

#include <cmath>
#include <cstdio>
#include <ctime>

#include "platform/exception.h"
#include "platform/message_value.h"

namespace platform {
namespace {

constexpr int64_t kMillisPerDay = 86400000;
// Days from 0000-03-01 based civil counting to 1899-12-30.
constexpr int64_t kEpochShift = 693899;  // days_from_civil(1899,12,30) + 719468

// Howard Hinnant's civil-from-days algorithms, counted from 0000-03-01.
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe);
}

void civilFromDays(int64_t z, int& year, int& month, int& day) {
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t y = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  year = static_cast<int>(y + (month <= 2));
}

bool isLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int daysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && isLeap(y) ? 29 : kDays[m - 1];
}

std::string pad(int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

}  // namespace

double now() {
  timespec ts{};
  clock_gettime(CLOCK_REALTIME, &ts);
  // Within one second only the milliseconds change: the local time of the
  // second is worked out once (new records ask for it by the thousand).
  thread_local time_t second = -1;
  thread_local std::tm local{};
  thread_local double date = 0;
  if (ts.tv_sec != second) {
    time_t secs = ts.tv_sec;
    localtime_r(&secs, &local);
    date = encodeDate(local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
    second = ts.tv_sec;
  }
  return date + encodeTime(local.tm_hour, local.tm_min, local.tm_sec, static_cast<int>(ts.tv_nsec / 1000000));
}

// Beyond this many days (some 27,000 years) a date-time is not a date; damaged
// files can hold such values, and they must not overflow the conversions.
constexpr double kMaxDays = 1.0e7;

int64_t wholeDays(double value) {
  if (!std::isfinite(value) || std::fabs(value) > kMaxDays) return 0;
  return static_cast<int64_t>(std::trunc(value));
}

int64_t timeOfDayMillis(double value) {
  if (!std::isfinite(value) || std::fabs(value) > kMaxDays) return 0;
  double frac = std::fabs(value - std::trunc(value));
  int64_t ms = std::llround(frac * kMillisPerDay);
  return ms >= kMillisPerDay ? kMillisPerDay - 1 : ms;
}

DateTimeParts decodeDateTime(double value) {
  DateTimeParts parts;
  if (!std::isfinite(value) || std::fabs(value) > 3.0e6) return parts;  // beyond year 9999
  int64_t days = wholeDays(value);
  int64_t ms = timeOfDayMillis(value);
  // A value a hair below midnight rounds up to the next day, as the clock would show it.
  if (value >= 0 && std::llround((value - static_cast<double>(days)) * kMillisPerDay) >= kMillisPerDay) {
    ++days;
    ms = 0;
  }
  civilFromDays(days + kEpochShift, parts.year, parts.month, parts.day);
  parts.hour = static_cast<int>(ms / 3600000);
  parts.minute = static_cast<int>(ms / 60000 % 60);
  parts.second = static_cast<int>(ms / 1000 % 60);
  parts.millisecond = static_cast<int>(ms % 1000);
  return parts;
}

double encodeDate(int year, int month, int day) {
  return static_cast<double>(daysFromCivil(year, static_cast<unsigned>(month), static_cast<unsigned>(day)) -
                             kEpochShift);
}

double encodeTime(int hour, int minute, int second, int millisecond) {
  return static_cast<double>(((hour * 60 + minute) * 60 + second) * 1000 + millisecond) / kMillisPerDay;
}

std::string formatShortDate(double value) {
  DateTimeParts p = decodeDateTime(value);
  return pad(p.day, 2) + "." + pad(p.month, 2) + "." + pad(p.year, 4);
}

std::string formatDateTime(double value) {
  DateTimeParts p = decodeDateTime(value);
  return formatShortDate(value) + " " + pad(p.hour, 2) + ":" + pad(p.minute, 2) + ":" + pad(p.second, 2);
}

std::string formatIsoDate(double value) {
  DateTimeParts p = decodeDateTime(value);
  // Built by appending: g++ 12 takes a prefix put in front for an overlapping copy (-Wrestrict).
  std::string text = p.year < 0 ? "-" : p.year > 9999 ? "+" : "";
  text += pad(p.year < 0 ? -p.year : p.year, 4);
  text += '-';
  text += pad(p.month, 2);
  text += '-';
  text += pad(p.day, 2);
  return text;
}

double parseShortDate(const std::string& text) {
  auto fail = [&]() -> double { throw EConvertError("'" + messageValue(text) + "' is not a valid date"); };
  int fields[3] = {0, 0, 0};
  int digits[3] = {0, 0, 0};
  int field = 0;
  for (char c : text) {
    if (c == '.') {
      if (++field > 2) return fail();
    } else if (c >= '0' && c <= '9') {
      if (++digits[field] > 4) return fail();
      fields[field] = fields[field] * 10 + (c - '0');
    } else {
      return fail();
    }
  }
  if (field != 2 || digits[0] == 0 || digits[0] > 2 || digits[1] == 0 || digits[1] > 2 || digits[2] == 0) {
    return fail();
  }
  int day = fields[0], month = fields[1], year = fields[2];
  if (year < 1 || month < 1 || month > 12 || day < 1 || day > daysInMonth(year, month)) return fail();
  return encodeDate(year, month, day);
}

}  // namespace platform
