// The model of format 2.5: placeholder initial values, the creation trace,
// three strings per title, addTitle, and an XML form of value elements.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "data/legacy/v2_5/sound_carriers_2_5.h"
#include "debug/channel.h"
#include "debug/channel_pool.h"
#include "debug/debug_entries.h"
#include "debug/debug_entry.h"
#include "debug/list_writer.h"
#include "object_format_test_util.h"
#include "test_util.h"
#include "xml/dom_exception.h"

using legacytest::block;
using legacytest::object;
using testutil::dbl;
using testutil::le32;
using testutil::str;

namespace {

const std::string kHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5]";
const LegacyClassNames kNames{"TTitle2_5", "TSoundCarrier2_5", "TSoundCarriers2_5"};
const double kRelease = 35000.75;
const std::string kLoadPrefix =
    "TXMLPersistent.loadXML: (IOException) TXMLPersistent.loadXML: (EDomException) ";

std::string carrierFile(const std::string& carrierClass, const std::string& titleClass) {
  std::string titles = object(titleClass, str("One") + str("Band") + str("u1")) +
                       object(titleClass, str("Two") + str("<unknown artist>") + str("u2"));
  std::string carrier = str("Album") + str("<unknown label>") + str("Band") + str("LP") + dbl(kRelease) +
                        str("a\r\nb") + le32(2) + titles;
  return kHeader + block(le32(1) + object(carrierClass, carrier));
}

class Legacy2_5Test : public testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(Legacy2_5Test, FileIsReadAndWrittenWithThreeStringsPerTitle) {
  TSoundCarriers2_5 database;
  legacytest::loadOldFile(database, dir.file("old.vsk"), carrierFile("TSoundCarrier", "TTitle"), kNames);
  ASSERT_EQ(database.size(), 1);
  const TSoundCarrier2_5& c = *database.getCarrier(0);
  EXPECT_EQ(c.label, "<unknown label>");
  EXPECT_EQ(c.notes, "a\r\nb");
  ASSERT_EQ(c.size(), 2);
  EXPECT_EQ(c.getTitle(1)->url, "u2");
  EXPECT_EQ(c.getTitle(1)->track, 2);
  EXPECT_TRUE(c.hasMixedArtists());
  EXPECT_EQ(c.getArtist(), "<Sampler>");
  EXPECT_EQ(c.artist, "Band");
  EXPECT_EQ(legacytest::storedBytes(database, dir.file("new.vsk")),
            carrierFile("TSoundCarrier2_5", "TTitle2_5"));
}

TEST(Legacy2_5ModelTest, PlaceholdersAreTheInitialValues) {
  TTitle2_5 title;
  EXPECT_EQ(title.name, "<unknown name>");
  EXPECT_EQ(title.url, "<unknown url>");
  EXPECT_EQ(title.artist, "<unknown artist>");
  TSoundCarrier2_5 carrier;
  EXPECT_EQ(carrier.name, "<unknown name>");
  EXPECT_EQ(carrier.label, "<unknown label>");
  EXPECT_EQ(carrier.artist, "<unknown artist>");
  EXPECT_EQ(carrier.type, "<unknown type>");
  EXPECT_EQ(carrier.notes, "<no notes>");
  EXPECT_EQ(carrier.fileHeader(), kHeader);
  EXPECT_EQ(kHeader.size(), 58u);
}

TEST(Legacy2_5ModelTest, CreationIsTracedOnTheVoskoChannel) {
  auto writer = std::make_unique<TListWriter>();
  TListWriter* list = writer.get();
  TChannelPool::getChannel("vosko")->getTraceWriters().add(std::move(writer));
  TSoundCarrier2_5 carrier("Name", "Label", "CD");
  TDebugEntries& entries = *list->getEntries();
  ASSERT_EQ(entries.size(), 1);
  auto* entry = dynamic_cast<TDebugEntry*>(entries.get(0));
  ASSERT_NE(entry, nullptr);
  EXPECT_EQ(entry->getMessage(), "TSoundCarrier2_5.create(Name,Label,CD)");
  EXPECT_EQ(entry->getLevel(), 5);
  TSoundCarrier2_5 quiet;
  EXPECT_EQ(entries.size(), 1);
}

TEST(Legacy2_5ModelTest, AddTitleGivesTheCarriersArtist) {
  TSoundCarrier2_5 carrier("Album", "Label", "LP");
  carrier.artist = "Band";
  carrier.release = kRelease;
  EXPECT_EQ(carrier.addTitle(new TTitle2_5("Song", "u", "Other")), 0);
  EXPECT_EQ(carrier.getTitle(0)->artist, "Band");
  EXPECT_EQ(carrier.add(new TTitle2_5("Two", "v", "Guest")), 1);
  EXPECT_EQ(carrier.getTitle(1)->toString(), "02 Guest - Two, v");
  EXPECT_EQ(carrier.toString(), "Album, Band - Label, 28.10.1995 LP");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { carrier.addTitle(nullptr); }),
            "TSoundCarrier2_5.add: Object is no title.");
  TSoundCarriers2_5 database;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { database.add(carrier.getTitle(0)); }),
            "TSoundCarriers2_5.add: Object is no carrier.");
}

TEST_F(Legacy2_5Test, XmlKeepsEveryValueAsElementText) {
  TSoundCarriers2_5 database;
  legacytest::loadOldFile(database, dir.file("old.vsk"), carrierFile("TSoundCarrier", "TTitle"), kNames);
  database.storeXML(dir.file("db.xml"));
  EXPECT_EQ(
      testutil::readFile(dir.file("db.xml")),
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
      "<VOSKO><CARRIER><NAME>Album</NAME><ARTIST>Band</ARTIST><LABEL>&#60;unknown label&#62;</LABEL>"
      "<TYPE>LP</TYPE><RELEASE>28.10.1995</RELEASE><NOTES>a\r\r\nb</NOTES><TITLES>"
      "<TITLE><NAME>One</NAME><ARTIST>Band</ARTIST><URL>u1</URL><TRACK>1</TRACK></TITLE>"
      "<TITLE><NAME>Two</NAME><ARTIST>&#60;unknown artist&#62;</ARTIST><URL>u2</URL><TRACK>2</TRACK></TITLE>"
      "</TITLES></CARRIER></VOSKO>\r\n");
  TSoundCarriers2_5 read;
  read.loadXML(dir.file("db.xml"));
  const TSoundCarrier2_5& c = *read.getCarrier(0);
  EXPECT_EQ(c.notes, "a\r\nb");
  EXPECT_EQ(c.label, "<unknown label>");
  EXPECT_EQ(c.getTitle(1)->artist, "<unknown artist>");
  EXPECT_EQ(c.getTitle(1)->track, 2);
}

TEST_F(Legacy2_5Test, EmptyValueElementsReadAsEmptyTexts) {
  TSoundCarriers2_5 database;
  auto carrier = std::make_unique<TSoundCarrier2_5>();
  carrier->label = "";
  carrier->notes = "";
  carrier->add(new TTitle2_5("", "", ""));
  database.add(carrier.release());
  database.storeXML(dir.file("db.xml"));
  TSoundCarriers2_5 read;
  read.loadXML(dir.file("db.xml"));
  EXPECT_EQ(read.getCarrier(0)->label, "");
  EXPECT_EQ(read.getCarrier(0)->notes, "");
  EXPECT_EQ(read.getCarrier(0)->getTitle(0)->url, "");
}

TEST_F(Legacy2_5Test, XmlFailures) {
  auto loadError = [&](const std::string& xml) {
    testutil::writeFile(dir.file("in.xml"), xml);
    TSoundCarriers2_5 database;
    return messageOf<IOException>([&] { database.loadXML(dir.file("in.xml")); });
  };
  const std::string values = "<NAME/><ARTIST/><LABEL/><TYPE/>";
  EXPECT_EQ(loadError("<DB/>"), kLoadPrefix + "Illegal base tag for a vosko database.");
  EXPECT_EQ(loadError("<VOSKO><CARRIER>" + values + "</CARRIER></VOSKO>"),
            kLoadPrefix + "Element 'CARRIER' has no child 'RELEASE'.");
  EXPECT_EQ(loadError("<VOSKO><CARRIER>" + values + "<RELEASE>gestern</RELEASE></CARRIER></VOSKO>"),
            kLoadPrefix + "TSoundCarrier2_5.fromXML: Illegal date: 'gestern' is not a valid date");
  EXPECT_EQ(loadError("<VOSKO><CARRIER>" + values +
                      "<RELEASE>1.1.2000</RELEASE><NOTES/><TITLES><TITLE><NAME/><ARTIST/><URL/>"
                      "<TRACK>eins</TRACK></TITLE></TITLES></CARRIER></VOSKO>"),
            kLoadPrefix + "'eins' is not a valid integer value");

  std::unique_ptr<TDomDocument> document = modeltest::parse("<TR/>");
  TSoundCarrier2_5 carrier;
  EXPECT_EQ(messageOf<EDomException>([&] { carrier.fromXML(document->documentElement()); }),
            "Illegal base tag for a vosko carrier.");
  TTitle2_5 title;
  EXPECT_EQ(messageOf<EDomException>([&] { title.fromXML(document->documentElement()); }),
            "TTitle2_5.fromXML: Illegal base tag for vosko a title.");
}

TEST(Legacy2_5ModelTest, HtmlOfATitleIsAnEmptyRow) {
  std::unique_ptr<TDomDocument> document = modeltest::newDocument();
  TTitle2_5 title("Song", "u", "Band");
  document->appendChild(title.toHTML(document.get()));
  EXPECT_EQ(modeltest::bytesOf(*document), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<TR></TR>\r\n");
}

}  // namespace
