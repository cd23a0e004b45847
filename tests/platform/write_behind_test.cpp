#include "platform/write_behind.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace {

namespace faults = platform::faults;

class WriteBehindTest : public testing::Test {
 protected:
  void TearDown() override { faults::reset(); }
  testutil::TempDir dir;
};

// Two rooms taking turns, as a writer uses them: every piece lands in order.
TEST_F(WriteBehindTest, PiecesLandInOrderWhileTheNextFills) {
  const std::string path = dir.file("f");
  std::string rooms[2];
  std::string expected;
  {
    platform::OsFile file;
    file.openTruncate(path);
    platform::WriteBehind behind(file);
    for (int piece = 0; piece < 50; ++piece) {
      std::string& room = rooms[piece % 2];
      room.assign(static_cast<size_t>(1000 + piece * 37), static_cast<char>('a' + piece % 26));
      expected += room;
      ASSERT_TRUE(behind.hand(room.data(), room.size()));
    }
    EXPECT_TRUE(behind.finish());
  }
  EXPECT_TRUE(testutil::readFile(path) == expected);
}

TEST_F(WriteBehindTest, FailedWriteRefusesEveryLaterPiece) {
  const std::string path = dir.file("f");
  platform::OsFile file;
  file.openTruncate(path);
  platform::WriteBehind behind(file);
  const std::string piece = "piece";
  faults::failNthWrite(2);
  EXPECT_TRUE(behind.hand(piece.data(), piece.size()));
  EXPECT_TRUE(behind.hand(piece.data(), piece.size()));  // the failure shows at the next hand or finish
  EXPECT_FALSE(behind.finish());
  faults::reset();
  EXPECT_FALSE(behind.hand(piece.data(), piece.size()));
  EXPECT_EQ(testutil::readFile(path), piece);
}

}  // namespace
