// TTDateTime, the boxed date-time: days since 30 December 1899 as a double,
// the fraction being the local time of day.
#pragma once

#include <cstdint>
#include <string>

#include "basis/p_object.h"
#include "platform/export.h"

// A date-time as a persistent object, stored as the eight bytes of its day count.
class VOSKO_API TTDateTime : public TPObject {
 public:
  VOSKO_CLASS_NAME(TTDateTime)

  TTDateTime() = default;
  explicit TTDateTime(double value) : value_(value) {}

  double getValue() const { return value_; }
  void setValue(double value) { value_ = value; }

  // Milliseconds from a to b; 0 when a is not earlier than b.
  static int64_t millisBetween(double a, double b);

  // "dd.mm.yyyy hh:nn:ss".
  std::string toString() const override;
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

 private:
  double value_ = 0.0;
};
