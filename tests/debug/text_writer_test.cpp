// The text-file writer: creates, then appends; the blank-line layout.
#include "debug/text_writer.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
#include "fault_loop.h"
#include "test_util.h"

namespace {

TEST(TextWriterTest, FirstWriteCreatesLaterWritesAppend) {
  testutil::TempDir dir;
  TTextWriter writer(dir.file("trace.txt"));
  writer.write(TTraceEntry("one", 0.0, 0.0, 5, 2, "vosko"));
  EXPECT_EQ(testutil::readFile(dir.file("trace.txt")), "vosko: one\r\n");
  writer.write(TTraceEntry("two", 0.0, 0.0, 5, 2, "vosko"));
  EXPECT_EQ(testutil::readFile(dir.file("trace.txt")), "vosko: one\r\nvosko: two\r\n");
}

TEST(TextWriterTest, ErrorEntriesAreSeparatedByTwoEmptyLines) {
  testutil::TempDir dir;
  testutil::writeFile(dir.file("errors.txt"), "older\r\n");
  TTextWriter writer(dir.file("errors.txt"));
  writer.write(TErrorEntry("", 0.0, 0.0, 2, "vosko", "first", 2, "", "IOException"));
  writer.write(TErrorEntry("", 0.0, 0.0, 2, "vosko", "second", 1, "", ""));
  EXPECT_EQ(testutil::readFile(dir.file("errors.txt")),
            "older\r\n"
            "vosko: ERROR: first\r\n\r\n\texception\r\n\tclass: IOException\r\n\r\n\r\n"
            "vosko: FATAL ERROR: second\r\n\r\n\r\n");
}

TEST(TextWriterTest, MissingDirectoryFailsWithTheWriterPrefix) {
  testutil::TempDir dir;
  const std::string name = dir.file("no/such/dir/trace.txt");
  TTextWriter writer(name);
  try {
    writer.write(TTraceEntry("m", 0.0, 0.0, 5, 2, "vosko"));
    FAIL() << "wrote into a missing directory";
  } catch (const IOException& e) {
    EXPECT_EQ(e.message().rfind("TTextWriter.write: (IOException) TTextFile.open: ", 0), 0u) << e.message();
  }
  EXPECT_FALSE(testutil::exists(name));
}

}  // namespace

namespace {

TEST(TextWriterTest, FailedWriteLeavesTheFileAsItWasOrCompleted) {
  testutil::TempDir dir;
  const std::string path = dir.file("trace.txt");
  TTextWriter writer(path);
  // The first write creates the file, later ones append to it.
  for (const std::string& old : {std::string(), std::string("vosko: older\r\n")}) {
    testutil::expectOldOrNewUnderFaults(
        dir, path,
        [&] {
          unlink(path.c_str());
          if (!old.empty()) testutil::writeFile(path, old);
        },
        [&] { writer.write(TTraceEntry("one", 2.0, 1.0, 5, 3, "vosko")); });
  }
}

}  // namespace
