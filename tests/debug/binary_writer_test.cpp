// The binary writer and reader: the file grows by one entry per write, and a
// file that cannot be read or rewritten stays as it was.
#include "debug/binary_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <functional>
#include <optional>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "debug/binary_reader.h"
#include "debug/debug_entries.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
#include "fault_loop.h"
#include "platform/os_file.h"
#include "test_util.h"

namespace {

using testutil::block;
using testutil::dbl;
using testutil::le32;
using testutil::object;
using testutil::str;

const std::string kHeader = "[Application:debug.Type:DebugEntries-Database.Version:1.0]";

// The i-th entry the tests write: trace and error entries in turn; the fifth
// is larger than what a file gathers before handing it to the system, so its
// block length is written into bytes already handed over.
std::unique_ptr<TDebugEntry> sample(int i) {
  if (i == 4) return std::make_unique<TTraceEntry>(std::string(100000, 'x'), 2.0, 1.0, i, 3, "vosko");
  if (i % 2 == 1) {
    return std::make_unique<TErrorEntry>("boom " + std::to_string(i), 3.0 + i, 2.0, 7, "perf", "two", 1,
                                         "sys", "IOException");
  }
  return std::make_unique<TTraceEntry>("trace " + std::to_string(i), 2.0 + i, 1.0, i, 3, "vosko");
}

class BinaryWriterTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::faults::reset();
    TFile::setMaxLengthForTesting(0);
  }
  std::string name() const { return dir.file("debug.dbg"); }
  // The bytes of the first n samples stored as one list.
  std::string storedAtOnce(int n) const {
    TDebugEntries entries;
    for (int i = 0; i < n; ++i) entries.add(sample(i));
    const std::string scratch = dir.file("scratch.dbg");
    entries.store(scratch);
    std::string bytes = testutil::readFile(scratch);
    std::remove(scratch.c_str());
    return bytes;
  }
  // The message of the IOException that the write of the n-th sample raises.
  std::string messageOfWrite(int n) {
    try {
      TBinaryWriter(name()).write(*sample(n));
    } catch (const IOException& e) {
      return e.message();
    }
    ADD_FAILURE() << "no IOException raised";
    return "";
  }
  testutil::TempDir dir;
};

TEST_F(BinaryWriterTest, FirstWriteCreatesTheFileWithOneEntry) {
  TBinaryWriter writer(name());
  writer.write(TTraceEntry("go", 2.0, 1.0, 5, 3, "vosko"));
  const std::string fields = str("go") + str("vosko") + le32(3) + le32(5) + dbl(1.0) + dbl(2.0);
  EXPECT_EQ(testutil::readFile(name()), kHeader + block(le32(1) + object("TTraceEntry", fields)));
  // Only the file itself: the temporary file of the store is gone.
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"debug.dbg"});
}

TEST_F(BinaryWriterTest, EveryWriteAddsOneEntryInOrder) {
  TBinaryWriter writer(name());
  writer.write(TTraceEntry("one", 2.0, 1.0, 5, 3, "vosko"));
  writer.write(TErrorEntry("boom", 3.0, 2.0, 7, "perf", "two", 1, "sys", "IOException"));
  writer.write(TTraceEntry("three", 4.0, 3.0, -1, 0, "vosko"));

  std::unique_ptr<TDebugEntries> entries = TBinaryReader(name()).read();
  ASSERT_NE(entries, nullptr);
  ASSERT_EQ(entries->size(), 3);
  EXPECT_STREQ(entries->get(0)->className(), "TTraceEntry");
  EXPECT_STREQ(entries->get(1)->className(), "TErrorEntry");
  EXPECT_STREQ(entries->get(2)->className(), "TTraceEntry");
  auto* error = static_cast<TErrorEntry*>(entries->get(1));
  EXPECT_EQ(error->getMessage(), "two");
  EXPECT_EQ(error->getChannelName(), "perf");
  EXPECT_EQ(error->getExceptionClass(), "IOException");
  EXPECT_EQ(error->getExceptionMessage(), "boom");
  EXPECT_EQ(error->getSystemMessage(), "sys");
  EXPECT_EQ(error->getTime(), 3.0);
  EXPECT_EQ(error->getReferenceTime(), 2.0);
  EXPECT_EQ(static_cast<TDebugEntry*>(entries->get(2))->getLevel(), -1);
}

TEST_F(BinaryWriterTest, ReaderOfMissingFileYieldsNothing) {
  EXPECT_EQ(TBinaryReader(name()).read(), nullptr);
}

// A file the writer cannot read refuses every write and stays as it is. Only
// entries belong in the list: anything else the registry knows, above all a
// list inside the list, is refused before it is read, so that a file nesting
// lists thousands deep cannot exhaust the stack.
TEST_F(BinaryWriterTest, UnreadableFileRefusesEveryWriteAndIsLeftAsItIs) {
  const std::string oneEntry = storedAtOnce(1);
  const std::string readFailure = "TBinaryWriter.write: (IOException) TBinaryReader.read: (IOException) ";
  const std::string notFound =
      readFailure + "TFile.readTPObject: (InvalidKeyException) THashtable.get: Key: ";
  const struct {
    const char* what;
    std::string bytes;
    std::string message;  // a prefix for the cut block, whose reason names a position
    bool whole;
  } cases[] = {
      {"another header", "[Application:debug.Type:DebugEntries-Database.Version:2.0]" + le32(4) + le32(0),
       readFailure + "TFile.open: (IOException) File '" + name() + "' does not support header: '" + kHeader +
           "'.",
       true},
      {"a cut block", oneEntry.substr(0, oneEntry.size() - 1), readFailure, false},
      {"a list in the list", kHeader + block(le32(1) + object("TDebugEntries", le32(0))),
       notFound + "TDebugEntries not found.", true},
      {"a text in the list", kHeader + block(le32(1) + object("TString", str("oops"))),
       notFound + "TString not found.", true},
  };
  for (const auto& c : cases) {
    testutil::writeFile(name(), c.bytes);
    for (int i = 0; i < 2; ++i) {
      const std::string message = messageOfWrite(i);
      EXPECT_EQ(c.whole ? message : message.substr(0, c.message.size()), c.message) << c.what;
    }
    EXPECT_EQ(testutil::readFile(name()), c.bytes) << c.what;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"debug.dbg"}) << c.what;
  }
}

TEST_F(BinaryWriterTest, FailedStoreLeavesThePreviousFile) {
  TBinaryWriter writer(name());
  writer.write(TTraceEntry("one", 2.0, 1.0, 5, 3, "vosko"));
  const std::string before = testutil::readFile(name());
  platform::faults::failNthWrite(1);
  try {
    writer.write(TTraceEntry("two", 2.0, 1.0, 5, 3, "vosko"));
    FAIL() << "a failed write went unnoticed";
  } catch (const IOException& e) {
    EXPECT_EQ(e.message().rfind("TBinaryWriter.write: (", 0), 0u) << e.message();
  }
  platform::faults::reset();
  EXPECT_EQ(testutil::readFile(name()), before);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"debug.dbg"});
  testutil::expectOldOrNewUnderFaults(
      dir, name(), [&] { testutil::writeFile(name(), before); },
      [&] { writer.write(TTraceEntry("two", 2.0, 1.0, 5, 3, "vosko")); });
}

// Adding in place must give the very bytes of storing the whole list again,
// whatever the file held before.
TEST_F(BinaryWriterTest, WritesGiveTheBytesOfTheWholeListStoredAtOnce) {
  const std::string cutShort = str("TTraceEntry") + le32(60) + str("trace");
  const struct {
    const char* what;
    std::optional<std::string> before;
    int entriesBefore;
  } cases[] = {
      {"no file", std::nullopt, 0},
      {"an empty list", kHeader + block(le32(0)), 0},
      {"a negative count in an empty block, read as no entries", kHeader + le32(4) + le32(-1), 0},
      {"two entries", storedAtOnce(2), 2},
      {"two entries and an addition cut short", storedAtOnce(2) + cutShort, 2},
  };
  for (const auto& c : cases) {
    std::remove(name().c_str());
    if (c.before) testutil::writeFile(name(), *c.before);
    TBinaryWriter writer(name());
    for (int i = c.entriesBefore; i < c.entriesBefore + 3; ++i) writer.write(*sample(i));
    EXPECT_EQ(testutil::readFile(name()), storedAtOnce(c.entriesBefore + 3)) << c.what;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"debug.dbg"}) << c.what;
  }
}

TEST_F(BinaryWriterTest, FailedWriteTakesTheEntryOffAgain) {
  const std::string before = storedAtOnce(2);
  const std::string writeError =
      "TBinaryWriter.write: (IOException) TFile: IO error while write binary. Cannot write '" + name() +
      "': Input/output error.";
  const std::string syncError =
      "TBinaryWriter.write: (IOException) TFile.close: (EInOutError) Cannot write '" + name() +
      "': Input/output error";
  const struct {
    const char* what;
    void (*fail)(long);
    std::string message;
  } cases[] = {
      {"the entry's bytes", platform::faults::failNthWrite, writeError},
      {"the entry's sync", platform::faults::failNthSync, syncError},
  };
  for (const auto& c : cases) {
    for (long n = 1; n <= 2; ++n) {  // the entry, then the new length and count
      testutil::writeFile(name(), before + "cut short");
      c.fail(n);
      EXPECT_EQ(messageOfWrite(2), c.message) << c.what << " " << n;
      platform::faults::reset();
      EXPECT_EQ(testutil::readFile(name()), before) << c.what << " " << n;
      TBinaryWriter(name()).write(*sample(2));
      EXPECT_EQ(testutil::readFile(name()), storedAtOnce(3)) << c.what << " " << n;
    }
  }
  testutil::expectOldOrNewUnderFaults(
      dir, name(), [&] { testutil::writeFile(name(), before); },
      [&] { TBinaryWriter(name()).write(*sample(2)); });
}

// A list longer than its 32-bit length field can say is refused, also when
// the entry alone would fit.
TEST_F(BinaryWriterTest, ListTooLongForItsLengthIsRefused) {
  const std::string one = storedAtOnce(1);
  const int64_t limit = static_cast<int64_t>(one.size() - kHeader.size());
  TFile::setMaxLengthForTesting(limit);
  testutil::writeFile(name(), one);
  EXPECT_EQ(messageOfWrite(2),
            "TBinaryWriter.write: (IOException) TFile: IO error while write binary. Cannot write '" + name() +
                "': a block or string over " + std::to_string(limit) + " bytes.");
  EXPECT_EQ(testutil::readFile(name()), one);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"debug.dbg"});
}

TEST_F(BinaryWriterTest, FileThatCannotBeWrittenIsRefusedAndKept) {
  const std::string notRegular = "' is not a regular file.";
  // Each makes the file and returns its bytes when it is a regular file.
  const struct {
    const char* what;
    std::function<std::string()> make;
    std::string message;
  } cases[] = {
      {"read-only",
       [&] {
         testutil::writeFile(name(), storedAtOnce(1));
         chmod(name().c_str(), 0444);
         return testutil::readFile(name());
       },
       "TBinaryWriter.write: (IOException) TFile.open: (IOException) Try to write read only file '" + name() +
           "'."},
      {"a FIFO",
       [&] {
         EXPECT_EQ(mkfifo(name().c_str(), 0600), 0);
         return std::string();
       },
       "TBinaryWriter.write: (IOException) TBinaryReader.read: (IOException) TFile.open: (EInOutError) '" +
           name() + notRegular},
      {"a directory",
       [&] {
         EXPECT_EQ(mkdir(name().c_str(), 0700), 0);
         return std::string();
       },
       "TBinaryWriter.write: (IOException) TFile.open: (EInOutError) '" + name() + notRegular},
  };
  for (const auto& c : cases) {
    const std::string before = c.make();
    EXPECT_EQ(messageOfWrite(1), c.message) << c.what;
    if (!before.empty()) {
      EXPECT_EQ(testutil::readFile(name()), before) << c.what;
    }
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"debug.dbg"}) << c.what;
    std::remove(name().c_str());
  }
}

// Only the head of the file and its first entry's class name are checked
// before adding: damage further in is kept as it is, and the reader still
// refuses the file.
TEST_F(BinaryWriterTest, DamageBehindTheFirstEntryIsAddedToAndStillRefusedOnReading) {
  const std::string first =
      object("TTraceEntry", str("go") + str("vosko") + le32(3) + le32(5) + dbl(1.0) + dbl(2.0));
  const std::string list = le32(2) + first + object("TString", str("oops"));
  testutil::writeFile(name(), kHeader + block(list));
  TBinaryWriter(name()).write(*sample(0));
  const std::string added = storedAtOnce(1).substr(kHeader.size() + 8);
  EXPECT_EQ(testutil::readFile(name()), kHeader + block(le32(3) + list.substr(4) + added));
  try {
    TBinaryReader(name()).read();
    FAIL() << "took a TString for an entry";
  } catch (const IOException& e) {
    EXPECT_EQ(
        e.message(),
        "TBinaryReader.read: (IOException) TFile.readTPObject: (InvalidKeyException) THashtable.get: Key: "
        "TString not found.");
  }
}

}  // namespace
