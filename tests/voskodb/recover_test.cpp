#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

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
