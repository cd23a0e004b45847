// Rescue of damaged object-file databases: what reads whole is written as the
// conversion of the undamaged file writes it, nothing else, and the report
// names what was lost where.
#include <gtest/gtest.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "basis/exceptions.h"
#include "data/carrier_stream.h"
#include "data/legacy/rescue/object_rescue.h"
#include "data/legacy/v2_5/convert_2_5.h"
#include "data/legacy/v2_5_3/convert_2_5_3.h"
#include "data/legacy/v2_5_5/convert_2_5_5.h"
#include "object_sample.h"
#include "test_util.h"

using testutil::le32;

namespace {

// Three carriers of two titles each; the second of mixed artists.
std::string description(const std::string& version) {
  return "format " + version +
         "\n"
         "carrier \"Bestie\" artist \"Die \\xC4rzte\" release 34096.5625 notes \"eins\\r\\nzwei\"\n"
         "title \"Schrei\"\ntitle \"Panzer\"\n"
         "carrier \"Mixed\" artist \"A\"\ntitle \"Eins\" artist \"B\"\ntitle \"Zwei\"\n"
         "carrier \"Letzte\" artist \"C\"\ntitle \"Drei\"\ntitle \"Vier\"\n";
}

// The conversion of `in` of `version` to `out`; a 2.5.7 file is its own.
void convert(const std::string& version, const std::string& in, const std::string& out) {
  if (version == "2.5.5") return convert2_5_5(std::make_unique<TSoundCarriers2_5_5>(), in, out);
  if (version == "2.5.3") return convert2_5_3(std::make_unique<TSoundCarriers2_5_3>(), in, out);
  if (version == "2.5") return convert2_5(std::make_unique<TSoundCarriers2_5>(), in, out);
  testutil::writeFile(out, testutil::readFile(in));
}

// Every stored field of each carrier of a current database, one line each.
std::vector<std::string> carriers(const std::string& path) {
  CarrierStream in;
  StoredCarrier c;
  std::vector<std::string> lines;
  if (!in.open(path)) return {"<unreadable>"};
  for (int32_t i = 0; i < in.count() && in.next(c); ++i) {
    std::ostringstream line;
    line << c.name << '|' << c.label << '|' << c.artist << '|' << c.type << '|' << c.release << '|' << c.notes
         << '|' << c.contentType << '|' << c.tocCount;
    for (const StoredTitle& t : c.titles) {
      line << " [" << t.name << '|' << t.artist << '|' << t.url << '|' << t.track << '|' << t.contentType
           << '|' << t.originalArtist << ']';
    }
    lines.push_back(line.str());
  }
  return lines;
}

class RescueObjectTest : public ::testing::TestWithParam<const char*> {
 protected:
  // The sample database of the parameter's version and its conversion.
  void SetUp() override {
    const std::string version = GetParam();
    sample::writeObjectDatabase(description(version == "2.5.7" ? "2.5.5" : version), dir.file("in.vsk"));
    if (version == "2.5.7") {
      convert("2.5.5", dir.file("in.vsk"), dir.file("257.vsk"));
      testutil::writeFile(dir.file("in.vsk"), testutil::readFile(dir.file("257.vsk")));
    }
    original = testutil::readFile(dir.file("in.vsk"));
    convert(version, dir.file("in.vsk"), dir.file("conv.vsk"));
    converted = carriers(dir.file("conv.vsk"));
  }

  RescueReport rescue(const std::string& bytes) {
    testutil::writeFile(dir.file("bad.vsk"), bytes);
    return rescueObjectDatabase(GetParam(), dir.file("bad.vsk"), dir.file("out.vsk"));
  }

  // Where the `n`th (0-based) occurrence of the stored class name `name` begins.
  size_t at(const std::string& name, int n) const {
    const std::string lead = le32(static_cast<int64_t>(name.size())) + name;
    size_t pos = original.find(lead);
    while (n-- > 0) pos = original.find(lead, pos + 1);
    return pos;
  }

  testutil::TempDir dir;
  std::string original;
  std::vector<std::string> converted;
};

TEST_P(RescueObjectTest, UndamagedFileGivesTheConversionByteForByte) {
  const RescueReport report = rescue(original);
  EXPECT_TRUE(report.complete());
  EXPECT_EQ(report.carriers, 3);
  EXPECT_EQ(report.titles, 6);
  EXPECT_EQ(testutil::readFile(dir.file("out.vsk")), testutil::readFile(dir.file("conv.vsk")));
}

TEST_P(RescueObjectTest, HandMadeDamages) {
  using Kind = RescueReport::Loss::Kind;
  const size_t header = at("TSoundCarrier", 0) - 8;
  const size_t second = at("TSoundCarrier", 1);
  const size_t third = at("TSoundCarrier", 2);
  const size_t title2 = at("TTitle", 2);  // the first title of the second carrier
  const size_t title3 = at("TTitle", 3);
  const size_t lengthAt = second + 4 + 13;  // the second carrier's block length
  struct Case {
    const char* what;
    std::string bytes;
    std::vector<int> kept;  // the converted carriers the output holds whole
    std::vector<std::pair<int64_t, int64_t>> damage;
    std::vector<std::string> losses;  // kind, offset, number, carrier, reason, count
  };
  auto flipped = [&](size_t pos) {
    std::string b = original;
    b[pos] = static_cast<char>(b[pos] ^ 0x5A);
    return b;
  };
  auto zeroed = [&](size_t from, size_t to) {
    std::string b = original;
    std::fill(b.begin() + static_cast<long>(from), b.begin() + static_cast<long>(to), '\0');
    return b;
  };
  auto off = [](size_t v) { return std::to_string(v); };
  const int64_t end = static_cast<int64_t>(original.size());
  const Case cases[] = {
      {"header", flipped(3), {0, 1, 2}, {{0, static_cast<int64_t>(header)}}, {}},
      {"database length",
       flipped(header),
       {0, 1, 2},
       {{static_cast<int64_t>(header), static_cast<int64_t>(header + 4)}},
       {}},
      {"carrier count",
       flipped(header + 4),
       {0, 1, 2},
       {{static_cast<int64_t>(header + 4), static_cast<int64_t>(header + 8)}},
       {}},
      {"carrier count lowered: loading stops short of the last carrier",
       [&] {
         std::string b = original;
         b[header + 4] = 2;
         return b;
       }(),
       {0, 1, 2},
       {{static_cast<int64_t>(header + 4), static_cast<int64_t>(header + 8)}},
       {}},
      {"class name of the second carrier",
       flipped(second + 6),
       {0, 2},
       {{static_cast<int64_t>(second), static_cast<int64_t>(third)}},
       {"carrier " + off(second) + " 1  damaged"}},
      {"block length of the second carrier",
       flipped(lengthAt + 3),
       {0, 1, 2},
       {{static_cast<int64_t>(lengthAt), static_cast<int64_t>(lengthAt + 4)}},
       {}},
      {"first title of the second carrier",
       zeroed(title2 + 4, title2 + 8),
       {0, 2},
       {{static_cast<int64_t>(title2), static_cast<int64_t>(title3)}},
       {"title " + off(title2) + " 0 Mixed damaged"}},
      {"cut in the last title",
       original.substr(0, original.size() - 3),
       {0, 1},
       {{static_cast<int64_t>(at("TTitle", 5)), end}},
       {"title " + off(at("TTitle", 5)) + " 1 Letzte cut off"}},
      {"cut before the last carrier",
       original.substr(0, third),
       {0, 1},
       {{static_cast<int64_t>(third), end}},
       {"carrier " + off(third) + " 2  cut off"}},
      {"cut before the second carrier, whose count and length announce millions more: one entry",
       [&] {
         std::string b = original.substr(0, second);
         b.replace(header, 8, le32(0x7FFF0000) + le32(5000000));
         return b;
       }(),
       {0},
       {{static_cast<int64_t>(second), static_cast<int64_t>(header) + 4 + 0x7FFF0000}},
       {"carrier " + off(second) + " 1  cut off x4999999"}},
  };
  // The damaged runs, and the losses as kind, offset, number, carrier, reason, count.
  auto found = [](const RescueReport& report) {
    std::vector<std::pair<int64_t, int64_t>> damage;
    for (const auto& d : report.damage) damage.emplace_back(d.begin, d.end);
    std::vector<std::string> losses;
    for (const auto& l : report.losses) {
      losses.push_back((l.kind == Kind::kCarrier ? "carrier " : "title ") + std::to_string(l.offset) + " " +
                       std::to_string(l.number) + " " + l.carrier + " " + l.reason +
                       (l.count > 1 ? " x" + std::to_string(l.count) : ""));
    }
    return std::make_pair(damage, losses);
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    testutil::writeFile(dir.file("bad.vsk"), c.bytes);
    // The analysis alone finds what the rescue finds, and writes nothing.
    std::remove(dir.file("out.vsk").c_str());
    const RescueReport analysed = analyseObjectDatabase(GetParam(), dir.file("bad.vsk"));
    EXPECT_FALSE(testutil::exists(dir.file("out.vsk")));
    const RescueReport report = rescue(c.bytes);
    EXPECT_EQ(found(report), std::make_pair(c.damage, c.losses));
    EXPECT_EQ(found(analysed), found(report));
    EXPECT_EQ(analysed.carriers, report.carriers);
    EXPECT_EQ(analysed.titles, report.titles);
    const std::vector<std::string> out = carriers(dir.file("out.vsk"));
    std::vector<std::string> whole;
    for (const std::string& line : out) {
      for (int k : c.kept) {
        if (line == converted[static_cast<size_t>(k)]) whole.push_back(line);
      }
    }
    ASSERT_EQ(whole.size(), c.kept.size());
    EXPECT_EQ(report.carriers, static_cast<int64_t>(out.size()));
  }
}

TEST_P(RescueObjectTest, BytesAfterTheDatabasesBlockAreNamedNotLost) {
  const size_t title2 = at("TTitle", 2);
  std::string damagedTitle = original;
  std::fill(damagedTitle.begin() + static_cast<long>(title2 + 4),
            damagedTitle.begin() + static_cast<long>(title2 + 8), '\0');
  const auto size = static_cast<int64_t>(original.size());
  struct Case {
    const char* what;
    std::string bytes;
    bool complete;
    int64_t trailing;
  };
  const Case cases[] = {
      {"zeros after a whole file", original + std::string(100, '\0'), true, 100},
      {"text after a whole file", original + "abc", true, 3},
      {"zeros after a damaged file", damagedTitle + std::string(50, '\0'), false, 50},
      {"nothing after a damaged file", damagedTitle, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const RescueReport report = rescue(c.bytes);
    EXPECT_EQ(report.complete(), c.complete);
    EXPECT_EQ(report.trailing.count, c.trailing);
    if (c.trailing > 0) {
      EXPECT_EQ(report.trailing.offset, size);
    }
    for (const RescueReport::Damage& d : report.damage) EXPECT_LE(d.end, size);
    if (c.complete) {
      EXPECT_EQ(testutil::readFile(dir.file("out.vsk")), testutil::readFile(dir.file("conv.vsk")));
    }
  }
}

TEST_P(RescueObjectTest, AReportListsAtMostItsShareOfLossesAndCountsTheRest) {
  // Carrier leads that read no further, more than a report lists, between the first carrier and the second.
  const size_t second = at("TSoundCarrier", 1);
  const size_t leads = RescueReport::kMostListed + 5;
  std::string lead = le32(13) + "TSoundCarrier";
  std::string bytes = original.substr(0, second);
  for (size_t i = 0; i < leads; ++i) bytes += lead;
  bytes += original.substr(second);
  const RescueReport report = rescue(bytes);
  EXPECT_EQ(report.carriers, 3);
  EXPECT_EQ(report.losses.size(), RescueReport::kMostListed);
  EXPECT_EQ(static_cast<size_t>(report.unlisted.losses) + report.losses.size(), leads);
  EXPECT_FALSE(report.complete());
}

TEST_P(RescueObjectTest, EveryCutKeepsOnlyWhatTheOriginalHolds) {
  const size_t first = at("TSoundCarrier", 0);
  for (size_t n = 0; n < original.size(); ++n) {
    SCOPED_TRACE(n);
    std::remove(dir.file("out.vsk").c_str());
    RescueReport report;
    try {
      report = rescue(original.substr(0, n));
    } catch (const IOException&) {
      EXPECT_FALSE(testutil::exists(dir.file("out.vsk")));
      continue;
    }
    EXPECT_GT(n, first);
    const std::vector<std::string> out = carriers(dir.file("out.vsk"));
    ASSERT_EQ(static_cast<int64_t>(out.size()), report.carriers);
    EXPECT_FALSE(report.damage.empty());
    // All but the last are whole; the last may have lost titles at its end.
    for (size_t i = 0; i + 1 < out.size(); ++i) EXPECT_EQ(out[i], converted[i]);
    const std::string& last = out.back();
    const std::string& was = converted[out.size() - 1];
    EXPECT_EQ(last.substr(0, last.find('|')), was.substr(0, was.find('|')));
  }
}

TEST_P(RescueObjectTest, NothingToRescueLeavesTheOutputUntouched) {
  testutil::writeFile(dir.file("out.vsk"), "kept");
  EXPECT_THROW(rescue(original.substr(0, 70)), IOException);
  EXPECT_THROW(rescueObjectDatabase(GetParam(), dir.file("missing.vsk"), dir.file("out.vsk")), IOException);
  EXPECT_EQ(testutil::readFile(dir.file("out.vsk")), "kept");
}

INSTANTIATE_TEST_SUITE_P(Formats, RescueObjectTest, ::testing::Values("2.5", "2.5.3", "2.5.5", "2.5.7"),
                         [](const auto& info) {
                           std::string name = info.param;
                           for (char& ch : name) ch = ch == '.' ? '_' : ch;
                           return "v" + name;
                         });

}  // namespace
