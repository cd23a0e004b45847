// CarrierXmlReader, the XML form of the sound-carrier database (VOSKO,
// VERSION "1.1.0") read carrier by carrier as expat reports it, for whoever
// needs the carriers one at a time (importing a document, voskodb's counts
// and listings): only one carrier is held, whatever the size of the document.
//
// It reads the plain form, the one TSoundCarriers::storeXML writes, for which
// every carrier handed over is exactly what TSoundCarriers::loadXML builds:
//   VOSKO with VERSION="1.1.0" alone, holding CARRIER elements; each CARRIER
//   holding NOTES, TOCS and TITLES in this order; NOTES holding text only,
//   with no attribute but LINEBREAKS (model_xml.h);
//   TOCS holding TOC elements of TOCTRACK elements (the first the lead-out);
//   TITLES holding TITLE elements; attributes those the model reads, in any
//   order, a missing text read as empty (the numbers, the date and the
//   boolean must be there and convert as the model converts them); no other
//   element or attribute, no text but white space outside NOTES; no DOCTYPE,
//   comment, processing instruction, CDATA section or namespace declaration
//   anywhere.
// Expat is set up as the document parser sets it up (xml/expat_parser.h), so
// that the reader never takes a document the parser refuses. Anything else,
// a document that is merely unusual included, makes it say no and the caller
// takes the loaded model's way, which reports what it finds.
//
//   CarrierXmlReader in;
//   if (!in.read(path, [&](const StoredCarrier& carrier) { ... })) -> load it
//
// Texts are handed over as loadXML makes them: Windows-1252, notes with LF LF
// as CR LF; titles keep the TRACK read (-1 too), TOC tracks their TRACKNUMBER.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "data/carrier_stream.h"
#include "platform/export.h"

// The database's XML form read one carrier at a time; anything outside the
// plain form makes it say no.
class VOSKO_API CarrierXmlReader {
 public:
  // Sees each carrier; its texts are views valid until it returns.
  using Each = std::function<void(const StoredCarrier&)>;

  // Reads the document at `path`, handing `each` every carrier as its
  // element ends. True when the whole document was read in the plain form;
  // false, raising nothing, when the file cannot be read, the document is not
  // well formed or leaves the plain form anywhere: what `each` saw until then
  // is then of no account. What `each` raises ends the reading and is raised
  // again.
  bool read(const std::string& path, const Each& each);
  // The carriers handed over by the last read().
  int64_t carriers() const { return carriers_; }

 private:
  int64_t carriers_ = 0;
};

// Writes the database of the XML document `xml` as TSoundCarriers::loadXML
// and store would, carrier by carrier. True only when the whole document was
// read in the plain form and the database was written and put in place at
// `database`; otherwise false, raising nothing, and `database` is left as it
// was (nothing else is left behind either), so that the caller loads the
// document instead.
VOSKO_API bool importXmlStreaming(const std::string& xml, const std::string& database);
