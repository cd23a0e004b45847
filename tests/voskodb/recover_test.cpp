#include <gtest/gtest.h>

#include <functional>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

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

}  // namespace
}  // namespace vdbtest
