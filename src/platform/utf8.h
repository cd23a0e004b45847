// UTF-8, the one coding of text files by nature (the settings store, the
// document files, the console): a code point written as one to four bytes,
// and the sequence at a position read back with a clear verdict.
//
// The decoder names what it found rather than deciding for the caller: a
// lead byte with its continuation bytes is a sequence even when Unicode
// forbids it (an overlong form, a surrogate, a value above U+10FFFF), and
// valid() says whether it is allowed. Strict readers take only valid ones;
// the document's stored form also keeps surrogates (xml_text.h).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace platform {

// One UTF-8 sequence as decodeUtf8 found it: its code point and the bytes it took.
struct VOSKO_API Utf8Char {
  char32_t code = 0;
  // Bytes taken: 1 to 4, or 0 where no sequence starts (a continuation byte,
  // a byte F8..FF, continuation bytes missing or cut off by the end).
  std::size_t length = 0;

  // A sequence of standard UTF-8: shortest form, not a surrogate, within Unicode.
  bool valid() const;
};

// The sequence starting at s[i]. REQUIRES: i < s.size().
VOSKO_API Utf8Char decodeUtf8(std::string_view s, std::size_t i);

// Every byte belongs to a valid sequence.
VOSKO_API bool isValidUtf8(std::string_view s);

// Appends the shortest bytes for `code`; a surrogate gets its own three bytes.
// REQUIRES: code <= U+10FFFF.
VOSKO_API void appendUtf8(std::string& out, char32_t code);

}  // namespace platform
