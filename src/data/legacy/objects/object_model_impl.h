// The definitions of TTitleOf, TSoundCarrierOf and TSoundCarriersOf. Only the
// .cpp of a version includes this, to instantiate its three classes once.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_value.h"
#include "data/carrier_artists.h"
#include "data/legacy/objects/legacy_carrier_titles.h"
#include "data/legacy/objects/legacy_xml.h"
#include "data/legacy/objects/sound_carriers_template.h"
#include "data/model_xml.h"
#include "debug/channel.h"
#include "debug/channel_pool.h"
#include "platform/clock.h"
#include "platform/exception.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

namespace objectmodel {

// True when the version's own fields include `contentType`, which then also
// shows in toString and reaches the converted model.
template <class Fields>
constexpr bool kHasContentType = requires(Fields fields) {
  fields.contentType;
};

// One value of an XML element, read and written as the version keeps it:
// as a child element's text or as an attribute.
template <class Format>
std::string readValue(TDomElement* element, std::u16string_view name) {
  if constexpr (Format::kValuesAsElements) {
    return legacyxml::childValue(element, std::string(name.begin(), name.end()));
  } else {
    return modelxml::attribute(element, name);
  }
}

template <class Format>
void writeValue(TDomDocument* document, TDomElement* element, std::u16string_view name,
                const std::string& value) {
  if constexpr (Format::kValuesAsElements) {
    legacyxml::appendValueElement(document, element, name, value);
  } else {
    modelxml::setAttribute(element, name, value);
  }
}

template <class Table, class Fields>
void initializeFields(const Table& table, Fields& fields) {
  for (const auto& field : table) fields.*field.member = field.initial;
}

template <class Table, class Fields>
void readFields(const Table& table, Fields& fields, TFile& file) {
  for (const auto& field : table) fields.*field.member = file.readString();
}

template <class Table, class Fields>
void writeFields(const Table& table, const Fields& fields, TFile& file) {
  for (const auto& field : table) file.writeString(fields.*field.member);
}

template <class Format, class Table, class Fields>
void readXMLFields(const Table& table, Fields& fields, TDomElement* element) {
  for (const auto& field : table) fields.*field.member = readValue<Format>(element, field.xmlName);
}

template <class Format, class Table, class Fields>
void writeXMLFields(const Table& table, const Fields& fields, TDomDocument* document, TDomElement* element) {
  for (const auto& field : table) writeValue<Format>(document, element, field.xmlName, fields.*field.member);
}

}  // namespace objectmodel

// TTitleOf

template <class Format>
TTitleOf<Format>::TTitleOf(const std::string& titleName, const std::string& titleUrl) {
  TTitleOf::initialize();
  name = titleName;
  url = titleUrl;
}

template <class Format>
TTitleOf<Format>::TTitleOf(const std::string& titleName, const std::string& titleUrl,
                           const std::string& titleArtist) {
  TTitleOf::initialize();
  name = titleName;
  url = titleUrl;
  artist = titleArtist;
}

template <class Format>
void TTitleOf<Format>::initialize() {
  name = Format::kTitleInitials.name;
  url = Format::kTitleInitials.url;
  artist = Format::kTitleInitials.artist;
  objectmodel::initializeFields(Format::kTitleFields, static_cast<typename Format::TitleFields&>(*this));
  track = 0;
  carrier = nullptr;
}

template <class Format>
std::string TTitleOf<Format>::toString() const {
  std::string text = TString::zeroPad(track, 2) + " " + artist;
  // The original artist and the film, where the version has them, stand
  // together in one pair of brackets.
  std::string aside;
  if constexpr (requires { this->originalArtist; }) aside = this->originalArtist;
  if constexpr (requires { this->film; }) {
    if (!aside.empty() && !this->film.empty()) aside += ", ";
    aside += this->film;
  }
  if (!aside.empty()) text += " (" + aside + ")";
  text += " - " + name + ", " + url;
  if constexpr (objectmodel::kHasContentType<typename Format::TitleFields>) {
    text += " (" + this->contentType + ")";
  }
  return text;
}

template <class Format>
void TTitleOf<Format>::readFrom(TFile& file) {
  name = file.readString();
  artist = file.readString();
  url = file.readString();
  objectmodel::readFields(Format::kTitleFields, static_cast<typename Format::TitleFields&>(*this), file);
}

template <class Format>
void TTitleOf<Format>::writeTo(TFile& file) {
  file.writeString(name);
  file.writeString(artist);
  file.writeString(url);
  objectmodel::writeFields(Format::kTitleFields, static_cast<const typename Format::TitleFields&>(*this),
                           file);
}

template <class Format>
void TTitleOf<Format>::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"TITLE")) throw EDomException(Format::kTitleTagError);
  name = objectmodel::readValue<Format>(element, u"NAME");
  artist = objectmodel::readValue<Format>(element, u"ARTIST");
  url = objectmodel::readValue<Format>(element, u"URL");
  const std::string trackText = objectmodel::readValue<Format>(element, u"TRACK");
  try {
    track = modelxml::parseInteger(trackText);
  } catch (const EConvertError& e) {
    throw EDomException(Format::kTrackErrorPrefix + e.message());
  }
  objectmodel::readXMLFields<Format>(Format::kTitleFields, static_cast<typename Format::TitleFields&>(*this),
                                     element);
}

template <class Format>
TDomElement* TTitleOf<Format>::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"TITLE");
  objectmodel::writeValue<Format>(document, element, u"NAME", name);
  objectmodel::writeValue<Format>(document, element, u"ARTIST", artist);
  objectmodel::writeValue<Format>(document, element, u"URL", url);
  objectmodel::writeValue<Format>(document, element, u"TRACK", std::to_string(track));
  objectmodel::writeXMLFields<Format>(
      Format::kTitleFields, static_cast<const typename Format::TitleFields&>(*this), document, element);
  return element;
}

// TSoundCarrierOf

template <class Format>
TSoundCarrierOf<Format>::TSoundCarrierOf(const std::string& carrierName, const std::string& carrierLabel,
                                         const std::string& carrierType) {
  if constexpr (Format::kTracesCreation) {
    TChannelPool::getChannel("vosko")->trace(
        std::string(kClassName) + ".create(" + carrierName + "," + carrierLabel + "," + carrierType + ")", 5);
  }
  TSoundCarrierOf::initialize();
  name = carrierName;
  label = carrierLabel;
  type = carrierType;
}

template <class Format>
void TSoundCarrierOf<Format>::initialize() {
  clear();
  name = Format::kCarrierInitials.name;
  label = Format::kCarrierInitials.label;
  artist = Format::kCarrierInitials.artist;
  type = Format::kCarrierInitials.type;
  release = platform::now();
  notes = Format::kCarrierInitials.notes;
  objectmodel::initializeFields(Format::kCarrierFields, static_cast<typename Format::CarrierFields&>(*this));
  setOwnsObjects(true);
}

template <class Format>
std::string TSoundCarrierOf<Format>::toString() const {
  std::string text =
      name + ", " + artist + " - " + label + ", " + platform::formatShortDate(release) + " " + type;
  if constexpr (objectmodel::kHasContentType<typename Format::CarrierFields>) {
    text += " (" + this->contentType + ")";
  }
  return text;
}

template <class Format>
void TSoundCarrierOf<Format>::readFrom(TFile& file) {
  name = file.readString();
  label = file.readString();
  artist = file.readString();
  type = file.readString();
  release = file.readDouble();
  notes = file.readString();
  objectmodel::readFields(Format::kCarrierFields, static_cast<typename Format::CarrierFields&>(*this), file);
  TArrayList::readFrom(file);
}

template <class Format>
void TSoundCarrierOf<Format>::writeTo(TFile& file) {
  file.writeString(name);
  file.writeString(label);
  file.writeString(artist);
  file.writeString(type);
  file.writeDouble(release);
  file.writeString(notes);
  objectmodel::writeFields(Format::kCarrierFields, static_cast<const typename Format::CarrierFields&>(*this),
                           file);
  TArrayList::writeTo(file);
}

template <class Format>
int32_t TSoundCarrierOf<Format>::add(TMappedObject* obj) {
  return legacycarrier::addNumberedTitle<Title>(*this, obj);
}

template <class Format>
int32_t TSoundCarrierOf<Format>::addTitle(Title* title) requires Format::kAddTitle {
  int32_t index = add(title);
  title->artist = artist;
  return index;
}

template <class Format>
typename TSoundCarrierOf<Format>::Title* TSoundCarrierOf<Format>::getTitle(int32_t index) const {
  return legacycarrier::titleAt<Title>(*this, index);
}

template <class Format>
bool TSoundCarrierOf<Format>::hasMixedArtists() const {
  return carrierartists::hasMixedArtists(*this);
}

template <class Format>
std::string TSoundCarrierOf<Format>::assembleSplitArtist() const requires Format::kSplitArtist {
  // The branch keeps compilers that instantiate every member of an explicitly
  // instantiated class, whatever its constraint, from compiling it for the
  // versions without split carriers.
  if constexpr (Format::kSplitArtist) return carrierartists::assembleSplitArtist(*this);
  return artist;
}

template <class Format>
std::string TSoundCarrierOf<Format>::getArtist() const requires(!Format::kSplitArtist) {
  return carrierartists::shownArtist<false>(*this);
}

template <class Format>
std::string TSoundCarrierOf<Format>::getArtist() requires Format::kSplitArtist {
  if constexpr (Format::kSplitArtist) artist = carrierartists::shownArtist<true>(*this);
  return artist;
}

template <class Format>
void TSoundCarrierOf<Format>::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"CARRIER")) throw EDomException(Format::kCarrierTagError);
  name = objectmodel::readValue<Format>(element, u"NAME");
  artist = objectmodel::readValue<Format>(element, u"ARTIST");
  label = objectmodel::readValue<Format>(element, u"LABEL");
  type = objectmodel::readValue<Format>(element, u"TYPE");
  const std::string releaseText = objectmodel::readValue<Format>(element, u"RELEASE");
  try {
    release = legacyxml::parseDate(releaseText);
  } catch (const EConvertError& e) {
    throw EDomException(std::string(kClassName) + ".fromXML: Illegal date: " + e.message());
  }
  objectmodel::readXMLFields<Format>(Format::kCarrierFields,
                                     static_cast<typename Format::CarrierFields&>(*this), element);
  notes = legacyxml::expandLineBreaks(legacyxml::childValue(element, "NOTES"));
  legacycarrier::readTitlesXML<Title>(*this, legacyxml::childElement(element, "TITLES"));
}

template <class Format>
TDomElement* TSoundCarrierOf<Format>::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"CARRIER");
  objectmodel::writeValue<Format>(document, element, u"NAME", name);
  objectmodel::writeValue<Format>(document, element, u"ARTIST", artist);
  objectmodel::writeValue<Format>(document, element, u"LABEL", label);
  objectmodel::writeValue<Format>(document, element, u"TYPE", type);
  objectmodel::writeValue<Format>(document, element, u"RELEASE", legacyxml::formatDate(release));
  objectmodel::writeXMLFields<Format>(
      Format::kCarrierFields, static_cast<const typename Format::CarrierFields&>(*this), document, element);
  legacyxml::appendValueElement(document, element, u"NOTES", notes);
  TDomElement* titles = document->createElement(u"TITLES");
  for (int32_t i = 0; i < size(); ++i) titles->appendChild(getTitle(i)->toXML(document));
  element->appendChild(titles);
  return element;
}

// TSoundCarriersOf

template <class Format>
TSoundCarriersOf<Format>::TSoundCarriersOf(const std::string& configName) {
  TSoundCarriersOf::initialize();
  config_ = std::make_unique<Config>(configName);
}

template <class Format>
TSoundCarriersOf<Format>::~TSoundCarriersOf() = default;

template <class Format>
void TSoundCarriersOf<Format>::initialize() {
  clear();
  setOwnsObjects(true);
}

template <class Format>
int32_t TSoundCarriersOf<Format>::add(TMappedObject* obj) {
  if (dynamic_cast<Carrier*>(obj) == nullptr) {
    throw IllegalArgumentException(std::string(kClassName) + ".add: Object is no carrier.");
  }
  return append(obj);
}

template <class Format>
typename TSoundCarriersOf<Format>::Carrier* TSoundCarriersOf<Format>::getCarrier(int32_t index) const {
  auto* carrier = dynamic_cast<Carrier*>(get(index));
  if (carrier == nullptr) {
    throw IllegalStateException(std::string(kClassName) + ".getCarrier: Object is no carrier.");
  }
  return carrier;
}

template <class Format>
void TSoundCarriersOf<Format>::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"VOSKO")) throw EDomException(Format::kDatabaseTagError);
  if constexpr (Format::kXmlVersion != nullptr) {
    if (modelxml::attribute(element, u"VERSION") != Format::kXmlVersion) {
      throw EDomException(Format::kXmlVersionError);
    }
  }
  clear();
  for (TDomElement* carrierElement : modelxml::elementsBelow(element, u"CARRIER")) {
    auto carrier = std::make_unique<Carrier>();
    carrier->fromXML(carrierElement);
    append(std::move(carrier));
  }
}

template <class Format>
TDomElement* TSoundCarriersOf<Format>::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"VOSKO");
  if constexpr (Format::kXmlVersion != nullptr)
    modelxml::setAttribute(element, u"VERSION", Format::kXmlVersion);
  for (int32_t i = 0; i < size(); ++i) element->appendChild(getCarrier(i)->toXML(document));
  return element;
}
