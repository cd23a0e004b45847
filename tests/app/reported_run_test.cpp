// How a run of either program ends: a reader of standard output that goes
// away ends it quietly, the diagnostics' own failures stay off voskodb's
// standard output, and a report quotes the system's error of its failure.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <nlohmann/json.hpp>

#include "platform/system_info.h"
#include "voskodb/voskodb_fixture.h"

namespace vdbtest {
namespace {

TEST_F(VoskodbTest, AReaderThatGoesAwayEndsTheRunQuietly) {
  const std::string db = writeDatabase("db.vsk"), err = dir_.file("err");
  int closed[2];
  ASSERT_EQ(0, pipe(closed));
  close(closed[0]);
  const int full = open("/dev/full", O_WRONLY);
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"dump", db}, {"find", db, "Bestie"}, {"export-csv", db, "-"}, {"export-html", db, "-"}}) {
    // A full disk is no reader that went away: that output is lost, and said so.
    for (const int out : {closed[1], full}) {
      const int status = testutil::spawnAndWait(
          kVoskodb, args, [&] { return dup2(out, 1) == 1 && freopen(err.c_str(), "w", stderr) != nullptr; });
      EXPECT_EQ(out == full ? 1 : 0, WEXITSTATUS(status)) << args.front();
      const std::string report = testutil::readFile(err);
      if (out == full)
        EXPECT_THAT(reportLine(report), testing::HasSubstr("standard output: No space left on device"));
      else
        EXPECT_EQ("", report) << args.front();
    }
  }
  close(closed[1]);
  close(full);
}

TEST_F(VoskodbTest, InternalErrorsOfACopyWithoutDebugPropertiesStayOffStandardOutput) {
  if (testutil::exists(platform::configurationDirectory() + "debug.properties"))
    GTEST_SKIP() << "an installed debug.properties configures every copy";
  testutil::TempDir install;
  const std::string program = install.file("voskodb");
  testutil::writeFile(program, testutil::readFile(kVoskodb));
  ASSERT_EQ(0, chmod(program.c_str(), 0755));
  testutil::RunResult r = run(program, {"info", "--json", writeDatabase("db.vsk")});
  EXPECT_EQ("database-2.5.7", nlohmann::json::parse(r.out).value("kind", "")) << r.out;
  EXPECT_THAT(r.err, testing::HasSubstr("DEBUG: INTERNAL ERROR: method: <TChannel.refresh>\n"));
}

TEST_F(VoskodbTest, AReportQuotesTheErrorOfItsOwnFailureOrNone) {
  const std::string db = writeDatabase("db.vsk");
  const std::string cut = write("cut.vsk", testutil::readFile(db).substr(0, 100));
  const struct {
    std::string program;
    std::vector<std::string> args;
    std::string systemMessage;
  } cases[] = {
      {kConverter, {"2.5.5", sample("2.5.3"), dir_.file("out.vsk")}, ""},
      {kVoskodb, {"find", "/dev/null", "x"}, ""},
      {kVoskodb, {"export-csv", cut, dir_.file("out.csv")}, ""},
      {kVoskodb, {"export-json", db, dir_.file("none/out.json")}, "No such file or directory"},
  };
  for (const auto& c : cases) {
    testutil::RunResult r = run(c.program, c.args);
    std::string found;
    for (const std::string& line : lines(r.out + r.err)) {
      if (line.starts_with("\tsystem message: ")) found = line.substr(17);
    }
    EXPECT_NE("", reportLine(r.out + r.err)) << c.args.front();
    EXPECT_EQ(c.systemMessage, found) << c.args.front();
  }
}

}  // namespace
}  // namespace vdbtest
