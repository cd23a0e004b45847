#include "platform/message_value.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(MessageValueTest, LongValuesAreCutAndMarked) {
  const std::string a199(199, 'a');
  EXPECT_EQ(platform::messageValue(a199 + "\xE4"), a199 + "\xE4");
  EXPECT_EQ(platform::messageValue(a199 + "\xE4\xE4"), a199 + "\xE4... (201 bytes)");  // Windows-1252
  EXPECT_EQ(platform::messageValue(a199 + "\xC3\xA4"), a199 + "... (201 bytes)");      // UTF-8
}

// A UTF-8 character of every length, from ending right at the limit to
// starting on it: the cut falls before a character that it would split.
TEST(MessageValueTest, CutNeverSplitsAUtf8Character) {
  const struct {
    const char* character;
    size_t start;
    size_t kept;
  } cases[] = {
      {"\xC3\xA4", 198, 200},         {"\xC3\xA4", 199, 199},         {"\xC3\xA4", 200, 200},
      {"\xE2\x82\xAC", 197, 200},     {"\xE2\x82\xAC", 198, 198},     {"\xE2\x82\xAC", 199, 199},
      {"\xE2\x82\xAC", 200, 200},     {"\xF0\x9F\x98\x80", 196, 200}, {"\xF0\x9F\x98\x80", 197, 197},
      {"\xF0\x9F\x98\x80", 198, 198}, {"\xF0\x9F\x98\x80", 199, 199}, {"\xF0\x9F\x98\x80", 200, 200},
  };
  for (const auto& c : cases) {
    const std::string value = std::string(c.start, 'a') + c.character + std::string(10, 'b');
    EXPECT_EQ(platform::messageValue(value),
              value.substr(0, c.kept) + "... (" + std::to_string(value.size()) + " bytes)")
        << std::char_traits<char>::length(c.character) << " bytes at " << c.start;
  }
}

}  // namespace
