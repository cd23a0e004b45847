#include "platform/file_in_memory.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "platform/exception.h"
#include "test_util.h"

namespace {

namespace faults = platform::faults;

// Bytes that differ from piece to piece, so that a piece out of place shows.
std::string bytesOf(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 4093) & 0xff);
  return bytes;
}

std::string readWhole(platform::FileInMemory& file) {
  size_t ready = 0;
  while (ready < file.size()) ready = file.arrived(ready);
  return {file.data(), file.size()};
}

class FileInMemoryTest : public testing::Test {
 protected:
  void TearDown() override { faults::reset(); }
  testutil::TempDir dir;
};

TEST_F(FileInMemoryTest, ArrivesWholeAtEverySize) {
  // Empty, read at once, and read by a thread of its own in pieces (the last one short).
  for (const size_t size : {size_t{0}, size_t{5}, size_t{9} << 20 | 12345}) {
    SCOPED_TRACE(size);
    const std::string path = dir.path() + "/f";
    const std::string bytes = bytesOf(size);
    testutil::writeFile(path, bytes);
    platform::FileInMemory file(path);
    ASSERT_EQ(file.size(), size);
    EXPECT_EQ(file.arrived(size), size);  // waits for all of it
    EXPECT_TRUE(readWhole(file) == bytes);
  }
}

TEST_F(FileInMemoryTest, FailuresAreRaised) {
  const std::string path = dir.path() + "/f";
  for (const size_t size : {size_t{100}, size_t{10} << 20}) {
    SCOPED_TRACE(size);
    testutil::writeFile(path, bytesOf(size));
    faults::failNthRead(size > 100 ? 4 : 1);
    {
      platform::FileInMemory file(path);
      try {
        readWhole(file);
        ADD_FAILURE() << "nothing raised";
      } catch (const EInOutError& e) {
        EXPECT_EQ(e.message(), "Cannot read '" + path + "': Input/output error");
      }
    }
    faults::reset();
  }
  EXPECT_THROW(platform::FileInMemory(path, 99), std::length_error);
  EXPECT_THROW(platform::FileInMemory(dir.path() + "/missing"), EInOutError);
}

// Dropped while its thread still reads: the thread is stopped and waited for
// before the buffer goes (the sanitizers see a read into freed memory, a hang shows).
TEST_F(FileInMemoryTest, StopsReadingWhenDroppedEarly) {
  const std::string path = dir.path() + "/f";
  testutil::writeFile(path, bytesOf(size_t{32} << 20));
  platform::FileInMemory file(path);
  EXPECT_GT(file.arrived(0), 0u);
}

}  // namespace
