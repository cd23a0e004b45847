#include "basis/string_tokenizer.h"

#include <gtest/gtest.h>

#include "basis/exceptions.h"
#include "expect_message.h"

namespace {

TEST(StringTokenizerTest, RunsOfDefaultDelimitersGiveNoEmptyTokens) {
  TStringTokenizer tokens("a  b");
  EXPECT_EQ(tokens.nextToken(), "a");
  EXPECT_EQ(tokens.nextToken(), "b");
  EXPECT_EQ(messageOf<NoSuchElementException>([&] { tokens.nextToken(); }),
            "TStringTokenizer: No more tokens in: a  b.");
}

TEST(StringTokenizerTest, ReturnedDelimitersAreTokensOfTheirOwn) {
  TStringTokenizer tokens("a  b", true, " ");
  EXPECT_EQ(tokens.nextToken(), "a");
  EXPECT_EQ(tokens.nextToken(), " ");
  EXPECT_EQ(tokens.nextToken(), " ");
  EXPECT_EQ(tokens.nextToken(), "b");
  EXPECT_FALSE(tokens.hasMoreTokens());
}

TEST(StringTokenizerTest, DelimitersMatchLettersOfEitherCase) {
  TStringTokenizer tokens("aXb", "x");
  EXPECT_EQ(tokens.nextToken(), "a");
  EXPECT_EQ(tokens.nextToken(), "b");
}

TEST(StringTokenizerTest, DefaultDelimitersAreTabCrAndBlankNotLineFeed) {
  TStringTokenizer tokens("a\tb\rc d\ne");
  EXPECT_EQ(tokens.countTokens(), 4);
  TStringTokenizer none(" \t\r ");
  EXPECT_EQ(none.countTokens(), 0);
  EXPECT_FALSE(none.hasMoreTokens());
  EXPECT_EQ(TStringTokenizer("").countTokens(), 0);
}

TEST(StringTokenizerTest, LookAheadLeavesThePositionUnchanged) {
  TStringTokenizer tokens("x, y,,z", ", ");
  EXPECT_EQ(tokens.nextToken(), "x");
  const int32_t position = tokens.getPosition();
  EXPECT_EQ(tokens.countTokens(), 2);
  EXPECT_EQ(tokens.getPosition(), position);
  EXPECT_TRUE(tokens.hasMoreTokens());
  EXPECT_EQ(tokens.getPosition(), position);
  EXPECT_EQ(tokens.nextToken(), "y");
  EXPECT_EQ(tokens.nextToken(), "z");
}

TEST(StringTokenizerTest, LookAheadReplacesTheCallersMark) {
  TStringTokenizer tokens("a b c");
  tokens.mark();
  tokens.nextToken();
  const int32_t afterFirst = tokens.getPosition();
  tokens.hasMoreTokens();
  tokens.reset();
  EXPECT_EQ(tokens.getPosition(), afterFirst);
}

TEST(StringTokenizerTest, FailedScanStaysWhereItEnded) {
  TStringTokenizer tokens("a   ");
  tokens.nextToken();
  EXPECT_THROW(tokens.nextToken(), NoSuchElementException);
  EXPECT_EQ(tokens.getPosition(), 5);
}

}  // namespace
