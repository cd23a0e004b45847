// How a run of either program ends: a reader of standard output that goes
// away ends it quietly, the diagnostics' own failures stay off voskodb's
// standard output, and a report quotes the system's error of the failure it
// reports, or none.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "platform/system_info.h"
#include "test_util.h"
#include "voskodb/voskodb_fixture.h"

namespace vdbtest {
namespace {

using testing::HasSubstr;

// Runs voskodb with `stdoutFd` as its standard output; the result's out stays empty.
testutil::RunResult runWithOutput(const std::vector<std::string>& args, int stdoutFd) {
  testutil::TempDir capture;
  const std::string err = capture.file("err");
  const int status = testutil::spawnAndWait(kVoskodb, args, [&] {
    return dup2(stdoutFd, STDOUT_FILENO) >= 0 && freopen(err.c_str(), "w", stderr) != nullptr;
  });
  testutil::RunResult r;
  r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  r.err = testutil::readFile(err);
  return r;
}

// The report's "system message" line without its label, "" when it has none.
std::string systemMessage(const std::string& report) {
  for (const std::string& line : lines(report)) {
    if (line.starts_with("\tsystem message: ")) return line.substr(17);
  }
  return "";
}

class ReportedRunTest : public VoskodbTest {};

TEST_F(ReportedRunTest, AReaderThatGoesAwayEndsTheRunQuietly) {
  const std::string database = writeDatabase("db.vsk");
  int closed[2];
  ASSERT_EQ(0, pipe(closed));
  close(closed[0]);
  const int full = open("/dev/full", O_WRONLY);
  ASSERT_GE(full, 0);
  const std::vector<std::vector<std::string>> commands = {{"dump", database},
                                                          {"find", database, "Bestie"},
                                                          {"export-csv", database, "-"},
                                                          {"export-json", database, "-"},
                                                          {"export-html", database, "-"}};
  for (const std::vector<std::string>& args : commands) {
    testutil::RunResult gone = runWithOutput(args, closed[1]);
    EXPECT_EQ(0, gone.exitCode) << args.front();
    EXPECT_EQ("", gone.err) << args.front();
    // A full disk is no reader that went away: the output is lost, and said so.
    testutil::RunResult lost = runWithOutput(args, full);
    EXPECT_EQ(1, lost.exitCode) << args.front();
    EXPECT_THAT(reportLine(lost.err), HasSubstr("standard output: No space left on device")) << args.front();
  }
  close(closed[1]);
  close(full);
}

TEST_F(ReportedRunTest, InternalErrorsOfACopyWithoutDebugPropertiesStayOffStandardOutput) {
  if (testutil::exists(platform::configurationDirectory() + "debug.properties"))
    GTEST_SKIP() << "an installed debug.properties configures every copy";
  testutil::TempDir install;
  const std::string program = install.file("voskodb");
  testutil::writeFile(program, testutil::readFile(kVoskodb));
  ASSERT_EQ(0, chmod(program.c_str(), 0755));
  testutil::RunResult r = run(program, {"info", "--json", writeDatabase("db.vsk")});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("database-2.5.7", nlohmann::json::parse(r.out).value("kind", "")) << r.out;
  EXPECT_THAT(r.err, HasSubstr("DEBUG: INTERNAL ERROR: method: <TChannel.refresh>\n"));
}

TEST_F(ReportedRunTest, AReportQuotesTheErrorOfItsOwnFailureOrNone) {
  const std::string database = writeDatabase("db.vsk");
  const std::string cut = write("cut.vsk", testutil::readFile(database).substr(0, 100));
  struct Case {
    std::string program;
    std::vector<std::string> args;
    std::string systemMessage;
  };
  const Case cases[] = {
      {kConverter, {"2.5.5", sample("2.5.3"), dir_.file("out.vsk")}, ""},
      {kConverter, {"2.5.5", dir_.path(), dir_.file("out.vsk")}, "Is a directory"},
      {kVoskodb, {"find", "/dev/null", "x"}, ""},
      {kVoskodb, {"export-csv", cut, dir_.file("out.csv")}, ""},
      {kVoskodb, {"check", cut}, ""},
      {kVoskodb, {"info", dir_.file("missing.vsk")}, "No such file or directory"},
      {kVoskodb, {"export-json", database, dir_.file("none/out.json")}, "No such file or directory"},
  };
  for (const Case& c : cases) {
    testutil::RunResult r = run(c.program, c.args);
    EXPECT_EQ(1, r.exitCode) << c.args.front();
    EXPECT_NE("", reportLine(r.out + r.err)) << c.args.front();
    EXPECT_EQ(c.systemMessage, systemMessage(r.out + r.err)) << c.args.front() << ": " << r.out + r.err;
  }
}

}  // namespace
}  // namespace vdbtest
