// Writes a document or a subtree as XML 1.0 text into a TUtf8OutputStream:
// no empty-element form, no whitespace between nodes, and in text and
// attribute values the five markup characters as decimal references
// (&#34; &#38; &#39; &#60; &#62;), with the line breaks and tabs a parser
// would change escaped as utf8_output_stream.h says. The tree is walked
// without recursion, so any depth the parser accepts can be written back.
#pragma once

#include <ostream>

#include "platform/export.h"
#include "xml/utf8_output_stream.h"

class TDomDocument;
class TDomNode;

// Writes a document to a stream as the XML text described above.
class VOSKO_API TDomSerializer {
 public:
  explicit TDomSerializer(std::ostream& out) : stream_(out) {}

  // The declaration, then each child of the document followed by a line break.
  void writeDocument(const TDomDocument& document);

 private:
  void writeTree(const TDomNode& root);
  // The start of a node (all of it for nodes without children).
  void open(const TDomNode& node);
  void close(const TDomNode& node);
  void writeAttributes(const TDomNode& element);
  void markup(std::string_view ascii) { stream_.writeStored(ascii, TUtf8OutputStream::Escape::kNone); }

  TUtf8OutputStream stream_;
};
