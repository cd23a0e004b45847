// TString, the boxed 8-bit string, and the string helpers of the library.
// Positions in the helpers are 1-based. Letters are compared without regard
// to case only in the ASCII range.
#pragma once

#include <cstdint>
#include <string>

#include "basis/p_object.h"
#include "platform/export.h"

// An 8-bit string as a persistent object; its static functions are the
// string helpers.
class VOSKO_API TString : public TPObject {
 public:
  VOSKO_CLASS_NAME(TString)

  TString() = default;
  explicit TString(std::string value) : value_(std::move(value)) {}

  const std::string& getValue() const { return value_; }
  void setValue(const std::string& value) { value_ = value; }

  // Equal to a TString (or descendant) of the same bytes.
  bool equals(const TMappedObject* obj) const override;
  std::string toString() const override { return value_; }
  // The sum of the byte values, 0..255 each.
  int32_t hashCode() const override;
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

  static bool containsIgnoreCase(const std::string& s, const std::string& sub);
  static bool startsWith(const std::string& s, const std::string& prefix, bool caseSensitive = false);
  static std::string removeChar(const std::string& s, char ch);
  // 1-based position of sub in s at or after `from`; 0 when none or `from` is out of range.
  static int32_t indexOf(const std::string& sub, const std::string& s, int32_t from);
  // "0" put in front until the text is at least `width` long; -5 to 4 gives "00-5".
  static std::string zeroPad(int64_t number, int32_t width);
  static std::string toUpperAscii(const std::string& s);
  static std::string toLowerAscii(const std::string& s);

 private:
  std::string value_;
};
