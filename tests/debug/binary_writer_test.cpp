// The binary writer and reader: the file grows by one entry per write, and a
// file that cannot be read or rewritten stays as it was.
#include "debug/binary_writer.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
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

class BinaryWriterTest : public ::testing::Test {
 protected:
  void TearDown() override { platform::faults::reset(); }
  std::string name() const { return dir.file("debug.dbg"); }
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

TEST_F(BinaryWriterTest, WrongHeaderRefusesEveryWriteAndLeavesTheFile) {
  const std::string foreign =
      "[Application:debug.Type:DebugEntries-Database.Version:2.0]" + le32(4) + le32(0);
  testutil::writeFile(name(), foreign);
  TBinaryWriter writer(name());
  for (int i = 0; i < 2; ++i) {
    try {
      writer.write(TTraceEntry("m", 2.0, 1.0, 5, 3, "vosko"));
      FAIL() << "wrote to a file of another kind";
    } catch (const IOException& e) {
      EXPECT_EQ(e.message(),
                "TBinaryWriter.write: (IOException) TBinaryReader.read: (IOException) TFile.open: "
                "(IOException) File '" +
                    name() + "' does not support header: '" + kHeader + "'.");
    }
  }
  EXPECT_EQ(testutil::readFile(name()), foreign);
}

TEST_F(BinaryWriterTest, TruncatedBlockRefusesEveryWriteAndLeavesTheFile) {
  TBinaryWriter writer(name());
  writer.write(TTraceEntry("one", 2.0, 1.0, 5, 3, "vosko"));
  const std::string whole = testutil::readFile(name());
  const std::string damaged = whole.substr(0, whole.size() - 1);
  testutil::writeFile(name(), damaged);
  for (int i = 0; i < 2; ++i) {
    try {
      writer.write(TTraceEntry("two", 2.0, 1.0, 5, 3, "vosko"));
      FAIL() << "wrote behind a damaged block";
    } catch (const IOException& e) {
      EXPECT_EQ(e.message().rfind("TBinaryWriter.write: (IOException) TBinaryReader.read: (", 0), 0u)
          << e.message();
    }
  }
  EXPECT_EQ(testutil::readFile(name()), damaged);
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"debug.dbg"});
}

// Only entries belong in the list. Anything else the registry knows, above
// all a list inside the list, is refused before it is read, so that a file
// nesting lists thousands deep cannot exhaust the stack.
TEST_F(BinaryWriterTest, ElementThatIsNoEntryIsRefusedAndTheFileKept) {
  const std::string nested = object("TDebugEntries", le32(0));
  const std::string text = object("TString", str("oops"));
  for (const auto& [element, className] :
       {std::pair{nested, std::string("TDebugEntries")}, std::pair{text, std::string("TString")}}) {
    const std::string file = kHeader + block(le32(1) + element);
    testutil::writeFile(name(), file);
    try {
      TBinaryWriter(name()).write(TTraceEntry("m", 2.0, 1.0, 5, 3, "vosko"));
      FAIL() << "took a " << className << " for an entry";
    } catch (const IOException& e) {
      EXPECT_EQ(e.message(),
                "TBinaryWriter.write: (IOException) TBinaryReader.read: (IOException) TFile.readTPObject: "
                "(InvalidKeyException) THashtable.get: Key: " +
                    className + " not found.");
    }
    EXPECT_EQ(testutil::readFile(name()), file);
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

}  // namespace
