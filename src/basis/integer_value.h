// TInteger, the boxed signed 32-bit integer.
#pragma once

#include <cstdint>
#include <string>

#include "basis/p_object.h"
#include "platform/export.h"

// A signed 32-bit integer as a persistent object, equal and hashed by its value.
class VOSKO_API TInteger : public TPObject {
 public:
  VOSKO_CLASS_NAME(TInteger)

  TInteger() = default;
  explicit TInteger(int32_t value) : value_(value) {}
  // Decimal text with an optional sign, or "$"/"0x" hexadecimal, to a 32-bit
  // integer; raises EConvertError "'<text>' is not a valid integer value".
  static int32_t parse(const std::string& text);

  int32_t getValue() const { return value_; }
  void setValue(int32_t value) { value_ = value; }

  bool equals(const TMappedObject* obj) const override;
  std::string toString() const override { return std::to_string(value_); }
  int32_t hashCode() const override { return value_; }
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

 private:
  int32_t value_ = 0;
};
