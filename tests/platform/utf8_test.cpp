// UTF-8 coding: what the decoder finds at a position and whether it is
// valid, the exact bytes the encoder writes, and every code point both ways.
#include "platform/utf8.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct DecodeCase {
  const char* name;
  std::string bytes;
  std::size_t at;
  char32_t code;
  std::size_t length;  // 0: no sequence
  bool valid;
};

TEST(Utf8Test, DecodeNamesTheSequenceAndItsValidity) {
  const DecodeCase cases[] = {
      {"ascii", "A", 0, 0x41, 1, true},
      {"nul", std::string(1, '\0'), 0, 0, 1, true},
      {"two bytes", "\xC3\xA4", 0, 0xE4, 2, true},
      {"after ascii", "x\xC3\xA4", 1, 0xE4, 2, true},
      {"overlong two", "\xC0\x80", 0, 0, 2, false},
      {"overlong two, highest", "\xC1\xBF", 0, 0x7F, 2, false},
      {"smallest three", "\xE0\xA0\x80", 0, 0x800, 3, true},
      {"overlong three", "\xE0\x9F\xBF", 0, 0x7FF, 3, false},
      {"below surrogates", "\xED\x9F\xBF", 0, 0xD7FF, 3, true},
      {"high surrogate", "\xED\xA0\x80", 0, 0xD800, 3, false},
      {"low surrogate", "\xED\xBF\xBF", 0, 0xDFFF, 3, false},
      {"above surrogates", "\xEE\x80\x80", 0, 0xE000, 3, true},
      {"largest three", "\xEF\xBF\xBF", 0, 0xFFFF, 3, true},
      {"overlong four", "\xF0\x8F\xBF\xBF", 0, 0xFFFF, 4, false},
      {"smallest four", "\xF0\x90\x80\x80", 0, 0x10000, 4, true},
      {"last code point", "\xF4\x8F\xBF\xBF", 0, 0x10FFFF, 4, true},
      {"beyond Unicode", "\xF4\x90\x80\x80", 0, 0x110000, 4, false},
      {"largest four", "\xF7\xBF\xBF\xBF", 0, 0x1FFFFF, 4, false},
      {"five-byte lead", "\xF8\x88\x80\x80\x80", 0, 0, 0, false},
      {"byte FF", "\xFF", 0, 0, 0, false},
      {"stray continuation", "\x80", 0, 0, 0, false},
      {"cut after lead", "\xC3", 0, 0, 0, false},
      {"cut in three", "ab\xE2\x82", 2, 0, 0, false},
      {"cut in four", "\xF0\x90\x80", 0, 0, 0, false},
      {"no continuation", "\xE2\x28\xA1", 0, 0, 0, false},
  };
  for (const DecodeCase& c : cases) {
    platform::Utf8Char d = platform::decodeUtf8(c.bytes, c.at);
    EXPECT_EQ(d.length, c.length) << c.name;
    if (c.length > 0) {
      EXPECT_EQ(d.code, c.code) << c.name;
    }
    EXPECT_EQ(d.valid(), c.valid) << c.name;
  }
}

TEST(Utf8Test, EncodeWritesTheShortestBytes) {
  const std::pair<char32_t, std::string> cases[] = {
      {0x00, std::string(1, '\0')},
      {0x7F, "\x7F"},
      {0x80, "\xC2\x80"},
      {0x7FF, "\xDF\xBF"},
      {0x800, "\xE0\xA0\x80"},
      {0xD800, "\xED\xA0\x80"},
      {0xFFFF, "\xEF\xBF\xBF"},
      {0x10000, "\xF0\x90\x80\x80"},
      {0x10FFFF, "\xF4\x8F\xBF\xBF"},
  };
  for (const auto& [code, bytes] : cases) {
    std::string out = "<";
    platform::appendUtf8(out, code);
    EXPECT_EQ(out, "<" + bytes) << std::hex << static_cast<unsigned long>(code);
  }
}

TEST(Utf8Test, EveryCodePointRoundTrips) {
  for (char32_t code = 0; code <= 0x10FFFF; ++code) {
    std::string bytes;
    platform::appendUtf8(bytes, code);
    platform::Utf8Char d = platform::decodeUtf8(bytes, 0);
    const bool surrogate = code >= 0xD800 && code <= 0xDFFF;
    if (d.code != code || d.length != bytes.size() || d.valid() == surrogate ||
        platform::isValidUtf8(bytes) == surrogate) {
      FAIL() << std::hex << static_cast<unsigned long>(code);
    }
  }
}

TEST(Utf8Test, ValidTextHasNoBadSequenceAnywhere) {
  const std::pair<std::string, bool> cases[] = {
      {"", true},
      {"plain", true},
      {"a\xC3\xA4"
       "b\xF0\x9F\x8E\xB5",
       true},
      {"a\x80", false},
      {"ends cut \xC3", false},
      {"\xED\xA0\x80\xED\xB0\x80", false},  // a surrogate pair spelled in UTF-8
      {"ok \xF4\x90\x80\x80", false},
      {"\xC0\xAF", false},
  };
  for (const auto& [text, valid] : cases) EXPECT_EQ(platform::isValidUtf8(text), valid) << text;
}

}  // namespace
