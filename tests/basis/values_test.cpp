#include <gtest/gtest.h>

#include <limits>

#include "basis/boolean_value.h"
#include "basis/date_time_value.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/integer_value.h"
#include "basis/string_value.h"
#include "basis/text_file.h"
#include "fault_loop.h"
#include "platform/clock.h"
#include "test_util.h"

namespace {

TEST(TStringTest, HelpersFollowTheirOneBasedRules) {
  EXPECT_EQ(TString::zeroPad(7, 3), "007");
  EXPECT_EQ(TString::zeroPad(1234, 2), "1234");
  EXPECT_EQ(TString::zeroPad(-5, 4), "00-5");
  EXPECT_EQ(TString::indexOf("b", "abcb", 1), 2);
  EXPECT_EQ(TString::indexOf("b", "abcb", 3), 4);
  EXPECT_EQ(TString::indexOf("b", "abcb", 0), 0);
  EXPECT_EQ(TString::indexOf("b", "abcb", 5), 0);
  EXPECT_EQ(TString::indexOf("x", "abcb", 1), 0);
  EXPECT_TRUE(TString::containsIgnoreCase("Hello World", "o w"));
  EXPECT_TRUE(TString::containsIgnoreCase("abc", ""));
  EXPECT_FALSE(TString::containsIgnoreCase("abc", "abcd"));
  EXPECT_TRUE(TString::startsWith("system.Key", "SYSTEM."));
  EXPECT_FALSE(TString::startsWith("system.Key", "SYSTEM.", true));
  EXPECT_TRUE(TString::startsWith("x", ""));
  EXPECT_FALSE(TString::startsWith("ab", "abc"));
  EXPECT_EQ(TString::removeChar("a\tb\tc", '\t'), "abc");
  // Case folding stays in the ASCII range: an umlaut is its own byte.
  EXPECT_FALSE(TString::containsIgnoreCase("\xE4", "\xC4"));
}

TEST(TStringTest, EqualsHashAndClone) {
  TString a("abc"), b("abc"), c("ABC");
  EXPECT_TRUE(a.equals(&b));
  EXPECT_FALSE(a.equals(&c));
  EXPECT_FALSE(a.equals(nullptr));
  EXPECT_EQ(a.hashCode(), 97 + 98 + 99);
  EXPECT_EQ(TString("\xFF").hashCode(), 255);
  auto copy = cloneAs(a);
  EXPECT_EQ(copy->getValue(), "abc");
  EXPECT_NE(copy.get(), &a);
}

TEST(TIntegerTest, ParsesDecimalAndRejectsTheRest) {
  EXPECT_EQ(TInteger::parse("12"), 12);
  EXPECT_EQ(TInteger::parse("-2147483648"), INT32_MIN);
  EXPECT_EQ(TInteger::parse("2147483647"), INT32_MAX);
  EXPECT_EQ(TInteger::parse("$FF"), 255);
  for (const char* bad : {"", "-", "1 2", "12 ", "2147483648", "abc", "1.0"}) {
    try {
      TInteger::parse(bad);
      ADD_FAILURE() << bad;
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.message(), std::string("'") + bad + "' is not a valid integer value");
    }
  }
  TInteger a(5), b(5);
  EXPECT_TRUE(a.equals(&b));
  EXPECT_EQ(a.hashCode(), 5);
  EXPECT_EQ(a.toString(), "5");
}

TEST(TBooleanTest, FromStringAcceptsAnyCase) {
  EXPECT_TRUE(TBoolean::fromString("TRUE"));
  EXPECT_FALSE(TBoolean::fromString("False"));
  try {
    TBoolean::fromString("yes");
    ADD_FAILURE();
  } catch (const ParserException& e) {
    EXPECT_EQ(e.message(), "TBoolean.fromString: No such boolean value: 'yes'.");
    EXPECT_EQ(e.position(), 1);
  }
  TBoolean a(true), b(true);
  EXPECT_FALSE(a.equals(&b));  // identity only
  EXPECT_TRUE(a.equals(&a));
}

TEST(ParserExceptionTest, PositionPastTheEndQuotesNothing) {
  EXPECT_EQ(ParserException("Op", "abcdef", "Bad", 3).message(), "Op: Bad: 'cdef'.");
  EXPECT_EQ(ParserException("Op", "abc", "Bad", 4).message(), "Op: Bad: ''.");
}

TEST(TTDateTimeTest, MillisBetween) {
  double a = platform::encodeDate(2020, 2, 28) + platform::encodeTime(23, 59, 59, 500);
  EXPECT_EQ(TTDateTime::millisBetween(a, a), 0);
  EXPECT_EQ(TTDateTime::millisBetween(a + 1, a), 0);
  double b = a + 1 + platform::encodeTime(0, 0, 1, 500);
  EXPECT_EQ(TTDateTime::millisBetween(a, b), 86400000 + 1500);
  // A gap a hair under a whole day is a whole day.
  EXPECT_EQ(TTDateTime::millisBetween(0.25, 1.25 - 1e-12), 86400000);
  // Values from a damaged file are no dates and give no figure.
  EXPECT_EQ(TTDateTime::millisBetween(0, 1e300), 0);
  EXPECT_EQ(TTDateTime::millisBetween(0, std::numeric_limits<double>::infinity()), 0);
  EXPECT_EQ(TTDateTime(platform::encodeDate(2026, 12, 7) + platform::encodeTime(8, 5, 3, 0)).toString(),
            "07.12.2026 08:05:03");
}

TEST(ValuesTest, RoundTripThroughTheContainer) {
  testutil::TempDir dir;
  const std::string value("a\xE4\0b", 4);
  TString s(value);
  s.store(dir.file("s.bin"));
  EXPECT_EQ(testutil::readFile(dir.file("s.bin")), testutil::le32(8) + testutil::str(value));
  TString back;
  back.load(dir.file("s.bin"));
  EXPECT_EQ(back.getValue(), value);

  TTDateTime d(-1.25);
  d.store(dir.file("d.bin"));
  TTDateTime dBack;
  dBack.load(dir.file("d.bin"));
  EXPECT_EQ(dBack.getValue(), -1.25);
}

class TDefaults : public TPObject {
 public:
  VOSKO_CLASS_NAME(TDefaults)
};

TEST(TPObjectTest, DefaultsOfTheRoot) {
  TDefaults a, b;
  EXPECT_FALSE(a.equals(&b));
  EXPECT_TRUE(a.equals(&a));
  EXPECT_EQ(a.hashCode(), a.hashCode());
  EXPECT_EQ(a.toString(), "TDefaults");

  testutil::TempDir dir;
  a.print(dir.file("a.txt"));
  a.printAppend(dir.file("a.txt"));
  EXPECT_EQ(testutil::readFile(dir.file("a.txt")), "TDefaults\r\nTDefaults\r\n");
}

TEST(TPObjectTest, HandlersReplaceTheVirtualOperations) {
  testutil::TempDir dir;
  TDefaults a;
  a.setOnWrite([](TFile& f) { f.writeInt(42); });
  a.setOnPrint([](TTextFile& f) { f.writeln("printed"); });
  int seen = 0;
  a.setOnRead([&](TFile& f) { seen = f.readInt(); });
  a.store(dir.file("h.bin"));
  EXPECT_EQ(testutil::readFile(dir.file("h.bin")), testutil::le32(4) + testutil::le32(42));
  a.load(dir.file("h.bin"));
  EXPECT_EQ(seen, 42);
  a.print(dir.file("h.txt"));
  EXPECT_EQ(testutil::readFile(dir.file("h.txt")), "printed\r\n");
}

TEST(TTextFileTest, WritingAndAppendingLeaveTheOldFileOrTheNewOne) {
  testutil::TempDir dir;
  const std::string path = dir.file("t.txt");
  for (int32_t mode : {TTextFile::modeWrite(), TTextFile::modeAppend()}) {
    testutil::expectOldOrNewUnderFaults(
        dir, path, [&] { testutil::writeFile(path, "old\r\n"); },
        [&] {
          // An append is whole write by write; a written file is whole at close.
          TTextFile file(path, mode);
          file.writeln("one");
          if (mode == TTextFile::modeWrite()) file.write("two");
          file.close();
        });
  }
  // A text file being written is not put in place when an exception unwinds past it.
  testutil::writeFile(path, "old\r\n");
  try {
    TTextFile file(path, TTextFile::modeWrite());
    file.writeln("half");
    throw IOException("stop");
  } catch (const IOException&) {
  }
  EXPECT_EQ(testutil::readFile(path), "old\r\n");
  EXPECT_EQ(dir.entries(), std::vector<std::string>{"t.txt"});
}

TEST(TTextFileTest, LinesAndMessages) {
  testutil::TempDir dir;
  std::string name = dir.file("t.txt");
  {
    TTextFile out(name, TTextFile::modeWrite());
    EXPECT_EQ(out.getLineNumber(), 1);
    out.writeln("one");
    out.write("two");
    out.writeln("");
    EXPECT_EQ(out.getLineNumber(), 3);
  }
  EXPECT_EQ(testutil::readFile(name), "one\r\ntwo\r\n");
  testutil::writeFile(name, "a\r\nb\nc\rd");
  TTextFile in(name, TTextFile::modeRead());
  EXPECT_EQ(in.read(), "a");
  EXPECT_EQ(in.readln(), "a");
  EXPECT_EQ(in.readln(), "b");
  EXPECT_EQ(in.readln(), "c");
  EXPECT_FALSE(in.eof());
  EXPECT_EQ(in.readln(), "d");
  EXPECT_TRUE(in.eof());
  EXPECT_EQ(in.getLineNumber(), 5);

  std::string missing = dir.file("none.txt");
  try {
    TTextFile f(missing, TTextFile::modeRead());
    ADD_FAILURE();
  } catch (const IOException& e) {
    EXPECT_EQ(e.message(), "TTextFile.open: File '" + missing + "' does not exist.");
  }
  try {
    TTextFile f("", TTextFile::modeWrite());
    ADD_FAILURE();
  } catch (const IOException& e) {
    EXPECT_EQ(e.message(), "TTextFile.open: Missing filename, can't write to stdout.");
  }
  chmod(name.c_str(), 0444);
  try {
    TTextFile f(name, TTextFile::modeAppend());
    ADD_FAILURE();
  } catch (const IOException& e) {
    EXPECT_EQ(e.message(), "TTextFile.open: Try to write read only file '" + name + "'.");
  }
  EXPECT_THROW(TTextFile(missing, TTextFile::modeAppend()), IOException);
}

}  // namespace
