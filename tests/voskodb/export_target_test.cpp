// Where an export's bytes go: a named target is the old file or the whole
// export, never a cut one, whichever write fails and whatever makes it fail.
#include "voskodb/export_target.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <memory>
#include <string>

#include "basis/exceptions.h"
#include "fault_loop.h"
#include "platform/os_file.h"
#include "voskodb_fixture.h"

namespace vdbtest {
namespace {

using testing::HasSubstr;

TEST(ExportTargetTest, AFailedWriteLeavesTheOldTarget) {
  testutil::TempDir dir;
  const std::string target = dir.file("out.csv");
  // More than one piece first, so that a write happens before the restart.
  const std::string firstTry(3 << 20, 'x');
  testutil::expectOldOrNewUnderFaults(
      dir, target, [&] { testutil::writeFile(target, "old"); },
      [&] {
        ExportTarget out("export-csv", target);
        out.buffer() = firstTry;
        out.spill();
        out.restart();
        out.buffer() = "new";
        out.commit();
      });
  EXPECT_EQ("new", testutil::readFile(target));

  platform::faults::failWritesWith(ENOSPC);
  platform::faults::failNthWrite(1);
  try {
    ExportTarget out("export-csv", target);
    out.buffer() = "newer";
    out.commit();
    ADD_FAILURE() << "the write failed unseen";
  } catch (const IOException& e) {
    EXPECT_EQ("export-csv: Cannot write '" + target + "': No space left on device", e.message());
  }
  platform::faults::reset();
  EXPECT_EQ("new", testutil::readFile(target));
}

// ulimit -f: the write that crosses the limit fails with its reason, where
// the signal that comes with it would end the program before it can say so.
TEST_F(VoskodbTest, AFileSizeLimitFailsTheExportWithItsReason) {
  TSoundCarriers database;
  for (int i = 0; i < 300; ++i) {
    auto carrier = std::make_unique<TSoundCarrier>("Album " + std::to_string(i), "Label", "Compact Disc");
    carrier->add(new TTitle("Title " + std::to_string(i), "", "Artist"));
    database.add(carrier.release());
  }
  const std::string path = dir_.file("db.vsk");
  database.store(path);
  const std::string out = write("out", "old");
  testutil::TempDir capture;
  const std::string err = capture.file("err");
  for (const char* command : {"export-csv", "export-json", "export-html"}) {
    const std::vector<std::string> entries = dir_.entries();
    const int status = testutil::spawnAndWait(kVoskodb, {command, path, out}, [&] {
      const rlimit limit{8192, 8192};
      return setrlimit(RLIMIT_FSIZE, &limit) == 0 && freopen(err.c_str(), "w", stderr) != nullptr;
    });
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << command << " ended with " << status;
    EXPECT_THAT(reportLine(testutil::readFile(err)),
                HasSubstr(std::string(command) + ": Cannot write '" + out + "': File too large"));
    EXPECT_EQ("old", testutil::readFile(out)) << command;
    EXPECT_EQ(entries, dir_.entries()) << command;
  }
}

}  // namespace
}  // namespace vdbtest
