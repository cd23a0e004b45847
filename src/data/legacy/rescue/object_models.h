// How the rescue of the object files reads one carrier of each format and
// writes it: the current format (2.5.7) as it is stored, an old one (2.5,
// 2.5.3, 2.5.5) as its conversion converts it (object_conversion.h). A model
// holds one carrier, the one read last, with the titles read of it so far.
//
// Each model offers the same members to the rescue (object_rescue.cpp):
//   kHeader                       the format's file header
//   readWhole(in, asLoaded)       a whole carrier object; asLoaded: as the
//                                 format's loader reads it, in the
//                                 database's block
//   readHead(block, titles)       the carrier's own fields and title count,
//                                 from the start of its block
//   readTitle(in)                 one title object, added to the carrier
//   titles()                      the titles read of the carrier
//   write(out, partial)           the carrier as the conversion writes it;
//                                 partial: of a damaged carrier, the parts
//                                 read
//   passHead(block, titles)       readHead, keeping nothing
//   passTitle(in)                 readTitle, keeping nothing
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "basis/byte_cursor.h"
#include "data/carrier_stream.h"
#include "data/carrier_writer.h"
#include "data/legacy/objects/object_conversion.h"
#include "data/sound_carrier.h"

namespace objectrescue {

constexpr std::string_view kCarrierName = "TSoundCarrier";
constexpr std::string_view kTitleName = "TTitle";

// The current format: a carrier is written exactly as it is stored.
struct CurrentModel {
  static constexpr std::string_view kHeader = TSoundCarrier::kFileHeader;
  StoredCarrier carrier;

  bool readWhole(ByteCursor& in, bool asLoaded) { return readStoredCarrier(in, carrier, asLoaded); }
  bool readHead(ByteCursor& block, int32_t& titles) {
    carrier.titles.clear();
    return readStoredCarrierHead(block, carrier, titles);
  }
  bool readTitle(ByteCursor& in) {
    StoredTitle title;
    if (!readStoredTitle(in, title)) return false;
    carrier.titles.push_back(title);
    return true;
  }
  int32_t titles() const { return static_cast<int32_t>(carrier.titles.size()); }
  bool passHead(ByteCursor& block, int32_t& titles) { return readStoredCarrierHead(block, passed_, titles); }
  bool passTitle(ByteCursor& in) { return readStoredTitle(in, passedTitle_); }
  void write(TCarrierWriter& out, bool partial) {
    // A whole carrier's titles are numbered as they are read; a damaged
    // one's only now, as adding them to the carrier would number them.
    if (partial) numberStoredTitles(carrier.titles);
    out.write(carrier);
  }

 private:
  StoredCarrier passed_;  // views only: what passing reads is not kept
  StoredTitle passedTitle_;
};

// An object-file format of old: a carrier is converted as its conversion
// converts it (object_conversion.h).
template <class Format>
struct LegacyModel {
  static constexpr std::string_view kHeader = Format::kFileHeader;
  using Title = objectconversion::PlainTitle<Format>;

  // The carrier as fillCarrierFields takes it, with the titles read so far.
  struct Carrier : Format::CarrierFields {
    static constexpr const char* kClassName = Format::kCarrierName;
    std::string name;
    std::string label;
    std::string artist;
    std::string type;
    double release = 0;
    std::string notes;
    std::vector<Title> titleList;  // only the first `count` hold this carrier's, the rest keep their room
    int32_t count = 0;

    int32_t size() const { return count; }
    std::string_view titleArtist(int32_t i) const { return titleList[static_cast<size_t>(i)].artist; }
    const Title* getTitle(int32_t i) const { return &titleList[static_cast<size_t>(i)]; }
  };
  Carrier carrier;

  bool head(ByteCursor& in, int32_t& titles) {
    carrier.count = 0;
    if (!in.text(carrier.name) || !in.text(carrier.label) || !in.text(carrier.artist) ||
        !in.text(carrier.type) || !in.number(carrier.release) || !in.text(carrier.notes)) {
      return false;
    }
    for (const auto& field : Format::kCarrierFields) {
      if (!in.text(carrier.*field.member)) return false;
    }
    return in.count(titles) && static_cast<size_t>(titles) <= in.size() / ByteCursor::objectLead(kTitleName);
  }

  template <bool kLoaded>
  bool title(ByteCursor& in) {
    if (carrier.titleList.size() <= static_cast<size_t>(carrier.count)) carrier.titleList.emplace_back();
    Title& t = carrier.titleList[static_cast<size_t>(carrier.count)];
    const bool read = readObject<kLoaded>(in, kTitleName, [&](ByteCursor& b) {
      if (!b.text(t.name) || !b.text(t.artist) || !b.text(t.url)) return false;
      for (const auto& field : Format::kTitleFields) {
        if (!b.text(static_cast<typename Format::TitleFields&>(t).*field.member)) return false;
      }
      return true;
    });
    if (read) ++carrier.count;
    return read;
  }

  template <bool kLoaded>
  bool fields(ByteCursor& in) {
    int32_t titles = 0;
    if (!head(in, titles)) return false;
    for (int32_t i = 0; i < titles; ++i) {
      if (!title<kLoaded>(in)) return false;
    }
    return true;
  }

  bool readWhole(ByteCursor& in, bool asLoaded) {
    if (asLoaded) return readObject<true>(in, kCarrierName, [&](ByteCursor& c) { return fields<true>(c); });
    return readObject<false>(in, kCarrierName, [&](ByteCursor& c) { return fields<false>(c); });
  }
  bool readHead(ByteCursor& block, int32_t& titles) { return head(block, titles); }
  bool readTitle(ByteCursor& in) { return title<false>(in); }
  int32_t titles() const { return carrier.count; }
  static bool passHead(ByteCursor& in, int32_t& titles) {
    if (!in.skipText() || !in.skipText() || !in.skipText() || !in.skipText() ||
        !in.skip(ByteCursor::kDoubleSize) || !in.skipText() ||
        !skipTexts(in, Format::kCarrierFields.size())) {
      return false;
    }
    return in.count(titles) && static_cast<size_t>(titles) <= in.size() / ByteCursor::objectLead(kTitleName);
  }
  static bool passTitle(ByteCursor& in) {
    // Its name, artist and url, then the format's own texts.
    constexpr size_t kTexts = 3 + Format::kTitleFields.size();
    return readObject(in, kTitleName, [](ByteCursor& b) { return skipTexts(b, kTexts); });
  }
  static bool skipTexts(ByteCursor& in, size_t n) {
    for (size_t i = 0; i < n; ++i) {
      if (!in.skipText()) return false;
    }
    return true;
  }
  void write(TCarrierWriter& out, bool) {
    using objectconversion::KeepTexts;
    objectconversion::fillCarrierFields<Format, KeepTexts>(carrier, out.carrier());
    out.beginCarrier(carrier.count);
    for (int32_t i = 0; i < carrier.count; ++i) {
      objectconversion::fillTitle<KeepTexts>(carrier.titleList[static_cast<size_t>(i)], out.title());
      out.addTitle();
    }
    out.endCarrier();
  }
};

}  // namespace objectrescue
