// The XML form of the sound-carrier database: the element tree written,
// reading it back, and every failure a user can meet with its full text.
#include <gtest/gtest.h>

#include <cstdlib>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "data/sound_carriers.h"
#include "model_test_util.h"
#include "platform/clock.h"
#include "test_util.h"
#include "xml/dom_exception.h"

namespace {

const std::string kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";
const std::string kLoadPrefix =
    "TXMLPersistent.loadXML: (IOException) TXMLPersistent.loadXML: (EDomException) ";

std::unique_ptr<TSoundCarrier> skeletonCarrier() {
  auto carrier = std::make_unique<TSoundCarrier>("Album", "Label", "Compact Disc");
  carrier->artist = "Band";
  carrier->release = platform::encodeDate(2003, 4, 24) + 0.5;
  carrier->notes = "Notes";
  auto toc = std::make_unique<TTOCData>();
  toc->discId = 3;
  toc->leadOut->minutes = 40;
  toc->add(new TTOCTrack());
  carrier->tocList->add(toc.release());
  carrier->add(new TTitle("Song", "", "Band"));
  return carrier;
}

// A database with everything the format can hold: text in the full 8-bit
// code page and markup characters, notes with CR LF, tables of contents and
// titles on several discs.
std::unique_ptr<TSoundCarriers> richDatabase() {
  auto database = std::make_unique<TSoundCarriers>();
  auto carrier = std::make_unique<TSoundCarrier>("Caf\xE9 & \"Bar\" <\x80\x81\x9D>",
                                                 "L\xE4"
                                                 "bel's",
                                                 "Schallplatte");
  carrier->artist = "Mot\xF6rhead \xDF\xFF";
  carrier->notes = "Line 1\r\nLine 2\r\n\r\nEnd \xE9";
  carrier->release = platform::encodeDate(1999, 12, 31) + 0.99;
  carrier->image = "c:\\covers\\a.jpg";
  carrier->printImage = "print.jpg";
  carrier->setContentType("Split");
  for (int disc = 0; disc < 2; ++disc) {
    auto toc = std::make_unique<TTOCData>();
    toc->discId = disc == 0 ? 4294967295u : 0x12345678u;
    toc->leadOut->minutes = 70 + disc;
    toc->leadOut->frames = 74;
    for (int t = 0; t < 3; ++t) {
      auto track = std::make_unique<TTOCTrack>();
      track->minutes = t * 4;
      track->seconds = 59;
      track->isAudioTrack = t != 2;
      toc->add(track.release());
    }
    carrier->tocList->add(toc.release());
  }
  for (int disc = 0; disc < 4; ++disc) {
    for (int t = 0; t < 2; ++t) {
      auto title = std::make_unique<TTitle>("Titel " + std::to_string(disc) + "/" + std::to_string(t),
                                            "http://x/?a=1&b=2", disc % 2 == 0 ? "S\xE4nger" : "Other");
      title->carrierIndex = disc;
      title->film = t == 1 ? "Film \xAB"
                             "1\xBB"
                           : "";
      title->setOriginalArtist(t == 0 ? "Orig" : "");
      carrier->add(title.release());
    }
  }
  carrier->getTitle(7)->track = -1;
  carrier->setContentType("Split");
  database->add(carrier.release());
  auto empty = std::make_unique<TSoundCarrier>("", "", "Audiokassette");
  empty->release = platform::encodeDate(1980, 1, 1);
  database->add(empty.release());
  return database;
}

class SoundCarriersXmlTest : public testing::Test {
 protected:
  // The message of loading `xml` into a database with loadXML.
  std::string loadError(const std::string& xml) {
    testutil::writeFile(dir.file("in.xml"), xml);
    TSoundCarriers database;
    return messageOf<IOException>([&] { database.loadXML(dir.file("in.xml")); });
  }

  std::string carrierXml(const std::string& attributes, const std::string& children) {
    return "<VOSKO VERSION='1.1.0'><CARRIER NAME='N' " + attributes + ">" + children + "</CARRIER></VOSKO>";
  }

  testutil::TempDir dir;
};

TEST_F(SoundCarriersXmlTest, SkeletonIsWrittenInTheOrderOfItsLayout) {
  TSoundCarriers database;
  database.add(skeletonCarrier().release());
  database.storeXML(dir.file("db.xml"));
  EXPECT_EQ(testutil::readFile(dir.file("db.xml")),
            kDeclaration +
                "<VOSKO VERSION=\"1.1.0\">"
                "<CARRIER NAME=\"Album\" ARTIST=\"Band\" LABEL=\"Label\" TYPE=\"Compact Disc\" "
                "RELEASE=\"24.04.2003\" "
                "CONTENTTYPE=\"Album\" IMAGE=\"\" PRINTIMAGE=\"\" RELEASEDAYS=\"37735.5\">"
                "<NOTES>Notes</NOTES>"
                "<TOCS><TOC DISCID=\"3\">"
                "<TOCTRACK MINUTES=\"40\" SECONDS=\"0\" FRAMES=\"0\" TRACKNUMBER=\"0\" ISAUDIOTRACK=\"true\">"
                "</TOCTRACK>"
                "<TOCTRACK MINUTES=\"0\" SECONDS=\"0\" FRAMES=\"0\" TRACKNUMBER=\"0\" ISAUDIOTRACK=\"true\">"
                "</TOCTRACK>"
                "</TOC></TOCS>"
                "<TITLES><TITLE NAME=\"Song\" ARTIST=\"Band\" URL=\"\" TRACK=\"0\" CONTENTTYPE=\"Original\" "
                "ORIGINALARTIST=\"\" FILM=\"\" CARRIERINDEX=\"0\"></TITLE></TITLES>"
                "</CARRIER></VOSKO>\r\n");
}

TEST_F(SoundCarriersXmlTest, EmptyDatabaseIsABareRootAndReadsBackEmpty) {
  TSoundCarriers database;
  database.storeXML(dir.file("db.xml"));
  EXPECT_EQ(testutil::readFile(dir.file("db.xml")), kDeclaration + "<VOSKO VERSION=\"1.1.0\"></VOSKO>\r\n");
  TSoundCarriers read;
  read.add(skeletonCarrier().release());
  read.loadXML(dir.file("db.xml"));
  EXPECT_EQ(read.size(), 0);
}

TEST_F(SoundCarriersXmlTest, RichDatabaseSurvivesWithTheTimeOfDay) {
  std::unique_ptr<TSoundCarriers> database = richDatabase();
  database->storeXML(dir.file("db.xml"));
  TSoundCarriers read;
  read.loadXML(dir.file("db.xml"));
  modeltest::expectSameDatabase(*database, read);
  EXPECT_EQ(read.getCarrier(0)->release, platform::encodeDate(1999, 12, 31) + 0.99);
  EXPECT_EQ(read.getCarrier(0)->notes, "Line 1\r\nLine 2\r\n\r\nEnd \xE9");
  EXPECT_EQ(read.getCarrier(0)->getTitle(7)->track, -1);  // numbering happens only through add

  if (std::system("command -v xmllint > /dev/null 2>&1") != 0) GTEST_SKIP() << "xmllint is not installed";
  const std::string command = "xmllint --noout '" + dir.file("db.xml") + "' 2>&1";
  EXPECT_EQ(std::system(command.c_str()), 0);
}

// The day count holds the release only while RELEASE still shows its day:
// a date changed by hand in the document is what the user meant.
TEST_F(SoundCarriersXmlTest, ReleaseChangedByHandWinsOverItsDayCount) {
  const struct {
    const char* attributes;
    double release;
  } cases[] = {
      {"RELEASE='31.12.1999' RELEASEDAYS='36525.25'", 36525.25},
      {"RELEASE='1.1.2000' RELEASEDAYS='36525.25'", 36526},
      {"RELEASE='30.12.1899' RELEASEDAYS='1e300'", 1e300},
  };
  for (const auto& c : cases) {
    testutil::writeFile(dir.file("in.xml"), carrierXml(c.attributes, "<NOTES/><TOCS/><TITLES/>"));
    TSoundCarriers read;
    read.loadXML(dir.file("in.xml"));
    EXPECT_EQ(read.getCarrier(0)->release, c.release) << c.attributes;
  }
}

TEST_F(SoundCarriersXmlTest, CarriersAreFoundAtAnyDepthAndTitlesKeepWhatTheyRead) {
  testutil::writeFile(dir.file("in.xml"),
                      "<VOSKO VERSION='1.1.0'><GROUP>"
                      "<CARRIER NAME='Deep' ARTIST='As read' TYPE='Compact Disc' RELEASE='1.2.2000' "
                      "CONTENTTYPE='Split'>"
                      "<NOTES/><TOCS/><TITLES>"
                      "<TITLE NAME='A' ARTIST='X' TRACK='-1' CARRIERINDEX='2'/>"
                      "<TITLE NAME='B' ARTIST='Y' TRACK='7' CARRIERINDEX='0' CONTENTTYPE='Original' "
                      "ORIGINALARTIST='Z'/>"
                      "</TITLES></CARRIER></GROUP></VOSKO>");
  TSoundCarriers read;
  read.loadXML(dir.file("in.xml"));
  ASSERT_EQ(read.size(), 1);
  TSoundCarrier* carrier = read.getCarrier(0);
  EXPECT_EQ(carrier->name, "Deep");
  EXPECT_EQ(carrier->artist, "As read");  // no split artist is assembled on reading
  EXPECT_EQ(carrier->label, "");
  EXPECT_EQ(carrier->notes, "");
  EXPECT_EQ(carrier->release, platform::encodeDate(2000, 2, 1));
  EXPECT_EQ(carrier->tocList->size(), 0);
  ASSERT_EQ(carrier->size(), 2);
  EXPECT_EQ(carrier->getTitle(0)->track, -1);
  EXPECT_EQ(carrier->getTitle(0)->carrierIndex, 2);
  EXPECT_EQ(carrier->getTitle(0)->url, "");  // a missing attribute reads as empty
  EXPECT_EQ(carrier->getTitle(0)->contentType, "");
  EXPECT_EQ(carrier->getTitle(1)->originalArtist, "Z");
  EXPECT_EQ(carrier->getTitle(1)->contentType, "Original");  // no side effect of the setters
  EXPECT_EQ(carrier->getTitle(1)->carrier, carrier);
}

TEST_F(SoundCarriersXmlTest, DatabaseFailures) {
  EXPECT_EQ(loadError("<DATABASE VERSION='1.1.0'/>"),
            kLoadPrefix + "TSoundCarriers.fromXML: (EDomException) Illegal base tag for a vosko database.");
  EXPECT_EQ(loadError("<VOSKO VERSION='1.1'/>"),
            kLoadPrefix + "TSoundCarriers.fromXML: (EDomException) Illegal version of a vosko XML database.");
  EXPECT_EQ(loadError("<VOSKO/>"),
            kLoadPrefix + "TSoundCarriers.fromXML: (EDomException) Illegal version of a vosko XML database.");
  EXPECT_EQ(loadError("<!-- first --><Vosko VERSION='1.1.0'/>"),
            kLoadPrefix + "TSoundCarriers.fromXML: (EDomException) Illegal base tag for a vosko database.");
}

TEST_F(SoundCarriersXmlTest, CarrierFailures) {
  const std::string prefix = kLoadPrefix + "TSoundCarriers.fromXML: (EDomException) TSoundCarrier.fromXML: ";
  const std::string parts = "<NOTES/><TOCS/><TITLES/>";
  EXPECT_EQ(loadError(carrierXml("RELEASE='31.02.2003'", parts)),
            prefix + "(EDomException) Illegal date: '31.02.2003' is not a valid date");
  EXPECT_EQ(loadError(carrierXml("", parts)),
            prefix + "(EDomException) Illegal date: '' is not a valid date");
  EXPECT_EQ(loadError(carrierXml("RELEASE='1.1.2000' RELEASEDAYS='1,5'", parts)),
            prefix + "(EDomException) Illegal date: '1,5' is not a valid day count");
  EXPECT_EQ(loadError(carrierXml("RELEASE='1.1.2000'", "<NOTES LINEBREAKS='crlf'/><TOCS/><TITLES/>")),
            prefix + "(EDomException) Illegal notes: 'crlf' is not a valid LINEBREAKS value");
  EXPECT_EQ(loadError(carrierXml("RELEASE='1.1.2000'", "<TOCS/><TITLES/>")),
            prefix + "(EDomException) Element 'CARRIER' has no child 'NOTES'.");
  EXPECT_EQ(loadError(carrierXml("RELEASE='1.1.2000'", "<NOTES/><TITLES/>")),
            prefix + "(EDomException) No TOC list node for: N");
  // TOCS must be a child of the carrier, not a deeper descendant.
  EXPECT_EQ(loadError(carrierXml("RELEASE='1.1.2000'", "<NOTES><TOCS/></NOTES><TITLES/>")),
            prefix + "(EDomException) No TOC list node for: N");
  EXPECT_EQ(loadError(carrierXml("RELEASE='1.1.2000'", "<NOTES/><TOCS/>")),
            prefix + "(EDomException) Element 'CARRIER' has no child 'TITLES'.");
}

TEST_F(SoundCarriersXmlTest, HostileValuesAreQuotedCut) {
  const std::string huge(1 << 20, '7');
  EXPECT_EQ(loadError(carrierXml("RELEASE='" + huge + "'", "<NOTES/><TOCS/><TITLES/>")),
            kLoadPrefix + "TSoundCarriers.fromXML: (EDomException) TSoundCarrier.fromXML: (EDomException) " +
                "Illegal date: '" + huge.substr(0, 200) + "... (1048576 bytes)' is not a valid date");
}

TEST_F(SoundCarriersXmlTest, TitleAndTocFailures) {
  const std::string prefix = kLoadPrefix + "TSoundCarriers.fromXML: (EDomException) TSoundCarrier.fromXML: ";
  auto withTitle = [&](const std::string& title) {
    return carrierXml("RELEASE='1.1.2000'", "<NOTES/><TOCS/><TITLES>" + title + "</TITLES>");
  };
  EXPECT_EQ(loadError(withTitle("<TITLE NAME='A' CARRIERINDEX='0'/>")),
            prefix +
                "(EDomException) TTitle.fromXML: (EDomException) Illegal track number or carrier index: '' "
                "is not a valid integer value");
  EXPECT_EQ(loadError(withTitle("<TITLE NAME='A' TRACK='1' CARRIERINDEX='x1'/>")),
            prefix +
                "(EDomException) TTitle.fromXML: (EDomException) Illegal track number or carrier index: 'x1' "
                "is not a valid integer value");
  auto withToc = [&](const std::string& toc) {
    return carrierXml("RELEASE='1.1.2000'", "<NOTES/><TOCS>" + toc + "</TOCS><TITLES/>");
  };
  EXPECT_EQ(loadError(withToc("<TOC DISCID='abc'/>")),
            prefix +
                "(EDomException) TTOCList.fromXML: (EDomException) TTOCData.fromXML: (EDomException) "
                "TTOCData.fromXML: Illegal disc ID: 'abc' is not a valid integer value");
  EXPECT_EQ(loadError(withToc("<TOC DISCID='1'><TOCTRACK MINUTES='1' SECONDS='2' FRAMES='3' TRACKNUMBER='4' "
                              "ISAUDIOTRACK='ja'/></TOC>")),
            prefix +
                "(EDomException) TTOCList.fromXML: (EDomException) TTOCData.fromXML: (EDomException) "
                "TTOCTrack.fromXML: (ParserException) TBoolean.fromString: No such boolean value: 'ja'.");
}

// What the model builds from a document counts against the memory the
// document's size allows, as its tree does: titles far smaller in the
// document than in the model cannot make loading take more.
TEST_F(SoundCarriersXmlTest, ModelBuiltBeyondTheDocumentsMemoryLimitIsRefused) {
  std::string titles;
  for (int i = 0; i < 5000; ++i) titles += "<TITLE TRACK='0' CARRIERINDEX='0'/>";
  const std::string xml = carrierXml("RELEASE='1.1.2000'", "<NOTES/><TOCS/><TITLES>" + titles + "</TITLES>");
  TXmlToDomParser parser(&modeltest::implementation());
  // A limit that leaves the tree and its parser a megabyte, less than the model's titles take.
  const auto size = static_cast<std::int64_t>(xml.size());
  const auto tree = static_cast<std::int64_t>(parser.bufferToDom(xml, "in.xml")->memoryUsed());
  parser.setMemoryFloor(tree + (1 << 20) - 10 * size);
  std::unique_ptr<TDomDocument> document = parser.bufferToDom(xml, "in.xml");
  TSoundCarriers database;
  const std::string message = messageOf<IOException>([&] { database.loadXML(document.get()); });
  EXPECT_EQ(message.rfind("TXMLPersistent.loadXML: (EDomException) TSoundCarriers.fromXML: (EDomException) "
                          "TSoundCarrier.fromXML: (EOutOfMemory) File \"in.xml\" needs more memory than its "
                          "limit of ",
                          0),
            0u)
      << message;
}

TEST_F(SoundCarriersXmlTest, ElementsOfTheWrongKindAreRefusedByEachClass) {
  std::unique_ptr<TDomDocument> document = modeltest::parse("<OTHER/>");
  TSoundCarrier carrier;
  EXPECT_EQ(messageOf<EDomException>([&] { carrier.fromXML(document->documentElement()); }),
            "TSoundCarrier.fromXML: (EDomException) Illegal base tag for a vosko carrier.");
  TTitle title;
  EXPECT_EQ(messageOf<EDomException>([&] { title.fromXML(document->documentElement()); }),
            "TTitle.fromXML: (EDomException) Illegal base tag for a vosko title.");
}

TEST_F(SoundCarriersXmlTest, MalformedFileAndFailedStoreLeaveNothingBehind) {
  testutil::writeFile(dir.file("in.xml"), "<VOSKO VERSION='1.1.0'>");
  TSoundCarriers database;
  const std::string message = messageOf<IOException>([&] { database.loadXML(dir.file("in.xml")); });
  EXPECT_EQ(message.rfind("TXMLPersistent.loadXML: (IOException) TXMLHelper.DOMToFile: ", 0), 0u) << message;

  testutil::writeFile(dir.file("out.xml"), "old");
  std::unique_ptr<TSoundCarriers> broken = richDatabase();
  broken->getCarrier(1)->tocList.reset();
  EXPECT_EQ(messageOf<IOException>([&] { broken->storeXML(dir.file("out.xml")); }),
            "TXMLPersistent.storeXML: (IOException) TSoundCarrier.toXML: TOC list not assigned.");
  EXPECT_EQ(testutil::readFile(dir.file("out.xml")), "old");
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"in.xml", "out.xml"}));
}

}  // namespace
