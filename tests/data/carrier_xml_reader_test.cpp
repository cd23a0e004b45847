// Importing a document carrier by carrier against loading it whole: the
// streaming way either writes the loaded way's very bytes or says no and
// leaves the target as it was, and it says yes to what storeXML writes.
#include "data/carrier_xml_reader.h"

#include <gtest/gtest.h>

#include <climits>
#include <stdexcept>

#include "data/sound_carriers.h"
#include "platform/clock.h"
#include "test_util.h"
#include "xml/xml_text.h"

namespace {

using testutil::readFile;

// Every byte from 0x80 on, the five Windows-1252 leaves undefined among them.
std::string highBytes() {
  std::string s;
  for (int c = 0x80; c <= 0xFF; ++c) s += static_cast<char>(c);
  return s;
}

TTOCTrack* track(int32_t minutes, int32_t number, bool audio) {
  auto* t = new TTOCTrack();
  t->minutes = minutes;
  t->seconds = 59;
  t->frames = 74;
  t->trackNumber = number;
  t->isAudioTrack = audio;
  return t;
}

// The XML storeXML writes for `carriers` carriers full of what is hard to
// carry: markup, line ends, bytes beyond ASCII, empty texts, tables of
// contents whose numbers are not positions, and titles numbered -1 and at
// both ends of the range on several discs, kept as read.
std::string storedXml(int carriers) {
  TSoundCarriers database;
  for (int i = 0; i < carriers; ++i) {
    auto c = std::make_unique<TSoundCarrier>("<a & \"b\" 'c'>" + std::to_string(i), highBytes(), "");
    c->notes = "eins\r\nzwei\n\ndrei\rvier\n\n\n" + highBytes();
    c->release = platform::encodeDate(1999, 12, 31) + 0.75;
    c->contentType = "Split";
    c->printImage = "p&q";
    auto toc = std::make_unique<TTOCData>();
    toc->discId = 4294967295u;
    toc->leadOut.reset(track(70, 3, false));
    toc->append(track(4, 7, true));
    toc->append(track(0, -3, false));
    c->tocList->append(std::move(toc));
    c->tocList->append(std::make_unique<TTOCData>());
    const int32_t tracks[] = {-1, INT32_MAX, INT32_MIN, 0};
    for (int t = 0; t < 4; ++t) {
      auto title = std::make_unique<TTitle>("T\xE4" + std::to_string(t), "http://x/?a=1&b=2", "");
      title->track = tracks[t];
      title->carrierIndex = t == 3 ? -5 : t;
      title->film = highBytes();
      c->append(std::move(title));
    }
    database.append(std::move(c));
  }
  testutil::TempDir dir;
  database.storeXML(dir.file("db.xml"));
  return readFile(dir.file("db.xml"));
}

// The document in UTF-16 with a byte-order mark, declared so.
std::string utf16(std::string utf8) {
  utf8.replace(utf8.find("UTF-8"), 5, "UTF-16");
  std::string bytes = "\xFF\xFE";
  for (char16_t u : xml::fromStored(utf8)) bytes += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
  return bytes;
}

const std::string kTitle =
    "<TITLE NAME='t' ARTIST='a' URL='' TRACK='0' CONTENTTYPE='Original' ORIGINALARTIST='' FILM='' "
    "CARRIERINDEX='0'/>";
const std::string kTrack =
    "<TOCTRACK MINUTES='1' SECONDS='2' FRAMES='3' TRACKNUMBER='0' ISAUDIOTRACK='true'/>";

const std::string kDated = "NAME='n' RELEASE='01.02.2003'";

// A document of one carrier with these attributes and children.
std::string carrier(const std::string& attributes, const std::string& children,
                    const std::string& root = "") {
  return "<VOSKO VERSION='1.1.0'" + root + "><CARRIER " + attributes + ">" + children + "</CARRIER></VOSKO>";
}
std::string withParts(const std::string& notes, const std::string& tocs, const std::string& titles) {
  return carrier(kDated,
                 "<NOTES>" + notes + "</NOTES><TOCS>" + tocs + "</TOCS><TITLES>" + titles + "</TITLES>");
}

struct Case {
  const char* what;
  std::string document;
  bool streams;
};

TEST(CarrierXmlReaderTest, StreamsWhatItCanAndLeavesTheRestToTheLoadedWay) {
  const std::string toc = "<TOC DISCID='5'>" + kTrack + kTrack + "</TOC>";
  const Case cases[] = {
      {"no carriers", storedXml(0), true},
      {"what storeXML writes", storedXml(3), true},
      {"the same in UTF-16", utf16(storedXml(1)), true},
      {"white space between elements",
       carrier(kDated, "\n <NOTES> x </NOTES>\n <TOCS>\n  " + toc + "\n </TOCS>\n <TITLES>\n  " + kTitle +
                           "\n </TITLES>\n"),
       true},
      {"attributes in another order, texts missing",
       carrier("TYPE='x' RELEASE='1.2.2003'", "<NOTES/><TOCS/><TITLES/>"), true},
      {"references", withParts("a&#13;&#10;b&#10;&#10;&lt;&amp;&#x20AC;&#x10000;", "", kTitle), true},
      {"numbers the model reads",
       withParts("", "<TOC DISCID=' +7'/>", "<TITLE TRACK=' $1F' CARRIERINDEX='-0'/>"), true},
      {"Windows-1252", "<?xml version='1.0' encoding='Windows-1252'?>" + withParts("\x80\x9F\xE4", "", ""),
       true},
      {"ISO-8859-1", "<?xml version='1.0' encoding='ISO-8859-1'?>" + withParts("\x80\xE4", "", ""), true},
      {"day count of the release", carrier(kDated + " RELEASEDAYS='37653.5'", "<NOTES/><TOCS/><TITLES/>"),
       true},
      {"day count of another day", carrier(kDated + " RELEASEDAYS='1.5'", "<NOTES/><TOCS/><TITLES/>"), true},
      {"exact line breaks",
       carrier(kDated, "<NOTES LINEBREAKS='exact'>a\n\nb&#13;\nc</NOTES><TOCS/><TITLES/>"), true},
      {"day count no number", carrier(kDated + " RELEASEDAYS='1,5'", "<NOTES/><TOCS/><TITLES/>"), false},
      {"other line breaks", carrier(kDated, "<NOTES LINEBREAKS='crlf'/><TOCS/><TITLES/>"), false},
      {"other attribute of the notes", carrier(kDated, "<NOTES COLOR='red'/><TOCS/><TITLES/>"), false},
      {"comment", withParts("<!-- c -->", "", ""), false},
      {"comment after the root", withParts("", "", "") + "<!-- c -->", false},
      {"processing instruction", withParts("", "<?pi x?>", ""), false},
      {"DOCTYPE", "<!DOCTYPE VOSKO>" + withParts("", "", ""), false},
      {"CDATA in the notes", withParts("<![CDATA[x]]>", "", ""), false},
      {"namespace", carrier(kDated, "<NOTES/><TOCS/><TITLES/>", " xmlns='urn:x'"), false},
      {"carrier within the titles", withParts("", "", "<CARRIER/>"), false},
      {"title outside TITLES", withParts("", kTitle, ""), false},
      {"element in the notes", withParts("<B/>", "", ""), false},
      {"text between elements", withParts("", "x", ""), false},
      {"unknown attribute", carrier(kDated + " COLOR='red'", "<NOTES/><TOCS/><TITLES/>"), false},
      {"no notes", carrier(kDated, "<TOCS/><TITLES/>"), false},
      {"no TOCS", carrier(kDated, "<NOTES/><TITLES/>"), false},
      {"no TITLES", carrier(kDated, "<NOTES/><TOCS/>"), false},
      {"parts out of order", carrier(kDated, "<TOCS/><NOTES/><TITLES/>"), false},
      {"no disc id", withParts("", "<TOC/>", ""), false},
      {"no boolean",
       withParts("",
                 "<TOC DISCID='1'><TOCTRACK MINUTES='1' SECONDS='2' FRAMES='3' TRACKNUMBER='0' "
                 "ISAUDIOTRACK='maybe'/></TOC>",
                 ""),
       false},
      {"no track", withParts("", "", "<TITLE CARRIERINDEX='0'/>"), false},
      {"track not a number", withParts("", "", "<TITLE TRACK='x' CARRIERINDEX='0'/>"), false},
      {"no date", carrier("NAME='n'", "<NOTES/><TOCS/><TITLES/>"), false},
      {"bad date", carrier("RELEASE='31.02.2003'", "<NOTES/><TOCS/><TITLES/>"), false},
      {"other version", "<VOSKO VERSION='1.0.0'/>", false},
      {"other root", "<vosko VERSION='1.1.0'/>", false},
      {"cut short", storedXml(1).substr(0, 300), false},
      {"unknown encoding", "<?xml version='1.0' encoding='EBCDIC'?><VOSKO VERSION='1.1.0'/>", false},
      {"empty file", "", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testutil::TempDir dir;
    testutil::writeFile(dir.file("in.xml"), c.document);
    testutil::writeFile(dir.file("out.db"), "old");
    const bool streamed = importXmlStreaming(dir.file("in.xml"), dir.file("out.db"));
    EXPECT_EQ(streamed, c.streams);
    if (!streamed) {
      EXPECT_EQ(readFile(dir.file("out.db")), "old");
      EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.xml", "out.db"}));
      continue;
    }
    TSoundCarriers loaded;
    loaded.loadXML(dir.file("in.xml"));
    loaded.store(dir.file("loaded.db"));
    EXPECT_EQ(readFile(dir.file("out.db")), readFile(dir.file("loaded.db")));
  }
}

TEST(CarrierXmlReaderTest, MissingInputAndReadOnlyTargetSayNo) {
  testutil::TempDir dir;
  EXPECT_FALSE(importXmlStreaming(dir.file("missing.xml"), dir.file("out.db")));
  testutil::writeFile(dir.file("in.xml"), storedXml(1));
  testutil::writeFile(dir.file("out.db"), "old");
  chmod(dir.file("out.db").c_str(), 0444);
  EXPECT_FALSE(importXmlStreaming(dir.file("in.xml"), dir.file("out.db")));
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.xml", "out.db"}));
}

TEST(CarrierXmlReaderTest, WhatTheConsumerRaisesEndsTheReading) {
  testutil::TempDir dir;
  testutil::writeFile(dir.file("in.xml"), storedXml(3));
  CarrierXmlReader in;
  EXPECT_THROW(in.read(dir.file("in.xml"), [](const StoredCarrier&) { throw std::runtime_error("full"); }),
               std::runtime_error);
  EXPECT_EQ(in.carriers(), 1);
  EXPECT_TRUE(in.read(dir.file("in.xml"), [](const StoredCarrier& c) { EXPECT_EQ(c.titles.size(), 4u); }));
  EXPECT_EQ(in.carriers(), 3);
}

}  // namespace
