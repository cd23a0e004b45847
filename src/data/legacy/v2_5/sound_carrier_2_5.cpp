#include "data/legacy/v2_5/sound_carrier_2_5.h"

#include "basis/exceptions.h"
#include "basis/file.h"
#include "data/carrier_artists.h"
#include "data/legacy/shared/legacy_carrier_titles.h"
#include "data/legacy/shared/legacy_xml.h"
#include "data/model_xml.h"
#include "debug/channel.h"
#include "debug/channel_pool.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

TSoundCarrier2_5::TSoundCarrier2_5(const std::string& carrierName, const std::string& carrierLabel,
                                   const std::string& carrierType) {
  TChannelPool::getChannel("vosko")->trace(
      "TSoundCarrier2_5.create(" + carrierName + "," + carrierLabel + "," + carrierType + ")", 5);
  TSoundCarrier2_5::initialize();
  name = carrierName;
  label = carrierLabel;
  type = carrierType;
}

void TSoundCarrier2_5::initialize() {
  clear();
  name = "<unknown name>";
  label = "<unknown label>";
  artist = "<unknown artist>";
  type = "<unknown type>";
  release = platform::now();
  notes = "<no notes>";
  setOwnsObjects(true);
}

std::string TSoundCarrier2_5::toString() const {
  return name + ", " + artist + " - " + label + ", " + platform::formatShortDate(release) + " " + type;
}

void TSoundCarrier2_5::readFrom(TFile& file) {
  name = file.readString();
  label = file.readString();
  artist = file.readString();
  type = file.readString();
  release = file.readDouble();
  notes = file.readString();
  TArrayList::readFrom(file);
}

void TSoundCarrier2_5::writeTo(TFile& file) {
  file.writeString(name);
  file.writeString(label);
  file.writeString(artist);
  file.writeString(type);
  file.writeDouble(release);
  file.writeString(notes);
  TArrayList::writeTo(file);
}

int32_t TSoundCarrier2_5::add(TMappedObject* obj) {
  return legacycarrier::addNumberedTitle<TTitle2_5>(*this, obj);
}

int32_t TSoundCarrier2_5::addTitle(TTitle2_5* title) {
  int32_t index = add(title);
  title->artist = artist;
  return index;
}

TTitle2_5* TSoundCarrier2_5::getTitle(int32_t index) const {
  return legacycarrier::titleAt<TTitle2_5>(*this, index);
}

bool TSoundCarrier2_5::hasMixedArtists() const { return carrierartists::hasMixedArtists(*this); }

std::string TSoundCarrier2_5::getArtist() const { return hasMixedArtists() ? "<Sampler>" : artist; }

void TSoundCarrier2_5::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"CARRIER")) throw EDomException("Illegal base tag for a vosko carrier.");
  name = legacyxml::childValue(element, "NAME");
  artist = legacyxml::childValue(element, "ARTIST");
  label = legacyxml::childValue(element, "LABEL");
  type = legacyxml::childValue(element, "TYPE");
  const std::string releaseText = legacyxml::childValue(element, "RELEASE");
  try {
    release = legacyxml::parseDate(releaseText);
  } catch (const EConvertError& e) {
    throw EDomException("TSoundCarrier2_5.fromXML: Illegal date: " + e.message());
  }
  notes = legacyxml::expandLineBreaks(legacyxml::childValue(element, "NOTES"));
  legacycarrier::readTitlesXML<TTitle2_5>(*this, legacyxml::childElement(element, "TITLES"));
}

TDomElement* TSoundCarrier2_5::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"CARRIER");
  legacyxml::appendValueElement(document, element, u"NAME", name);
  legacyxml::appendValueElement(document, element, u"ARTIST", artist);
  legacyxml::appendValueElement(document, element, u"LABEL", label);
  legacyxml::appendValueElement(document, element, u"TYPE", type);
  legacyxml::appendValueElement(document, element, u"RELEASE", legacyxml::formatDate(release));
  legacyxml::appendValueElement(document, element, u"NOTES", notes);
  TDomElement* titles = document->createElement(u"TITLES");
  for (int32_t i = 0; i < size(); ++i) titles->appendChild(getTitle(i)->toXML(document));
  element->appendChild(titles);
  return element;
}
