#include "data/legacy/v2_5_5/sound_carrier_2_5_5.h"

#include <memory>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_value.h"
#include "data/legacy/shared/legacy_xml.h"
#include "data/model_xml.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

TSoundCarrier2_5_5::TSoundCarrier2_5_5(const std::string& carrierName, const std::string& carrierLabel,
                                       const std::string& carrierType) {
  TSoundCarrier2_5_5::initialize();
  name = carrierName;
  label = carrierLabel;
  type = carrierType;
}

void TSoundCarrier2_5_5::initialize() {
  clear();
  name.clear();
  label.clear();
  artist.clear();
  type = "Compact Disc";
  release = platform::now();
  notes.clear();
  contentType = "Album";
  image.clear();
  printImage.clear();
  setOwnsObjects(true);
}

std::string TSoundCarrier2_5_5::toString() const {
  return name + ", " + artist + " - " + label + ", " + platform::formatShortDate(release) + " " + type +
         " (" + contentType + ")";
}

void TSoundCarrier2_5_5::readFrom(TFile& file) {
  name = file.readString();
  label = file.readString();
  artist = file.readString();
  type = file.readString();
  release = file.readDouble();
  notes = file.readString();
  contentType = file.readString();
  image = file.readString();
  printImage = file.readString();
  TArrayList::readFrom(file);
}

void TSoundCarrier2_5_5::writeTo(TFile& file) {
  file.writeString(name);
  file.writeString(label);
  file.writeString(artist);
  file.writeString(type);
  file.writeDouble(release);
  file.writeString(notes);
  file.writeString(contentType);
  file.writeString(image);
  file.writeString(printImage);
  TArrayList::writeTo(file);
}

int32_t TSoundCarrier2_5_5::add(TMappedObject* obj) {
  auto* title = dynamic_cast<TTitle2_5_5*>(obj);
  if (title == nullptr) throw IllegalArgumentException("TSoundCarrier2_5_5.add: Object is no title.");
  int32_t index = append(title);
  title->carrier = this;
  title->track = index + 1;
  return index;
}

TTitle2_5_5* TSoundCarrier2_5_5::getTitle(int32_t index) const {
  // Only add() and fromXML fill the list, but addAll of the base class could
  // still slip a foreign object in.
  auto* title = dynamic_cast<TTitle2_5_5*>(get(index));
  if (title == nullptr) throw IllegalStateException("TSoundCarrier2_5_5.getTitle: Object is no title.");
  return title;
}

bool TSoundCarrier2_5_5::hasMixedArtists() const {
  for (int32_t i = 0; i < size(); ++i) {
    if (getTitle(i)->artist != artist) return true;
  }
  return false;
}

std::string TSoundCarrier2_5_5::assembleSplitArtist() const {
  if (contentType != "Split") {
    throw IllegalStateException(
        "TSoundCarrier2_5_5.assembleSplitArtist: Attempt to assemble artist for non split typ: " +
        contentType);
  }
  std::string result;
  for (int32_t i = 0; i < size(); ++i) {
    const std::string& a = getTitle(i)->artist;
    if (a.empty() || TString::toUpperAscii(result).find(TString::toUpperAscii(a)) != std::string::npos)
      continue;
    result += a + " ";
  }
  return result;
}

std::string TSoundCarrier2_5_5::getArtist() {
  if (hasMixedArtists()) artist = "<Sampler>";
  if (contentType == "Split") artist = assembleSplitArtist();
  return artist;
}

void TSoundCarrier2_5_5::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"CARRIER")) {
    throw EDomException("TSoundCarrier2_5_5.fromXML: Illegal base tag for a vosko carrier.");
  }
  name = modelxml::attribute(element, u"NAME");
  artist = modelxml::attribute(element, u"ARTIST");
  label = modelxml::attribute(element, u"LABEL");
  type = modelxml::attribute(element, u"TYPE");
  try {
    release = legacyxml::parseDate(modelxml::attribute(element, u"RELEASE"));
  } catch (const EConvertError& e) {
    throw EDomException("TSoundCarrier2_5_5.fromXML: Illegal date: " + e.message());
  }
  contentType = modelxml::attribute(element, u"CONTENTTYPE");
  image = modelxml::attribute(element, u"IMAGE");
  printImage = modelxml::attribute(element, u"PRINTIMAGE");
  notes = legacyxml::expandLineBreaks(legacyxml::childValue(element, "NOTES"));
  TDomElement* titles = legacyxml::childElement(element, "TITLES");
  clear();
  for (TDomElement* titleElement : modelxml::elementsBelow(titles, u"TITLE")) {
    auto title = std::make_unique<TTitle2_5_5>();
    title->fromXML(titleElement);
    append(title.get());
    title.release();
  }
}

TDomElement* TSoundCarrier2_5_5::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"CARRIER");
  modelxml::setAttribute(element, u"NAME", name);
  modelxml::setAttribute(element, u"ARTIST", artist);
  modelxml::setAttribute(element, u"LABEL", label);
  modelxml::setAttribute(element, u"TYPE", type);
  modelxml::setAttribute(element, u"RELEASE", legacyxml::formatDate(release));
  modelxml::setAttribute(element, u"CONTENTTYPE", contentType);
  modelxml::setAttribute(element, u"IMAGE", image);
  modelxml::setAttribute(element, u"PRINTIMAGE", printImage);
  legacyxml::appendValueElement(document, element, u"NOTES", notes);
  TDomElement* titles = document->createElement(u"TITLES");
  for (int32_t i = 0; i < size(); ++i) titles->appendChild(getTitle(i)->toXML(document));
  element->appendChild(titles);
  return element;
}
