// The program's 8-bit strings are Windows-1252 text (the fixed ANSI code page).
// These conversions map them to UTF-16 for the XML layer, to UTF-8 for files
// that are UTF-8 by nature (the settings store), and to what the console shows.
//
// The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the control characters of the same number, so every byte
// survives a round trip through UTF-16.
#pragma once

#include <string>
#include <string_view>

#include "platform/export.h"

namespace platform {

VOSKO_API std::u16string ansiToUtf16(std::string_view s);
// A character without a Windows-1252 byte becomes "?".
VOSKO_API std::string utf16ToAnsi(std::u16string_view s);

VOSKO_API std::string ansiToUtf8(std::string_view s);
// Invalid UTF-8 bytes and characters without a Windows-1252 byte become "?".
VOSKO_API std::string utf8ToAnsi(std::string_view s);

// The console rule: CR LF becomes LF; a valid UTF-8 sequence passes through,
// any other byte is shown as its Windows-1252 character in UTF-8. Control
// characters other than tab and LF (C0, DEL, C1, a lone CR) are shown as
// "\x1B" with two upper-case hex digits, so nothing read from a file can steer
// the terminal. A result passes unchanged through a second time.
VOSKO_API std::string toConsoleText(std::string_view s);
// toConsoleText(s) appended to `out`.
VOSKO_API void appendConsoleText(std::string& out, std::string_view s);

// The UTF-16 code unit of one Windows-1252 byte.
VOSKO_API char16_t ansiCharToUtf16(unsigned char c);

}  // namespace platform
