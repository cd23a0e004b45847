// The dialog writer: error and information notices, nothing for other entries.
#include "debug/dialog_writer.h"

#include <gtest/gtest.h>

#include "capture_output.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"

namespace {

std::string shown(const TDebugEntry& entry) {
  TDialogWriter writer;
  testutil::Captured shown = testutil::captureOutput([&] { writer.write(entry); });
  EXPECT_EQ(shown.out, "");
  return shown.err;
}

TEST(DialogWriterTest, ErrorEntryShowsAnErrorNotice) {
  EXPECT_EQ(shown(TErrorEntry(nullptr, 0.0, 2, "vosko", "bad", 2, "")), "[Error] vosko: ERROR: bad\n\n");
}

TEST(DialogWriterTest, TraceEntryShowsAnInformationNotice) {
  EXPECT_EQ(shown(TTraceEntry("done", 0.0, 0.0, 3, 2, "vosko")), "[Information] vosko: done\n");
}

TEST(DialogWriterTest, PlainEntryShowsNothing) {
  EXPECT_EQ(shown(TDebugEntry("m", 0.0, 0.0, 1, 2, "vosko")), "");
}

}  // namespace
