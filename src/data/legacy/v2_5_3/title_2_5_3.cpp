#include "data/legacy/v2_5_3/title_2_5_3.h"

#include "basis/file.h"
#include "basis/string_value.h"
#include "data/model_xml.h"
#include "platform/exception.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

TTitle2_5_3::TTitle2_5_3(const std::string& titleName, const std::string& titleUrl) {
  TTitle2_5_3::initialize();
  name = titleName;
  url = titleUrl;
}

TTitle2_5_3::TTitle2_5_3(const std::string& titleName, const std::string& titleUrl,
                         const std::string& titleArtist) {
  TTitle2_5_3::initialize();
  name = titleName;
  url = titleUrl;
  artist = titleArtist;
}

void TTitle2_5_3::initialize() {
  name.clear();
  url = "<unknown url>";
  artist.clear();
  contentType = "Original";
  originalArtist.clear();
  track = 0;
  carrier = nullptr;
}

std::string TTitle2_5_3::toString() const {
  std::string text = TString::zeroPad(track, 2) + " " + artist;
  if (!originalArtist.empty()) text += " (" + originalArtist + ")";
  return text + " - " + name + ", " + url + " (" + contentType + ")";
}

void TTitle2_5_3::readFrom(TFile& file) {
  name = file.readString();
  artist = file.readString();
  url = file.readString();
  contentType = file.readString();
  originalArtist = file.readString();
}

void TTitle2_5_3::writeTo(TFile& file) {
  file.writeString(name);
  file.writeString(artist);
  file.writeString(url);
  file.writeString(contentType);
  file.writeString(originalArtist);
}

void TTitle2_5_3::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"TITLE")) {
    throw EDomException("TTitle2_5_3.fromXML: Illegal base tag for a vosko title.");
  }
  name = modelxml::attribute(element, u"NAME");
  artist = modelxml::attribute(element, u"ARTIST");
  url = modelxml::attribute(element, u"URL");
  try {
    track = modelxml::parseInteger(modelxml::attribute(element, u"TRACK"));
  } catch (const EConvertError& e) {
    throw EDomException(e.message());
  }
  contentType = modelxml::attribute(element, u"CONTENTTYPE");
  originalArtist = modelxml::attribute(element, u"ORIGINALARTIST");
}

TDomElement* TTitle2_5_3::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"TITLE");
  modelxml::setAttribute(element, u"NAME", name);
  modelxml::setAttribute(element, u"ARTIST", artist);
  modelxml::setAttribute(element, u"URL", url);
  modelxml::setAttribute(element, u"TRACK", std::to_string(track));
  modelxml::setAttribute(element, u"CONTENTTYPE", contentType);
  modelxml::setAttribute(element, u"ORIGINALARTIST", originalArtist);
  return element;
}
