// The text-file writer: creates, then appends; the blank-line layout.
#include "debug/text_writer.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
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
