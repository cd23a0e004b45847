#include "data/legacy/v2_5_5/title_2_5_5.h"

#include "basis/file.h"
#include "basis/string_value.h"
#include "data/model_xml.h"
#include "platform/exception.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

TTitle2_5_5::TTitle2_5_5(const std::string& titleName, const std::string& titleUrl) {
  TTitle2_5_5::initialize();
  name = titleName;
  url = titleUrl;
}

TTitle2_5_5::TTitle2_5_5(const std::string& titleName, const std::string& titleUrl,
                         const std::string& titleArtist) {
  TTitle2_5_5::initialize();
  name = titleName;
  url = titleUrl;
  artist = titleArtist;
}

void TTitle2_5_5::initialize() {
  name.clear();
  url = "<unknown url>";
  artist.clear();
  contentType = "Original";
  originalArtist.clear();
  film.clear();
  track = 0;
  carrier = nullptr;
}

std::string TTitle2_5_5::toString() const {
  std::string text = TString::zeroPad(track, 2) + " " + artist;
  if (!originalArtist.empty() || !film.empty()) {
    text += " (" + originalArtist;
    if (!originalArtist.empty() && !film.empty()) text += ", ";
    text += film + ")";
  }
  return text + " - " + name + ", " + url + " (" + contentType + ")";
}

void TTitle2_5_5::readFrom(TFile& file) {
  name = file.readString();
  artist = file.readString();
  url = file.readString();
  contentType = file.readString();
  originalArtist = file.readString();
  film = file.readString();
}

void TTitle2_5_5::writeTo(TFile& file) {
  file.writeString(name);
  file.writeString(artist);
  file.writeString(url);
  file.writeString(contentType);
  file.writeString(originalArtist);
  file.writeString(film);
}

void TTitle2_5_5::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"TITLE")) {
    throw EDomException("TTitle2_5_5.fromXML: Illegal base tag for a vosko title.");
  }
  name = modelxml::attribute(element, u"NAME");
  artist = modelxml::attribute(element, u"ARTIST");
  url = modelxml::attribute(element, u"URL");
  try {
    track = modelxml::parseInteger(modelxml::attribute(element, u"TRACK"));
  } catch (const EConvertError& e) {
    throw EDomException("TTitle2_5_5.fromXML: Illegal track number: " + e.message());
  }
  contentType = modelxml::attribute(element, u"CONTENTTYPE");
  originalArtist = modelxml::attribute(element, u"ORIGINALARTIST");
  film = modelxml::attribute(element, u"FILM");
}

TDomElement* TTitle2_5_5::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"TITLE");
  modelxml::setAttribute(element, u"NAME", name);
  modelxml::setAttribute(element, u"ARTIST", artist);
  modelxml::setAttribute(element, u"URL", url);
  modelxml::setAttribute(element, u"TRACK", std::to_string(track));
  modelxml::setAttribute(element, u"CONTENTTYPE", contentType);
  modelxml::setAttribute(element, u"ORIGINALARTIST", originalArtist);
  modelxml::setAttribute(element, u"FILM", film);
  return element;
}
