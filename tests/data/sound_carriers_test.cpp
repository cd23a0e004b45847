// The binary database file of format 2.5.7: the worked example byte for
// byte, reading back, and what a damaged or foreign file does.
#include "data/sound_carriers.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "data/data_start_up.h"
#include "model_test_util.h"
#include "platform/clock.h"
#include "test_util.h"

using modeltest::block;
using modeltest::object;
using testutil::dbl;
using testutil::le32;
using testutil::str;

namespace {

const std::string kHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]";
const double kRelease = 37712.40625;  // 24.04.2003 09:45

std::string titleContent(const std::string& name, const std::string& artist, int32_t track,
                         int32_t carrierIndex = 0) {
  return str(name) + str(artist) + str("") + le32(track) + str("Original") + str("") + str("") +
         le32(carrierIndex);
}

std::string carrierContent(const std::string& tocList, const std::string& titles) {
  return str("Hello") + str("") + str("Artist") + str("Compact Disc") + dbl(kRelease) + str("") +
         str("Album") + str("") + str("") + tocList + titles;
}

std::string emptyTocList() { return object("TTOCList", le32(0)); }

std::string databaseFile(const std::string& carriers, int32_t count = 1) {
  return kHeader + block(le32(count) + carriers);
}

// The database of the worked example: one carrier with one title.
std::unique_ptr<TSoundCarriers> workedExample() {
  auto database = std::make_unique<TSoundCarriers>();
  auto carrier = std::make_unique<TSoundCarrier>("Hello", "", "Compact Disc");
  carrier->artist = "Artist";
  carrier->release = kRelease;
  carrier->add(new TTitle("Song", "", "Singer"));
  database->add(carrier.release());
  return database;
}

class SoundCarriersTest : public testing::Test {
 protected:
  void load(const std::string& bytes, TSoundCarriers& database) {
    testutil::writeFile(dir.file("in.vdb"), bytes);
    database.load(dir.file("in.vdb"));
  }
  // The message of the failure that loading `bytes` raises.
  template <class E = IOException>
  std::string loadError(const std::string& bytes) {
    testutil::writeFile(dir.file("in.vdb"), bytes);
    TSoundCarriers database;
    return messageOf<E>([&] { database.load(dir.file("in.vdb")); });
  }

  testutil::TempDir dir;
};

TEST_F(SoundCarriersTest, WorkedExampleIs245BytesAtEveryOffset) {
  std::unique_ptr<TSoundCarriers> database = workedExample();
  database->setFileName(dir.file("out.vdb"));
  database->store();
  const std::string file = testutil::readFile(dir.file("out.vdb"));
  ASSERT_EQ(file.size(), 245u);
  const struct {
    size_t offset;
    std::string bytes;
  } table[] = {
      {0, kHeader},
      {60, le32(181)},
      {64, le32(1)},
      {68, str("TSoundCarrier")},
      {85, le32(156)},
      {89, str("Hello")},
      {98, le32(0)},
      {102, str("Artist")},
      {112, str("Compact Disc")},
      {128, dbl(kRelease)},
      {136, le32(0)},
      {140, str("Album")},
      {149, le32(0)},
      {153, le32(0)},
      {157, str("TTOCList")},
      {169, le32(4)},
      {173, le32(0)},
      {177, le32(1)},
      {181, str("TTitle")},
      {191, le32(50)},
      {195, str("Song")},
      {203, str("Singer")},
      {213, le32(0)},
      {217, le32(0)},
      {221, str("Original")},
      {233, le32(0)},
      {237, le32(0)},
      {241, le32(0)},
  };
  size_t expectedOffset = 0;
  for (const auto& entry : table) {
    EXPECT_EQ(entry.offset, expectedOffset) << "table entries must follow each other";
    EXPECT_EQ(file.substr(entry.offset, entry.bytes.size()), entry.bytes) << "at offset " << entry.offset;
    expectedOffset = entry.offset + entry.bytes.size();
  }
  EXPECT_EQ(expectedOffset, 245u);
  EXPECT_EQ(
      file,
      databaseFile(object(
          "TSoundCarrier",
          carrierContent(emptyTocList(), le32(1) + object("TTitle", titleContent("Song", "Singer", 0))))));
}

TEST_F(SoundCarriersTest, WorkedExampleReadsBackIntoEqualObjects) {
  std::unique_ptr<TSoundCarriers> database = workedExample();
  database->store(dir.file("out.vdb"));
  TSoundCarriers read;
  read.load(dir.file("out.vdb"));
  modeltest::expectSameDatabase(*database, read);
  EXPECT_TRUE(read.getOwnsObjects());
  EXPECT_TRUE(read.getCarrier(0)->getOwnsObjects());
  EXPECT_EQ(read.getCarrier(0)->getTitle(0)->carrier, read.getCarrier(0));
}

TEST_F(SoundCarriersTest, EmptyDatabaseIs68Bytes) {
  TSoundCarriers empty;
  empty.store(dir.file("empty.vdb"));
  EXPECT_EQ(testutil::readFile(dir.file("empty.vdb")), kHeader + le32(4) + le32(0));
  TSoundCarriers read;
  read.add(new TSoundCarrier());
  read.load(dir.file("empty.vdb"));
  EXPECT_EQ(read.size(), 0);
}

TEST_F(SoundCarriersTest, RichDatabaseRoundTripsExactly) {
  TSoundCarriers database;
  auto carrier = std::make_unique<TSoundCarrier>("Caf\xE9 \x80 \x81",
                                                 "L\xE4"
                                                 "bel",
                                                 "Schallplatte");
  carrier->artist = "Mot\xF6rhead";
  carrier->notes = "Line 1\r\nLine 2\r\n\r\nEnd";
  carrier->release = kRelease + 0.123;
  carrier->image = "cover.jpg";
  carrier->printImage = "print.jpg";
  carrier->setContentType("Sampler");
  auto toc = std::make_unique<TTOCData>();
  toc->discId = 4294967295u;
  toc->leadOut->minutes = 70;
  auto track = std::make_unique<TTOCTrack>();
  track->isAudioTrack = false;
  track->frames = 74;
  toc->add(track.release());
  carrier->tocList->add(toc.release());
  for (int disc = 0; disc < 3; ++disc) {
    auto title = std::make_unique<TTitle>("Titel " + std::to_string(disc), "http://x/" + std::to_string(disc),
                                          "S\xE4nger");
    title->carrierIndex = disc;
    title->film = disc == 1 ? "Film" : "";
    title->setOriginalArtist(disc == 2 ? "Other" : "");
    carrier->add(title.release());
  }
  database.add(carrier.release());
  database.add(new TSoundCarrier("Second", "", "Compact Disc"));
  database.store(dir.file("rich.vdb"));

  TSoundCarriers read;
  read.load(dir.file("rich.vdb"));
  modeltest::expectSameDatabase(database, read);
}

TEST_F(SoundCarriersTest, StoredTitlesWithoutNumberAreNumberedOnReading) {
  const std::string titles = le32(3) + object("TTitle", titleContent("a", "x", 4)) +
                             object("TTitle", titleContent("b", "x", -1)) +
                             object("TTitle", titleContent("c", "x", -1, 1));
  TSoundCarriers read;
  load(databaseFile(object("TSoundCarrier", carrierContent(emptyTocList(), titles))), read);
  TSoundCarrier* carrier = read.getCarrier(0);
  EXPECT_EQ(carrier->getTitle(0)->track, 4);
  EXPECT_EQ(carrier->getTitle(1)->track, 5);
  EXPECT_EQ(carrier->getTitle(2)->track, 0);
}

TEST_F(SoundCarriersTest, TruncatedFileFailsAtEveryLength) {
  std::unique_ptr<TSoundCarriers> database = workedExample();
  database->store(dir.file("out.vdb"));
  const std::string file = testutil::readFile(dir.file("out.vdb"));
  for (size_t n = 0; n < file.size(); ++n) {
    testutil::writeFile(dir.file("cut.vdb"), file.substr(0, n));
    TSoundCarriers read;
    EXPECT_THROW(read.load(dir.file("cut.vdb")), IOException) << "length " << n;
  }
  EXPECT_EQ(loadError(file.substr(0, 59)), "TFile.open: (IOException) File '" + dir.file("in.vdb") +
                                               "' does not support header: '" + kHeader + "'.");
}

TEST_F(SoundCarriersTest, ElementsOfAnotherClassAreRefused) {
  // A title where a carrier belongs.
  EXPECT_EQ(loadError<IllegalArgumentException>(databaseFile(object("TTitle", titleContent("a", "b", 0)))),
            "TSoundCarriers.add: Object is no carrier.");
  // A table of contents where a title belongs.
  const std::string tocAsTitle =
      le32(1) + object("TTOCData", le32(0) + object("TTOCTrack", std::string(16, '\0') + "\x01") + le32(0));
  EXPECT_EQ(loadError(databaseFile(object("TSoundCarrier", carrierContent(emptyTocList(), tocAsTitle)))),
            "TFile.readTPObject: (IllegalArgumentException) TSoundCarrier.add: Object is no title.");
  // A title where the TOC list belongs.
  EXPECT_EQ(loadError(databaseFile(object(
                "TSoundCarrier", carrierContent(object("TTitle", titleContent("a", "b", 0)), le32(0))))),
            "TFile.readTPObject: (IOException) TSoundCarrier.read: Object is no TOC list.");
  // A title where a table of contents belongs.
  EXPECT_EQ(
      loadError(databaseFile(
          object("TSoundCarrier",
                 carrierContent(object("TTOCList", le32(1) + object("TTitle", titleContent("a", "b", 0))),
                                le32(0))))),
      "TFile.readTPObject: (IOException) TFile.readTPObject: (IllegalArgumentException) TTOCList.add: object "
      "not assigned or no TTOCData.");
  // An unknown class.
  EXPECT_EQ(
      loadError(databaseFile(
          object("TSoundCarrier", carrierContent(emptyTocList(), le32(1) + object("TFoo", ""))))),
      "TFile.readTPObject: (IOException) TFile.readTPObject: (EClassNotFound) Klasse TFoo nicht gefunden");
}

TEST_F(SoundCarriersTest, CarrierWithoutTocListIsNotWrittenAndTheOldFileStays) {
  testutil::writeFile(dir.file("out.vdb"), "old");
  std::unique_ptr<TSoundCarriers> database = workedExample();
  database->getCarrier(0)->tocList.reset();
  EXPECT_EQ(messageOf<IOException>([&] { database->store(dir.file("out.vdb")); }),
            "TSoundCarrier.write: TOC list not assigned.");
  EXPECT_EQ(testutil::readFile(dir.file("out.vdb")), "old");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"out.vdb"});
  std::unique_ptr<TDomDocument> document = modeltest::newDocument();
  EXPECT_EQ(messageOf<IOException>([&] { database->toXML(document.get()); }),
            "TSoundCarrier.toXML: TOC list not assigned.");
}

TEST_F(SoundCarriersTest, LoadingReplacesWhatTheDatabaseHeld) {
  std::unique_ptr<TSoundCarriers> database = workedExample();
  database->store(dir.file("out.vdb"));
  std::unique_ptr<TSoundCarriers> target = workedExample();
  target->add(new TSoundCarrier("Extra", "", "Compact Disc"));
  target->load(dir.file("out.vdb"));
  modeltest::expectSameDatabase(*database, *target);
}

}  // namespace
