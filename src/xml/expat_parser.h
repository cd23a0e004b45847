// The expat parser as every reader of documents in the system sets it up, so
// that a document one reader takes reads the same in every other: namespaces
// processed (names reported as "uri SEP local SEP prefix"), no parameter
// entity and no external DTD subset ever read, expat's protection against
// entity amplification left on, and the 8-bit encodings expat does not read
// itself taken through tables (xml_encoding.h). Each reader adds its own
// handlers; none installs an external-entity handler.
//
// Memory: reading a document may take kMemoryFloor bytes and kMemoryPerByte
// bytes for each byte of the document, expat's own memory (counted through
// the allocator it is given) and what the reader builds (which the reader
// counts) together. A document that needs more is refused, with a message
// naming the limit, instead of taking memory out of all proportion to its
// size: a start tag of millions of attributes, a name of a hundred
// megabytes, elements nested a million deep.
//
// Feeding: a file is read in pieces straight into expat's buffer. A piece is
// 64 KiB, or as large as what expat still holds of an unfinished token:
// expat scans such a token again from its start with every piece, so fixed
// pieces would make a long attribute value or comment cost the square of its
// length.
#pragma once

#include <expat.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/export.h"
#include "platform/os_file.h"

namespace xml {

// Separates namespace URI, local name and prefix in the names expat reports;
// the byte never occurs in UTF-8 text.
inline constexpr char kNamespaceSeparator = '\xFF';
// The smallest piece of a file handed to the parser at once.
inline constexpr int kFilePiece = 64 * 1024;
// What reading a document may take: the floor covers the parser's own
// buffers and small documents. The tree of an ordinary export takes up to
// six bytes for each byte of the document and the model built from it up to
// three more (titles of empty texts, the densest); ten leave room, and the
// shapes this guards against take far more (25 for millions of attributes,
// 30 for deep nesting).
inline constexpr std::int64_t kMemoryFloor = std::int64_t{64} << 20;
inline constexpr std::int64_t kMemoryPerByte = 10;

// The size of the next piece of a file when the parser still holds
// `unparsed` bytes of an unfinished token: the piece grows with the token
// (up to 1 GiB, expat's buffer being indexed by int) to keep the work linear.
VOSKO_API int filePieceSize(std::int64_t unparsed);

// One expat parser, set up as above, with the memory of its document.
class VOSKO_API ExpatParser {
 public:
  // For a document of `documentBytes`, which may take `memoryFloor` and
  // kMemoryPerByte bytes for each of its bytes. Raises EOutOfMemory when no
  // parser can be made.
  explicit ExpatParser(std::int64_t documentBytes, std::int64_t memoryFloor = kMemoryFloor);
  ~ExpatParser();
  ExpatParser(const ExpatParser&) = delete;
  ExpatParser& operator=(const ExpatParser&) = delete;

  XML_Parser get() const { return parser_; }

  // Hands `size` bytes to expat (XML_Parse).
  XML_Status parse(const char* bytes, int size, bool last);
  // Reads the next piece of `file` into expat's buffer and parses it;
  // `*last` tells whether the file ended with it. A failure to read raises
  // EInOutError with the system's reason.
  XML_Status parseFilePiece(platform::OsFile& file, bool* last);
  // The bytes handed to expat that it has not got past yet: the unfinished
  // token at the end of what it was given.
  std::int64_t unparsed() const;
  // The first bytes of the document (at most four), which tell its encoding.
  const std::string& head() const { return head_; }

  // True while expat's memory and `readerBytes` bytes the reader holds stay
  // within the limit; expat is held to what the reader leaves it.
  bool fits(std::int64_t readerBytes);
  // True once expat was refused memory for the limit (it then reports
  // XML_ERROR_NO_MEMORY).
  bool overLimit() const;
  // The bytes reading the document may take.
  std::int64_t memoryLimit() const;
  // "File "<name>" needs more memory than its limit of ... to be read."
  std::string limitMessage(const std::string& sourceName) const;

  // A seam for tests: called with the size of each piece handed to expat.
  void setPieceObserver(std::function<void(std::size_t)> observer) { observer_ = std::move(observer); }

  // What expat's allocations are counted in; every block expat holds points
  // to it, so it lives as long as the parser.
  struct Memory;

 private:
  void handed(const char* bytes, int size);

  std::unique_ptr<Memory> memory_;
  XML_Parser parser_ = nullptr;
  std::int64_t fed_ = 0;
  std::string head_;
  std::function<void(std::size_t)> observer_;
};

}  // namespace xml
