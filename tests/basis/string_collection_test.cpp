#include "basis/string_collection.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/hash_set.h"
#include "basis/integer_value.h"
#include "basis/string_value.h"
#include "basis/text_file.h"
#include "expect_message.h"
#include "test_util.h"

using testutil::block;
using testutil::le32;
using testutil::str;

namespace {

class StringCollectionTest : public testing::Test {
 protected:
  testutil::TempDir dir;
};

TEST_F(StringCollectionTest, TextIsSplitAtLineBreaksDroppingEmptyLines) {
  TStringCollection lines("a\r\n\r\nb");
  ASSERT_EQ(lines.count(), 2);
  EXPECT_EQ(lines.get(0), "a");
  EXPECT_EQ(lines.get(1), "b");
  EXPECT_EQ(TStringCollection("\n\r\r\n").count(), 0);
  EXPECT_EQ(TStringCollection("x y\tz").count(), 1);  // only CR and LF split lines
}

TEST_F(StringCollectionTest, TextEndsEveryLineWithCrLf) {
  TStringCollection lines;
  EXPECT_EQ(lines.getText(), "");
  lines.add("a");
  lines.addEmpty();
  lines.add("b");
  EXPECT_EQ(lines.getText(), "a\r\n\r\nb\r\n");
  EXPECT_EQ(lines.toString(), lines.getText());
}

TEST_F(StringCollectionTest, EqualityComparesTheTexts) {
  TStringCollection one;
  one.add("a\r\nb");
  TStringCollection two;
  two.add("a");
  two.add("b");
  EXPECT_TRUE(one.equals(&two));
  two.add("");
  EXPECT_FALSE(one.equals(&two));
  TString text("a\r\nb\r\n");
  EXPECT_FALSE(one.equals(&text));
}

TEST_F(StringCollectionTest, FromSetTakesStringsInIterationOrder) {
  THashSet set(true);
  set.add(new TString("b"));
  set.add(new TInteger(1));
  set.add(new TString("a"));
  TStringCollection lines(&set);
  EXPECT_EQ(lines.getText(), "a\r\nb\r\n");
  EXPECT_EQ(messageOf<IllegalArgumentException>(
                [] { TStringCollection bad(static_cast<const THashSet*>(nullptr)); }),
            "TStringCollection.<init>: HashSet mustn't be nil.");
}

TEST_F(StringCollectionTest, IndexOutOfRangeIsAListError) {
  TStringCollection lines;
  lines.add("a");
  EXPECT_EQ(lines.appendTo(0, "bc"), "abc");
  EXPECT_EQ(messageOf<EListError>([&] { lines.get(1); }),
            "Listenindex \xFC"
            "berschreitet das Maximum (1)");
  EXPECT_EQ(messageOf<EListError>([&] { lines.appendTo(-1, "x"); }),
            "Listenindex \xFC"
            "berschreitet das Maximum (-1)");
}

TEST_F(StringCollectionTest, StoredFormIsCountAndStrings) {
  TStringCollection lines;
  lines.add("ab");
  lines.addEmpty();
  lines.store(dir.file("c.bin"));
  EXPECT_EQ(testutil::readFile(dir.file("c.bin")), block(le32(2) + str("ab") + le32(0)));

  TStringCollection back;
  back.add("old");
  back.load(dir.file("c.bin"));
  EXPECT_EQ(back.getText(), "ab\r\n\r\n");
  auto copy = cloneAs<TStringCollection>(back);
  EXPECT_TRUE(copy->equals(&back));
}

TEST_F(StringCollectionTest, CountBeyondTheDataFailsWithShortRead) {
  for (int32_t count : {3, 0x7FFFFFFF}) {
    testutil::writeFile(dir.file("c.bin"), block(le32(count) + str("a")));
    TStringCollection lines;
    EXPECT_EQ(messageOf<IOException>([&] { lines.load(dir.file("c.bin")); }),
              "TFile: Read-Buffer too small or too large, file corrupt: 9@buffer.");
  }
}

TEST_F(StringCollectionTest, ReadLinesReadsUpToMaxThenTheRest) {
  testutil::writeFile(dir.file("t.txt"), "one\r\ntwo\nthree\r\n\r\nfive");
  TTextFile file(dir.file("t.txt"), TTextFile::modeRead());
  EXPECT_EQ(file.readLines(2)->getText(), "one\r\ntwo\r\n");
  EXPECT_EQ(file.readLines(0)->count(), 0);
  EXPECT_EQ(file.readLines()->getText(), "three\r\n\r\nfive\r\n");
  EXPECT_EQ(file.readLines()->count(), 0);
}

TEST_F(StringCollectionTest, ReadLinesFailureIsWrapped) {
  testutil::writeFile(dir.file("t.txt"), "one\r\n");
  TTextFile file(dir.file("t.txt"), TTextFile::modeRead());
  file.close();
  std::string message = messageOf<IOException>([&] { file.readLines(); });
  EXPECT_EQ(message.rfind("TTextFile.readLines: TTextFile.eof: ", 0), 0u) << message;
}

}  // namespace
