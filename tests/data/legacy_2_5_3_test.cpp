// The model of format 2.5.3 where it differs from 2.5.5: five strings per
// title, no images, no split rule in getArtist, and an XML form whose
// version is the file header.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"
#include "object_format_test_util.h"
#include "test_util.h"
#include "xml/dom_exception.h"

using legacytest::block;
using legacytest::object;
using testutil::dbl;
using testutil::le32;
using testutil::str;

namespace {

const std::string kHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.3]";
const LegacyClassNames kNames{"TTitle2_5_3", "TSoundCarrier2_5_3", "TSoundCarriers2_5_3"};
const double kRelease = 36000.25;
const std::string kLoadPrefix =
    "TXMLPersistent.loadXML: (IOException) TXMLPersistent.loadXML: (EDomException) ";

std::string carrierFile(const std::string& carrierClass, const std::string& titleClass) {
  std::string titles =
      object(titleClass, str("Cover") + str("Band") + str("u") + str("Original") + str("Orig")) +
      object(titleClass, str("Other") + str("Guest") + str("") + str("Live") + str(""));
  std::string carrier = str("Album") + str("Label") + str("Band") + str("Compact Disc") + dbl(kRelease) +
                        str("notes") + str("Split") + le32(2) + titles;
  return kHeader + block(le32(1) + object(carrierClass, carrier));
}

class Legacy2_5_3Test : public testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(Legacy2_5_3Test, FileIsReadAndWrittenWithFiveStringsPerTitle) {
  TSoundCarriers2_5_3 database;
  legacytest::loadOldFile(database, dir.file("old.vsk"), carrierFile("TSoundCarrier", "TTitle"), kNames);
  ASSERT_EQ(database.size(), 1);
  const TSoundCarrier2_5_3& c = *database.getCarrier(0);
  EXPECT_EQ(c.contentType, "Split");
  EXPECT_EQ(c.notes, "notes");
  ASSERT_EQ(c.size(), 2);
  EXPECT_EQ(c.getTitle(0)->originalArtist, "Orig");
  EXPECT_EQ(c.getTitle(1)->contentType, "Live");
  EXPECT_EQ(c.getTitle(1)->track, 2);
  EXPECT_EQ(legacytest::storedBytes(database, dir.file("new.vsk")),
            carrierFile("TSoundCarrier2_5_3", "TTitle2_5_3"));
}

TEST_F(Legacy2_5_3Test, GetArtistKnowsNoSplitAndChangesNothing) {
  TSoundCarriers2_5_3 database;
  legacytest::loadOldFile(database, dir.file("old.vsk"), carrierFile("TSoundCarrier", "TTitle"), kNames);
  const TSoundCarrier2_5_3& c = *database.getCarrier(0);
  EXPECT_EQ(c.getArtist(), "<Sampler>");
  EXPECT_EQ(c.artist, "Band");
}

TEST(Legacy2_5_3ModelTest, InitialValuesAddAndDisplayTexts) {
  TSoundCarrier2_5_3 carrier("Album", "Label", "Compact Disc");
  EXPECT_EQ(carrier.contentType, "Album");
  EXPECT_EQ(carrier.fileHeader(), kHeader);
  carrier.artist = "Band";
  carrier.release = kRelease;
  EXPECT_EQ(carrier.toString(), "Album, Band - Label, 24.07.1998 Compact Disc (Album)");

  auto title = std::make_unique<TTitle2_5_3>("Song", "u", "Band");
  EXPECT_EQ(title->contentType, "Original");
  carrier.add(title.release());
  EXPECT_EQ(carrier.getTitle(0)->toString(), "01 Band - Song, u (Original)");
  carrier.getTitle(0)->originalArtist = "Orig";
  EXPECT_EQ(carrier.getTitle(0)->toString(), "01 Band (Orig) - Song, u (Original)");
  TSoundCarriers2_5_3 database;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { carrier.add(&database); }),
            "TSoundCarrier2_5_3.add: Object is no title.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { database.add(nullptr); }),
            "TSoundCarriers2_5_3.add: Object is no carrier.");
}

TEST_F(Legacy2_5_3Test, XmlVersionIsTheFileHeader) {
  TSoundCarriers2_5_3 database;
  legacytest::loadOldFile(database, dir.file("old.vsk"), carrierFile("TSoundCarrier", "TTitle"), kNames);
  database.storeXML(dir.file("db.xml"));
  EXPECT_EQ(testutil::readFile(dir.file("db.xml")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "<VOSKO VERSION=\"" +
                kHeader +
                "\">"
                "<CARRIER NAME=\"Album\" ARTIST=\"Band\" LABEL=\"Label\" TYPE=\"Compact Disc\" "
                "RELEASE=\"24.07.1998\" "
                "CONTENTTYPE=\"Split\"><NOTES>notes</NOTES><TITLES>"
                "<TITLE NAME=\"Cover\" ARTIST=\"Band\" URL=\"u\" TRACK=\"1\" CONTENTTYPE=\"Original\" "
                "ORIGINALARTIST=\"Orig\"></TITLE>"
                "<TITLE NAME=\"Other\" ARTIST=\"Guest\" URL=\"\" TRACK=\"2\" CONTENTTYPE=\"Live\" "
                "ORIGINALARTIST=\"\">"
                "</TITLE></TITLES></CARRIER></VOSKO>\r\n");
  TSoundCarriers2_5_3 read;
  read.loadXML(dir.file("db.xml"));
  EXPECT_EQ(read.getCarrier(0)->getTitle(0)->originalArtist, "Orig");
  EXPECT_EQ(read.getCarrier(0)->contentType, "Split");
}

TEST_F(Legacy2_5_3Test, XmlFailures) {
  auto loadError = [&](const std::string& xml) {
    testutil::writeFile(dir.file("in.xml"), xml);
    TSoundCarriers2_5_3 database;
    return messageOf<IOException>([&] { database.loadXML(dir.file("in.xml")); });
  };
  EXPECT_EQ(loadError("<VOSKO VERSION='1.0.0'/>"),
            kLoadPrefix + "TSoundCarriers2_5_3.fromXML: Illegal version of a vosko database.");
  EXPECT_EQ(loadError("<vosko/>"),
            kLoadPrefix + "TSoundCarriers2_5_3.fromXML: Illegal base tag for a vosko database.");
  const std::string open = "<VOSKO VERSION='" + kHeader + "'>";
  EXPECT_EQ(loadError(open + "<CARRIER RELEASE='1.13.2000'/></VOSKO>"),
            kLoadPrefix + "TSoundCarrier2_5_3.fromXML: Illegal date: '1.13.2000' is not a valid date");
  EXPECT_EQ(
      loadError(open + "<CARRIER RELEASE='1.12.2000'><NOTES/><TITLES><TITLE TRACK='2x'/></TITLES></CARRIER>"
                       "</VOSKO>"),
      kLoadPrefix + "'2x' is not a valid integer value");

  std::unique_ptr<TDomDocument> document = modeltest::parse("<TITLES/>");
  TSoundCarrier2_5_3 carrier;
  EXPECT_EQ(messageOf<EDomException>([&] { carrier.fromXML(document->documentElement()); }),
            "TSoundCarrier2_5_3.fromXML: Illegal base tag for a vosko carrier.");
  TTitle2_5_3 title;
  EXPECT_EQ(messageOf<EDomException>([&] { title.fromXML(document->documentElement()); }),
            "TTitle2_5_3.fromXML: Illegal base tag for a vosko title.");
}

}  // namespace
