#include "basis/date_time_value.h"

#include <cmath>

#include "basis/file.h"
#include "platform/clock.h"

int64_t TTDateTime::millisBetween(double a, double b) {
  if (a >= b) return 0;
  double d = b - a;
  // Values from a damaged file are no dates and give no figure.
  if (!std::isfinite(d) || d > 1.0e7) return 0;
  double days = std::trunc(d);
  // A time of day that rounds up to a full day carries into the days.
  return static_cast<int64_t>(days) * 86400000LL + std::llround((d - days) * 86400000.0);
}

std::string TTDateTime::toString() const { return platform::formatDateTime(value_); }

std::unique_ptr<TMappedObject> TTDateTime::clone() const { return std::make_unique<TTDateTime>(value_); }

void TTDateTime::readFrom(TFile& file) { value_ = file.readDouble(); }

void TTDateTime::writeTo(TFile& file) { file.writeDouble(value_); }
