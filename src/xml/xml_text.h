// Text helpers of the XML layer.
//
// The document keeps character data in "stored" form: UTF-8, extended so
// that a surrogate without its partner is kept as its own three-byte
// sequence (the scheme known as WTF-8). Every UTF-16 string therefore
// survives a round trip, the parser can keep expat's UTF-8 output as it is,
// and text costs about one byte a character instead of two.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace xml {

// Appends the stored form of `text` to `out`.
VOSKO_API void appendStored(std::string& out, std::u16string_view text);
VOSKO_API std::string toStored(std::u16string_view text);

// The UTF-16 units of a stored text (also of any valid UTF-8 text).
VOSKO_API std::u16string fromStored(std::string_view stored);
VOSKO_API void appendFromStored(std::u16string& out, std::string_view stored);

// Decodes the stored sequence starting at s[i] into one or two UTF-16 units
// and returns its length in bytes; a malformed byte counts as one unit of its own.
VOSKO_API std::size_t decodeStored(std::string_view s, std::size_t i, char16_t units[2], int* count);

// A Name of XML 1.0 (fifth edition): what an element or attribute may be called.
VOSKO_API bool isXmlName(std::u16string_view name);

VOSKO_API bool isHighSurrogate(char16_t c);
VOSKO_API bool isLowSurrogate(char16_t c);

}  // namespace xml
