// voskodb export-csv and export-json read back as other programs read them
// (Python's csv and json modules) and held against the loaded database: the
// samples, a generated collection and one of awkward texts, in both forms.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "generated_database.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

using nlohmann::json;

std::string utf8(const std::string& s) { return platform::ansiToUtf8(s); }

// The rows of a database from its display texts: the CSV's columns, then
// the carrier's notes and images, which only the JSON document has.
json expectedRows(const TSoundCarriers& database) {
  json rows = json::array();
  for (int32_t i = 0; i < database.size(); ++i) {
    const TSoundCarrier& c = *database.getCarrier(i);
    const std::string day = platform::formatShortDate(c.release);  // dd.mm.yyyy
    const json lead = {utf8(c.name),  utf8(c.artist),
                       utf8(c.label), day.substr(6) + "-" + day.substr(3, 2) + "-" + day.substr(0, 2),
                       utf8(c.type),  utf8(c.contentType)};
    const json extra = {utf8(c.notes), utf8(c.image), utf8(c.printImage)};
    auto row = [&](const std::vector<std::string>& title) {
      json r = lead;
      for (const std::string& field : title) r.push_back(field);
      r.insert(r.end(), extra.begin(), extra.end());
      rows.push_back(r);
    };
    if (c.size() == 0) row(std::vector<std::string>(9));
    for (int32_t n = 0; n < c.size(); ++n) {
      const TTitle& t = *c.getTitle(n);
      // "<type> <disc>" or "<type> <medium> Seite <side>"
      const std::string at = TTitle::formatCarrierIndex(t.carrierIndex, c.type).substr(c.type.size() + 1);
      const size_t side = std::min(at.find(" Seite "), at.size());
      row({at.substr(0, side), at.substr(std::min(side + 7, at.size())), std::to_string(t.track + 1),
           utf8(t.artist), utf8(t.name), utf8(t.url), utf8(t.contentType), utf8(t.originalArtist),
           utf8(t.film)});
    }
  }
  return rows;
}

class ExportTest : public VoskodbTest {
 protected:
  // Commas, quotes, every line break, control characters, every byte from
  // 0x80, empty texts, carriers without titles, record sides out of order.
  std::string writeAwkward(const std::string& name) {
    TSoundCarriers database;
    auto cd = std::make_unique<TSoundCarrier>("Comma, \"quoted\" and \xC4rzte", "", "Compact Disc");
    for (int b = 0x80; b < 0x100; ++b) cd->artist += static_cast<char>(b);
    cd->release = 34092.75;
    cd->notes = "CR LF\r\nLF\nCR\rend\\";
    cd->setContentType("Sampler");
    auto remix = new TTitle("Tab\there \x01\x1B\x7F", "http://x/?a=1,b=2", "Die \xC4rzte");
    remix->setOriginalArtist("K\xFCnstler");
    remix->film = "Film \"X\"\r\n";
    remix->carrierIndex = 1;
    cd->add(remix);
    cd->add(new TTitle("", "", ""));
    database.add(cd.release());
    auto record = std::make_unique<TSoundCarrier>("Platte", "Label; Sub", "Schallplatte");
    record->release = -1.25;
    for (int32_t side : {0, 1, 3, 2, -1}) {
      record->add(new TTitle("Seite " + std::to_string(side), "", ""));
      record->getTitle(record->size() - 1)->carrierIndex = side;
    }
    database.add(record.release());
    database.add(new TSoundCarrier("", "", "Audiokassette"));
    database.add(new TSoundCarrier("", "", ""));
    database.store(dir_.file(name));
    return dir_.file(name);
  }

  // Exports both ways to out.csv and out.json; standard output gives the same bytes.
  void exportBoth(const std::string& database) {
    for (const char* command : {"export-csv", "export-json"}) {
      const std::string out = dir_.file("out." + std::string(command).substr(7));
      testutil::RunResult r = voskodb({command, database, out}), piped = voskodb({command, database, "-"});
      ASSERT_EQ(0, r.exitCode) << command << " " << database << r.err;
      EXPECT_EQ(0, piped.exitCode) << piped.err;
      EXPECT_EQ(testutil::readFile(out), piped.out) << command << " " << database;
    }
  }
};

TEST_F(ExportTest, ExportsReadBackAsTheDatabaseHoldsIt) {
  const std::string awkward = writeAwkward("awkward.vsk");
  // The XML form refuses the control characters XML cannot hold: it gets them as tab and CR.
  std::string holdable = testutil::readFile(awkward);
  holdable.replace(holdable.find("\x01\x1B"), 2, "\t\r");
  ASSERT_EQ(0, voskodb({"export-xml", write("holdable.vsk", holdable), dir_.file("awkward.xml")}).exitCode);
  // The last title's block a byte short, which loading never notices: the
  // stream gives up after handing the first carrier and the export starts over.
  std::string bent = testutil::readFile(awkward);
  --bent[bent.rfind("TTitle") + 6];
  sample::writeGeneratedDatabase("2.5.5", {300, 4, 7}, dir_.file("generated.255"));
  std::vector<std::string> databases = {awkward, dir_.file("awkward.xml"), write("bent.vsk", bent),
                                        dir_.file("generated.vsk")};
  ASSERT_EQ(0, voskodb({"upgrade", dir_.file("generated.255"), databases.back()}).exitCode);
  for (const std::string& version : kOldVersions) databases.push_back(converted(version));

  for (const std::string& path : databases) {
    SCOPED_TRACE(path);
    TSoundCarriers database;
    path.ends_with(".xml") ? database.loadXML(path) : database.load(path);
    const json rows = expectedRows(database);
    json table = {{"carrier", "carrier_artist", "label", "release", "medium", "kind", "disc", "side", "track",
                   "artist", "title", "url", "content_type", "original_artist", "film"}};
    for (const json& row : rows) table.push_back(json(row.begin(), row.end() - 3));
    exportBoth(path);
    testutil::RunResult read =
        run("/usr/bin/python3", {std::string(VOSKO_SOURCE_DIR) + "/tests/voskodb/read_exports.py",
                                 dir_.file("out.csv"), dir_.file("out.json")});
    ASSERT_EQ(0, read.exitCode) << read.err;
    const json found = json::parse(read.out);
    EXPECT_EQ(table, found["csv"]);
    EXPECT_EQ(rows, found["json"]);
  }
}

TEST_F(ExportTest, TheFilesAreWrittenByteForByte) {
  TSoundCarriers database;
  auto cd = std::make_unique<TSoundCarrier>("A, \"b\"", "L", "Compact Disc");
  cd->artist = "\xC4";
  cd->release = 34092.75;
  cd->notes = "x\r\ny\x01";
  cd->add(new TTitle("T", "", "\xC4"));
  database.add(cd.release());
  auto record = std::make_unique<TSoundCarrier>("R", "", "Schallplatte");
  record->release = 0;
  record->add(new TTitle("S", "u", ""));
  record->getTitle(0)->carrierIndex = 3;
  database.add(record.release());
  database.store(dir_.file("small.vsk"));
  exportBoth(dir_.file("small.vsk"));
  EXPECT_EQ(
      "carrier,carrier_artist,label,release,medium,kind,disc,side,track,artist,title,url,content_type,"
      "original_artist,film\r\n"
      "\"A, \"\"b\"\"\",\xC3\x84,L,1993-05-03,Compact Disc,Album,1,,1,\xC3\x84,T,,Original,,\r\n"
      "R,,,1899-12-30,Schallplatte,Album,2,2,1,,S,u,Original,,\r\n",
      testutil::readFile(dir_.file("out.csv")));
  EXPECT_EQ(
      "{\"format\":\"vosko-collection\",\"version\":1,\"carriers\":[\n"
      "{\"name\":\"A, \\\"b\\\"\",\"artist\":\"\xC3\x84\",\"label\":\"L\",\"release\":\"1993-05-03\","
      "\"medium\":\"Compact Disc\",\"kind\":\"Album\",\"notes\":\"x\\r\\ny\\u0001\",\"image\":\"\","
      "\"print_image\":\"\",\"titles\":[{\"disc\":1,\"track\":1,\"artist\":\"\xC3\x84\",\"title\":\"T\","
      "\"url\":\"\",\"content_type\":\"Original\",\"original_artist\":\"\",\"film\":\"\"}]},\n"
      "{\"name\":\"R\",\"artist\":\"\",\"label\":\"\",\"release\":\"1899-12-30\",\"medium\":\"Schallplatte\","
      "\"kind\":\"Album\",\"notes\":\"\",\"image\":\"\",\"print_image\":\"\",\"titles\":[{\"disc\":2,"
      "\"side\":2,"
      "\"track\":1,\"artist\":\"\",\"title\":\"S\",\"url\":\"u\",\"content_type\":\"Original\","
      "\"original_artist\":\"\",\"film\":\"\"}]}\n"
      "]}\n",
      testutil::readFile(dir_.file("out.json")));
}

TEST_F(ExportTest, ATerminalIsShownTheConsoleForm) {
  const std::string awkward = writeAwkward("awkward.vsk");
  exportBoth(awkward);
  int terminal = -1, shown = -1;
  ASSERT_EQ(0, openpty(&terminal, &shown, nullptr, nullptr, nullptr));
  termios raw{};
  tcgetattr(shown, &raw);
  cfmakeraw(&raw);
  tcsetattr(shown, TCSANOW, &raw);
  // The export is smaller than what the terminal holds unread.
  EXPECT_EQ(0, testutil::runWithStdout(kVoskodb, {"export-csv", awkward, "-"}, shown));
  close(shown);
  std::string bytes;
  char piece[4096];
  for (ssize_t n; (n = read(terminal, piece, sizeof piece)) > 0;) bytes.append(piece, static_cast<size_t>(n));
  close(terminal);
  EXPECT_EQ(platform::toConsoleText(testutil::readFile(dir_.file("out.csv"))), bytes);
}

TEST_F(ExportTest, AFailureLeavesTheTargetAsItWas) {
  const std::string database = writeDatabase("lib.vsk");
  const std::string damaged = write("damaged.vsk", testutil::readFile(database).substr(0, 200));
  const std::string existing = write("existing.out", "old"), readOnly = write("read-only.out", "old");
  ASSERT_EQ(0, chmod(readOnly.c_str(), 0444));
  const struct {
    std::string database, out, report;
  } cases[] = {{damaged, existing, "TFile: "},
               {database, readOnly, "Cannot create '" + readOnly + "'"},
               {database, database, "'" + database + "' and '" + database + "' are the same file"},
               {writeRelations("relations.vsk"), existing, "takes a 2.5.7 sound-carrier database"},
               {database, dir_.path(), "is not a regular file"}};
  for (const char* command : {"export-csv", "export-json"}) {
    for (const auto& c : cases) {
      const std::vector<std::string> before = dir_.entries();
      const std::string kept = c.out == dir_.path() ? "" : testutil::readFile(c.out);
      testutil::RunResult r = voskodb({command, c.database, c.out});
      EXPECT_EQ(1, r.exitCode) << command << " " << c.out;
      EXPECT_THAT(reportLine(r.err), testing::HasSubstr(" " + c.report)) << r.err;
      EXPECT_EQ(before, dir_.entries());
      EXPECT_EQ(kept, c.out == dir_.path() ? "" : testutil::readFile(c.out));
    }
  }
}

TEST_F(ExportTest, EveryFieldIsQuotedWhenItMustAndWrittenAsTextForASpreadsheet) {
  // A stored text, its cell, and its cell for a spreadsheet.
  const std::string texts[][3] = {{"a,b", "\"a,b\"", "\"a,b\""},
                                  {"a\"b", "\"a\"\"b\"", "\"a\"\"b\""},
                                  {"a\rb", "\"a\rb\"", "\"a\rb\""},
                                  {"a\nb", "\"a\nb\"", "\"a\nb\""},
                                  {"a\r\nb", "\"a\r\nb\"", "\"a\r\nb\""},
                                  {"=1+2", "=1+2", "'=1+2"},
                                  {"+4", "+4", "'+4"},
                                  {"-", "-", "'-"},
                                  {"@x", "@x", "'@x"},
                                  {"\tx", "\tx", "'\tx"},
                                  {"\rx", "\"\rx\"", "\"'\rx\""},
                                  {"=A1,\"", "\"=A1,\"\"\"", "\"'=A1,\"\"\""},
                                  {"a=b", "a=b", "a=b"}};
  TSoundCarriers database;
  std::string expected[2];
  for (std::string& e : expected) {
    e = "carrier,carrier_artist,label,release,medium,kind,disc,side,track,artist,title,url,content_type,"
        "original_artist,film\r\n";
  }
  // A row's cells but the text's, whose column is 0, 1, 2, 4, 5 or 9 to 14;
  // the release day is in the year -1.
  const char* const kRow[] = {"C", "A",  "L", nullptr, "Compact Disc", "Album", "1", "",
                              "1", "TA", "T", "u",     "Original",     "",      ""};
  const size_t kColumns[] = {0, 1, 2, 4, 5, 9, 10, 11, 12, 13, 14};
  for (size_t field = 0; field < std::size(kColumns); ++field) {
    for (const auto& text : texts) {
      auto carrier = std::make_unique<TSoundCarrier>("C", "L", "Compact Disc");
      carrier->artist = "A";
      carrier->release = -693960;
      auto title = std::make_unique<TTitle>("T", "u", "TA");
      const std::vector<std::string*> fields = {
          &carrier->name,        &carrier->artist,       &carrier->label, &carrier->type,
          &carrier->contentType, &title->artist,         &title->name,    &title->url,
          &title->contentType,   &title->originalArtist, &title->film};
      *fields[field] = text[0];
      carrier->add(title.release());
      database.add(carrier.release());
      for (int spreadsheet : {0, 1}) {
        for (size_t c = 0; c < std::size(kRow); ++c) {
          expected[spreadsheet] += c == kColumns[field] ? text[1 + spreadsheet]
                                   : c == 3             ? (spreadsheet ? "'-0001-12-31" : "-0001-12-31")
                                                        : kRow[c];
          expected[spreadsheet] += c + 1 < std::size(kRow) ? "," : "\r\n";
        }
      }
    }
  }
  database.store(dir_.file("texts.vsk"));
  exportBoth(dir_.file("texts.vsk"));
  EXPECT_EQ(expected[0], testutil::readFile(dir_.file("out.csv")));
  testutil::RunResult piped = voskodb({"export-csv", dir_.file("texts.vsk"), "-", "--spreadsheet"});
  EXPECT_EQ(expected[1], piped.out);
}

TEST(IsoDate, NamesTheDayDumpShowsWithTheYearsSign) {
  const std::pair<double, std::string> cases[] = {{34092.75, "1993-05-03"},    {-1.25, "1899-12-29"},
                                                  {-693594.0, "0000-12-31"},   {-693960.0, "-0001-12-31"},
                                                  {2958466.0, "+10000-01-01"}, {1e300, "1899-12-30"}};
  for (const auto& [value, day] : cases) EXPECT_EQ(day, platform::formatIsoDate(value)) << value;
}

}  // namespace
}  // namespace vdbtest
