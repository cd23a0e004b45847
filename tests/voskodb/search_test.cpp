// voskodb find and stats, and the folding that find's words and texts go
// through: every byte of Windows-1252, the words found in both forms of a
// database with umlauts, ß and mixed case, and the counts against the model.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <nlohmann/json.hpp>
#include <set>

#include "generated_database.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "voskodb/text_fold.h"
#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

TEST(TextFoldTest, EveryByteFoldsByItsClass) {
  // The bytes that fold to something other than themselves, ASCII letters aside.
  const std::vector<std::pair<std::string, std::string>> classes = {
      {"\xC0\xC1\xC2\xC3\xC4\xC5\xE0\xE1\xE2\xE3\xE4\xE5\xAA", "a"},
      {"\xC6\xE6", "ae"},
      {"\xC7\xE7", "c"},
      {"\xC8\xC9\xCA\xCB\xE8\xE9\xEA\xEB", "e"},
      {"\xCC\xCD\xCE\xCF\xEC\xED\xEE\xEF", "i"},
      {"\xD0\xF0", "d"},
      {"\xD1\xF1", "n"},
      {"\xD2\xD3\xD4\xD5\xD6\xD8\xF2\xF3\xF4\xF5\xF6\xF8\xBA", "o"},
      {"\xD9\xDA\xDB\xDC\xF9\xFA\xFB\xFC", "u"},
      {"\xDD\xFD\xFF\x9F", "y"},
      {"\xDE\xFE", "th"},
      {"\xDF", "ss"},
      {"\x8A\x9A", "s"},
      {"\x8C\x9C", "oe"},
      {"\x8E\x9E", "z"},
      {"\x83", "f"},
      {"\xB9", "1"},
      {"\xB2", "2"},
      {"\xB3", "3"},
      {"\x82\x91\x92", "'"},
      {"\x84\x93\x94", "\""},
      {"\x96\x97", "-"},
      {"\x85", "..."},
      {"\xA0", " "},
      {"\xAD", ""}};
  std::vector<std::string> expected(256);
  for (unsigned b = 0; b < 256; ++b)
    expected[b] = std::string(1, static_cast<char>(b >= 'A' && b <= 'Z' ? b + 32 : b));
  for (const auto& [bytes, to] : classes) {
    for (char b : bytes) expected[static_cast<unsigned char>(b)] = to;
  }
  for (unsigned b = 0; b < 256; ++b) EXPECT_EQ(expected[b], textfold::foldByte(b)) << "byte " << b;
  EXPECT_EQ("die arzte strasse", textfold::fold("Die \xC4rzte STRA\xDF\x45"));
}

class SearchTest : public VoskodbTest {
 protected:
  // dump lists it as 0 Die Bestie, 1 Schrei, 2 Zu spät, 3 Neue Deutsche
  // Welle, 4 Luftballons, 5 Autobahn, 6 STRASSE, 7 Warum?, 8 Split-Single,
  // 9 Irgendwie, 10 Gewalt.
  std::string writeAwkward() {
    TSoundCarriers database;
    auto album =
        std::make_unique<TSoundCarrier>("Die Bestie in Menschengestalt", "Metronome", "Compact Disc");
    album->artist = "Die \xC4rzte";
    album->release = platform::encodeDate(1993, 5, 3);
    album->notes = "Gekauft in der Hauptstra\xDF\x65";
    album->add(new TTitle("Schrei nach Liebe", "", "Die \xC4rzte"));
    album->add(new TTitle("Zu sp\xE4t", "", "Die \xC4rzte"));
    auto sampler = std::make_unique<TSoundCarrier>("Neue Deutsche Welle \x96 Die gr\xF6\xDFten Hits",
                                                   "EMI\x7F\x81", "Compact Disc");
    sampler->release = platform::encodeDate(1998, 9, 14);
    sampler->setContentType("Sampler");
    sampler->add(new TTitle("99 Luftballons", "", "Nena"));
    auto remix = std::make_unique<TTitle>("Autobahn", "", "Kreidler");
    remix->setOriginalArtist("Kraftwerk");
    sampler->add(remix.release());
    sampler->add(new TTitle("STRASSE", "", "Trio"));
    sampler->add(new TTitle("Warum?", "", "Fehlfarben"));
    auto split = std::make_unique<TSoundCarrier>("Split-Single", "Weserlabel", "Schallplatte");
    split->release = platform::encodeDate(1989, 6, 1);
    split->add(new TTitle("Irgendwie, irgendwo, irgendwann", "", "Nena"));
    auto side = std::make_unique<TTitle>("Gewalt", "", "Slime");
    side->carrierIndex = 1;
    split->add(side.release());
    split->setContentType("Split");
    for (auto* carrier : {album.release(), sampler.release(), split.release()}) database.add(carrier);
    database.store(dir_.file("awkward.vsk"));
    return dir_.file("awkward.vsk");
  }
};

TEST_F(SearchTest, FindPrintsWhatHoldsEveryWordInBothForms) {
  struct Case {
    std::vector<std::string> args;
    std::vector<size_t> dumpLines;  // none: exit code 1
  };
  const std::vector<Case> cases = {
      {{"arzte"}, {0, 1, 2}},
      {{"ÄRZTE", "liebe"}, {0, 1}},
      {{"strasse"}, {0, 1, 2, 3, 6}},
      {{"GRÖSSTEN", "nena"}, {3, 4}},
      {{"--artist", "kraftwerk"}, {3, 5}},
      {{"--title", "kraftwerk"}, {}},
      {{"--artist", "nena"}, {3, 4, 8, 9, 10}},  // the split carrier names Nena
      {{"--year", "199x"}, {0, 1, 2, 3, 4, 5, 6, 7}},
      {{"--year", "19"}, {}},  // a year is matched whole, not its first digits
      {{"--year", "9x"}, {}},
      {{"1980s", "gewalt"}, {8, 10}},
      {{"--year", "--title", "1993", "liebe"}, {0, 1}},
      {{"--label", "emi"}, {3, 4, 5, 6, 7}},
      {{"aerzte"}, {}},
      {{"\xC3\xA4rzte"}, {0, 1, 2}},
      {{"\xE4rzte"}, {0, 1, 2}},        // not UTF-8: read as Windows-1252
      {{"\xC4\x83"}, {}},               // ă has no Windows-1252 byte: no "?" stands in for it
      {{"liebe", "\xC2\xAD"}, {0, 1}},  // a soft hyphen folds to nothing: it is left out
  };
  const std::string binary = writeAwkward(), xml = dir_.file("awkward.xml");
  ASSERT_EQ(0, voskodb({"export-xml", binary, xml}).exitCode);
  const std::vector<std::string> dump = lines(voskodb({"dump", binary}).out);
  ASSERT_EQ(11u, dump.size());
  for (const std::string& db : {binary, xml}) {
    for (const Case& c : cases) {
      std::vector<std::string> args = {"find", db};
      args.insert(args.end(), c.args.begin(), c.args.end());
      testutil::RunResult r = voskodb(args);
      std::string expected;
      for (size_t i : c.dumpLines) expected += dump[i] + "\n";
      EXPECT_EQ(c.dumpLines.empty() ? 1 : 0, r.exitCode) << testing::PrintToString(args);
      EXPECT_EQ(expected, r.out) << testing::PrintToString(args);
      EXPECT_EQ("", r.err) << testing::PrintToString(args);
    }
  }
}

TEST_F(SearchTest, FindFailureIsReportedAndPrintsNothing) {
  const std::string db = writeAwkward();
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{dir_.file("missing.vsk"), "a"}, "missing.vsk"},
      // Words that fold to nothing would find every carrier.
      {{db, "\xC2\xAD"}, "find: no word to find: each of the words folds to nothing."},
      {{db, "\xAD", "\xC2\xAD\xC2\xAD"}, "find: no word to find: each of the words folds to nothing."},
  };
  for (const auto& [args, report] : cases) {
    std::vector<std::string> command = {"find"};
    command.insert(command.end(), args.begin(), args.end());
    testutil::RunResult r = voskodb(command);
    EXPECT_EQ(1, r.exitCode) << report;
    EXPECT_EQ("", r.out) << report;
    EXPECT_THAT(reportLine(r.err), testing::HasSubstr(report));
  }
}

TEST_F(SearchTest, StatsTextForm) {
  const std::string db = writeAwkward();
  testutil::RunResult r = voskodb({"stats", db});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "file:               " + db +
          "\ncarriers:           3\ntitles:             8\ntables of contents: 0\n"
          "artists:            6\nlabels:             3\n"
          "media:\n    Compact Disc: 2 carriers, 6 titles\n    Schallplatte: 1 carrier, 2 titles\n"
          "kinds:\n    Album: 1 carrier, 2 titles\n    Sampler: 1 carrier, 4 titles\n"
          "    Split: 1 carrier, 2 titles\n"
          "decades:\n    1980s: 1 carrier, 2 titles\n    1990s: 2 carriers, 6 titles\n"
          "artists with the most carriers:\n    Nena: 2 carriers\n    Die \xC3\x84rzte: 1 carrier\n"
          "    Fehlfarben: 1 carrier\n    Kreidler: 1 carrier\n    Slime: 1 carrier\n    Trio: 1 carrier\n"
          "labels with the most carriers:\n    EMI\\x7F\\x81: 1 carrier\n    Metronome: 1 carrier\n"
          "    Weserlabel: 1 carrier\n",
      r.out);
  // The console's escapes of DEL and C1 would not be JSON: they come as JSON's own.
  nlohmann::json json = nlohmann::json::parse(voskodb({"stats", "--json", db}).out);
  EXPECT_EQ("EMI\x7F\xC2\x81", json["top_labels"][0]["label"]);
}

TEST_F(SearchTest, StatsPutsYearsBeforeTheFirstInTheirOwnDecades) {
  TSoundCarriers database;
  for (int year : {-11, -10, -1, 0, 9, 10}) {
    auto carrier = std::make_unique<TSoundCarrier>("C", "", "Compact Disc");
    carrier->release = platform::encodeDate(year, 6, 1);
    database.add(carrier.release());
  }
  database.store(dir_.file("early.vsk"));
  const std::string out = voskodb({"stats", dir_.file("early.vsk")}).out;
  EXPECT_THAT(out,
              testing::HasSubstr("decades:\n    -20s: 1 carrier, 0 titles\n    -10s: 2 carriers, 0 titles\n"
                                 "    0s: 2 carriers, 0 titles\n    10s: 1 carrier, 0 titles\n"));
}

TEST_F(SearchTest, StatsCountWhatTheLoadedModelHolds) {
  const std::string old = dir_.file("generated.vsk"), db = dir_.file("current.vsk"),
                    xml = dir_.file("db.xml");
  sample::writeGeneratedDatabase("2.5.5", {400, 6, 11}, old);
  ASSERT_EQ(0, run(kConverter, {"2.5.5", old, db}).exitCode);
  ASSERT_EQ(0, voskodb({"export-xml", db, xml}).exitCode);
  TSoundCarriers model;
  model.load(db);
  using Tallies = std::map<std::string, std::pair<int64_t, int64_t>>;
  Tallies media, kinds, decades;
  std::set<std::string> labels, artists;
  int64_t titles = 0;
  for (int32_t i = 0; i < model.size(); ++i) {
    const TSoundCarrier& c = *model.getCarrier(i);
    const int32_t year = platform::decodeDateTime(c.release).year;
    for (auto* t : {&media[c.type], &kinds[c.contentType], &decades[std::to_string(year / 10 * 10)]}) {
      *t = {t->first + 1, t->second + c.size()};
    }
    titles += c.size();
    labels.insert(c.label);
    if (c.contentType != "Split" && c.artist != "<Sampler>") artists.insert(c.artist);
    for (int32_t j = 0; j < c.size(); ++j) artists.insert(c.getTitle(j)->artist);
  }
  labels.erase("");
  artists.erase("");

  auto tallies = [](const nlohmann::json& list, const char* key) {
    Tallies result;
    for (const auto& e : list)
      result[e[key].is_string() ? e[key].get<std::string>() : e[key].dump()] = {e["carriers"], e["titles"]};
    return result;
  };
  nlohmann::json json = nlohmann::json::parse(voskodb({"stats", "--json", db}).out);
  EXPECT_EQ(model.size(), json["carriers"]);
  EXPECT_EQ(titles, json["titles"]);
  EXPECT_EQ(artists.size(), json["artists"]);
  EXPECT_EQ(labels.size(), json["labels"]);
  EXPECT_EQ(media, tallies(json["media"], "type"));
  EXPECT_EQ(kinds, tallies(json["kinds"], "content_type"));
  EXPECT_EQ(decades, tallies(json["decades"], "decade"));

  nlohmann::json fromXml = nlohmann::json::parse(voskodb({"stats", "--json", xml}).out);
  json.erase("file");
  fromXml.erase("file");
  EXPECT_EQ(json, fromXml);
}

}  // namespace
}  // namespace vdbtest
