#include "basis/integer_value.h"

#include "basis/file.h"
#include "platform/exception.h"
#include "platform/message_value.h"

int32_t TInteger::parse(const std::string& text) {
  auto fail = [&]() -> int32_t {
    throw EConvertError("'" + platform::messageValue(text) + "' is not a valid integer value");
  };
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;  // leading blanks are tolerated, trailing ones not
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (i < text.size() && text[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return fail();
  int64_t value = 0;
  for (; i < text.size(); ++i) {
    char c = text[i];
    int digit;
    if (c >= '0' && c <= '9') {
      digit = c - '0';
    } else if (base == 16 && c >= 'a' && c <= 'f') {
      digit = c - 'a' + 10;
    } else if (base == 16 && c >= 'A' && c <= 'F') {
      digit = c - 'A' + 10;
    } else {
      return fail();
    }
    value = value * base + digit;
    if (value > (base == 16 ? 0xFFFFFFFFLL : 0x80000000LL)) return fail();
  }
  if (base == 16) {
    // Hexadecimal texts name the 32 bits themselves, as the platform reads them.
    int32_t bits = static_cast<int32_t>(static_cast<uint32_t>(value));
    return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(bits)) : bits;
  }
  if (negative) return static_cast<int32_t>(-value);
  if (value > 0x7FFFFFFF) return fail();
  return static_cast<int32_t>(value);
}

bool TInteger::equals(const TMappedObject* obj) const {
  auto* other = dynamic_cast<const TInteger*>(obj);
  return other != nullptr && other->value_ == value_;
}

std::unique_ptr<TMappedObject> TInteger::clone() const { return std::make_unique<TInteger>(value_); }

void TInteger::readFrom(TFile& file) { value_ = file.readInt(); }

void TInteger::writeTo(TFile& file) { file.writeInt(value_); }
