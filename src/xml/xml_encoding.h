// The 8-bit encodings the parser accepts beyond those expat reads itself
// (UTF-8, UTF-16, ISO-8859-1, US-ASCII), each by any of its names compared
// without regard to case: ISO-8859-1 ("Latin-1") through ISO-8859-10
// ("Latin-6"), ISO-8859-13 to -15 ("Latin-7" to "Latin-9"), KOI8-R,
// cp10000_MacRoman, and Windows-1250 to -1252 ("cp1250" to "cp1252"), plus
// "Cyrillic", "Arabic", "Greek", "Hebrew" and "Latin-5" for ISO-8859-5 to -9.
//
// The byte tables are built with iconv when an encoding is first asked for
// and kept for the life of the process.
#pragma once

#include <string_view>

#include "platform/export.h"

namespace xml {

// The iconv name of an accepted encoding name, or null.
VOSKO_API const char* iconvEncodingName(std::string_view name);

// Fills `table` with the code point of each byte, -1 where the encoding
// defines none. False for an encoding that is not accepted or that the
// system's iconv does not know.
VOSKO_API bool singleByteTable(std::string_view name, int table[256]);

}  // namespace xml
