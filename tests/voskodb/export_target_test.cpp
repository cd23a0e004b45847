// A named export target is the old file or the whole export, never a cut
// one, also when a write fails half way.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

// ulimit -f: the write past the limit fails with its reason, where the
// signal that comes with it would end the program before it can say so.
TEST_F(VoskodbTest, AFileSizeLimitFailsTheExportWithItsReason) {
  TSoundCarriers database;
  for (int i = 0; i < 300; ++i) database.add(new TSoundCarrier("Album " + std::to_string(i), "L", "Vinyl"));
  database.store(dir_.file("db.vsk"));
  const std::string out = write("out", "old");
  testutil::TempDir capture;
  const std::vector<std::string> entries = dir_.entries();
  const int status = testutil::spawnAndWait(kVoskodb, {"export-json", dir_.file("db.vsk"), out}, [&] {
    const rlimit limit{4096, 4096};
    return setrlimit(RLIMIT_FSIZE, &limit) == 0 && freopen(capture.file("err").c_str(), "w", stderr);
  });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << status;
  EXPECT_THAT(reportLine(testutil::readFile(capture.file("err"))),
              testing::HasSubstr("export-json: Cannot write '" + out + "': File too large"));
  EXPECT_EQ("old", testutil::readFile(out));
  EXPECT_EQ(entries, dir_.entries());
}

}  // namespace
}  // namespace vdbtest
