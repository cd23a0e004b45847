#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "convert/convert_database.h"
#include "data/legacy/v1_5/config_1_5.h"
#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "legacy_sample.h"
#include "relational_test_util.h"

namespace {

using relationaltest::Carrier;
using relationaltest::database2_5_7;
using relationaltest::kFormatError;
using relationaltest::kHeader1_5;
using relationaltest::kHeader2_0;
using relationaltest::kReadError;
using testutil::dbl;
using testutil::le32;
using testutil::str;

const std::vector<std::string> kNumbers1_5 = {"nameColumnWidth", "height",           "width",
                                              "detailsWidth",    "titleColumnWidth", "urlColumnWidth"};
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
std::string list(const std::vector<std::string>& records) {
  std::string r = le32(static_cast<int64_t>(records.size()));
  for (const std::string& record : records) r += record;
  return r;
}

class Legacy1_5Test : public relationaltest::RelationalTest {
 protected:
  void SetUp() override {
    RelationalTest::SetUp();
    writeCompleteSettings(kNumbers1_5);
  }

  void describe(const std::string& records) { sample::writeLegacyDatabase("format 1.5\n" + records, input); }

  std::string convert() {
    return failureOf([this] { convert1_5(std::make_unique<TManager1_5>(""), input, output); });
  }
};

// ---- The file --------------------------------------------------------------

TEST_F(Legacy1_5Test, HeaderOnlyFileConvertsToEmptyDatabase) {
  ASSERT_EQ(kHeader1_5.size(), 46u);
  testutil::writeFile(input, kHeader1_5);
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output), database2_5_7({}));
}

TEST_F(Legacy1_5Test, WrongOrShortHeaderIsRejectedAndWritesNothing) {
  std::string upperCase = kHeader1_5;
  upperCase[13] = 'v';  // "[Application:vosko..."
  for (const std::string& bytes : {kHeader1_5.substr(0, 45), upperCase + list({}),
                                   kHeader2_0 + list({}) + list({}) + list({}) + list({})}) {
    testutil::writeFile(input, bytes);
    EXPECT_EQ(convert(), kFormatError) << bytes;
    EXPECT_FALSE(testutil::exists(output));
  }
}

TEST_F(Legacy1_5Test, CountsAndLengthsOfZeroOrBelowReadEmpty) {
  std::string record = le32(4) + le32(-3) + le32(-1) + le32(-1) + dbl(1.5) + le32(0) + str("CD");
  testutil::writeFile(input, kHeader1_5 + le32(-1) + le32(INT32_MIN) + le32(0) + list({record}) + "Rest");
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output), database2_5_7({{"", "", "", "CD", 1.5, "", "Album", {}}}));
}

TEST_F(Legacy1_5Test, TruncatedFileFailsAtEveryPoint) {
  describe(R"(artist 1 "Die Ärzte"
              label 2 "Hot Action"
              title 3 "Schrei nach Liebe" url "u" carriers 4 4
              carrier 4 "Die Bestie" artist 1 label 2 notes "a\r\nb" type "Compact Disc")");
  std::string whole = testutil::readFile(input);
  TManager1_5 manager("");
  std::string cut = dir.file("cut.vsk");
  for (size_t size = kHeader1_5.size() + 1; size < whole.size(); ++size) {
    testutil::writeFile(cut, whole.substr(0, size));
    manager.setFileName(cut);
    EXPECT_EQ(failureOf([&] { manager.load(); }), kReadError) << size;
  }
  testutil::writeFile(input, whole + le32(INT32_MAX));
  EXPECT_EQ(convert(), "");

  testutil::writeFile(input, kHeader1_5 + le32(INT32_MAX) + named(1, "Einer"));
  EXPECT_EQ(convert(), kReadError);
}

TEST_F(Legacy1_5Test, MissingInputFileGivesEmptyDatabase) {
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output), database2_5_7({}));
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

TEST_F(Legacy1_5Test, ReleaseIsCopiedBitForBit) {
  uint64_t nanBits = 0x7FF4000000000ABC;
  double nan;
  std::memcpy(&nan, &nanBits, 8);
  std::vector<std::string> records;
  std::vector<Carrier> expected;
  for (double release : {0.0, -0.0, nan, 5e-324, 1e300}) {
    records.push_back(le32(1) + str("C") + le32(-1) + le32(-1) + dbl(release) + str("") + str(""));
    expected.push_back({"C", "", "", "", release, "", "Album", {}});
  }
  testutil::writeFile(input, kHeader1_5 + list({}) + list({}) + list({}) + list(records));
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(testutil::readFile(output), database2_5_7(expected));
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

TEST_F(Legacy1_5Test, DispatchConvertsVersion1_5) {
  describe("carrier 1 \"Eins\"");
  EXPECT_EQ(failureOf([this] { convertDatabase("1.5", input, output); }), "");
  EXPECT_EQ(testutil::readFile(output), database2_5_7({{"Eins", "", "", "", 0, "", "Album", {}}}));
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

// ---- Settings ----------------------------------------------------------------

TEST_F(Legacy1_5Test, FreshSettingsFileGetsDefaultsAfterWarning) {
  ASSERT_EQ(::unlink(registryPath().c_str()), 0);
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(notices, relationaltest::kRestoreNotice);
  EXPECT_TRUE(testutil::exists(output));

  platform::Registry registry;
  ASSERT_TRUE(registry.openKey("\\Software\\Tarquo\\Vosko", false));
  EXPECT_EQ(registry.readString("database"), "mylib.vsk");
  EXPECT_EQ(registry.readString("columnOrder"), "K\xFCnstler:106.Release:106.");
  EXPECT_EQ(registry.readInteger("nameColumnWidth"), 107);
  EXPECT_EQ(registry.readInteger("detailsWidth"), 270);
  EXPECT_EQ(registry.readInteger("width"), 604);
  EXPECT_EQ(registry.readInteger("height"), 496);
  EXPECT_EQ(registry.readInteger("exitFlag"), 0);
  EXPECT_EQ(registry.readInteger("titleColumnWidth"), 98);
  EXPECT_EQ(registry.readInteger("urlColumnWidth"), 98);
  EXPECT_FALSE(registry.valueExists("artistColumnWidth"));

  EXPECT_EQ(convert(), "");
  EXPECT_EQ(notices, "");
}

TEST_F(Legacy1_5Test, CompleteSettingsConvertSilentlyAndStayUntouched) {
  std::string before = testutil::readFile(registryPath());
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(notices, "");
  EXPECT_EQ(testutil::readFile(registryPath()), before);
  TConfig1_5 config("");
  EXPECT_EQ(config.database, "eigene.vsk");
  EXPECT_EQ(config.urlColumnWidth, 100);
  EXPECT_TRUE(config.exitFlag);
}

TEST_F(Legacy1_5Test, StringWhereANumberBelongsRestoresDefaults) {
  {
    platform::Registry registry;
    ASSERT_TRUE(registry.openKey("\\Software\\Tarquo\\Vosko", false));
    registry.writeString("urlColumnWidth", "98");
  }
  EXPECT_EQ(convert(), "");
  EXPECT_EQ(notices, relationaltest::kRestoreNotice);
  EXPECT_TRUE(testutil::exists(output));
  TConfig1_5 config("");
  EXPECT_EQ(config.urlColumnWidth, 98);
  EXPECT_EQ(config.database, "mylib.vsk");
  EXPECT_FALSE(config.exitFlag);
}

}  // namespace
