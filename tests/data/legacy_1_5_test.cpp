// The 1.5 database alone: records only the 1.5 application wrote, each
// carrier's own artist, and its lists' look-ups. What 1.5 and 2.0 share is
// in relational_manager_test.cpp.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "data/legacy/v1_5/identifier_list_1_5.h"
#include "relational_test_util.h"

namespace {

using relationaltest::Carrier;
using relationaltest::database2_5_7;
using relationaltest::kHeader1_5;
using relationaltest::list;
using testutil::dbl;
using testutil::le32;
using testutil::str;

using Legacy1_5Test = relationaltest::LegacyTest<relationaltest::Version1_5>;

// "Listenindex überschreitet das Maximum (-1)" with ü as the byte 0xFC.
const std::string kListIndexError = std::string("Listenindex \xFC") + "berschreitet das Maximum (-1)";

// Records as the 1.5 application stored them, for files the sample writer cannot make.
std::string named(int32_t id, const std::string& name) { return le32(id) + str(name); }
std::string title(int32_t id, const std::string& name, const std::vector<int32_t>& carriers) {
  std::string r = named(id, name) + str("") + le32(static_cast<int64_t>(carriers.size()));
  for (int32_t c : carriers) r += le32(c);
  return r;
}
std::string carrier(int32_t id, const std::string& name, int32_t artist, int32_t label) {
  return named(id, name) + le32(artist) + le32(label) + dbl(0) + str("") + str("CD");
}

// ---- The file --------------------------------------------------------------

TEST_F(Legacy1_5Test, CountsAndLengthsOfZeroOrBelowReadEmpty) {
  std::string record = le32(4) + le32(-3) + le32(-1) + le32(-1) + dbl(1.5) + le32(0) + str("CD");
  testutil::writeFile(input, kHeader1_5 + le32(-1) + le32(INT32_MIN) + le32(0) + list({record}) + "Rest");
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output), database2_5_7({{"", "", "", "CD", 1.5, "", "Album", {}}}));
}

// ---- The conversion ----------------------------------------------------------

TEST_F(Legacy1_5Test, TitlesTakeTheirCarriersArtistByteForByte) {
  describe(R"(artist 1 "Die Ärzte"
              artist 2 "Verschiedene"
              label 10 "Hot Action"
              carrier 100 "Die Bestie" artist 1 label 10 release 1993-05-03 type "Compact Disc" notes "Zeile 1\r\nZeile 2"
              carrier 101 "Bunt gemischt" artist 2 label -1 release 0 type "Audiokassette"
              carrier 102 "Leer" artist -1 label -1 release -2.5
              title 1000 "Schrei nach Liebe" carriers 101 100 101
              title 1001 "Ein Jahr" url "http://example.org/jahr" carriers 101
              title 1002 "Mach die Augen zu" carriers 100)");
  EXPECT_EQ(convert(), "");
  const std::string aerzte = "Die \xC4rzte";
  Carrier album{"Die Bestie", "Hot Action", aerzte, "Compact Disc", 34092, "Zeile 1\r\nZeile 2", "Album", {}};
  album.titles = {{"Schrei nach Liebe", aerzte, "", 0}, {"Mach die Augen zu", aerzte, "", 1}};
  Carrier tape{"Bunt gemischt", "", "Verschiedene", "Audiokassette", 0, "", "Album", {}};
  tape.titles = {{"Schrei nach Liebe", "Verschiedene", "", 0},
                 {"Ein Jahr", "Verschiedene", "http://example.org/jahr", 1}};
  Carrier empty{"Leer", "", "", "", -2.5, "", "Album", {}};
  EXPECT_EQ(testutil::readFile(output), database2_5_7({album, tape, empty}));
}

TEST_F(Legacy1_5Test, NoneIdsGiveEmptyNamesUnlessARecordCarriesThem) {
  const std::string rest = list({title(10, "T", {5})}) + list({carrier(5, "C", -1, -1)});
  testutil::writeFile(input, kHeader1_5 + list({named(-1, "Unbekannt")}) + list({named(-1, "Eigen")}) + rest);
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7({{"C", "Eigen", "Unbekannt", "CD", 0, "", "Album", {{"T", "Unbekannt", "", 0}}}}));

  testutil::writeFile(input, kHeader1_5 + list({named(1, "A")}) + list({}) + rest);
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7({{"C", "", "", "CD", 0, "", "Album", {{"T", "", "", 0}}}}));
}

TEST_F(Legacy1_5Test, UnknownArtistOrLabelIsAListIndexError) {
  testutil::writeFile(output, "alt");
  const std::string artists = list({named(1, "A")});
  const std::string labels = list({named(2, "L")});
  for (const std::string& carriers :
       {list({carrier(5, "C", 1, 2), carrier(6, "D", 1, 3)}), list({carrier(5, "C", 9, 2)})}) {
    testutil::writeFile(input, kHeader1_5 + artists + labels + list({}) + carriers);
    EXPECT_EQ(convert(), kListIndexError);
    EXPECT_EQ(failureClass, "EListError");
  }
  EXPECT_EQ(testutil::readFile(output), "alt");
}

TEST_F(Legacy1_5Test, FirstRecordOfAnIdWinsAndTitlesOnNoCarrierAreDropped) {
  testutil::writeFile(input, kHeader1_5 + list({named(1, "Erster"), named(1, "Zweiter")}) + list({}) +
                                 list({title(10, "Verwaist", {}), title(11, "Hier", {5})}) +
                                 list({carrier(5, "C", 1, -1)}));
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output),
            database2_5_7({{"C", "", "Erster", "CD", 0, "", "Album", {{"Hier", "Erster", "", 0}}}}));
}

TEST(IdentifierList1_5Test, IndexOfAnswersMinusOneForUnknownIds) {
  TLabelList1_5 labels;
  labels.add(std::make_unique<TMusicLabel1_5>("EMI", 4));
  EXPECT_EQ(labels.indexOf(4), 0);
  EXPECT_EQ(labels.indexOf(5), -1);
  EXPECT_EQ(labels.nameOf(-1), "");
  try {
    labels.nameOf(5);
    ADD_FAILURE();
  } catch (const EListError& e) {
    EXPECT_EQ(e.message(), kListIndexError);
  }
}

}  // namespace
