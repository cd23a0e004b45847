#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "voskodb/recover_command.h"
#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

using testing::HasSubstr;

class RecoverTest : public VoskodbTest {};

TEST_F(RecoverTest, AnUndamagedDatabaseOfEveryFormatComesOutAsItsConversion) {
  for (const char* version : {"1.5", "2.0", "2.5", "2.5.3", "2.5.5", "2.5.7"}) {
    const std::string in = std::string(version) == "2.5.7" ? converted("2.5.5") : sample(version);
    const std::string expected = std::string(version) == "2.5.7" ? in : converted(version);
    testutil::RunResult r = voskodb({"recover", in, dir_.file("out.vsk")});
    EXPECT_EQ(0, r.exitCode) << version << r.err;
    EXPECT_THAT(r.out, HasSubstr("(format " + std::string(version) + ")")) << version;
    EXPECT_THAT(r.out, HasSubstr("complete: nothing was damaged.\n")) << version;
    EXPECT_EQ(testutil::readFile(expected), testutil::readFile(dir_.file("out.vsk"))) << version;
  }
}

TEST_F(RecoverTest, ADamagedDatabaseIsRescuedReportedAndPointedToByCheck) {
  std::string bytes = testutil::readFile(converted("2.5.5"));
  // Twenty bytes of the second carrier's fields (a text's length among them) overwritten.
  const size_t second = bytes.find("TSoundCarrier", bytes.find("TSoundCarrier") + 1);
  bytes.replace(second + 40, 20, std::string(20, '\xFF'));
  const std::string damaged = write("damaged.vsk", bytes);

  testutil::RunResult r = voskodb({"recover", damaged, dir_.file("out.vsk")});
  EXPECT_EQ(0, r.exitCode) << r.err;
  EXPECT_THAT(r.out, HasSubstr("damaged: bytes " + std::to_string(second - 4)));
  EXPECT_THAT(r.out, HasSubstr("lost: carrier 2 "));
  EXPECT_THAT(r.out, HasSubstr("incomplete: "));
  testutil::RunResult check = voskodb({"check", dir_.file("out.vsk")});
  EXPECT_EQ(0, check.exitCode) << check.err;
  EXPECT_THAT(check.out, HasSubstr(", 4 carriers,"));

  nlohmann::json json =
      nlohmann::json::parse(voskodb({"recover", "--json", damaged, dir_.file("j.vsk")}).out);
  EXPECT_EQ(4, json["carriers"]);
  EXPECT_EQ(false, json["complete"]);
  EXPECT_EQ(2, json["lost"][0]["number"]);

  testutil::RunResult failed = voskodb({"check", damaged});
  EXPECT_EQ(1, failed.exitCode);
  EXPECT_THAT(reportLine(failed.err),
              HasSubstr("First damage at byte " + std::to_string(second - 4) + ", in carrier 2 '"));
  EXPECT_THAT(reportLine(failed.err), HasSubstr("Rescue what is left with: voskodb recover " + damaged));
}

TEST_F(RecoverTest, TheReportSaysWhatWasLostAndWhere) {
  struct Case {
    std::string version;
    std::function<void(std::string&)> damage;
    std::string rescued;  // carriers and titles
    std::string report;   // behind the first line
  };
  for (const Case& c : std::vector<Case>{
           {"1.5",
            // 64 bytes wiped from the second carrier's name on: the titles only on it go with it.
            [](std::string& b) { b.replace(541, 64, std::string(64, '\0')); }, "2 carriers, 2 titles",
            "damaged: bytes 533 to 681 (149 bytes)\n"
            "lost: carrier 2 at byte 533 (damaged)\n"
            "lost: title 3 'Ein Jahr (Es geht voran)' at byte 268 (its carrier is lost)\n"
            "lost: title 4 '99 Luftballons' at byte 312 (its carrier is lost)\n"},
           {"2.0",
            // The label 'Polydor' unreadable, and the file cut in its last carrier's name.
            [](std::string& b) {
              b.replace(207, 4, "\x7F\x7F\x7F\x7F");
              b.resize(1130);
            },
            "3 carriers, 8 titles",
            "damaged: bytes 203 to 225 (23 bytes)\n"
            "damaged: bytes 1109 to 1129 (21 bytes)\n"
            "lost: carrier 4 at byte 1109 (cut off)\n"
            "unresolved: carrier 'Damals hinterm Mond': label #11 lost, none taken\n"},
           {"2.5.5",
            // Cut before the second carrier's block length: the three the count announces beyond are one
            // entry.
            [](std::string& b) { b.resize(589); }, "1 carriers, 3 titles",
            "damaged: bytes 589 to 2168 (1580 bytes)\n"
            "lost: carriers 2 to 5 at byte 589 (cut off)\n"},
       }) {
    std::string bytes = testutil::readFile(sample(c.version));
    c.damage(bytes);
    const std::string damaged = write("damaged.vsk", bytes);
    const std::string out = dir_.file("out.vsk");
    testutil::RunResult r = voskodb({"recover", damaged, out});
    EXPECT_EQ(0, r.exitCode) << c.version << r.err;
    EXPECT_EQ(r.out, "rescued " + damaged + " (format " + c.version + ") to " + out + ": " + c.rescued +
                         "\n" + c.report + "incomplete: what could be read whole is in " + out +
                         "; the rest is lost.\n");
  }
}

TEST_F(RecoverTest, WhatCannotBeRescuedFailsAndWritesNothing) {
  struct Case {
    std::vector<std::string> args;
    std::string report;
  };
  const std::string out = dir_.file("out.vsk");
  const std::string notes = write("notes.txt", "nothing to see");
  for (const Case& c : std::vector<Case>{
           {{"recover", notes, out}, "its header names no database; name its format with --format"},
           {{"recover", notes, out, "--format", "3.0"}, "--format 3.0 is no format recover reads"},
           {{"recover", notes, out, "--format", "2.5.5"}, "recover: "},
       }) {
    testutil::RunResult r = voskodb(c.args);
    EXPECT_EQ(1, r.exitCode) << testing::PrintToString(c.args);
    EXPECT_THAT(reportLine(r.err), HasSubstr(c.report)) << testing::PrintToString(c.args);
    EXPECT_FALSE(testutil::exists(out));
  }
}

TEST_F(RecoverTest, BytesAfterTheBlockAreNamedInTheWordsOfCheckAndLeaveTheRescueComplete) {
  for (const std::string version : {"2.5", "2.5.3", "2.5.5", "2.5.7"}) {
    const std::string whole = testutil::readFile(version == "2.5.7" ? converted("2.5.5") : sample(version));
    const std::string in = write("trailing.vsk", whole + std::string(65536, '\0'));
    const std::string out = dir_.file("out.vsk");
    testutil::RunResult r = voskodb({"recover", in, out});
    EXPECT_EQ(0, r.exitCode) << version << r.err;
    const std::vector<std::string> got = lines(r.out);
    ASSERT_EQ(got.size(), 3u) << r.out;
    EXPECT_EQ(got[1], "trailing: 65536 bytes follow the end of the database's block (bytes " +
                          std::to_string(whole.size()) + " to " + std::to_string(whole.size() + 65535) +
                          "); the conversion does not read them")
        << version;
    EXPECT_EQ(got[2], "complete: nothing of the data was lost.") << version;
    EXPECT_EQ(testutil::readFile(version == "2.5.7" ? converted("2.5.5") : converted(version)),
              testutil::readFile(out))
        << version;
    if (version == "2.5.7") {
      EXPECT_THAT(reportLine(voskodb({"check", in}).err),
                  HasSubstr(": 65536 bytes follow the end of the database's block."));
    }
  }
}

TEST_F(RecoverTest, CheckNamesTheFirstDamageWithoutWritingAScratchDatabase) {
  const std::string whole = testutil::readFile(converted("2.5.5"));
  auto flipped = [&](size_t at) {
    std::string b = whole;
    b[at] = static_cast<char>(b[at] ^ 0x5A);
    return b;
  };
  const std::string rescue = " Rescue what is left with: voskodb recover ";
  struct Case {
    const char* what;
    std::string bytes;
    std::string place;
  };
  const Case cases[] = {
      {"the first title's class name", flipped(294 + 6),
       "First damage at byte 294, in title 1 'Schrei nach Liebe' of carrier 1 'Die Bestie in "
       "Menschengestalt'."},
      {"the second title's class name", flipped(1753 + 6),
       "First damage at byte 1753, in title 2 'Autobahn (Kreidler-Mix)' of carrier 4 'Bearbeitungen'."},
      {"the third carrier's class name", flipped(1134 + 6),
       "First damage at byte 1134, in carrier 3 'Split-Single'."},
      {"the carrier count lowered",
       [&] {
         std::string b = whole;
         b[64] = 4;
         return b;
       }(),
       "First damage at byte 64."},
      {"cut in the last title", whole.substr(0, 2230),
       "First damage at byte 2178, in title 2 'Wish (Komm zu mir)' of carrier 5 'Lola rennt'."},
  };
  // No scratch database can be made where TMPDIR points.
  const char* tmp = std::getenv("TMPDIR");
  const std::string oldTmp = tmp != nullptr ? tmp : "";
  setenv("TMPDIR", dir_.file("missing").c_str(), 1);
  for (const Case& c : cases) {
    const std::string damaged = write("damaged.vsk", c.bytes);
    testutil::RunResult r = voskodb({"check", damaged});
    EXPECT_EQ(1, r.exitCode) << c.what;
    EXPECT_THAT(reportLine(r.err), HasSubstr(c.place + rescue + damaged + " <output-file>")) << c.what;
  }
  if (tmp != nullptr)
    setenv("TMPDIR", oldTmp.c_str(), 1);
  else
    unsetenv("TMPDIR");
}

TEST(RescueLinesTest, TheLastLineSaysWhetherAnythingWasLost) {
  struct Case {
    const char* what;
    RescueReport report;
    std::string last;
  };
  auto report = [](bool damage, bool loss, bool unresolved, int64_t trailing, int64_t unlistedLosses) {
    RescueReport r;
    r.format = "2.0";
    if (damage) r.damage.push_back({100, 120});
    if (loss) r.losses.push_back({RescueReport::Loss::Kind::kCarrier, 100, 1, 1, "A", "", "damaged"});
    if (unresolved) r.unresolved.push_back("carrier 'A': label #11 lost, none taken");
    r.trailing = {500, trailing};
    r.unlisted.losses = unlistedLosses;
    return r;
  };
  const std::string incomplete = "incomplete: what could be read whole is in o.vsk; the rest is lost.";
  const Case cases[] = {
      {"nothing damaged", report(false, false, false, 0, 0), "complete: nothing was damaged."},
      {"bytes after the data", report(false, false, false, 7, 0), "complete: nothing of the data was lost."},
      {"damage that hit nothing", report(true, false, false, 0, 0),
       "rescued all: the damage hit no carrier or title."},
      {"a damaged label, nothing lost", report(true, false, true, 0, 0), incomplete},
      {"a lost carrier", report(true, true, false, 0, 0), incomplete},
      {"losses beyond those listed", report(true, false, false, 0, 3), incomplete},
  };
  for (const Case& c : cases) EXPECT_EQ(rescueLines("i.vsk", "o.vsk", c.report).back(), c.last) << c.what;
}

}  // namespace
}  // namespace vdbtest
