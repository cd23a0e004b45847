// The bytes of an object-file database (2.5, 2.5.3, 2.5.5) in the plain form
// the old applications wrote, read straight into reused plain records instead
// of objects: the carriers stored as "TSoundCarrier" and their titles as
// "TTitle", each block exactly as long as its fields (the common ones, then
// the format's own from its field tables), and nothing after the last
// carrier.
//
// Every database in that form loads without a failure, so its conversion can
// run carrier by carrier from these records. Anything else, damaged or merely
// unusual, takes the conversion that loads the whole file first and reports
// what it finds.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "platform/little_endian.h"

namespace objectconversion {

// One title and one carrier as stored, with the members the conversion asks
// of the format's model; kept from one carrier to the next, so that their
// texts keep their room.
template <class Format>
struct PlainTitle : Format::TitleFields {
  std::string name;
  std::string artist;
  std::string url;
};

template <class Format>
struct PlainCarrier : Format::CarrierFields {
  static constexpr const char* kClassName = Format::kCarrierName;

  std::string name;
  std::string label;
  std::string artist;
  std::string type;
  double release = 0;
  std::string notes;
  std::vector<PlainTitle<Format>> titles;
  int32_t titleCount = 0;

  int32_t size() const { return titleCount; }
  const PlainTitle<Format>* getTitle(int32_t index) const { return &titles[static_cast<size_t>(index)]; }
  PlainTitle<Format>* getTitle(int32_t index) { return &titles[static_cast<size_t>(index)]; }
};

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
  bool text(std::string& into) {
    int32_t n = 0;
    if (!int32(n)) return false;
    if (n <= 0) {
      into.clear();
      return true;
    }
    if (bytes_.size() - pos_ < static_cast<size_t>(n)) return false;
    into.assign(bytes_.data() + pos_, static_cast<size_t>(n));
    pos_ += static_cast<size_t>(n);
    return true;
  }
  bool number(double& into) {
    if (bytes_.size() - pos_ < 8) return false;
    into = platform::decodeDouble(bytes_.data() + pos_);
    pos_ += 8;
    return true;
  }
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

  template <class Table, class Fields>
  bool fields(const Table& table, Fields& into) {
    for (const auto& field : table) {
      if (!text(into.*field.member)) return false;
    }
    return true;
  }

  // The next carrier with its titles, into `carrier`; false for anything
  // but a carrier in the plain form.
  template <class Format>
  bool carrier(PlainCarrier<Format>& carrier) {
    return className("TSoundCarrier") && block([&] {
             int32_t titles = 0;
             if (!text(carrier.name) || !text(carrier.label) || !text(carrier.artist) || !text(carrier.type) ||
                 !number(carrier.release) || !text(carrier.notes) ||
                 !fields(Format::kCarrierFields, static_cast<typename Format::CarrierFields&>(carrier)) ||
                 !int32(titles) || titles < 0) {
               return false;
             }
             // Each title takes at least its class name and block: no more
             // room than the bytes left can fill.
             if (carrier.titles.size() < static_cast<size_t>(titles)) {
               if (static_cast<size_t>(titles) > (bytes_.size() - pos_) / 8) return false;
               carrier.titles.resize(static_cast<size_t>(titles));
             }
             carrier.titleCount = titles;
             for (int32_t i = 0; i < titles; ++i) {
               PlainTitle<Format>& title = carrier.titles[static_cast<size_t>(i)];
               if (!className("TTitle") || !block([&] {
                     return text(title.name) && text(title.artist) && text(title.url) &&
                            fields(Format::kTitleFields, static_cast<typename Format::TitleFields&>(title));
                   })) {
                 return false;
               }
             }
             return true;
           });
  }

 private:
  std::string_view bytes_;
  size_t pos_ = 0;
};

}  // namespace objectconversion
