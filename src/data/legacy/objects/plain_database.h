// The bytes of an object-file database (2.5, 2.5.3, 2.5.5) in the plain form
// the old applications wrote, read straight into one reused plain record
// instead of objects: the carriers stored as "TSoundCarrier" and their titles
// as "TTitle", each block exactly as long as its fields (the common ones, then
// the format's own from its field tables), and nothing after the last carrier
// in the database's block.
//
// Every database in that form loads without a failure, so its conversion can
// run carrier by carrier from these records. Anything else, damaged or merely
// unusual, takes the conversion that loads the whole file first and reports
// what it finds.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

#include "basis/byte_cursor.h"
#include "basis/byte_window.h"

namespace objectconversion {

// One title as stored, with the members the conversion asks of the format's
// model; the common texts are views of the file's bytes.
template <class Format>
struct PlainTitle : Format::TitleFields {
  std::string_view name;
  std::string_view artist;
  std::string_view url;
};

class PlainReader;

// One carrier as stored. Its titles stay in the file's bytes and are read one
// at a time when asked for, into one title record: a carrier of any size
// takes no more than the room of its bytes.
template <class Format>
struct PlainCarrier : Format::CarrierFields {
  static constexpr const char* kClassName = Format::kCarrierName;

  std::string name;
  std::string label;
  std::string artist;
  std::string type;
  double release = 0;
  std::string notes;

  int32_t size() const { return static_cast<int32_t>(titleAt_.size()); }
  // The artist of the title at `index`, without reading the rest of it.
  std::string_view titleArtist(int32_t index) const {
    const TitleAt& at = titleAt_[static_cast<size_t>(index)];
    return bytes_.substr(at.artist, at.artistLength);
  }
  // The title at `index`, read again from the bytes; valid until the next call.
  const PlainTitle<Format>* getTitle(int32_t index) const;
  PlainTitle<Format>* getTitle(int32_t index) {
    return const_cast<PlainTitle<Format>*>(static_cast<const PlainCarrier*>(this)->getTitle(index));
  }

 private:
  friend class PlainReader;
  // Where a title's block and its artist are in bytes_, which a block's
  // 32-bit length keeps below 4 GiB.
  struct TitleAt {
    uint32_t block;
    uint32_t artist;
    uint32_t artistLength;
  };
  std::string_view bytes_;  // the carrier's object, class name to block end
  std::vector<TitleAt> titleAt_;
  mutable PlainTitle<Format> title_;
};

// The stored class names of the plain form.
constexpr std::string_view kStoredCarrier = "TSoundCarrier";
constexpr std::string_view kStoredTitle = "TTitle";

class PlainReader {
 public:
  explicit PlainReader(std::string_view bytes, size_t pos = 0) : bytes_(bytes), in_(bytes, pos) {}

  // A title's block into `title`: its common texts, and the format's own
  // fields too, or those only passed over.
  template <class Format>
  bool title(PlainTitle<Format>& title, bool withFields) {
    return titleBlock(in_, title, withFields);
  }

  // The carrier object that the bytes hold from here, into `carrier`, which
  // keeps the bytes to read its titles from; false for anything but a
  // carrier in the plain form.
  template <class Format>
  bool carrier(PlainCarrier<Format>& carrier) {
    carrier.bytes_ = bytes_;
    carrier.titleAt_.clear();
    ByteCursor in;
    int32_t titles = 0;
    if (!in_.className(kStoredCarrier) || !in_.block(in) || !in.text(carrier.name) ||
        !in.text(carrier.label) || !in.text(carrier.artist) || !in.text(carrier.type) ||
        !in.number(carrier.release) || !in.text(carrier.notes) ||
        !fields(in, Format::kCarrierFields, static_cast<typename Format::CarrierFields*>(&carrier)) ||
        !in.int32(titles) || titles < 0) {
      return false;
    }
    // Each title takes at least its class name and block: no more room than
    // the bytes left can fill.
    if (static_cast<size_t>(titles) > in.size() / ByteCursor::objectLead(kStoredTitle)) return false;
    carrier.titleAt_.reserve(static_cast<size_t>(titles));
    PlainTitle<Format> title;
    for (int32_t i = 0; i < titles; ++i) {
      if (!in.className(kStoredTitle)) return false;
      const size_t at = in.position();
      if (!titleBlock(in, title, false)) return false;
      const auto artistAt = static_cast<size_t>(title.artist.data() - bytes_.data());
      carrier.titleAt_.push_back({static_cast<uint32_t>(at), static_cast<uint32_t>(artistAt),
                                  static_cast<uint32_t>(title.artist.size())});
    }
    return in.empty();
  }

 private:
  template <class Table, class Fields>
  static bool fields(ByteCursor& in, const Table& table, Fields* into) {
    for (const auto& field : table) {
      if (!(into == nullptr ? in.skipText() : in.text(into->*field.member))) return false;
    }
    return true;
  }

  // A block exactly as long as the title's fields.
  template <class Format>
  static bool titleBlock(ByteCursor& from, PlainTitle<Format>& title, bool withFields) {
    auto* fieldsInto = withFields ? static_cast<typename Format::TitleFields*>(&title) : nullptr;
    ByteCursor in;
    return from.block(in) && in.text(title.name) && in.text(title.artist) && in.text(title.url) &&
           fields(in, Format::kTitleFields, fieldsInto) && in.empty();
  }

  std::string_view bytes_;
  ByteCursor in_;
};

template <class Format>
const PlainTitle<Format>* PlainCarrier<Format>::getTitle(int32_t index) const {
  // Read once already when the carrier was taken, so it cannot fail now.
  PlainReader(bytes_, titleAt_[static_cast<size_t>(index)].block).title<Format>(title_, true);
  return &title_;
}

}  // namespace objectconversion
