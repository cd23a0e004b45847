#include "basis/date_time_value.h"

#include "basis/file.h"
#include "platform/clock.h"

int64_t TTDateTime::millisBetween(double a, double b) {
  if (a >= b) return 0;
  double d = b - a;
  return platform::timeOfDayMillis(d) + platform::wholeDays(d) * 86400000LL;
}

std::string TTDateTime::toString() const { return platform::formatDateTime(value_); }

std::unique_ptr<TMappedObject> TTDateTime::clone() const { return std::make_unique<TTDateTime>(value_); }

void TTDateTime::readFrom(TFile& file) { value_ = file.readDouble(); }

void TTDateTime::writeTo(TFile& file) { file.writeDouble(value_); }
