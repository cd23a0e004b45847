// The conversion and the start-up step of an object-file format (2.5, 2.5.3,
// 2.5.5), written once over its format description (object_format.h). The
// frame they run in is legacy_conversion.h's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "basis/class_registry.h"
#include "basis/file.h"
#include "data/legacy/objects/legacy_conversion.h"
#include "data/legacy/objects/plain_database.h"
#include "data/legacy/objects/sound_carriers_template.h"
#include "data/carrier_artists.h"
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
  static void take(std::string& into, const std::string& from) { into.assign(from); }
};

// Fills the carrier `c` (new, or initialized) from the source carrier `s`,
// the format's model or its plain record: a version with content types
// carries them over, with the original artists; one without makes a carrier
// of mixed artists a sampler and leaves every other with the current initial
// content type. Images and films, and the stored track numbers, which the
// current model assigns anew, are not carried over. `newTitle()` gives each
// title to fill, new or initialized.
template <class Format, class Texts, class Source, class NewTitle>
void fillCarrier(Source& s, TSoundCarrier& c, NewTitle newTitle) {
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
  for (int32_t i = 0; i < s.size(); ++i) {
    auto& t = *s.getTitle(i);
    std::unique_ptr<TTitle> u = newTitle();
    Texts::take(u->name, t.name);
    Texts::take(u->url, t.url);
    Texts::take(u->artist, t.artist);
    if constexpr (kContentTypes) {
      u->setContentType(t.contentType);
      u->setOriginalArtist(t.originalArtist);
    }
    c.add(std::move(u));
  }
}

// The current carrier for one loaded carrier, whose texts it takes.
template <class Format>
std::unique_ptr<TSoundCarrier> convertCarrier(TSoundCarrierOf<Format>& s) {
  auto c = std::make_unique<TSoundCarrier>();
  fillCarrier<Format, SpendTexts>(s, *c, [] { return std::make_unique<TTitle>(); });
  return c;
}

// The conversion that loads the whole file first: the one for every
// database, and the one whose reports a failure gets.
template <class Format>
void convertWholeDatabase(std::unique_ptr<TSoundCarriersOf<Format>> source, const std::string& inputFile,
                          const std::string& outputFile) {
  convertLegacyDatabase(std::move(source), kClassNames<Format>, inputFile, outputFile, [](TMappedObject& carrier) {
    return convertCarrier<Format>(dynamic_cast<TSoundCarrierOf<Format>&>(carrier));
  });
}

// Raised inside a carrier-by-carrier conversion that meets bytes out of the plain form.
struct NotPlain {};

// Converts a database in the plain form (plain_database.h) carrier by
// carrier, straight from the file's bytes: each carrier is read into a plain
// record, converted into one current carrier and written, and the record,
// the carrier and its titles serve the next, so that only the file's bytes
// and one carrier are held and nothing is made per title. The output is the
// one the whole-file conversion stores. False, with nothing written, for a
// database in another form or on any failure, which the whole-file
// conversion then meets again and reports as it always has.
template <class Format>
bool convertPlainDatabase(const std::string& inputFile, const std::string& outputFile) {
  try {
    TFile in(inputFile, false, Format::kFileHeader);
    in.beginReadBlock(true);
    PlainReader reader(in.blockView());
    int32_t count = 0;
    if (!reader.int32(count) || count < 0) return false;
    PlainCarrier<Format> source;
    TSoundCarrier target;
    std::vector<std::unique_ptr<TTitle>> spare;
    auto newTitle = [&] {
      if (spare.empty()) return std::make_unique<TTitle>();
      std::unique_ptr<TTitle> title = std::move(spare.back());
      spare.pop_back();
      return title;
    };
    if (count == 0 && !reader.atEnd()) return false;
    int32_t made = 0;
    TSoundCarriers().storeEach(outputFile, count, [&]() -> TPObject& {
      // Titles are reset as they come back, while they still point at the
      // carrier that let them go, not later, when that carrier is being
      // filled again and would forget what it knows of its tracks.
      for (std::unique_ptr<TMappedObject>& title : target.extractAll()) {
        spare.emplace_back(static_cast<TTitle*>(title.release()));
        spare.back()->initialize();
      }
      target.initialize();
      // Bytes out of the plain form abandon the output, which is then never
      // put in place.
      if (!reader.carrier(source) || (++made == count && !reader.atEnd())) throw NotPlain();
      fillCarrier<Format, KeepTexts>(source, target, newTitle);
      return target;
    });
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace objectconversion

// Reads `inputFile` into `source` (stored names "TTitle", "TSoundCarrier"
// and "TSoundCarriers" read as the version's classes) and stores the
// converted database as `outputFile`. Takes ownership of `source` and frees
// it before returning, also when it raises; the output is written only after
// the whole input was read. A database in the plain form takes the way
// carrier by carrier, with the same output.
template <class Format>
void convertObjectDatabase(std::unique_ptr<TSoundCarriersOf<Format>> source, const std::string& inputFile,
                           const std::string& outputFile) {
  if (objectconversion::convertPlainDatabase<Format>(inputFile, outputFile)) return;
  objectconversion::convertWholeDatabase<Format>(std::move(source), inputFile, outputFile);
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
