#include "data/carrier_xml_writer.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <sstream>

#include "basis/boolean_value.h"
#include "data/model_xml.h"
#include "data/sound_carriers.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/exception.h"
#include "xml/utf8_output_stream.h"
#include "xml/xml_text.h"

namespace {

// Every byte's form is copied as one word of this width, whatever its length,
// which keeps the loop over a text free of branches.
constexpr size_t kEncodedWidth = 8;
// Text is encoded in pieces of this many bytes, each with room for its
// widest form, so that a text of any length needs no more buffer.
constexpr size_t kTextPiece = 16 << 10;
constexpr size_t kFlushSize = 1 << 20;
constexpr size_t kCapacity = kFlushSize + kTextPiece * kEncodedWidth;

struct Encoded {
  char bytes[kEncodedWidth - 1];
  unsigned char size;
};
static_assert(sizeof(Encoded) == kEncodedWidth);

using Escape = TUtf8OutputStream::Escape;

// What each Windows-1252 byte of a text becomes in the document: the bytes
// the document's own stream writes for the character the code page maps it
// to, as text or as attribute value. A byte it drops (a control character
// XML cannot hold) has no bytes. A CR is the one byte whose form depends on
// the next: here it stands alone.
std::array<Encoded, 256> makeEncodedBytes(Escape escape) {
  std::array<Encoded, 256> table{};
  for (int byte = 0; byte < 256; ++byte) {
    const char16_t unit = platform::ansiCharToUtf16(static_cast<unsigned char>(byte));
    std::ostringstream out;
    TUtf8OutputStream stream(out);
    stream.writeStored(xml::toStored(std::u16string_view(&unit, 1)), escape);
    stream.finish();
    const std::string bytes = out.str();
    // A character reference or a UTF-8 sequence of the basic plane is far shorter.
    if (bytes.size() > sizeof table[byte].bytes) std::abort();
    std::memcpy(table[byte].bytes, bytes.data(), bytes.size());
    table[byte].size = static_cast<unsigned char>(bytes.size());
  }
  return table;
}

const Encoded* textBytes() {
  static const std::array<Encoded, 256> table = makeEncodedBytes(Escape::kText);
  return table.data();
}

const Encoded* attributeBytes() {
  static const std::array<Encoded, 256> table = makeEncodedBytes(Escape::kAttribute);
  return table.data();
}

}  // namespace

CarrierXmlWriter::CarrierXmlWriter(platform::OsFile& file)
    : file_(file), buffer_(std::make_unique<char[]>(kCapacity)) {}

char* CarrierXmlWriter::room(size_t n) {
  if (used_ + n > kCapacity) flush();
  return buffer_.get() + used_;
}

void CarrierXmlWriter::flush() {
  if (used_ == 0) return;
  const size_t written = file_.write(buffer_.get(), used_);
  if (written != used_) {
    throw EInOutError("Cannot write '" + file_.path() + "': " + std::strerror(errno != 0 ? errno : EIO));
  }
  used_ = 0;
}

void CarrierXmlWriter::markup(std::string_view ascii) {
  std::memcpy(room(ascii.size()), ascii.data(), ascii.size());
  used_ += ascii.size();
}

void CarrierXmlWriter::text(std::string_view ansi, Form form) {
  const Encoded* encoded = form == Form::kAttribute ? attributeBytes() : textBytes();
  // In text the CR of CR LF is written as it is (the stream's rule).
  const bool crOfCrLfAsIs = form == Form::kText;
  size_t unwritable = 0;
  for (size_t done = 0; done < ansi.size();) {
    const size_t piece = std::min(ansi.size() - done, kTextPiece);
    char* const start = room(piece * kEncodedWidth);
    char* to = start;
    for (size_t i = done; i < done + piece; ++i) {
      const auto c = static_cast<unsigned char>(ansi[i]);
      if (c == '\r' && crOfCrLfAsIs && i + 1 < ansi.size() && ansi[i + 1] == '\n') {
        *to++ = '\r';
        continue;
      }
      std::memcpy(to, &encoded[c], kEncodedWidth);
      to += encoded[c].size;
      unwritable += encoded[c].size == 0;
    }
    used_ += static_cast<size_t>(to - start);
    done += piece;
  }
  // The loaded model names the carrier, field and byte.
  if (unwritable != 0) throw EConvertError("CarrierXmlWriter: a text XML 1.0 cannot hold.");
}

void CarrierXmlWriter::attribute(std::string_view start, std::string_view ansi) {
  markup(start);
  text(ansi, Form::kAttribute);
}

void CarrierXmlWriter::number(std::string_view start, int64_t value) {
  markup(start);
  char* to = room(24);
  // Plain decimal with a minus sign, as std::to_string writes it in the model's toXML.
  used_ += static_cast<size_t>(std::to_chars(to, to + 24, value).ptr - to);
}

void CarrierXmlWriter::begin() {
  markup("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<VOSKO VERSION=\"");
  text(TSoundCarriers::kXmlVersion, Form::kAttribute);
  markup("\">");
}

void CarrierXmlWriter::write(const StoredCarrier& carrier) {
  attribute("<CARRIER NAME=\"", carrier.name);
  attribute("\" ARTIST=\"", carrier.artist);
  attribute("\" LABEL=\"", carrier.label);
  attribute("\" TYPE=\"", carrier.type);
  if (!modelxml::unwritableRelease(carrier.release).empty()) {
    throw EConvertError("CarrierXmlWriter: a release XML cannot hold.");
  }
  attribute("\" RELEASE=\"", platform::formatShortDate(carrier.release));
  attribute("\" CONTENTTYPE=\"", carrier.contentType);
  attribute("\" IMAGE=\"", carrier.image);
  attribute("\" PRINTIMAGE=\"", carrier.printImage);
  if (std::optional<std::string> days = modelxml::releaseDays(carrier.release)) {
    attribute("\" RELEASEDAYS=\"", *days);
  }
  if (modelxml::needsExactLineBreaks(carrier.notes)) {
    markup("\"><NOTES LINEBREAKS=\"");
    markup(modelxml::kExactLineBreaks);
    markup("\">");
    text(carrier.notes, Form::kExactText);
  } else {
    markup("\"><NOTES>");
    text(carrier.notes, Form::kText);
  }
  markup("</NOTES><TOCS>");
  for (int32_t i = 0; i < carrier.tocCount; ++i) toc(carrier.tocs[static_cast<size_t>(i)]);
  markup("</TOCS><TITLES>");
  for (const StoredTitle& stored : carrier.titles) title(stored);
  markup("</TITLES></CARRIER>");
}

void CarrierXmlWriter::toc(const StoredToc& toc) {
  number("<TOC DISCID=\"", toc.discId);
  markup("\">");
  track(toc.leadOut);
  for (const StoredTocTrack& t : toc.tracks) track(t);
  markup("</TOC>");
}

void CarrierXmlWriter::track(const StoredTocTrack& track) {
  number("<TOCTRACK MINUTES=\"", track.minutes);
  number("\" SECONDS=\"", track.seconds);
  number("\" FRAMES=\"", track.frames);
  number("\" TRACKNUMBER=\"", track.trackNumber);
  attribute("\" ISAUDIOTRACK=\"", TBoolean::toString(track.isAudioTrack));
  markup("\"></TOCTRACK>");
}

void CarrierXmlWriter::title(const StoredTitle& title) {
  attribute("<TITLE NAME=\"", title.name);
  attribute("\" ARTIST=\"", title.artist);
  attribute("\" URL=\"", title.url);
  number("\" TRACK=\"", title.track);
  attribute("\" CONTENTTYPE=\"", title.contentType);
  attribute("\" ORIGINALARTIST=\"", title.originalArtist);
  attribute("\" FILM=\"", title.film);
  number("\" CARRIERINDEX=\"", title.carrierIndex);
  markup("\"></TITLE>");
}

void CarrierXmlWriter::end() {
  markup("</VOSKO>\r\n");
  flush();
}

bool exportXmlStreaming(const std::string& database, const std::string& xml) {
  try {
    // The loaded model's export refuses these with its own message.
    if (xml.empty() || platform::isReadOnlyFile(xml)) return false;
    CarrierStream in;
    if (!in.open(database)) return false;
    // Closing a replacement that was never committed removes it.
    platform::OsFile file;
    file.openReplacement(xml);
    CarrierXmlWriter out(file);
    out.begin();
    StoredCarrier carrier;
    for (int32_t i = 0; i < in.count(); ++i) {
      if (!in.next(carrier)) return false;
      out.write(carrier);
    }
    if (!in.finished()) return false;
    out.end();
    file.commitReplacement();
    return true;
  } catch (...) {
    return false;
  }
}
