// The model of format 2.5.5: its file as the old application wrote it, read
// through the class-name map and written back under the legacy class names,
// the rules of add and getArtist, the display texts and the XML form.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "object_format_test_util.h"
#include "object_sample.h"
#include "platform/clock.h"
#include "test_util.h"
#include "xml/dom_exception.h"

using legacytest::block;
using legacytest::object;
using testutil::dbl;
using testutil::le32;
using testutil::str;

namespace {

const std::string kHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.5]";
const LegacyClassNames kNames{"TTitle2_5_5", "TSoundCarrier2_5_5", "TSoundCarriers2_5_5"};
const double kRelease = 34096.5625;  // 07.05.1993 13:30
const std::string kLoadPrefix =
    "TXMLPersistent.loadXML: (IOException) TXMLPersistent.loadXML: (EDomException) ";

std::string titleRecord(const std::string& className, const std::string& name, const std::string& artist,
                        const std::string& film) {
  return object(className,
                str(name) + str(artist) + str("http://u") + str("Original") + str("Orig") + str(film));
}

// A carrier of two titles as stored under the given class names.
std::string carrierFile(const std::string& carrierClass, const std::string& titleClass) {
  std::string carrier = str("Bestie") + str("Metronome") + str("Die \xC4rzte") + str("Compact Disc") +
                        dbl(kRelease) + str("eins\r\nzwei") + str("Album") + str("front.jpg") +
                        str("print.jpg") + le32(2) + titleRecord(titleClass, "Schrei", "Die \xC4rzte", "") +
                        titleRecord(titleClass, "Panzer", "Die \xC4rzte", "Film");
  return kHeader + block(le32(1) + object(carrierClass, carrier));
}

std::unique_ptr<TTitle2_5_5> newTitle(const std::string& name, const std::string& artist) {
  return std::make_unique<TTitle2_5_5>(name, "", artist);
}

class Legacy2_5_5Test : public testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(Legacy2_5_5Test, OldFileIsReadThroughTheClassNameMap) {
  TSoundCarriers2_5_5 database;
  legacytest::loadOldFile(database, dir.file("old.vsk"), carrierFile("TSoundCarrier", "TTitle"), kNames);
  ASSERT_EQ(database.size(), 1);
  TSoundCarrier2_5_5& c = *database.getCarrier(0);
  EXPECT_EQ(c.name, "Bestie");
  EXPECT_EQ(c.label, "Metronome");
  EXPECT_EQ(c.artist, "Die \xC4rzte");
  EXPECT_EQ(c.release, kRelease);
  EXPECT_EQ(c.notes, "eins\r\nzwei");
  EXPECT_EQ(c.image, "front.jpg");
  EXPECT_EQ(c.printImage, "print.jpg");
  ASSERT_EQ(c.size(), 2);
  EXPECT_EQ(c.getTitle(0)->track, 1);
  EXPECT_EQ(c.getTitle(1)->track, 2);
  EXPECT_EQ(c.getTitle(1)->carrier, &c);
  EXPECT_EQ(c.getTitle(1)->film, "Film");
  EXPECT_EQ(c.getTitle(1)->originalArtist, "Orig");
}

TEST_F(Legacy2_5_5Test, SampleWriterWritesWhatTheOldApplicationStored) {
  sample::ObjectCarrier c = sample::defaultCarrier(sample::ObjectFormat::k2_5_5);
  c.name = "Bestie";
  c.label = "Metronome";
  c.artist = "Die \xC4rzte";
  c.release = kRelease;
  c.notes = "eins\r\nzwei";
  c.image = "front.jpg";
  c.printImage = "print.jpg";
  for (const char* name : {"Schrei", "Panzer"}) {
    sample::ObjectTitle t = sample::defaultTitle(sample::ObjectFormat::k2_5_5);
    t.name = name;
    t.artist = c.artist;
    t.url = "http://u";
    t.originalArtist = "Orig";
    c.titles.push_back(t);
  }
  c.titles[1].film = "Film";
  sample::writeObjectDatabase(sample::ObjectDatabase{sample::ObjectFormat::k2_5_5, {c}}, dir.file("s.vsk"));
  EXPECT_EQ(testutil::readFile(dir.file("s.vsk")), carrierFile("TSoundCarrier", "TTitle"));
}

TEST_F(Legacy2_5_5Test, StoringKeepsTheLayoutUnderTheLegacyClassNames) {
  TSoundCarriers2_5_5 database;
  legacytest::loadOldFile(database, dir.file("old.vsk"), carrierFile("TSoundCarrier", "TTitle"), kNames);
  EXPECT_EQ(legacytest::storedBytes(database, dir.file("new.vsk")),
            carrierFile("TSoundCarrier2_5_5", "TTitle2_5_5"));
  TSoundCarriers2_5_5 again;
  again.load(dir.file("new.vsk"));
  EXPECT_EQ(again.getCarrier(0)->getTitle(1)->name, "Panzer");
}

TEST_F(Legacy2_5_5Test, TruncatedCarrierBlockFailsAtEveryLength) {
  const std::string bytes = carrierFile("TSoundCarrier", "TTitle");
  for (size_t n = kHeader.size(); n < bytes.size(); ++n) {
    TSoundCarriers2_5_5 database;
    EXPECT_EQ(messageOf<IOException>([&] {
                legacytest::loadOldFile(database, dir.file("cut.vsk"), bytes.substr(0, n), kNames);
              }),
              "TFile: IO error while read binary. '" + dir.file("cut.vsk") + "' is cut short at offset " +
                  std::to_string(n) + ".");
  }
}

TEST_F(Legacy2_5_5Test, BlockLongerThanItsFieldsIsCorrupt) {
  std::string bytes = carrierFile("TSoundCarrier", "TTitle");
  // One byte more in the root block than the carrier count and records use.
  bytes = kHeader + block(bytes.substr(kHeader.size() + 4) + "x");
  TSoundCarriers2_5_5 database;
  EXPECT_EQ(
      messageOf<IOException>([&] { legacytest::loadOldFile(database, dir.file("x.vsk"), bytes, kNames); }),
      "TFile: Read-Buffer too small or too large, file corrupt: ");
}

TEST(Legacy2_5_5ModelTest, InitialValues) {
  TTitle2_5_5 title;
  EXPECT_EQ(title.name, "");
  EXPECT_EQ(title.url, "<unknown url>");
  EXPECT_EQ(title.contentType, "Original");
  EXPECT_EQ(title.track, 0);
  const double before = platform::now();
  TSoundCarrier2_5_5 carrier("N", "L", "Schallplatte");
  EXPECT_EQ(carrier.type, "Schallplatte");
  EXPECT_EQ(carrier.contentType, "Album");
  EXPECT_GE(carrier.release, before);
  EXPECT_TRUE(carrier.getOwnsObjects());
  EXPECT_TRUE(TSoundCarriers2_5_5().getOwnsObjects());
  EXPECT_EQ(carrier.fileHeader(), kHeader);
  EXPECT_EQ(title.fileHeader(), kHeader);
}

TEST(Legacy2_5_5ModelTest, AddNumbersFromOneAndRefusesForeignObjects) {
  TSoundCarrier2_5_5 carrier;
  EXPECT_EQ(carrier.add(newTitle("a", "x").release()), 0);
  EXPECT_EQ(carrier.add(newTitle("b", "x").release()), 1);
  EXPECT_EQ(carrier.getTitle(1)->track, 2);
  EXPECT_EQ(carrier.getTitle(1)->carrier, &carrier);
  TSoundCarrier2_5_5 other;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { carrier.add(&other); }),
            "TSoundCarrier2_5_5.add: Object is no title.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { carrier.add(nullptr); }),
            "TSoundCarrier2_5_5.add: Object is no title.");
  TSoundCarriers2_5_5 database;
  TTitle2_5_5 title;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { database.add(&title); }),
            "TSoundCarriers2_5_5.add: Object is no carrier.");
  EXPECT_EQ(carrier.size(), 2);
}

TEST(Legacy2_5_5ModelTest, GetArtistMakesMixedCarriersSamplersAndSplitWins) {
  TSoundCarrier2_5_5 carrier;
  carrier.artist = "A";
  EXPECT_FALSE(carrier.hasMixedArtists());
  carrier.add(newTitle("1", "A").release());
  EXPECT_EQ(carrier.getArtist(), "A");
  carrier.add(newTitle("2", "a").release());
  EXPECT_TRUE(carrier.hasMixedArtists());
  EXPECT_EQ(carrier.getArtist(), "<Sampler>");
  EXPECT_EQ(carrier.artist, "<Sampler>");

  carrier.contentType = "Split";
  carrier.add(newTitle("3", "").release());
  carrier.add(newTitle("4", "Beta").release());
  carrier.add(newTitle("5", "ET").release());  // inside "A BETA " already
  EXPECT_EQ(carrier.getArtist(), "A Beta ");
  EXPECT_EQ(carrier.artist, "A Beta ");
}

TEST(Legacy2_5_5ModelTest, AssemblingTheSplitArtistOfAnotherKindFails) {
  TSoundCarrier2_5_5 carrier;
  carrier.contentType = "split";
  EXPECT_EQ(messageOf<IllegalStateException>([&] { carrier.assembleSplitArtist(); }),
            "TSoundCarrier2_5_5.assembleSplitArtist: Attempt to assemble artist for non split typ: split");
}

TEST(Legacy2_5_5ModelTest, DisplayTexts) {
  TTitle2_5_5 title("Song", "http://u", "Band");
  title.track = 7;
  EXPECT_EQ(title.toString(), "07 Band - Song, http://u (Original)");
  title.film = "Film";
  EXPECT_EQ(title.toString(), "07 Band (Film) - Song, http://u (Original)");
  title.originalArtist = "Orig";
  EXPECT_EQ(title.toString(), "07 Band (Orig, Film) - Song, http://u (Original)");
  title.film = "";
  title.track = 123;
  EXPECT_EQ(title.toString(), "123 Band (Orig) - Song, http://u (Original)");

  TSoundCarrier2_5_5 carrier("Album", "Label", "Compact Disc");
  carrier.artist = "Band";
  carrier.release = kRelease;
  carrier.contentType = "Sampler";
  EXPECT_EQ(carrier.toString(), "Album, Band - Label, 07.05.1993 Compact Disc (Sampler)");
}

// ---- XML ------------------------------------------------------------------------

class Legacy2_5_5XmlTest : public testing::Test {
 protected:
  std::string loadError(const std::string& xml) {
    testutil::writeFile(dir.file("in.xml"), xml);
    TSoundCarriers2_5_5 database;
    return messageOf<IOException>([&] { database.loadXML(dir.file("in.xml")); });
  }
  testutil::TempDir dir;
};

TEST_F(Legacy2_5_5XmlTest, DatabaseIsWrittenWithAttributesAndReadBack) {
  TSoundCarriers2_5_5 database;
  legacytest::loadOldFile(database, dir.file("old.vsk"), carrierFile("TSoundCarrier", "TTitle"), kNames);
  database.storeXML(dir.file("db.xml"));
  EXPECT_EQ(testutil::readFile(dir.file("db.xml")),
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
            "<VOSKO VERSION=\"1.0.0\">"
            "<CARRIER NAME=\"Bestie\" ARTIST=\"Die \xC3\x84rzte\" LABEL=\"Metronome\" TYPE=\"Compact Disc\" "
            "RELEASE=\"07.05.1993\" CONTENTTYPE=\"Album\" IMAGE=\"front.jpg\" PRINTIMAGE=\"print.jpg\">"
            "<NOTES>eins\r\r\nzwei</NOTES>"
            "<TITLES>"
            "<TITLE NAME=\"Schrei\" ARTIST=\"Die \xC3\x84rzte\" URL=\"http://u\" TRACK=\"1\" "
            "CONTENTTYPE=\"Original\" "
            "ORIGINALARTIST=\"Orig\" FILM=\"\"></TITLE>"
            "<TITLE NAME=\"Panzer\" ARTIST=\"Die \xC3\x84rzte\" URL=\"http://u\" TRACK=\"2\" "
            "CONTENTTYPE=\"Original\" "
            "ORIGINALARTIST=\"Orig\" FILM=\"Film\"></TITLE>"
            "</TITLES></CARRIER></VOSKO>\r\n");

  TSoundCarriers2_5_5 read;
  read.loadXML(dir.file("db.xml"));
  ASSERT_EQ(read.size(), 1);
  const TSoundCarrier2_5_5& c = *read.getCarrier(0);
  EXPECT_EQ(c.notes, "eins\r\nzwei");
  EXPECT_EQ(c.release, platform::encodeDate(1993, 5, 7));
  EXPECT_EQ(c.image, "front.jpg");
  ASSERT_EQ(c.size(), 2);
  EXPECT_EQ(c.getTitle(1)->film, "Film");
  EXPECT_EQ(c.getTitle(1)->track, 2);
  EXPECT_EQ(c.getTitle(1)->carrier, nullptr);  // appended as read, not through add
}

TEST_F(Legacy2_5_5XmlTest, EmptyNotesReadBackEmpty) {
  TSoundCarriers2_5_5 database;
  database.add(new TSoundCarrier2_5_5("A", "", "Compact Disc"));
  database.storeXML(dir.file("db.xml"));
  TSoundCarriers2_5_5 read;
  read.loadXML(dir.file("db.xml"));
  EXPECT_EQ(read.getCarrier(0)->notes, "");
}

TEST_F(Legacy2_5_5XmlTest, FailuresNameTheClass) {
  const std::string carrier =
      "<CARRIER RELEASE='01.02.2003'><NOTES>n</NOTES><TITLES><TITLE TRACK='1'/></TITLES></CARRIER>";
  EXPECT_EQ(loadError("<VOSKOS VERSION='1.0.0'/>"),
            kLoadPrefix + "TSoundCarriers2_5_5.fromXML: Illegal base tag for a vosko database.");
  EXPECT_EQ(loadError("<VOSKO VERSION='1.1.0'/>"),
            kLoadPrefix + "TSoundCarriers2_5_5.fromXML: Illegal version of a vosko XML database.");
  EXPECT_EQ(loadError("<VOSKO VERSION='1.0.0'><CARRIER RELEASE='31.02.2003'/></VOSKO>"),
            kLoadPrefix + "TSoundCarrier2_5_5.fromXML: Illegal date: '31.02.2003' is not a valid date");
  EXPECT_EQ(loadError("<VOSKO VERSION='1.0.0'><CARRIER RELEASE='01.02.2003'><TITLES/></CARRIER></VOSKO>"),
            kLoadPrefix + "Element 'CARRIER' has no child 'NOTES'.");
  EXPECT_EQ(loadError("<VOSKO VERSION='1.0.0'><CARRIER RELEASE='01.02.2003'><NOTES/></CARRIER></VOSKO>"),
            kLoadPrefix + "Element 'CARRIER' has no child 'TITLES'.");
  std::string badTrack = carrier;
  badTrack.replace(badTrack.find("TRACK='1'"), 9, "TRACK='x'");
  EXPECT_EQ(loadError("<VOSKO VERSION='1.0.0'>" + badTrack + "</VOSKO>"),
            kLoadPrefix + "TTitle2_5_5.fromXML: Illegal track number: 'x' is not a valid integer value");
}

TEST_F(Legacy2_5_5XmlTest, WrongElementTagsAreRefused) {
  std::unique_ptr<TDomDocument> document = modeltest::parse("<X/>");
  TDomElement* element = document->documentElement();
  TSoundCarrier2_5_5 carrier;
  EXPECT_EQ(messageOf<EDomException>([&] { carrier.fromXML(element); }),
            "TSoundCarrier2_5_5.fromXML: Illegal base tag for a vosko carrier.");
  TTitle2_5_5 title;
  EXPECT_EQ(messageOf<EDomException>([&] { title.fromXML(element); }),
            "TTitle2_5_5.fromXML: Illegal base tag for a vosko title.");
}

}  // namespace
