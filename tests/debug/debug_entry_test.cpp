// Text and stored forms of the debug entries.
#include "debug/debug_entry.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "debug/debug_entries.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
#include "platform/clock.h"
#include "test_util.h"

namespace {

using testutil::block;
using testutil::dbl;
using testutil::le32;
using testutil::object;
using testutil::str;

// 05.03.2024 07:08:09.045
double sampleTime() { return platform::encodeDate(2024, 3, 5) + platform::encodeTime(7, 8, 9, 45); }
double secondsBefore(double time, int millis) { return time - platform::encodeTime(0, 0, 0, millis); }

TEST(DebugEntryTest, TracePrefixFollowsEachVerboseBit) {
  const double t = sampleTime();
  const double ref = secondsBefore(t, 1500);
  EXPECT_EQ(TTraceEntry("hello", t, ref, 5, 0, "vosko").toString(), ": hello");
  EXPECT_EQ(TTraceEntry("hello", t, ref, 5, 1, "vosko").toString(), "05.03.2024 07:08:09.045 : hello");
  EXPECT_EQ(TTraceEntry("hello", t, ref, 5, 2, "vosko").toString(), "vosko: hello");
  EXPECT_EQ(TTraceEntry("hello", t, ref, 5, 3, "vosko").toString(), "05.03.2024 07:08:09.045 vosko: hello");
  EXPECT_EQ(TTraceEntry("hello", t, ref, 5, 4, "vosko").toString(), " (1500 ms): hello");
  EXPECT_EQ(TTraceEntry("hello", t, ref, 5, 7, "vosko").toString(),
            "05.03.2024 07:08:09.045 vosko (1500 ms): hello");
}

TEST(DebugEntryTest, PlainEntryTextIsThePrefixAlone) {
  EXPECT_EQ(TDebugEntry("hello", sampleTime(), sampleTime(), 1, 2, "vosko").toString(), "vosko: ");
}

TEST(DebugEntryTest, ElapsedIsZeroUnlessReferenceIsEarlier) {
  const double t = sampleTime();
  EXPECT_EQ(TTraceEntry("m", t, t, 0, 4, "c").toString(), " (0 ms): m");
  EXPECT_EQ(TTraceEntry("m", t, t + 1.0, 0, 4, "c").toString(), " (0 ms): m");
  // One day and 1.5 seconds.
  EXPECT_EQ(TTraceEntry("m", t, secondsBefore(t - 1.0, 1500), 0, 4, "c").elapsedMillis(), 86401500);
}

TEST(DebugEntryTest, DamagedTimesGiveNoElapsedFigure) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_EQ(TTraceEntry("m", sampleTime(), nan, 0, 4, "c").elapsedMillis(), 0);
  EXPECT_EQ(TTraceEntry("m", 1.0e300, -1.0e300, 0, 4, "c").elapsedMillis(), 0);
}

TEST(DebugEntryTest, FormatTimePadsEveryPartAndKeepsLongYears) {
  EXPECT_EQ(TDebugEntry::formatTime(platform::encodeDate(2001, 1, 2) + platform::encodeTime(3, 4, 5, 6)),
            "02.01.2001 03:04:05.006");
  // Before 30.12.1899 the day count is negative and the time of day still counts forward.
  EXPECT_EQ(TDebugEntry::formatTime(platform::encodeDate(987, 1, 2) - platform::encodeTime(3, 4, 5, 6)),
            "02.01.0987 03:04:05.006");
  EXPECT_EQ(TDebugEntry::formatTime(platform::encodeDate(10000, 12, 31)), "31.12.10000 00:00:00.000");
}

TEST(DebugEntryTest, ErrorLevelNames) {
  EXPECT_EQ(TErrorEntry::levelName(0), "NO ERROR: ");
  EXPECT_EQ(TErrorEntry::levelName(1), "FATAL ERROR: ");
  EXPECT_EQ(TErrorEntry::levelName(2), "ERROR: ");
  EXPECT_EQ(TErrorEntry::levelName(3), "WARNING: ");
  EXPECT_EQ(TErrorEntry::levelName(4), "ERROR NOTICE: ");
  EXPECT_EQ(TErrorEntry::levelName(5), "-UNKNOWN ERROR- ");
  EXPECT_EQ(TErrorEntry::levelName(-1), "-UNKNOWN ERROR- ");
}

TEST(DebugEntryTest, ErrorWithExceptionAndSystemMessageHasAllLines) {
  TErrorEntry entry("Illegal version parameter: '2.5.4'.", sampleTime(), sampleTime(), 3, "vosko",
                    "convertVosko.exe: Illegal version parameter: '2.5.4'.", 1, "Success",
                    "IllegalArgumentException");
  EXPECT_EQ(
      entry.toString(),
      "05.03.2024 07:08:09.045 vosko: FATAL ERROR: convertVosko.exe: Illegal version parameter: '2.5.4'.\r\n"
      "\r\n"
      "\texception\r\n"
      "\tclass: IllegalArgumentException\r\n"
      "\tmessage: Illegal version parameter: '2.5.4'.\r\n"
      "\tsystem message: Success\r\n"
      "\r\n");
}

TEST(DebugEntryTest, ErrorWithoutExceptionOrSystemTextIsTwoLines) {
  TErrorEntry entry(nullptr, sampleTime(), 2, "vosko", "lost", 2, "");
  EXPECT_EQ(entry.toString(), "vosko: ERROR: lost\r\n\r\n");
  EXPECT_EQ(entry.getExceptionClass(), "");
  EXPECT_EQ(entry.getExceptionMessage(), "");
}

TEST(DebugEntryTest, ErrorWithOnlySystemMessageHasNoExceptionLines) {
  TErrorEntry entry(nullptr, sampleTime(), 0, "vosko", "m", 3, "Access denied");
  EXPECT_EQ(entry.toString(), ": WARNING: m\r\n\r\n\tsystem message: Access denied\r\n\r\n");
}

TEST(DebugEntryTest, EmptyExceptionMessageLeavesOutTheMessageLine) {
  TErrorEntry entry("", sampleTime(), sampleTime(), 0, "vosko", "m", 4, "", "IOException");
  EXPECT_EQ(entry.toString(), ": ERROR NOTICE: m\r\n\r\n\texception\r\n\tclass: IOException\r\n\r\n");
}

TEST(DebugEntryTest, BreaksAreRemovedFromExceptionAndSystemTextsOnly) {
  TErrorEntry entry("one\r\ntwo\tthree\n", sampleTime(), sampleTime(), 0, "vosko", "caller\ttext", 9,
                    "sys\r\ntem", "IOException");
  EXPECT_EQ(entry.toString(),
            ": -UNKNOWN ERROR- caller\ttext\r\n\r\n\texception\r\n\tclass: IOException\r\n"
            "\tmessage: onetwothree\r\n\tsystem message: system\r\n\r\n");
}

TEST(DebugEntryTest, ExceptionClassAndMessageComeFromTheException) {
  IOException io("disk full");
  TErrorEntry fromOwn(&io, 0.0, 0, "c", "m", 1, "");
  EXPECT_EQ(fromOwn.getExceptionClass(), "IOException");
  EXPECT_EQ(fromOwn.getExceptionMessage(), "disk full");

  std::runtime_error foreign("bad thing");
  TErrorEntry fromForeign(&foreign, 0.0, 0, "c", "m", 1, "");
  EXPECT_EQ(fromForeign.getExceptionClass(), "Exception");
  EXPECT_EQ(fromForeign.getExceptionMessage(), "bad thing");
}

TEST(DebugEntryTest, CloneKeepsClassAndFields) {
  const double t = sampleTime();
  TErrorEntry error("em", t, t - 1, 7, "chan", "msg", 2, "sys", "IOException");
  std::unique_ptr<TMappedObject> copy = error.clone();
  auto* e = dynamic_cast<TErrorEntry*>(copy.get());
  ASSERT_NE(e, nullptr);
  EXPECT_EQ(e->toString(), error.toString());
  EXPECT_EQ(e->getTime(), t);
  EXPECT_EQ(e->getReferenceTime(), t - 1);
  EXPECT_EQ(e->getLevel(), 2);

  TTraceEntry trace("tm", t, t, 5, 3, "chan");
  EXPECT_STREQ(trace.clone()->className(), "TTraceEntry");
  TDebugEntry plain("pm", t, t, 5, 3, "chan");
  std::unique_ptr<TMappedObject> plainCopy = plain.clone();
  EXPECT_STREQ(plainCopy->className(), "TDebugEntry");
  EXPECT_EQ(static_cast<TDebugEntry*>(plainCopy.get())->getMessage(), "pm");
}

// The binary debug file of one trace and one error entry, byte for byte.
class DebugEntriesFileTest : public ::testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(DebugEntriesFileTest, StoredFileMatchesTheLayoutByteForByte) {
  const double t = sampleTime();
  const double ref = t - 0.5;
  TDebugEntries entries;
  entries.add(new TTraceEntry("go", t, ref, 5, 3, "vosko"));
  entries.add(new TErrorEntry("em", t, ref, 7, "vosko", "bad", 1, "sys", "IOException"));
  entries.store(dir.file("d.dbg"));

  const std::string trace = str("go") + str("vosko") + le32(3) + le32(5) + dbl(ref) + dbl(t);
  const std::string error = str("bad") + str("vosko") + le32(7) + le32(1) + dbl(ref) + dbl(t) + str("em") +
                            str("IOException") + str("sys");
  const std::string body = le32(2) + object("TTraceEntry", trace) + object("TErrorEntry", error);
  const std::string header = "[Application:debug.Type:DebugEntries-Database.Version:1.0]";
  ASSERT_EQ(header.size(), 58u);
  EXPECT_EQ(testutil::readFile(dir.file("d.dbg")), header + block(body));

  TDebugEntries back;
  back.load(dir.file("d.dbg"));
  ASSERT_EQ(back.size(), 2);
  EXPECT_TRUE(back.getOwnsObjects());
  auto* t0 = dynamic_cast<TTraceEntry*>(back.get(0));
  auto* e1 = dynamic_cast<TErrorEntry*>(back.get(1));
  ASSERT_NE(t0, nullptr);
  ASSERT_NE(e1, nullptr);
  EXPECT_EQ(t0->toString(), TTraceEntry("go", t, ref, 5, 3, "vosko").toString());
  EXPECT_EQ(e1->toString(), TErrorEntry("em", t, ref, 7, "vosko", "bad", 1, "sys", "IOException").toString());
  EXPECT_EQ(e1->getReferenceTime(), ref);
}

TEST_F(DebugEntriesFileTest, WrongHeaderIsRefusedBeforeReading) {
  testutil::writeFile(dir.file("x.dbg"),
                      "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]" + le32(4) + le32(0));
  TDebugEntries entries;
  try {
    entries.load(dir.file("x.dbg"));
    FAIL() << "loaded a file of another kind";
  } catch (const IOException& e) {
    EXPECT_EQ(e.message(),
              "TFile.open: (IOException) File '" + dir.file("x.dbg") +
                  "' does not support header: '[Application:debug.Type:DebugEntries-Database.Version:1.0]'.");
  }
}

}  // namespace
