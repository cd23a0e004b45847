// Whether the bytes of an object-file database (2.5, 2.5.3, 2.5.5) are in the
// plain form the old applications wrote, looked at without building a single
// object: the carriers as "TSoundCarrier" and their titles as "TTitle", each
// block exactly as long as its fields (the common ones, then the format's own
// from its field tables), and nothing after the last carrier.
//
// Every database in that form loads without a failure, so its conversion can
// run carrier by carrier. Anything else, damaged or merely unusual, takes the
// conversion that loads the whole file first and reports what it finds.
#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

#include "platform/little_endian.h"

namespace objectconversion {

class PlainReader {
 public:
  explicit PlainReader(std::string_view bytes) : bytes_(bytes) {}

  bool atEnd() const { return pos_ == bytes_.size(); }

  // A count or length; false when the bytes end first.
  bool int32(int32_t& value) {
    if (bytes_.size() - pos_ < platform::kFixed32Size) return false;
    value = static_cast<int32_t>(platform::decodeFixed32(bytes_.data() + pos_));
    pos_ += platform::kFixed32Size;
    return true;
  }
  // A text as the reader takes it: a length of 0 or less is the empty text.
  bool text() {
    int32_t n = 0;
    return int32(n) && skip(n);
  }
  bool number() { return skip(8); }
  // The stored class name, which must be `name` exactly.
  bool className(std::string_view name) {
    int32_t n = 0;
    if (!int32(n) || n != static_cast<int32_t>(name.size()) || bytes_.size() - pos_ < name.size()) return false;
    const bool same = std::memcmp(bytes_.data() + pos_, name.data(), name.size()) == 0;
    pos_ += name.size();
    return same;
  }
  // A length-prefixed block whose fields `body` takes, exactly to its end.
  template <class Body>
  bool block(Body body) {
    int32_t n = 0;
    if (!int32(n) || n < 0 || bytes_.size() - pos_ < static_cast<size_t>(n)) return false;
    const size_t end = pos_ + static_cast<size_t>(n);
    return body() && pos_ == end;
  }

 private:
  bool skip(int32_t n) {
    if (n <= 0) return true;
    if (bytes_.size() - pos_ < static_cast<size_t>(n)) return false;
    pos_ += static_cast<size_t>(n);
    return true;
  }

  std::string_view bytes_;
  size_t pos_ = 0;
};

// `block` is what follows the database's outer block length.
template <class Format>
bool isPlainDatabase(std::string_view block) {
  PlainReader in(block);
  auto texts = [&](size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (!in.text()) return false;
    }
    return true;
  };
  auto title = [&] { return texts(3 + Format::kTitleFields.size()); };
  auto carrier = [&] {
    int32_t titles = 0;
    if (!texts(4) || !in.number() || !texts(1 + Format::kCarrierFields.size()) || !in.int32(titles) || titles < 0) {
      return false;
    }
    for (int32_t i = 0; i < titles; ++i) {
      if (!in.className("TTitle") || !in.block(title)) return false;
    }
    return true;
  };
  int32_t carriers = 0;
  if (!in.int32(carriers) || carriers < 0) return false;
  for (int32_t i = 0; i < carriers; ++i) {
    if (!in.className("TSoundCarrier") || !in.block(carrier)) return false;
  }
  return in.atEnd();
}

}  // namespace objectconversion
