// The conversion and the start-up step of an object-file format (2.5, 2.5.3,
// 2.5.5), written once over its format description (object_format.h). The
// frame they run in is legacy_conversion.h's.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/class_registry.h"
#include "basis/file.h"
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

// A version with content types carries them over, with the original
// artists; one without makes a carrier of mixed artists a sampler and leaves
// every other with the current initial content type. Images and films, and
// the stored track numbers, which the current model assigns anew, are not
// carried over. The texts are moved out of `s`, which is spent afterwards.
template <class Format>
std::unique_ptr<TSoundCarrier> convertCarrier(TSoundCarrierOf<Format>& s) {
  constexpr bool kContentTypes = requires { s.contentType; };
  auto c = std::make_unique<TSoundCarrier>();
  c->name = std::move(s.name);
  c->label = std::move(s.label);
  c->type = std::move(s.type);
  if constexpr (kContentTypes) {
    c->artist = s.getArtist();
  } else if (s.hasMixedArtists()) {
    c->artist = TSoundCarrier::kSamplerArtist;
    c->setContentType(TSoundCarrier::kSampler);
  } else {
    c->artist = s.getArtist();
  }
  c->release = s.release;
  c->notes = std::move(s.notes);
  if constexpr (kContentTypes) c->setContentType(s.contentType);
  for (int32_t i = 0; i < s.size(); ++i) {
    TTitleOf<Format>& t = *s.getTitle(i);
    auto u = std::make_unique<TTitle>();
    u->name = std::move(t.name);
    u->url = std::move(t.url);
    u->artist = std::move(t.artist);
    if constexpr (kContentTypes) {
      u->setContentType(t.contentType);
      u->setOriginalArtist(t.originalArtist);
    }
    addConvertedTitle(*c, std::move(u));
  }
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

// Converts a database in the plain form (plain_database.h) carrier by
// carrier: each source carrier is read, converted, written and freed before
// the next, so that only the file's bytes and one carrier are held. The
// output is the one the whole-file conversion stores. False, with nothing
// written, for a database in another form or on any failure, which the
// whole-file conversion then meets again and reports as it always has.
template <class Format>
bool convertPlainDatabase(const std::string& inputFile, const std::string& outputFile) {
  try {
    const std::unique_ptr<THashtable> map = makeClassNameMap(kClassNames<Format>);
    TFile in(inputFile, false, Format::kFileHeader);
    in.setClassNameMap(map.get());
    in.beginReadBlock(true);
    if (!isPlainDatabase<Format>(in.blockView())) return false;
    const int32_t count = in.readInt();
    TSoundCarriers target;
    target.storeEach(outputFile, count, [&]() -> std::unique_ptr<TPObject> {
      std::unique_ptr<TPObject> source = in.readTPObject();
      return convertCarrier<Format>(dynamic_cast<TSoundCarrierOf<Format>&>(*source));
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
