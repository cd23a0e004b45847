// The 2.0 database alone: records only the 2.0 application wrote, samplers
// and each title's own artist, its lists, and the settings only 2.0 reads.
// What 1.5 and 2.0 share is in relational_manager_test.cpp.
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "capture_output.h"
#include "data/legacy/v2_0/config_2_0.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "legacy_sample.h"
#include "platform/os_file.h"
#include "relational_test_util.h"

namespace {

using relationaltest::Carrier;
using relationaltest::database2_5_7;
using relationaltest::kHeader2_0;
using relationaltest::kReadError;
using relationaltest::list;
using testutil::dbl;
using testutil::le32;
using testutil::str;

using Legacy2_0Test = relationaltest::LegacyTest<relationaltest::Version2_0>;

// Records as the 2.0 application stored them, for files the sample writer cannot make.
std::string named(int32_t id, const std::string& name) { return le32(id) + str(name) + dbl(0); }
std::string title(int32_t id, const std::string& name, const std::vector<int32_t>& carriers, int32_t artist) {
  std::string r = named(id, name) + str("") + le32(static_cast<int64_t>(carriers.size()));
  for (int32_t c : carriers) r += le32(c);
  return r + le32(artist);
}
std::string carrier(int32_t id, const std::string& name, int32_t label, double release) {
  return named(id, name) + le32(label) + dbl(release) + str("") + str("Compact Disc");
}

// ---- The file --------------------------------------------------------------

TEST_F(Legacy2_0Test, CountsOfZeroOrBelowAreEmptyListsAndTheNextFollows) {
  testutil::writeFile(
      input, kHeader2_0 + le32(-5) + le32(0) + le32(INT32_MIN) + list({carrier(1, "Allein", -1, 2.5)}));
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7({{"Allein", "", "", "Compact Disc", 2.5, "", "Album", {}}}));
}

TEST_F(Legacy2_0Test, StringLengthsOfZeroOrBelowReadEmptyAndTakeFourBytes) {
  std::string first = le32(1) + le32(0) + dbl(0) + le32(-1) + dbl(3.25) + le32(-1) + str("Schallplatte");
  std::string second = le32(2) + str("Zwei") + dbl(0) + le32(-1) + dbl(0) + str("n") + le32(INT32_MIN);
  testutil::writeFile(input, kHeader2_0 + list({}) + list({}) + list({}) + list({first, second}));
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output), database2_5_7({{"", "", "", "Schallplatte", 3.25, "", "Album", {}},
                                                       {"Zwei", "", "", "", 0, "n", "Album", {}}}));
}

TEST_F(Legacy2_0Test, BytesAfterTheCarrierListAreIgnored) {
  std::string body = list({named(1, "Nena")}) + list({}) + list({title(5, "Irgendwie", {9}, 1)}) +
                     list({carrier(9, "Fragezeichen", -1, 0)});
  testutil::writeFile(input, kHeader2_0 + body + le32(12345) + "Rest");
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(
      testutil::readFile(output),
      database2_5_7(
          {{"Fragezeichen", "", "Nena", "Compact Disc", 0, "", "Album", {{"Irgendwie", "Nena", "", 0}}}}));
}

TEST_F(Legacy2_0Test, CountsBeyondTheBytesPresentFailWithoutAllocating) {
  const std::string empty = list({});
  for (const std::string& body :
       {le32(INT32_MAX) + named(1, "Einer"),                                               // artist count
        empty + empty + le32(1) + le32(5) + le32(INT32_MAX - 8) + "abc",                   // string length
        empty + empty + le32(1) + named(5, "T") + str("") + le32(INT32_MAX) + le32(9)}) {  // carrier ids
    testutil::writeFile(input, kHeader2_0 + body);
    EXPECT_EQ(convert(), kReadError);
  }
}

TEST_F(Legacy2_0Test, EmptyInputPathReadsMylibFromCurrentDirectory) {
  testutil::writeFile(dir.file("mylib.vsk"),
                      kHeader2_0 + list({}) + list({}) + list({}) + list({carrier(1, "Aus mylib", -1, 1)}));
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  std::string failure = failureOf([this] { convert2_0(std::make_unique<TManager2_0>(""), "", output); });
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_EQ(failure, "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7({{"Aus mylib", "", "", "Compact Disc", 1, "", "Album", {}}}));
}

TEST_F(Legacy2_0Test, ReadFailureInTheMiddleIsAReadError) {
  // More than one buffer's worth, so the second read of the file fails.
  describe("carrier 1 \"Lang\" notes \"" + std::string(100000, 'n') + "\"");
  TManager2_0 manager("");  // reads the settings first
  platform::faults::failNthRead(2);
  std::string failure = loadFailure(manager, input);
  platform::faults::reset();
  EXPECT_EQ(failure, kReadError);
}

TEST_F(Legacy2_0Test, RecordsReadBackAsWritten) {
  describe(R"(artist 7 "Nena" date 36000.5
              label 8 "CBS" date 1
              title 9 "99 Luftballons" url "http://x" artist 7 carriers 10 11 date 2
              carrier 10 "Nena" label 8 release 1983-01-01 notes "Zeile 1\r\nZeile 2" type "LP" date 3
              carrier 11 "Fragezeichen" label -1 release -1.25 date 4)");
  TManager2_0 manager("");
  ASSERT_EQ(loadFailure(manager, input), "");
  ASSERT_EQ(manager.titles().size(), 1);
  const TTitle2_0* t = manager.titles().get(0);
  EXPECT_EQ(t->name, "99 Luftballons");
  EXPECT_EQ(t->url, "http://x");
  EXPECT_EQ(t->artistId, 7);
  EXPECT_EQ(t->date, 2);
  ASSERT_EQ(t->carrierIds.size(), 2u);
  EXPECT_EQ(t->carrierIds[1].id, 11);
  const TSoundCarrier2_0* c = manager.carriers().get(0);
  EXPECT_EQ(c->labelId, 8);
  EXPECT_EQ(c->notes, "Zeile 1\r\nZeile 2");
  EXPECT_EQ(c->type, "LP");
  EXPECT_EQ(c->date, 3);
  EXPECT_EQ(manager.carriers().get(1)->release, -1.25);
  EXPECT_EQ(manager.artists().get(0)->date, 36000.5);

  // Written again, the lists give the very bytes read.
  std::string again = dir.file("again.vsk");
  legacy::RecordFile file;
  file.openWrite(again);
  ASSERT_EQ(file.write(kHeader2_0.data(), kHeader2_0.size()), kHeader2_0.size());
  manager.artists().writeTo(file);
  manager.labels().writeTo(file);
  manager.titles().writeTo(file);
  manager.carriers().writeTo(file);
  file.commit();
  EXPECT_EQ(testutil::readFile(again), testutil::readFile(input));
}

TEST_F(Legacy2_0Test, FailedWriteLeavesNoFile) {
  platform::faults::failNthWrite(1);
  std::string failure = failureOf([this] { describe("artist 1 \"A\""); });
  platform::faults::reset();
  EXPECT_EQ(failure, "Fehler beim Schreiben der Datenbasis.");
  EXPECT_EQ(failureClass, "Exception");
  EXPECT_FALSE(testutil::exists(input));
  EXPECT_EQ(dir.entries(), (std::vector<std::string>{"registry.reg", "registry.reg.lock"}));
}

// ---- The conversion ----------------------------------------------------------

TEST_F(Legacy2_0Test, ConvertsAlbumSamplerAndRecordByteForByte) {
  describe(R"(artist 1 "Die Ärzte"
              artist 2 "Nena"
              artist 3 "Fehlfarben"
              artist 4 "Niemand hört das"
              label 10 "Hot Action"
              label 11 "EMI"
              label 12 "Niemandes Label"
              carrier 100 "Die Bestie" label 10 release 1993-05-03 type "Compact Disc" notes "Zeile 1\r\nZeile 2\r\n"
              carrier 101 "NDW – Die größten Hits" label 11 release 34000.75 type "Compact Disc"
              carrier 102 "Leere Platte" label 10 type "Schallplatte"
              title 1000 "Schrei nach Liebe" artist 1 carriers 100
              title 1001 "Ein Jahr" artist 3 carriers 101 url "http://example.org/jahr"
              title 1002 "Mach die Augen zu" artist 1 carriers 100
              title 1003 "99 Luftballons" artist 2 carriers 101
              title 1004 "Friedenspanzer" artist 1 carriers 100 101)");
  EXPECT_EQ(convert(), "");
  const std::string aerzte = "Die \xC4rzte";
  Carrier album{
      "Die Bestie", "Hot Action", aerzte, "Compact Disc", 34092, "Zeile 1\r\nZeile 2\r\n", "Album", {}};
  album.titles = {{"Schrei nach Liebe", aerzte, "", 0},
                  {"Mach die Augen zu", aerzte, "", 1},
                  {"Friedenspanzer", aerzte, "", 2}};
  Carrier sampler{
      "NDW \x96 Die gr\xF6\xDFten Hits", "EMI", "<Sampler>", "Compact Disc", 34000.75, "", "Sampler", {}};
  sampler.titles = {{"Ein Jahr", "Fehlfarben", "http://example.org/jahr", 0},
                    {"99 Luftballons", "Nena", "", 1},
                    {"Friedenspanzer", aerzte, "", 2}};
  Carrier record{"Leere Platte", "Hot Action", "", "Schallplatte", 0, "", "Album", {}};
  EXPECT_EQ(testutil::readFile(output), database2_5_7({album, sampler, record}));
}

TEST_F(Legacy2_0Test, FirstTitleWithoutArtistMakesNoSampler) {
  describe(R"(artist 2 "Nena"
              carrier 1 "Gemischt"
              title 10 "Ohne" artist -1 carriers 1
              title 11 "Mit" artist 2 carriers 1)");
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7(
                {{"Gemischt", "", "", "", 0, "", "Album", {{"Ohne", "", "", 0}, {"Mit", "Nena", "", 1}}}}));
}

TEST_F(Legacy2_0Test, TitleNamingACarrierTwiceIsAddedOnce) {
  describe(R"(artist 1 "A"
              carrier 5 "Eins"
              carrier 6 "Zwei"
              title 10 "Doppelt" artist 1 carriers 6 5 6 5
              title 11 "Einfach" artist 1 carriers 5)");
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7(
                {{"Eins", "", "A", "", 0, "", "Album", {{"Doppelt", "A", "", 0}, {"Einfach", "A", "", 1}}},
                 {"Zwei", "", "A", "", 0, "", "Album", {{"Doppelt", "A", "", 0}}}}));
}

TEST_F(Legacy2_0Test, TitlesOnNoCarrierAndUnusedRecordsAreNotCarriedOver) {
  testutil::writeFile(
      input,
      kHeader2_0 + list({named(1, "A"), named(2, "Unbenutzt")}) + list({named(3, "Unbenutzt")}) +
          list({title(10, "Verwaist", {}, 1), title(11, "Fremd", {99}, 1), title(12, "Hier", {5}, 1)}) +
          list({carrier(5, "Eins", -1, 0)}));
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7({{"Eins", "", "A", "Compact Disc", 0, "", "Album", {{"Hier", "A", "", 0}}}}));
}

TEST_F(Legacy2_0Test, NoneIdsGiveEmptyNamesUnlessARecordCarriesThem) {
  const std::string carriers = list({carrier(5, "Ohne alles", -1, 0), carrier(6, "Ohne Künstler", -1, 0)});
  const std::string titles = list({title(10, "Namenlos", {6}, -1)});
  testutil::writeFile(input, kHeader2_0 + list({}) + list({}) + titles + carriers);
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(
      testutil::readFile(output),
      database2_5_7({{"Ohne alles", "", "", "Compact Disc", 0, "", "Album", {}},
                     {"Ohne Künstler", "", "", "Compact Disc", 0, "", "Album", {{"Namenlos", "", "", 0}}}}));

  testutil::writeFile(input, kHeader2_0 + list({named(-1, "Unbekannt")}) + list({named(-1, "Eigenverlag")}) +
                                 titles + carriers);
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7({{"Ohne alles", "Eigenverlag", "Unbekannt", "Compact Disc", 0, "", "Album", {}},
                           {"Ohne Künstler",
                            "Eigenverlag",
                            "Unbekannt",
                            "Compact Disc",
                            0,
                            "",
                            "Album",
                            {{"Namenlos", "Unbekannt", "", 0}}}}));
}

TEST_F(Legacy2_0Test, DanglingIdsStopTheConversionAndLeaveTheOutputAlone) {
  testutil::writeFile(output, "alt");
  describe(R"(artist 1 "A"
              label 2 "L"
              carrier 5 "Gut" label 2
              carrier 6 "Schlecht" label 77)");
  EXPECT_EQ(convert(), "Bezeichner mit ID: 77 nicht gefunden.");
  EXPECT_EQ(failureClass, "Exception");

  describe(R"(carrier 5 "Erster Titel" label -1
              title 10 "T" artist 55 carriers 5)");
  EXPECT_EQ(convert(), "Bezeichner mit ID: 55 nicht gefunden.");

  describe(R"(artist 1 "A"
              carrier 5 "Sampler" label -1
              title 10 "T" artist 1 carriers 5
              title 11 "U" artist -7 carriers 5)");
  EXPECT_EQ(convert(), "Bezeichner mit ID: -7 nicht gefunden.");

  EXPECT_EQ(testutil::readFile(output), "alt");
  EXPECT_EQ(dir.entries(),
            (std::vector<std::string>{"in.vsk", "out.vsk", "registry.reg", "registry.reg.lock"}));
}

TEST_F(Legacy2_0Test, FirstRecordOfAnIdWins) {
  testutil::writeFile(input, kHeader2_0 + list({named(1, "Erster"), named(1, "Zweiter")}) +
                                 list({named(4, "L1"), named(4, "L2")}) + list({title(10, "T", {5}, 1)}) +
                                 list({carrier(5, "C", 4, 0), carrier(5, "C2", 4, 0)}));
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(
      testutil::readFile(output),
      database2_5_7({{"C", "L1", "Erster", "Compact Disc", 0, "", "Album", {{"T", "Erster", "", 0}}},
                     {"C2", "L1", "Erster", "Compact Disc", 0, "", "Album", {{"T", "Erster", "", 0}}}}));
}

// ---- Lists -------------------------------------------------------------------

TEST(IdentifierList2_0Test, LookUpsByIdAndPosition) {
  TArtistList2_0 artists;
  artists.add(std::make_unique<TArtist2_0>("Nena", 3));
  EXPECT_EQ(artists.indexOf(3), 0);
  EXPECT_EQ(artists.nameOf(3), "Nena");
  EXPECT_EQ(artists.byId(-1), nullptr);
  EXPECT_EQ(artists.nameOf(-1), "");
  try {
    artists.indexOf(-1);
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(), "Bezeichner mit ID: -1 nicht gefunden.");
  }
  try {
    artists.get(1);
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_EQ(e.message(),
              "Listenindex \xFC"
              "berschreitet das Maximum (1)");
  }
}

TEST(IdentifierList2_0Test, WritingDropsTitlesOnNoCarrier) {
  TTitleList2_0 titles;
  auto orphan = std::make_unique<TTitle2_0>("Verwaist", 1);
  orphan->date = 0;
  titles.add(std::move(orphan));
  auto kept = std::make_unique<TTitle2_0>("Hier", 2);
  kept->date = 0;
  kept->artistId = 7;
  kept->carrierIds.emplace_back(5);
  titles.add(std::move(kept));

  testutil::TempDir dir;
  legacy::RecordFile file;
  file.openWrite(dir.file("titles"));
  titles.writeTo(file);
  file.commit();
  EXPECT_EQ(testutil::readFile(dir.file("titles")),
            le32(1) + le32(2) + str("Hier") + dbl(0) + str("") + le32(1) + le32(5) + le32(7));
  ASSERT_EQ(titles.size(), 1);
  EXPECT_EQ(titles.get(0)->name, "Hier");
}

TEST(IdentifierList2_0Test, TitlesOfCarrierFollowLaterAdds) {
  TTitleList2_0 titles;
  auto first = std::make_unique<TTitle2_0>("Eins", 1);
  first->carrierIds.emplace_back(5);
  titles.add(std::move(first));
  EXPECT_EQ(titles.titlesOfCarrier(5).size(), 1u);
  auto second = std::make_unique<TTitle2_0>("Zwei", 2);
  second->carrierIds.emplace_back(5);
  titles.add(std::move(second));
  std::vector<const TTitle2_0*> own = titles.titlesOfCarrier(5);
  ASSERT_EQ(own.size(), 2u);
  EXPECT_EQ(own[1]->name, "Zwei");
  titles.clear();
  EXPECT_TRUE(titles.titlesOfCarrier(5).empty());
}

TEST_F(Legacy2_0Test, MixedArtistsAndCarrierArtistId) {
  describe(R"(carrier 1 "Leer"
              carrier 2 "Gleich"
              carrier 3 "Gemischt"
              carrier 4 "Erster ohne"
              title 9 "d" artist -1 carriers 4
              title 10 "a" artist 7 carriers 2 3 4
              title 11 "b" artist 7 carriers 2 3
              title 12 "c" artist 8 carriers 3)");
  TManager2_0 manager("");
  ASSERT_EQ(loadFailure(manager, input), "");
  const std::vector<std::pair<bool, int32_t>> expected = {{false, -1}, {false, 7}, {true, -1}, {false, -1}};
  for (int32_t i = 0; i < 4; ++i) {
    const TSoundCarrier2_0& c = *manager.carriers().get(i);
    EXPECT_EQ(mixedArtists(manager.titles(), c), expected[i].first) << c.name;
    EXPECT_EQ(carrierArtistId(manager.titles(), c), expected[i].second) << c.name;
  }
}

// ---- Settings ----------------------------------------------------------------

TEST_F(Legacy2_0Test, MissingStringValueReadsEmptyWithoutWarning) {
  ASSERT_TRUE(productKey().deleteValue("database"));
  std::unique_ptr<TManager2_0> manager;
  EXPECT_EQ(testutil::captureOutput([&] { manager = std::make_unique<TManager2_0>(""); }).err, "");
  EXPECT_EQ(manager->config().database, "");
  EXPECT_EQ(manager->getFileName(), "mylib.vsk");
}

TEST_F(Legacy2_0Test, NewNamedConfigurationIsStoredWithoutWarning) {
  std::unique_ptr<TConfig2_0> made;
  EXPECT_EQ(testutil::captureOutput([&] { made = std::make_unique<TConfig2_0>("Test"); }).err, "");
  TConfig2_0& config = *made;
  EXPECT_EQ(config.keyName(), "Test");
  platform::Registry registry;
  ASSERT_TRUE(registry.openKey("\\Software\\Tarquo\\Vosko\\Test", false));
  EXPECT_EQ(registry.readInteger("height"), 560);

  config.height = 0;
  try {
    config.toRegistry();
    ADD_FAILURE();
  } catch (const Exception& e) {
    EXPECT_EQ(e.message(),
              "Fehler: Es wurde versucht ung\xFCltige Konfigurationswerte in die Registry abzulegen.");
  }
  EXPECT_EQ(registry.readInteger("height"), 560);
}

}  // namespace
