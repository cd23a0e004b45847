// The XML form keeps what the binary form holds: databases of texts across
// the code page and releases across the doubles survive export and import
// byte for byte, by the loaded model and by the streams alike, or the export
// is refused naming the carrier, the field and the byte, with nothing written.
#include "data/model_xml.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "data/carrier_xml_reader.h"
#include "data/carrier_xml_writer.h"
#include "data/sound_carriers.h"
#include "platform/clock.h"
#include "test_util.h"

namespace {

using testutil::readFile;

bool unwritable(int byte) { return byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r'; }

std::string everyWritableByte() {
  std::string s;
  for (int b = 1; b <= 0xFF; ++b)
    if (!unwritable(b)) s += static_cast<char>(b);
  return s;
}

// Line breaks and tabs where the readers could change them: attribute values
// turn them into blanks, text reads CR as LF, and the notes' repair takes LF
// LF for CR LF.
const std::vector<std::string> kTexts = {"",           everyWritableByte(),
                                         "\r",         "\n",
                                         "\t",         "\r\n",
                                         "\n\n",       "\n\r\n",
                                         "\r\r\n",     "\r\n\n",
                                         "\n\r",       "a\r\n\r\nb\n",
                                         "\n\n\n\n",   " \t lead \t ",
                                         "x\r\n\ny\n", "\r\n\r\r\n\n",
                                         "&#13;\r\n&"};

// Whole days inside and outside the years 1 to 9999, -0, times of day on
// both sides of day zero, and what damage can leave.
const std::vector<double> kReleases = {0,
                                       -0.0,
                                       1 - 1e-12,
                                       -1.25,
                                       34096.563736497,
                                       platform::encodeDate(1, 1, 1),
                                       platform::encodeDate(0, 12, 31),
                                       -693595.5,
                                       platform::encodeDate(9999, 12, 31),
                                       platform::encodeDate(10000, 1, 1),
                                       2958465.9999999,
                                       3.1e6,
                                       1e7 + 0.5,
                                       -1e300,
                                       4.9e-324,
                                       HUGE_VAL,
                                       -HUGE_VAL,
                                       std::numeric_limits<double>::quiet_NaN(),
                                       -std::numeric_limits<double>::quiet_NaN()};

// A carrier whose every text is `text`, with two titles of the same texts.
TSoundCarrier* carrierOf(const std::string& text, double release) {
  auto* c = new TSoundCarrier(text, text, text);
  c->artist = c->notes = c->contentType = c->image = c->printImage = text;
  c->release = release;
  for (int32_t disc = 0; disc < 2; ++disc) {
    auto* t = new TTitle(text, text, text);
    c->add(t);
    t->contentType = t->originalArtist = t->film = text;
    t->carrierIndex = disc;
  }
  return c;
}

const std::vector<std::pair<const char*, std::function<void(TSoundCarriers&)>>> kDatabases = {
    {"empty", [](TSoundCarriers&) {}},
    {"every text in every field",
     [](TSoundCarriers& db) {
       for (const std::string& text : kTexts) db.add(carrierOf(text, 1));
     }},
    {"every release",
     [](TSoundCarriers& db) {
       for (double release : kReleases) db.add(carrierOf("r", release));
     }},
};

class ModelXmlTest : public testing::Test {
 protected:
  std::string file(const std::string& name) { return dir.file(name); }
  testutil::TempDir dir;
};

TEST_F(ModelXmlTest, LegalSpaceSurvivesExportAndImportByteForByteBothWays) {
  for (const auto& [name, fill] : kDatabases) {
    TSoundCarriers stored;
    fill(stored);
    stored.store(file("db.vsk"));
    TSoundCarriers loaded;
    loaded.load(file("db.vsk"));
    loaded.storeXML(file("loaded.xml"));
    ASSERT_TRUE(exportXmlStreaming(file("db.vsk"), file("streamed.xml"))) << name;
    EXPECT_EQ(readFile(file("streamed.xml")), readFile(file("loaded.xml"))) << name;

    TSoundCarriers back;
    back.loadXML(file("loaded.xml"));
    back.store(file("loaded.vsk"));
    EXPECT_EQ(testutil::hex(readFile(file("loaded.vsk"))), testutil::hex(readFile(file("db.vsk")))) << name;
    ASSERT_TRUE(importXmlStreaming(file("loaded.xml"), file("streamed.vsk"))) << name;
    EXPECT_EQ(readFile(file("streamed.vsk")), readFile(file("db.vsk"))) << name;
    if (std::system("command -v xmllint > /dev/null 2>&1") == 0) {
      EXPECT_EQ(std::system(("xmllint --noout '" + file("loaded.xml") + "'").c_str()), 0) << name;
    }
  }
}

// Ordinary values keep the bytes they always had; an extra attribute comes
// only with what the usual form cannot say.
TEST_F(ModelXmlTest, OnlyWhatTheUsualFormCannotSayGainsAnAttribute) {
  struct Case {
    double release;
    std::string notes, releaseXml, daysXml, notesXml;
  };
  const Case cases[] = {
      {36525, "a\r\nb\nc\rd", "31.12.1999", "", "<NOTES>a\r\r\nb\r\nc&#13;d</NOTES>"},
      {36525.25, "a\n\nb\r\nc", "31.12.1999", " RELEASEDAYS=\"36525.25\"",
       "<NOTES LINEBREAKS=\"exact\">a\r\n\r\nb&#13;\r\nc</NOTES>"},
      {-0.0, "\n\r\n", "30.12.1899", " RELEASEDAYS=\"-0\"",
       "<NOTES LINEBREAKS=\"exact\">\r\n&#13;\r\n</NOTES>"},
      {platform::encodeDate(10000, 1, 1), "", "01.01.10000", " RELEASEDAYS=\"2958466\"", "<NOTES></NOTES>"},
  };
  for (const Case& c : cases) {
    TSoundCarriers db;
    TSoundCarrier* carrier = carrierOf("t\tu", c.release);
    carrier->notes = c.notes;
    db.add(carrier);
    db.storeXML(file("db.xml"));
    const std::string expected =
        "<CARRIER NAME=\"t&#9;u\" ARTIST=\"t&#9;u\" LABEL=\"t&#9;u\" TYPE=\"t&#9;u\" RELEASE=\"" +
        c.releaseXml + "\" CONTENTTYPE=\"t&#9;u\" IMAGE=\"t&#9;u\" PRINTIMAGE=\"t&#9;u\"" + c.daysXml + ">" +
        c.notesXml + "<TOCS>";
    EXPECT_NE(readFile(file("db.xml")).find(expected), std::string::npos) << readFile(file("db.xml"));
  }
}

// The text fields of a carrier and of its first title, by the name the document gives them.
struct Field {
  const char* name;
  std::function<void(TSoundCarrier&, const std::string&)> set;
};
const std::vector<Field> kFields = {
    {"NAME", [](TSoundCarrier& c, const std::string& v) { c.name = v; }},
    {"ARTIST", [](TSoundCarrier& c, const std::string& v) { c.artist = v; }},
    {"LABEL", [](TSoundCarrier& c, const std::string& v) { c.label = v; }},
    {"TYPE", [](TSoundCarrier& c, const std::string& v) { c.type = v; }},
    {"NOTES", [](TSoundCarrier& c, const std::string& v) { c.notes = v; }},
    {"CONTENTTYPE", [](TSoundCarrier& c, const std::string& v) { c.contentType = v; }},
    {"IMAGE", [](TSoundCarrier& c, const std::string& v) { c.image = v; }},
    {"PRINTIMAGE", [](TSoundCarrier& c, const std::string& v) { c.printImage = v; }},
    {"NAME", [](TSoundCarrier& c, const std::string& v) { c.getTitle(0)->name = v; }},
    {"ARTIST", [](TSoundCarrier& c, const std::string& v) { c.getTitle(0)->artist = v; }},
    {"URL", [](TSoundCarrier& c, const std::string& v) { c.getTitle(0)->url = v; }},
    {"CONTENTTYPE", [](TSoundCarrier& c, const std::string& v) { c.getTitle(0)->contentType = v; }},
    {"ORIGINALARTIST", [](TSoundCarrier& c, const std::string& v) { c.getTitle(0)->originalArtist = v; }},
    {"FILM", [](TSoundCarrier& c, const std::string& v) { c.getTitle(0)->film = v; }},
};

// Both ways of exporting refuse, and the target keeps what it held.
std::string refusal(const std::string& dir, TSoundCarriers& db) {
  const std::string target = dir + "/out.xml";
  testutil::writeFile(target, "old");
  db.store(dir + "/db.vsk");
  EXPECT_FALSE(exportXmlStreaming(dir + "/db.vsk", target));
  const std::string message = messageOf<IOException>([&] { db.storeXML(target); });
  EXPECT_EQ(readFile(target), "old");
  return message;
}

TEST_F(ModelXmlTest, WhatXmlCannotHoldIsRefusedNamingCarrierFieldAndByte) {
  const std::string prefix = "TXMLPersistent.storeXML: (IOException) TSoundCarriers.toXML: carrier 2 ";
  TSoundCarriers db;
  db.add(carrierOf("fine", 1));
  db.add(carrierOf("Album", 1));
  TSoundCarrier* carrier = db.getCarrier(1);
  carrier->getTitle(1)->film = "Ciao\x07";
  EXPECT_EQ(
      refusal(dir.path(), db),
      prefix +
          "'Album': title 2 'Album': FILM holds the byte 0x07 at position 5, which XML 1.0 cannot hold.");
  carrier->notes = std::string("a\0b", 3);
  EXPECT_EQ(refusal(dir.path(), db),
            prefix + "'Album': NOTES holds the byte 0x00 at position 2, which XML 1.0 cannot hold.");
  carrier->notes.clear();
  carrier->getTitle(1)->film.clear();
  carrier->release = std::bit_cast<double>(uint64_t{0x7FF0000000000001});
  EXPECT_EQ(refusal(dir.path(), db),
            prefix + "'Album': RELEASE is not a number (0x7FF0000000000001), which no text reads back as.");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"db.vsk", "out.xml"}));

  // Every byte XML cannot hold, each text field of a carrier and a title in turn.
  size_t next = 0;
  for (int byte = 0; byte < 0x20; ++byte) {
    if (!unwritable(byte)) continue;
    const Field& field = kFields[next++ % kFields.size()];
    TSoundCarriers one;
    one.add(carrierOf("c", 1));
    field.set(*one.getCarrier(0), std::string("ab") + static_cast<char>(byte));
    char clause[64];
    std::snprintf(clause, sizeof clause, "%s holds the byte 0x%02X at position 3,", field.name, byte);
    EXPECT_NE(refusal(dir.path(), one).find(clause), std::string::npos) << clause;
  }
}

}  // namespace
