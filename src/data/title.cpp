#include "data/title.h"

#include <cstring>
#include <utility>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_value.h"
#include "data/model_xml.h"
#include "data/sound_carrier.h"
#include "platform/exception.h"
#include "platform/little_endian.h"
#include "platform/message_value.h"
#include "xml/dom_exception.h"

TitleNumber& TitleNumber::operator=(int32_t value) {
  value_ = value;
  if (title_.carrier != nullptr) title_.carrier->titleNumbersChanged();
  return *this;
}

TTitle::TTitle(const std::string& name, const std::string& url) : TTitle() {
  this->name = name;
  this->url = url;
}

TTitle::TTitle(const std::string& name, const std::string& url, const std::string& artist)
    : TTitle(name, url) {
  this->artist = artist;
}

void TTitle::initialize() {
  name.clear();
  url.clear();
  artist.clear();
  contentType = kOriginal;
  originalArtist.clear();
  film.clear();
  track = -1;
  carrier = nullptr;
  carrierIndex = 0;
}

std::string TTitle::fileHeader() const { return TSoundCarrier::kFileHeader; }

void TTitle::setContentType(const std::string& value) {
  if (value == kOriginal) originalArtist.clear();
  contentType = value;
}

void TTitle::setOriginalArtist(const std::string& value) {
  size_t begin = 0;
  size_t end = value.size();
  while (begin < end && static_cast<unsigned char>(value[begin]) <= 32) ++begin;
  while (end > begin && static_cast<unsigned char>(value[end - 1]) <= 32) --end;
  // In place, without a copy of the trimmed text; value may be one of this
  // title's own texts, so it is taken before anything else changes.
  originalArtist.assign(value, begin, end - begin);
  if (!originalArtist.empty() && contentType == kOriginal) contentType = kRemix;
}

std::string TTitle::formatCarrierIndex(int32_t index, const std::string& type) {
  if (type != TSoundCarrier::kCassette && type != TSoundCarrier::kRecord) {
    return type + " " + std::to_string(static_cast<int64_t>(index) + 1);
  }
  return type + " " + std::to_string(index / 2 + 1) + " Seite " + std::to_string(index % 2 + 1);
}

std::string TTitle::toString() const {
  std::string text;
  appendText(text, {name, artist, url, track, contentType, originalArtist, film, carrierIndex},
             carrier != nullptr ? &carrier->type : nullptr);
  return text;
}

void TTitle::appendText(std::string& out, const StoredFields& f, const std::string* carrierType) {
  out += TString::zeroPad(static_cast<int64_t>(f.track) + 1, 2);
  out += ' ';
  out += f.artist;
  if (!f.originalArtist.empty() || !f.film.empty()) {
    out += " (";
    out += f.originalArtist;
    if (!f.originalArtist.empty() && !f.film.empty()) out += ", ";
    out += f.film;
    out += ')';
  }
  out += " - ";
  out += f.name;
  out += ", ";
  out += f.url;
  out += " (";
  out += f.contentType;
  out += ") ";
  out += carrierType != nullptr ? formatCarrierIndex(f.carrierIndex, *carrierType)
                                : std::to_string(f.carrierIndex);
}

void TTitle::readFrom(TFile& file) {
  name = file.readString();
  artist = file.readString();
  url = file.readString();
  track = file.readInt();
  contentType = file.readString();
  originalArtist = file.readString();
  film = file.readString();
  carrierIndex = file.readInt();
}

void TTitle::writeTo(TFile& file) {
  writeFields(file, {name, artist, url, track, contentType, originalArtist, film, carrierIndex});
}

namespace {

// The stored fields in their order, put to `out` as texts and numbers: the
// file itself, a count of their bytes, or bytes in place.
template <class Out>
void putFields(Out& out, const TTitle::StoredFields& fields) {
  out.text(fields.name);
  out.text(fields.artist);
  out.text(fields.url);
  out.int32(fields.track);
  out.text(fields.contentType);
  out.text(fields.originalArtist);
  out.text(fields.film);
  out.int32(fields.carrierIndex);
}

struct ToFile {
  TFile& file;
  void text(std::string_view s) { file.writeText(s); }
  void int32(int32_t value) { file.writeInt(value); }
};

struct Measure {
  size_t bytes = 0;
  void text(std::string_view s) { bytes += platform::kFixed32Size + s.size(); }
  void int32(int32_t) { bytes += platform::kFixed32Size; }
};

// Each text is shorter than the block, which the file checked.
struct InPlace {
  char* to;
  void text(std::string_view s) {
    platform::encodeFixed32(to, static_cast<uint32_t>(s.size()));
    if (!s.empty()) std::memcpy(to + platform::kFixed32Size, s.data(), s.size());
    to += platform::kFixed32Size + s.size();
  }
  void int32(int32_t value) {
    platform::encodeFixed32(to, static_cast<uint32_t>(value));
    to += platform::kFixed32Size;
  }
};

}  // namespace

void TTitle::writeFields(TFile& file, const StoredFields& fields) {
  ToFile out{file};
  putFields(out, fields);
}

void TTitle::writeStored(TFile& file, const StoredFields& fields) {
  file.writeText(kClassName);
  Measure length;
  putFields(length, fields);
  if (char* to = file.blockRoom(length.bytes)) {
    InPlace out{to};
    putFields(out, fields);
    return;
  }
  file.beginBlock(true, false);
  writeFields(file, fields);
  file.endBlock();
}

void TTitle::fromXML(TDomElement* element) {
  try {
    if (!modelxml::hasTag(element, u"TITLE")) throw EDomException("Illegal base tag for a vosko title.");
    name = modelxml::attribute(element, u"NAME");
    artist = modelxml::attribute(element, u"ARTIST");
    url = modelxml::attribute(element, u"URL");
    try {
      track = modelxml::parseInteger(modelxml::attribute(element, u"TRACK"));
      carrierIndex = modelxml::parseInteger(modelxml::attribute(element, u"CARRIERINDEX"));
    } catch (const EConvertError& e) {
      throw EDomException("Illegal track number or carrier index: " + e.message());
    }
    contentType = modelxml::attribute(element, u"CONTENTTYPE");
    originalArtist = modelxml::attribute(element, u"ORIGINALARTIST");
    film = modelxml::attribute(element, u"FILM");
  } catch (const std::exception& e) {
    throw EDomException(platform::wrapMessage("TTitle.fromXML", e));
  }
}

std::string TTitle::unwritableXml() const {
  const std::pair<const char*, const std::string*> texts[] = {{"NAME", &name},
                                                              {"ARTIST", &artist},
                                                              {"URL", &url},
                                                              {"CONTENTTYPE", &contentType},
                                                              {"ORIGINALARTIST", &originalArtist},
                                                              {"FILM", &film}};
  for (const auto& [field, text] : texts) {
    if (std::string problem = modelxml::unwritableText(field, *text); !problem.empty()) return problem;
  }
  return {};
}

TDomElement* TTitle::toXML(TDomDocument* document) {
  if (std::string problem = unwritableXml(); !problem.empty()) {
    throw IOException("TTitle.toXML: title '" + platform::messageValue(name) + "': " + problem + ".");
  }
  TDomElement* element = document->createElement(u"TITLE");
  modelxml::setAttribute(element, u"NAME", name);
  modelxml::setAttribute(element, u"ARTIST", artist);
  modelxml::setAttribute(element, u"URL", url);
  modelxml::setAttribute(element, u"TRACK", std::to_string(track));
  modelxml::setAttribute(element, u"CONTENTTYPE", contentType);
  modelxml::setAttribute(element, u"ORIGINALARTIST", originalArtist);
  modelxml::setAttribute(element, u"FILM", film);
  modelxml::setAttribute(element, u"CARRIERINDEX", std::to_string(carrierIndex));
  return element;
}
