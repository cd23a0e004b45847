// The parser: reads an XML 1.0 document with namespaces and builds its tree
// with a DOM implementation. Built on expat.
//
// Encodings: taken from a byte-order mark or the XML declaration; UTF-8,
// UTF-16 and ISO-8859-1 are read by expat, the other accepted 8-bit
// encodings through tables (xml_encoding.h).
//
// Safety: no external entity and no external DTD subset is ever read; a
// document that declares an external entity is refused; expat's protection
// against entity amplification stays on; files are read in pieces straight
// into the parser's buffer, never whole, pieces that grow with an unfinished
// token (expat_parser.h). Reading a document takes at most the memory
// expat_parser.h allows for its size, the tree included; a document that
// needs more raises EOutOfMemory naming the limit.
//
// The tree keeps comments, processing instructions, CDATA sections and the
// document type (without its internal subset); entity references are
// replaced by their text. Malformed input raises an EParserException whose
// message names the file, line and column.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/export.h"
#include "xml/dom_document.h"
#include "xml/dom_implementation.h"
#include "xml/parser_exception.h"

// Reads a document from a file or from bytes in memory into a new tree that
// its DOM implementation makes.
class VOSKO_API TXmlToDomParser {
 public:
  // `implementation` is not owned and must outlive the parser's calls.
  explicit TXmlToDomParser(TDomImplementation* implementation = nullptr) : implementation_(implementation) {}

  TDomImplementation* domImplementation() const { return implementation_; }
  void setDomImplementation(TDomImplementation* implementation) { implementation_ = implementation; }
  // What a document may take whatever its size (64 MiB unless set; see
  // xml/expat_parser.h for the rest of the rule).
  void setMemoryFloor(std::int64_t bytes) { memoryFloor_ = bytes; }
  // A seam for tests: called with the size of each piece handed to expat.
  void setPieceObserver(std::function<void(std::size_t)> observer) { pieceObserver_ = std::move(observer); }

  // A new document owned by the caller. EAccessViolation "DOMImplementation
  // not specified." without an implementation, "Filename not specified." for
  // an empty name; EInOutError when the file cannot be read.
  std::unique_ptr<TDomDocument> fileToDom(const std::string& fileName);
  // The document as far as its root element: what stands before the root,
  // and the root with its attributes but without its content. The file is
  // read no further, so what follows the root's start tag is never checked.
  std::unique_ptr<TDomDocument> fileToDomUpToRoot(const std::string& fileName);
  // The same for bytes in memory; `sourceName` stands for the file in messages.
  std::unique_ptr<TDomDocument> bufferToDom(std::string_view bytes, const std::string& sourceName);
  // The same, fed to the parser `pieceSize` bytes at a time (at least one), as
  // a stream would deliver it; the result must not depend on the pieces.
  std::unique_ptr<TDomDocument> bufferToDom(std::string_view bytes, const std::string& sourceName,
                                            std::size_t pieceSize);

 private:
  std::unique_ptr<TDomDocument> parseFile(const std::string& fileName, bool upToRoot);
  std::int64_t memoryFloor() const;

  TDomImplementation* implementation_;
  // Negative: the usual floor.
  std::int64_t memoryFloor_ = -1;
  std::function<void(std::size_t)> pieceObserver_;
};
