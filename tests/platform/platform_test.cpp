#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/exception.h"

namespace {

TEST(ClockTest, DayZeroIsTheLastButOneDayOf1899) {
  EXPECT_EQ(platform::encodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(platform::encodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(platform::encodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(platform::formatShortDate(0), "30.12.1899");
  EXPECT_EQ(platform::formatDateTime(36526.75), "01.01.2000 18:00:00");
  // Before day zero the fraction still counts from midnight.
  EXPECT_EQ(platform::formatDateTime(-1.25), "29.12.1899 06:00:00");
  platform::DateTimeParts p = platform::decodeDateTime(platform::encodeDate(2024, 2, 29) +
                                                       platform::encodeTime(23, 59, 59, 999));
  EXPECT_EQ(p.year, 2024);
  EXPECT_EQ(p.month, 2);
  EXPECT_EQ(p.day, 29);
  EXPECT_EQ(p.millisecond, 999);
}

TEST(ClockTest, NowIsToday) {
  double now = platform::now();
  EXPECT_GT(now, platform::encodeDate(2020, 1, 1));
  EXPECT_LT(now, platform::encodeDate(2200, 1, 1));
}

TEST(ClockTest, ShortDateParsesAndRejects) {
  EXPECT_EQ(platform::parseShortDate("01.01.2000"), 36526.0);
  EXPECT_EQ(platform::parseShortDate("1.1.2000"), 36526.0);
  EXPECT_EQ(platform::parseShortDate("29.02.2024"), platform::encodeDate(2024, 2, 29));
  for (const char* bad : {"", "30.02.2024", "1.13.2000", "01.01", "a.b.c", "01.01.2000 ", "1..2000"}) {
    try {
      platform::parseShortDate(bad);
      ADD_FAILURE() << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.message(), std::string("'") + bad + "' is not a valid date");
    }
  }
}

TEST(CodePageTest, EveryByteSurvivesUtf16) {
  std::string all;
  for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
  EXPECT_EQ(platform::utf16ToAnsi(platform::ansiToUtf16(all)), all);
  EXPECT_EQ(platform::utf8ToAnsi(platform::ansiToUtf8(all)), all);
  EXPECT_EQ(platform::ansiToUtf16("\x80\xE4"), u"\u20AC\u00E4");
  EXPECT_EQ(platform::utf16ToAnsi(u"\u0100\U0001F600x"), "??x");
}

TEST(CodePageTest, ConsoleShowsUtf8AndWindows1252) {
  EXPECT_EQ(platform::toConsoleText("K\xFCnstler\r\n"), "K\xC3\xBCnstler\n");
  EXPECT_EQ(platform::toConsoleText("K\xC3\xBCnstler"), "K\xC3\xBCnstler");  // already UTF-8
  EXPECT_EQ(platform::toConsoleText("\x80"), "\xE2\x82\xAC");
  EXPECT_EQ(platform::toConsoleText("a\rb"), "a\rb");
}

TEST(ExceptionTest, WrappingNamesTheClass) {
  EXPECT_EQ(platform::wrapMessage("A.b", EConvertError("bad")), "A.b: (EConvertError) bad");
  EXPECT_EQ(platform::wrapMessage("A.b", std::bad_alloc()), "A.b: (EOutOfMemory) Out of memory.");
  try {
    platform::throwListIndexError(-1);
  } catch (const EListError& e) {
    EXPECT_EQ(e.message(), "Listenindex \xFC" "berschreitet das Maximum (-1)");
  }
}

}  // namespace
