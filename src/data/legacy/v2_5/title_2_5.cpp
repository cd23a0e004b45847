#include "data/legacy/v2_5/title_2_5.h"

#include "basis/file.h"
#include "basis/string_value.h"
#include "data/legacy/shared/legacy_xml.h"
#include "data/model_xml.h"
#include "platform/exception.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

TTitle2_5::TTitle2_5(const std::string& titleName, const std::string& titleUrl) {
  TTitle2_5::initialize();
  name = titleName;
  url = titleUrl;
}

TTitle2_5::TTitle2_5(const std::string& titleName, const std::string& titleUrl,
                     const std::string& titleArtist) {
  TTitle2_5::initialize();
  name = titleName;
  url = titleUrl;
  artist = titleArtist;
}

void TTitle2_5::initialize() {
  name = "<unknown name>";
  url = "<unknown url>";
  artist = "<unknown artist>";
  track = 0;
  carrier = nullptr;
}

std::string TTitle2_5::toString() const {
  return TString::zeroPad(track, 2) + " " + artist + " - " + name + ", " + url;
}

void TTitle2_5::readFrom(TFile& file) {
  name = file.readString();
  artist = file.readString();
  url = file.readString();
}

void TTitle2_5::writeTo(TFile& file) {
  file.writeString(name);
  file.writeString(artist);
  file.writeString(url);
}

void TTitle2_5::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"TITLE")) {
    throw EDomException("TTitle2_5.fromXML: Illegal base tag for vosko a title.");
  }
  name = legacyxml::childValue(element, "NAME");
  artist = legacyxml::childValue(element, "ARTIST");
  url = legacyxml::childValue(element, "URL");
  const std::string trackText = legacyxml::childValue(element, "TRACK");
  try {
    track = modelxml::parseInteger(trackText);
  } catch (const EConvertError& e) {
    throw EDomException(e.message());
  }
}

TDomElement* TTitle2_5::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"TITLE");
  legacyxml::appendValueElement(document, element, u"NAME", name);
  legacyxml::appendValueElement(document, element, u"ARTIST", artist);
  legacyxml::appendValueElement(document, element, u"URL", url);
  legacyxml::appendValueElement(document, element, u"TRACK", std::to_string(track));
  return element;
}

TDomElement* TTitle2_5::toHTML(TDomDocument* document) { return document->createElement(u"TR"); }
