// The 1.5 and 2.0 conversions straight from the file's bytes against the
// conversion of the loaded records: every database either converts the same
// way both ways, or is declined by the first with nothing written and then
// meets the second's report.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "relational_test_util.h"

namespace {

using relationaltest::kFormatError;
using relationaltest::kHeader1_5;
using relationaltest::kHeader2_0;
using relationaltest::kReadError;
using testutil::dbl;
using testutil::le32;
using testutil::str;

const std::string kUnknown1_5 =
    "Listenindex \xFC"
    "berschreitet das Maximum (-1)";

std::string ids(const std::vector<int32_t>& carriers) {
  std::string r = le32(static_cast<int64_t>(carriers.size()));
  for (int32_t c : carriers) r += le32(c);
  return r;
}

// The records of each version; `artist` is the carrier's in 1.5, the title's in 2.0.
struct Records {
  bool dated;
  std::string named(int32_t id, const std::string& name) const {
    return le32(id) + str(name) + (dated ? dbl(3.5) : "");
  }
  std::string title(int32_t id, const std::string& name, const std::vector<int32_t>& carriers,
                    int32_t artist = -1) const {
    return named(id, name) + str("u" + name) + ids(carriers) + (dated ? le32(artist) : "");
  }
  std::string carrier(int32_t id, const std::string& name, int32_t artist = -1, int32_t label = -1) const {
    return named(id, name) + (dated ? "" : le32(artist)) + le32(label) + dbl(36526.25) + str("n") + str("LP");
  }
};
const Records k1_5{false};
const Records k2_0{true};

std::string lists(const std::vector<std::string>& artists, const std::vector<std::string>& labels,
                  const std::vector<std::string>& titles, const std::vector<std::string>& carriers) {
  return relationaltest::list(artists) + relationaltest::list(labels) + relationaltest::list(titles) +
         relationaltest::list(carriers);
}

struct Case {
  const char* name;
  bool v2_0;
  std::string file;     // the whole input; "" for none
  bool taken;           // converted straight from the bytes
  std::string message;  // what the conversion fails with; "" for none
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

std::vector<Case> cases() {
  const Records& a = k1_5;
  const Records& b = k2_0;
  const std::string h1 = kHeader1_5;
  const std::string h2 = kHeader2_0;
  const std::string sample1 = lists({a.named(1, "Eins"), a.named(2, "Zwei")}, {a.named(7, "Label")},
                                    {a.title(20, "b", {5}), a.title(21, "a", {4, 5}), a.title(22, "c", {4})},
                                    {a.carrier(4, "Vier", 1, 7), a.carrier(5, "F\xFCnf", 2, -1)});
  const std::string sample2 =
      lists({b.named(1, "Eins"), b.named(2, "Zwei")}, {b.named(7, "Label")},
            {b.title(20, "b", {5}, 1), b.title(21, "a", {4, 5}, 2), b.title(22, "c", {4}, 2),
             b.title(23, "d", {6}, -1), b.title(24, "e", {6}, 1)},
            {b.carrier(4, "Vier", -1, 7), b.carrier(5, "Mixed"), b.carrier(6, "NoneFirst")});
  return {
      {"HeaderOnlyIsEmpty", false, h1, true, ""},
      {"HeaderOnlyIsEmpty2_0", true, h2, true, ""},
      {"Sample", false, h1 + sample1, true, ""},
      {"SampleWithSamplers", true, h2 + sample2, true, ""},
      {"TrailingBytesIgnored", false, h1 + sample1 + "rest", true, ""},
      {"TrailingBytesIgnored2_0", true, h2 + sample2 + le32(9), true, ""},
      {"EmptyListsAfterHeader", true, h2 + lists({}, {}, {}, {}), true, ""},
      {"NegativeCountsAreEmpty", false, h1 + le32(-3) + le32(-1) + le32(-7) + le32(0), true, ""},
      {"NegativeLengthsAndIdCounts", true,
       h2 + lists({le32(1) + le32(-5) + dbl(0)}, {}, {b.named(20, "t") + le32(-2) + le32(-9) + le32(1)},
                  {b.carrier(4, "C")}),
       true, ""},
      {"DuplicateIdsFirstWins", false,
       h1 + lists({a.named(1, "First"), a.named(1, "Second")}, {a.named(7, "L1"), a.named(7, "L2")},
                  {a.title(20, "t", {4})}, {a.carrier(4, "A", 1, 7), a.carrier(4, "Again", 1, 7)}),
       true, ""},
      {"DuplicateTitleIds", true,
       h2 + lists({b.named(1, "A")}, {}, {b.title(20, "x", {4}, 1), b.title(20, "y", {4}, 1)},
                  {b.carrier(4, "C")}),
       true, ""},
      {"TitleNamingCarrierTwiceOnce", false,
       h1 + lists({}, {}, {a.title(20, "t", {4, 5, 4, 4}), a.title(21, "u", {5})},
                  {a.carrier(5, "F"), a.carrier(4, "V")}),
       true, ""},
      // Many carriers on one title are told apart otherwise than a few.
      {"TitleOnManyCarriers", false,
       h1 + lists({}, {},
                  {a.title(20, "t", {1, 2, 3, 4, 5, 6, 7, 8, 9, 3, 9, 1}), a.title(21, "u", {9, 2, 9})},
                  {a.carrier(9, "I"), a.carrier(1, "A"), a.carrier(5, "E"), a.carrier(2, "B"),
                   a.carrier(3, "C")}),
       true, ""},
      // Ids far apart are found through the hash table instead of an array.
      {"CarrierIdsFarApart", true,
       h2 + lists({b.named(1, "A")}, {}, {b.title(20, "t", {2000000000}, 1), b.title(21, "u", {-7, 4}, 1)},
                  {b.carrier(-7, "Minus"), b.carrier(2000000000, "Far"), b.carrier(4, "Near")}),
       true, ""},
      {"TitlesOnNoCarrier", true,
       h2 + lists({b.named(1, "A")}, {}, {b.title(20, "t", {99}, 77), b.title(21, "u", {}, 1)},
                  {b.carrier(4, "C")}),
       true, ""},
      {"NoIdRecordNamed", false, h1 + lists({a.named(-1, "Nobody")}, {}, {}, {a.carrier(4, "C", -1, -1)}),
       true, ""},
      {"UnknownLabel", false, h1 + lists({}, {}, {}, {a.carrier(4, "C", -1, 9)}), false, kUnknown1_5},
      {"UnknownArtist", false, h1 + lists({}, {}, {}, {a.carrier(4, "C", 3, -1)}), false, kUnknown1_5},
      {"UnknownLabel2_0", true, h2 + lists({}, {}, {}, {b.carrier(4, "C", -1, 9)}), false,
       "Bezeichner mit ID: 9 nicht gefunden."},
      {"UnknownTitleArtist", true,
       h2 + lists({b.named(1, "A")}, {},
                  {b.title(20, "t", {4}, 1), b.title(21, "u", {4}, 1), b.title(22, "v", {4}, 8)},
                  {b.carrier(4, "C")}),
       false, "Bezeichner mit ID: 8 nicht gefunden."},
      {"CutCarrierList", false, (h1 + sample1).substr(0, (h1 + sample1).size() - 3), false, kReadError},
      {"CutTitleList", true, h2 + lists({}, {}, {}, {}).substr(0, 8) + le32(2) + b.title(20, "t", {4}, 1),
       false, kReadError},
      {"CutCount", false, h1 + "\x01\x00", false, kReadError},
      {"TextBeyondFile", true, h2 + le32(1) + le32(1) + le32(1000) + "abc", false, kReadError},
      {"IdCountBeyondFile", false,
       h1 + lists({}, {}, {}, {}).substr(0, 8) + le32(1) + le32(20) + str("t") + str("") + le32(100000) +
           le32(4),
       false, kReadError},
      {"OtherHeader", false, h2 + lists({}, {}, {}, {}), false, kFormatError},
      {"ShorterThanHeader", true, h2.substr(0, 20), false, kFormatError},
      {"MissingFileIsEmpty", true, "", false, ""},
  };
}

class RecordIndexTest : public relationaltest::RelationalTest {
 protected:
  void expectBothWays(const Case& c);
};

void RecordIndexTest::expectBothWays(const Case& c) {
  SCOPED_TRACE(c.name);
  writeCompleteSettings(relationaltest::Version2_0::kNumbers);
  if (!c.file.empty()) testutil::writeFile(input, c.file);
  const std::string fromBytes = dir.file("bytes.vsk");
  const std::string fromLoaded = dir.file("loaded.vsk");
  for (const std::string& written : {fromBytes, fromLoaded, output}) std::remove(written.c_str());

  bool taken = false;
  std::string loadedFailure;
  std::string convertFailure;
  if (c.v2_0) {
    TManager2_0 manager("");
    taken = convertBytes2_0(input, fromBytes);
    loadedFailure = failureOf([&] { convertLoaded2_0(manager, input, fromLoaded); });
    convertFailure = failureOf([&] { convert2_0(std::make_unique<TManager2_0>(""), input, output); });
  } else {
    TManager1_5 manager("");
    taken = convertBytes1_5(input, fromBytes);
    loadedFailure = failureOf([&] { convertLoaded1_5(manager, input, fromLoaded); });
    convertFailure = failureOf([&] { convert1_5(std::make_unique<TManager1_5>(""), input, output); });
  }
  EXPECT_EQ(taken, c.taken);
  EXPECT_EQ(loadedFailure, c.message);
  EXPECT_EQ(convertFailure, c.message);
  EXPECT_EQ(testutil::exists(fromBytes), c.taken);
  EXPECT_EQ(testutil::exists(fromLoaded), c.message.empty());
  EXPECT_EQ(testutil::exists(output), c.message.empty());
  if (c.taken) {
    EXPECT_EQ(testutil::readFile(fromBytes), testutil::readFile(fromLoaded));
  }
  if (c.message.empty()) {
    EXPECT_EQ(testutil::readFile(output), testutil::readFile(fromLoaded));
  }
}

class RecordIndexCases : public RecordIndexTest, public testing::WithParamInterface<Case> {};

TEST_P(RecordIndexCases, BytesConvertAsTheLoadedRecordsOrDecline) { expectBothWays(GetParam()); }

// Large enough to be read by a thread while it is walked, with a title
// running over many of the pieces it arrives in.
TEST_F(RecordIndexTest, LargeFileIsWalkedWhileItArrives) {
  const std::string file = kHeader1_5 + lists({k1_5.named(1, "Eins")}, {},
                                              {k1_5.title(20, std::string(size_t{9} << 20, 'x'), {4})},
                                              {k1_5.carrier(4, "Vier", 1, -1)});
  expectBothWays({"Whole", false, file, true, ""});
  expectBothWays({"CutInALaterPiece", false, file.substr(0, file.size() - 3), false, kReadError});
}

INSTANTIATE_TEST_SUITE_P(Databases, RecordIndexCases, testing::ValuesIn(cases()),
                         [](const testing::TestParamInfo<Case>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
