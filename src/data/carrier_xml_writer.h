// CarrierXmlWriter, the XML form of a sound-carrier database written carrier
// by carrier: the bytes TSoundCarriers::storeXML writes for the same
// carriers, without a document. Only the writer's buffer and the carrier in
// hand are held, so a database of any size is exported in the same memory.
//
//   CarrierXmlWriter out(file);
//   out.begin();
//   for each carrier: out.write(carrier);
//   out.end();
//
// Each text byte is written as the document's stream writes the character
// the code page gives it (see utf8_output_stream.h): markup characters as
// decimal references, in attribute values TAB, LF and CR too, in text LF as
// CR LF and a CR without LF after it as a reference, the rest as UTF-8. The
// tables that do so are made by that stream itself, so the two cannot drift
// apart. The values the model's XML writing adds or refuses (model_xml.h)
// are added or refused here the same way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "data/carrier_stream.h"
#include "platform/export.h"
#include "platform/os_file.h"

// Writes the database's XML form carrier by carrier, in the bytes
// TSoundCarriers::storeXML writes for the same carriers.
class VOSKO_API CarrierXmlWriter {
 public:
  // Writes to `file`, open for writing, which must outlive the writer.
  explicit CarrierXmlWriter(platform::OsFile& file);
  CarrierXmlWriter(const CarrierXmlWriter&) = delete;
  CarrierXmlWriter& operator=(const CarrierXmlWriter&) = delete;

  // The declaration and the database's start tag.
  void begin();
  // The carrier's element as the model loaded from its stored form writes it.
  // A carrier the XML form cannot hold exactly (TSoundCarrier::unwritableXml)
  // raises EConvertError, with part of it written: the document is then of no use.
  void write(const StoredCarrier& carrier);
  // The database's end tag and the final line break; hands every byte to the
  // file. A write the file refuses raises EInOutError, here or before.
  void end();

 private:
  // How a text is written: as an attribute value, as the text of an element,
  // or as notes with exact line breaks (every CR a reference).
  enum class Form { kAttribute, kText, kExactText };

  void markup(std::string_view ascii);
  void text(std::string_view ansi, Form form);
  void attribute(std::string_view start, std::string_view ansi);
  void number(std::string_view start, int64_t value);
  void toc(const StoredToc& toc);
  void track(const StoredTocTrack& track);
  void title(const StoredTitle& title);
  // Room for n more bytes, handing the buffer to the file first when needed.
  char* room(size_t n);
  void flush();

  platform::OsFile& file_;
  std::unique_ptr<char[]> buffer_;
  size_t used_ = 0;
};

// Writes the XML form of the database at `database` to `xml` straight from
// its bytes, into a replacement that is put in place only when complete.
// True when the database was read whole in the plain form (carrier_stream.h)
// and the document is in place; otherwise false, raising nothing, with `xml`
// as it was and no temporary file left: the database was out of the plain
// form, a read or write failed, or the target is read-only. The caller then
// exports the loaded model, which reports what went wrong.
VOSKO_API bool exportXmlStreaming(const std::string& database, const std::string& xml);
