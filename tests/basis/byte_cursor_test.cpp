#include "basis/byte_cursor.h"

#include <gtest/gtest.h>

#include <limits>

#include "basis/file.h"
#include "basis/string_value.h"
#include "test_util.h"

using testutil::block;
using testutil::le32;
using testutil::str;

namespace {

TEST(ByteCursorTest, ReadsBackExactlyWhatTFileWrites) {
  std::vector<int32_t> ints{INT32_MIN, INT32_MAX};
  for (int shift = 0; shift < 31; ++shift) {
    for (int64_t v : {(int64_t{1} << shift) - 1, int64_t{1} << shift, (int64_t{1} << shift) + 1}) {
      ints.insert(ints.end(), {static_cast<int32_t>(v), static_cast<int32_t>(-v)});
    }
  }
  using Limits = std::numeric_limits<double>;
  const double doubles[] = {0.0, -0.0, 1.5, -45000.75, 1e300, Limits::denorm_min(), Limits::infinity()};
  const std::string texts[] = {"", "a", std::string(255, '\xff'), std::string(70000, '\0')};
  TString object("ab");
  testutil::TempDir dir;
  std::string expected;
  TFile file(dir.file("values.bin"), true, "");
  for (int32_t v : ints) file.writeInt(v), expected += le32(v);
  for (double d : doubles) file.writeDouble(d), expected += testutil::dbl(d);
  for (const std::string& s : texts) file.writeString(s), expected += str(s);
  file.writeTPObject(object);
  expected += testutil::object("TString", str("ab"));
  file.close();
  const std::string bytes = testutil::readFile(dir.file("values.bin"));
  ASSERT_EQ(bytes, expected);

  ByteCursor in(bytes);
  int32_t number = 0;
  double real = 0;
  std::string_view text;
  for (int32_t v : ints) EXPECT_TRUE(in.int32(number) && number == v) << v;
  for (double d : doubles) EXPECT_TRUE(in.number(real) && testutil::dbl(real) == testutil::dbl(d)) << d;
  for (const std::string& s : texts) EXPECT_TRUE(in.text(text) && text == s) << s.size();
  ByteCursor contents;
  EXPECT_TRUE(in.className("TString") && in.block(contents) && contents.text(text) && text == "ab");
  EXPECT_TRUE(contents.empty() && in.ok() && in.empty());
}

// An object whose block holds an int32, a double, a text and a block with a text.
bool readSample(ByteCursor& in) {
  ByteCursor outer, inner;
  int32_t number = 0;
  double real = 0;
  std::string_view text;
  return in.className("TSample") && in.block(outer) && outer.int32(number) && outer.number(real) &&
         outer.text(text) && outer.block(inner) && inner.text(text) && inner.empty() && outer.empty() &&
         in.empty();
}

TEST(ByteCursorTest, FailsAtEveryTruncationAndOnBadLengthsAndNames) {
  const std::string lead = le32(3) + testutil::dbl(2.5);
  const struct {
    std::string bytes;
    bool ok;
  } cases[] = {
      {testutil::object("TSample", lead + str("abc") + block(str("de"))), true},
      {testutil::object("TSample", lead + le32(-5) + block(str("de"))), true},  // a negative length: empty
      {testutil::object("TSample", lead + str("abc") + le32(-1)), false},       // a negative block
      {testutil::object("TSampleX", lead + str("abc") + block(str(""))), false},
  };
  for (const auto& c : cases) {
    ByteCursor whole(c.bytes);
    EXPECT_EQ(readSample(whole), c.ok) << testutil::hex(c.bytes);
    for (size_t n = 0; c.ok && n < c.bytes.size(); ++n) {
      ByteCursor in(std::string_view(c.bytes).substr(0, n));
      EXPECT_FALSE(readSample(in)) << n;
      EXPECT_FALSE(in.ok() || in.skip(0) || in.skip(1)) << n;  // and stays failed
    }
  }
  const std::string bytes = block("ab") + "cd";  // a block bounds the reads inside it
  ByteCursor in(bytes), contents;
  EXPECT_TRUE(in.block(contents) && !contents.skip(3) && in.rest() == "cd");
}

}  // namespace
