// The conversion and the start-up step of an object-file format (2.5, 2.5.3,
// 2.5.5), written once over its format description (object_format.h). The
// frame they run in is legacy_conversion.h's.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "basis/byte_cursor.h"
#include "basis/class_registry.h"
#include "basis/file.h"
#include "data/carrier_artists.h"
#include "data/carrier_writer.h"
#include "data/legacy/objects/legacy_conversion.h"
#include "data/legacy/objects/plain_database.h"
#include "data/legacy/objects/sound_carriers_template.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "data/title.h"
#include "debug/channel_pool.h"

namespace objectconversion {

template <class Format>
constexpr LegacyClassNames kClassNames{Format::kTitleName, Format::kCarrierName, Format::kCarriersName};

// How a conversion takes a text from its source: a source that is spent
// afterwards gives it away; one that is read again keeps it, and the target
// copies it into the room it has.
struct SpendTexts {
  static void take(std::string& into, std::string& from) { into = std::move(from); }
};
struct KeepTexts {
  static void take(std::string& into, std::string_view from) { into.assign(from); }
};

// Fills the carrier `c` (new, or initialized, without titles) from the
// source carrier `s`, the format's model or its plain record: a version with
// content types carries them over; one without makes a carrier of mixed
// artists a sampler and leaves every other with the current initial content
// type. Images and films are not carried over. The titles follow with
// fillTitle.
template <class Format, class Texts, class Source>
void fillCarrierFields(Source& s, TSoundCarrier& c) {
  constexpr bool kContentTypes = requires { s.contentType; };
  Texts::take(c.name, s.name);
  Texts::take(c.label, s.label);
  Texts::take(c.type, s.type);
  if constexpr (kContentTypes) {
    c.artist = carrierartists::shownArtist<Format::kSplitArtist>(s);
  } else if (carrierartists::hasMixedArtists(s)) {
    c.artist = TSoundCarrier::kSamplerArtist;
    c.setContentType(TSoundCarrier::kSampler);
  } else {
    c.artist = carrierartists::shownArtist<Format::kSplitArtist>(s);
  }
  c.release = s.release;
  Texts::take(c.notes, s.notes);
  if constexpr (kContentTypes) c.setContentType(s.contentType);
}

// Fills the title `u` (new, or initialized) from the source title `t`, with
// its content type and original artist where the version has them. The
// stored track number is not carried over: the carrier numbers its titles anew.
template <class Texts, class Source>
void fillTitle(Source& t, TTitle& u) {
  Texts::take(u.name, t.name);
  Texts::take(u.url, t.url);
  Texts::take(u.artist, t.artist);
  if constexpr (requires { t.contentType; }) {
    u.setContentType(t.contentType);
    u.setOriginalArtist(t.originalArtist);
  }
}

// The current carrier for one loaded carrier, whose texts it takes.
template <class Format>
std::unique_ptr<TSoundCarrier> convertCarrier(TSoundCarrierOf<Format>& s) {
  auto c = std::make_unique<TSoundCarrier>();
  fillCarrierFields<Format, SpendTexts>(s, *c);
  for (int32_t i = 0; i < s.size(); ++i) {
    auto u = std::make_unique<TTitle>();
    fillTitle<SpendTexts>(*s.getTitle(i), *u);
    c->add(std::move(u));
  }
  return c;
}

// The conversion that loads the whole file first: the one for every
// database, and the one whose reports a failure gets.
template <class Format>
void convertWholeDatabase(std::unique_ptr<TSoundCarriersOf<Format>> source, const std::string& inputFile,
                          const CarrierTarget& output) {
  convertLegacyDatabase(std::move(source), kClassNames<Format>, inputFile, output,
                        [](TMappedObject& carrier) {
                          return convertCarrier<Format>(dynamic_cast<TSoundCarrierOf<Format>&>(carrier));
                        });
}

// Raised inside a carrier-by-carrier walk that meets bytes out of the plain form.
struct NotPlain {};

// Walks a database in the plain form (plain_database.h) carrier by carrier,
// straight from the file's bytes, holding one carrier's bytes at a time:
// `begin(count)` once the carrier count is read, then `each(carrier)` with
// each carrier read into one reused plain record. Raises NotPlain where the
// bytes leave the plain form (`each` may have seen carriers by then), and
// what reading the file or the callbacks raise.
template <class Format, class Begin, class Each>
void walkPlainDatabase(const std::string& inputFile, Begin begin, Each each) {
  platform::OsFile in;
  in.openRead(inputFile);
  const std::string_view header = Format::kFileHeader;
  ByteWindow window(in, in.size());
  std::string_view bytes;
  std::string_view found;
  int32_t length = 0;
  int32_t count = 0;
  if (!window.peek(header.size() + 2 * ByteCursor::kInt32Size, bytes)) throw NotPlain();
  ByteCursor head(bytes);
  if (!head.chars(header.size(), found) || found != header || !head.int32(length) || !head.int32(count) ||
      length < static_cast<int32_t>(ByteCursor::kInt32Size) || count < 0) {
    throw NotPlain();
  }
  window.take(bytes.size());
  begin(count);
  // The database's block ends the carriers; what follows it is not read.
  const int64_t blockLeft = static_cast<int64_t>(length) - static_cast<int64_t>(ByteCursor::kInt32Size);
  int64_t taken = 0;
  PlainCarrier<Format> source;
  for (int32_t i = 0; i < count; ++i) {
    // The class name and the block's length, then the whole object.
    constexpr size_t kLead = ByteCursor::objectLead(kStoredCarrier);
    int32_t n = 0;
    if (blockLeft - taken < static_cast<int64_t>(kLead) || !window.peek(kLead, bytes)) throw NotPlain();
    ByteCursor lead(bytes);
    if (!lead.className(kStoredCarrier) || !lead.int32(n) || n < 0 ||
        blockLeft - taken < static_cast<int64_t>(kLead) + n || !window.peek(kLead + n, bytes)) {
      throw NotPlain();
    }
    if (!PlainReader(bytes).carrier(source)) throw NotPlain();
    each(source);
    window.take(bytes.size());
    taken += static_cast<int64_t>(bytes.size());
  }
  if (taken != blockLeft) throw NotPlain();
}

// Converts a database in the plain form carrier by carrier, straight from
// the file's bytes: each carrier is read into the plain record and written
// through one current carrier and one title, so that only one carrier's
// bytes are held and nothing is made per title. The output is the one the
// whole-file conversion stores. False, with nothing written, for a database
// in another form or on any failure, which the whole-file conversion then
// meets again and reports as it always has; a failure of the target's
// consumer is raised.
template <class Format>
bool convertPlainDatabase(const std::string& inputFile, const CarrierTarget& output) {
  try {
    std::optional<TCarrierWriter> out;
    walkPlainDatabase<Format>(
        inputFile, [&](int32_t count) { out.emplace(output, count); },
        [&](PlainCarrier<Format>& source) {
          fillCarrierFields<Format, KeepTexts>(source, out->carrier());
          out->beginCarrier(source.size());
          for (int32_t t = 0; t < source.size(); ++t) {
            fillTitle<KeepTexts>(*source.getTitle(t), out->title());
            out->addTitle();
          }
          out->endCarrier();
        });
    out->close();
    return true;
  } catch (...) {
    if (output.consumerFailed()) throw;
    return false;
  }
}

}  // namespace objectconversion

// Reads `inputFile` into `source` (stored names "TTitle", "TSoundCarrier"
// and "TSoundCarriers" read as the version's classes) and writes the
// converted database to `output`. Takes ownership of `source` and frees it
// before returning, also when it raises; the output is put in place only
// after the whole input was read. A database in the plain form takes the
// way carrier by carrier, with the same output.
template <class Format>
void convertObjectDatabase(std::unique_ptr<TSoundCarriersOf<Format>> source, const std::string& inputFile,
                           const CarrierTarget& output) {
  if (objectconversion::convertPlainDatabase<Format>(inputFile, output)) return;
  objectconversion::convertWholeDatabase<Format>(std::move(source), inputFile, output);
}

// The start-up step of a version: registers its persistent classes with the
// class registry, so that files naming them can be read, and fetches the
// diagnostics channels "vosko" and "performance".
template <class Format>
void objectFormatStartUp() {
  ClassRegistry::registerClass<TTitleOf<Format>>();
  ClassRegistry::registerClass<TSoundCarrierOf<Format>>();
  ClassRegistry::registerClass<TSoundCarriersOf<Format>>();
  ClassRegistry::registerClass<typename Format::Relation>();
  ClassRegistry::registerClass<typename Format::Relations>();
  TChannelPool::getChannel("vosko");
  TChannelPool::getChannel("performance");
}
