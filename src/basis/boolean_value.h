// TBoolean, the boxed boolean, with its text forms "true" and "false".
#pragma once

#include <string>

#include "basis/p_object.h"
#include "platform/export.h"

// A boolean as a persistent object, stored as one byte.
class VOSKO_API TBoolean : public TPObject {
 public:
  VOSKO_CLASS_NAME(TBoolean)

  TBoolean() = default;
  explicit TBoolean(bool value) : value_(value) {}

  bool getValue() const { return value_; }
  void setValue(bool value) { value_ = value; }

  // "true" or "false" in any letter case; anything else raises ParserException
  // "TBoolean.fromString: No such boolean value: '<s>'.".
  static bool fromString(const std::string& s);
  static std::string toString(bool b) { return b ? "true" : "false"; }

  std::string toString() const override { return toString(value_); }
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

 private:
  bool value_ = false;
};
