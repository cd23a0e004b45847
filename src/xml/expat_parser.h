// The expat parser as every reader of documents in the system sets it up, so
// that a document one reader takes reads the same in every other: namespaces
// processed (names reported as "uri SEP local SEP prefix"), no parameter
// entity and no external DTD subset ever read, expat's protection against
// entity amplification left on, and the 8-bit encodings expat does not read
// itself taken through tables (xml_encoding.h). Each reader adds its own
// handlers; none installs an external-entity handler.
#pragma once

#include <expat.h>

#include <cstdint>

#include "platform/export.h"

namespace xml {

// Separates namespace URI, local name and prefix in the names expat reports;
// the byte never occurs in UTF-8 text.
inline constexpr char kNamespaceSeparator = '\xFF';
// The smallest piece of a file handed to the parser at once.
inline constexpr int kFilePiece = 64 * 1024;

// A new parser set up as above; null when memory is short. The caller frees
// it with XML_ParserFree.
VOSKO_API XML_Parser createParser();

// The size of the next piece of a file when the parser still holds
// `unparsed` bytes of an unfinished token: expat scans such a token again
// from its start with every piece, so the piece grows with it (up to 1 GiB,
// expat's buffer being indexed by int) to keep the work linear.
VOSKO_API int filePieceSize(std::int64_t unparsed);

}  // namespace xml
