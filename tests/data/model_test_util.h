// Helpers of the model tests: stored forms, documents from XML text,
// document bytes, and field-by-field comparisons of model objects. The test
// main's start-up sequence has registered the model's classes.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>

#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "data/title.h"
#include "data/toc_data.h"
#include "data/toc_list.h"
#include "data/toc_track.h"
#include "test_util.h"
#include "xml/dom_document.h"
#include "xml/dom_implementation.h"
#include "xml/xml_to_dom_parser.h"

namespace modeltest {

using testutil::block;
using testutil::object;

inline TDomImplementation& implementation() {
  static TDomImplementation instance;
  return instance;
}

inline std::unique_ptr<TDomDocument> parse(const std::string& xml) {
  TXmlToDomParser parser(&implementation());
  return parser.bufferToDom(xml, "test.xml");
}

inline std::unique_ptr<TDomDocument> newDocument() { return implementation().createEmptyDocument(); }

// The document's bytes as the serializer writes them.
inline std::string bytesOf(TDomDocument& document) {
  std::ostringstream out;
  document.writeToUTF8(out);
  return out.str();
}

// The bytes of a document holding only `element`, built by `toXML`.
template <class T>
std::string xmlOf(T& object) {
  std::unique_ptr<TDomDocument> document = newDocument();
  document->appendChild(object.toXML(document.get()));
  return bytesOf(*document);
}

inline void expectSameTrack(const TTOCTrack& a, const TTOCTrack& b) {
  EXPECT_EQ(a.trackNumber, b.trackNumber);
  EXPECT_EQ(a.minutes, b.minutes);
  EXPECT_EQ(a.seconds, b.seconds);
  EXPECT_EQ(a.frames, b.frames);
  EXPECT_EQ(a.isAudioTrack, b.isAudioTrack);
}

inline void expectSameToc(const TTOCData& a, const TTOCData& b) {
  EXPECT_EQ(a.discId, b.discId);
  ASSERT_TRUE(a.leadOut && b.leadOut);
  expectSameTrack(*a.leadOut, *b.leadOut);
  ASSERT_EQ(a.size(), b.size());
  for (int32_t i = 0; i < a.size(); ++i) expectSameTrack(*a.getTrack(i), *b.getTrack(i));
}

inline void expectSameTitle(const TTitle& a, const TTitle& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.url, b.url);
  EXPECT_EQ(a.artist, b.artist);
  EXPECT_EQ(a.contentType, b.contentType);
  EXPECT_EQ(a.originalArtist, b.originalArtist);
  EXPECT_EQ(a.film, b.film);
  EXPECT_EQ(a.track, b.track);
  EXPECT_EQ(a.carrierIndex, b.carrierIndex);
}

// Every field.
inline void expectSameCarrier(const TSoundCarrier& a, const TSoundCarrier& b) {
  EXPECT_EQ(a.name, b.name);
  EXPECT_EQ(a.label, b.label);
  EXPECT_EQ(a.artist, b.artist);
  EXPECT_EQ(a.type, b.type);
  EXPECT_EQ(a.release, b.release);
  EXPECT_EQ(a.notes, b.notes);
  EXPECT_EQ(a.contentType, b.contentType);
  EXPECT_EQ(a.image, b.image);
  EXPECT_EQ(a.printImage, b.printImage);
  ASSERT_TRUE(a.tocList && b.tocList);
  ASSERT_EQ(a.tocList->size(), b.tocList->size());
  for (int32_t i = 0; i < a.tocList->size(); ++i) expectSameToc(*a.tocList->getTOC(i), *b.tocList->getTOC(i));
  ASSERT_EQ(a.size(), b.size());
  for (int32_t i = 0; i < a.size(); ++i) {
    expectSameTitle(*a.getTitle(i), *b.getTitle(i));
    EXPECT_EQ(b.getTitle(i)->carrier, &b);
  }
}

inline void expectSameDatabase(const TSoundCarriers& a, const TSoundCarriers& b) {
  ASSERT_EQ(a.size(), b.size());
  for (int32_t i = 0; i < a.size(); ++i) expectSameCarrier(*a.getCarrier(i), *b.getCarrier(i));
}

}  // namespace modeltest
