#include <gtest/gtest.h>

#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/exception.h"
#include "platform/temp_files.h"

namespace {

TEST(ClockTest, DayZeroIsTheLastButOneDayOf1899) {
  EXPECT_EQ(platform::encodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(platform::encodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(platform::encodeDate(2000, 1, 1), 36526.0);
  EXPECT_EQ(platform::formatShortDate(0), "30.12.1899");
  EXPECT_EQ(platform::formatDateTime(36526.75), "01.01.2000 18:00:00");
  // Before day zero the fraction still counts from midnight.
  EXPECT_EQ(platform::formatDateTime(-1.25), "29.12.1899 06:00:00");
  platform::DateTimeParts p =
      platform::decodeDateTime(platform::encodeDate(2024, 2, 29) + platform::encodeTime(23, 59, 59, 999));
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
  EXPECT_EQ(platform::toConsoleText("a\rb"), "a\\x0Db");
}

TEST(CodePageTest, ConsoleShowsControlCharactersEscaped) {
  const std::string cases[][2] = {
      {"\x1B]0;x\x07\x1B[2J", "\\x1B]0;x\\x07\\x1B[2J"},
      {std::string("a\0\tb\x7F\n", 6), "a\\x00\tb\\x7F\n"},
      {"\x81\x8D\x8F\x90\x9D", "\\x81\\x8D\\x8F\\x90\\x9D"},  // undefined in Windows-1252
      {"\xC2\x9Bm\xC2\x85\x9B", "\\x9Bm\\x85\xE2\x80\xBA"},   // C1 in UTF-8; Windows-1252 0x9B
  };
  for (const auto& [in, shown] : cases) {
    EXPECT_EQ(platform::toConsoleText(in), shown);
    EXPECT_EQ(platform::toConsoleText(shown), shown);
  }
}

TEST(ExceptionTest, WrappingNamesTheClass) {
  EXPECT_EQ(platform::wrapMessage("A.b", EConvertError("bad")), "A.b: (EConvertError) bad");
  EXPECT_EQ(platform::wrapMessage("A.b", std::bad_alloc()), "A.b: (EOutOfMemory) Out of memory.");
  try {
    platform::throwListIndexError(-1);
  } catch (const EListError& e) {
    EXPECT_EQ(e.message(),
              "Listenindex \xFC"
              "berschreitet das Maximum (-1)");
  }
}

TEST(StartUpTest, SignalIgnoredAtStartStaysIgnored) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // a fresh process, whose start-up has not run
  auto startUpUnderNohup = [] {
    std::signal(SIGHUP, SIG_IGN);
    platform::platformStartUp();
    std::_Exit(std::signal(SIGHUP, SIG_IGN) == SIG_IGN ? 0 : 1);
  };
  EXPECT_EXIT(startUpUnderNohup(), ::testing::ExitedWithCode(0), "");
}

}  // namespace
