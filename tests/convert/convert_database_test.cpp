#include "convert/convert_database.h"

#include <gtest/gtest.h>

#include <regex>

#include "basis/exceptions.h"
#include "test_util.h"

namespace {

const std::string kProgram = std::string(VOSKO_BINARY_DIR) + "/convertVOSKO";

const std::string kBanner =
    "\n"
    "vosko - database converter version 1.2.2\n"
    "Copyright (c) 1999-2026 Tarquo. All rights reserved.\n"
    "\n";
const std::string kUsage =
    "\n"
    "usage: convertVOSKO <version> <input-file> <output-file>\n"
    "\n"
    "Important: <version> is either '1.5', '2.0', '2.5', '2.5.3' or '2.5.5'.\n"
    "\n";

TEST(ConvertDatabaseTest, WrongArgumentCountShowsUsage) {
  testutil::TempDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{}, {"2.5.5", "in"}, {"2.5.5", "in", "out", "extra"}}) {
    testutil::RunResult r = testutil::run(kProgram, args, dir.path());
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.out, kBanner + kUsage);
    EXPECT_EQ(r.err, "");
  }
  EXPECT_TRUE(dir.entries().empty());
}

TEST(ConvertDatabaseTest, IllegalVersionIsReportedOnceAndCreatesNothing) {
  testutil::TempDir dir;
  testutil::RunResult r = testutil::run(kProgram, {"2.5.4", "in.vsk", "out.vsk"}, dir.path());
  EXPECT_EQ(r.exitCode, 1);
  ASSERT_EQ(r.out.substr(0, kBanner.size()), kBanner);
  std::string report = r.out.substr(kBanner.size());
  std::regex first(
      "\\d\\d\\.\\d\\d\\.\\d{4} \\d\\d:\\d\\d:\\d\\d\\.\\d{3} vosko: FATAL ERROR: convertVosko\\.exe: "
      "Illegal version parameter: '2\\.5\\.4'\\.\n");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(report, m, first, std::regex_constants::match_continuous)) << report;
  std::string rest = report.substr(static_cast<size_t>(m.length()));
  // The error entry's lines, then the console writer's own line end; nothing else.
  std::regex lines(
      "\n\texception\n\tclass: IllegalArgumentException\n"
      "\tmessage: Illegal version parameter: '2\\.5\\.4'\\.\n"
      "(\tsystem message: [^\n]*\n)?\n\n");
  EXPECT_TRUE(std::regex_match(rest, lines)) << rest;
  EXPECT_TRUE(dir.entries().empty());
}

TEST(ConvertDatabaseTest, VersionIsComparedExactly) {
  for (const std::string version : {"", "2.5 ", "2.50", " 2.5", "2.5.4", "2_5", "V2.5"}) {
    try {
      convertDatabase(version, "in", "out");
      ADD_FAILURE() << version;
    } catch (const IllegalArgumentException& e) {
      EXPECT_EQ(e.message(), "Illegal version parameter: '" + version + "'.");
    }
  }
}

}  // namespace
