#include "data/legacy/v2_5_3/sound_carrier_2_5_3.h"

#include "basis/exceptions.h"
#include "basis/file.h"
#include "data/carrier_artists.h"
#include "data/legacy/shared/legacy_carrier_titles.h"
#include "data/legacy/shared/legacy_xml.h"
#include "data/model_xml.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

TSoundCarrier2_5_3::TSoundCarrier2_5_3(const std::string& carrierName, const std::string& carrierLabel,
                                       const std::string& carrierType) {
  TSoundCarrier2_5_3::initialize();
  name = carrierName;
  label = carrierLabel;
  type = carrierType;
}

void TSoundCarrier2_5_3::initialize() {
  clear();
  name.clear();
  label.clear();
  artist.clear();
  type = "Compact Disc";
  release = platform::now();
  notes.clear();
  contentType = "Album";
  setOwnsObjects(true);
}

std::string TSoundCarrier2_5_3::toString() const {
  return name + ", " + artist + " - " + label + ", " + platform::formatShortDate(release) + " " + type +
         " (" + contentType + ")";
}

void TSoundCarrier2_5_3::readFrom(TFile& file) {
  name = file.readString();
  label = file.readString();
  artist = file.readString();
  type = file.readString();
  release = file.readDouble();
  notes = file.readString();
  contentType = file.readString();
  TArrayList::readFrom(file);
}

void TSoundCarrier2_5_3::writeTo(TFile& file) {
  file.writeString(name);
  file.writeString(label);
  file.writeString(artist);
  file.writeString(type);
  file.writeDouble(release);
  file.writeString(notes);
  file.writeString(contentType);
  TArrayList::writeTo(file);
}

int32_t TSoundCarrier2_5_3::add(TMappedObject* obj) {
  return legacycarrier::addNumberedTitle<TTitle2_5_3>(*this, obj);
}

TTitle2_5_3* TSoundCarrier2_5_3::getTitle(int32_t index) const {
  return legacycarrier::titleAt<TTitle2_5_3>(*this, index);
}

bool TSoundCarrier2_5_3::hasMixedArtists() const { return carrierartists::hasMixedArtists(*this); }

std::string TSoundCarrier2_5_3::getArtist() const { return hasMixedArtists() ? "<Sampler>" : artist; }

void TSoundCarrier2_5_3::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"CARRIER")) {
    throw EDomException("TSoundCarrier2_5_3.fromXML: Illegal base tag for a vosko carrier.");
  }
  name = modelxml::attribute(element, u"NAME");
  artist = modelxml::attribute(element, u"ARTIST");
  label = modelxml::attribute(element, u"LABEL");
  type = modelxml::attribute(element, u"TYPE");
  try {
    release = legacyxml::parseDate(modelxml::attribute(element, u"RELEASE"));
  } catch (const EConvertError& e) {
    throw EDomException("TSoundCarrier2_5_3.fromXML: Illegal date: " + e.message());
  }
  contentType = modelxml::attribute(element, u"CONTENTTYPE");
  notes = legacyxml::expandLineBreaks(legacyxml::childValue(element, "NOTES"));
  legacycarrier::readTitlesXML<TTitle2_5_3>(*this, legacyxml::childElement(element, "TITLES"));
}

TDomElement* TSoundCarrier2_5_3::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"CARRIER");
  modelxml::setAttribute(element, u"NAME", name);
  modelxml::setAttribute(element, u"ARTIST", artist);
  modelxml::setAttribute(element, u"LABEL", label);
  modelxml::setAttribute(element, u"TYPE", type);
  modelxml::setAttribute(element, u"RELEASE", legacyxml::formatDate(release));
  modelxml::setAttribute(element, u"CONTENTTYPE", contentType);
  legacyxml::appendValueElement(document, element, u"NOTES", notes);
  TDomElement* titles = document->createElement(u"TITLES");
  for (int32_t i = 0; i < size(); ++i) titles->appendChild(getTitle(i)->toXML(document));
  element->appendChild(titles);
  return element;
}
