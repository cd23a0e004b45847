#include "data/toc_data.h"

#include <cstdio>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "data/model_xml.h"
#include "platform/exception.h"
#include "xml/dom_exception.h"

void TTOCData::initialize() {
  TArrayList::initialize();
  setOwnsObjects(true);
  leadOut = std::make_unique<TTOCTrack>();
  discId = 0;
}

std::string TTOCData::toString() const {
  char id[9];
  std::snprintf(id, sizeof id, "%08x", static_cast<unsigned>(discId));
  return "TTOCData: (" + std::to_string(size()) + ") " + id;
}

int32_t TTOCData::add(TMappedObject* obj) {
  auto* track = dynamic_cast<TTOCTrack*>(obj);
  if (track == nullptr) throw IllegalArgumentException("TTOCTrack.add: No TTOCTrack instance.");
  const int32_t index = append(track);
  track->trackNumber = size() - 1;
  return index;
}

TTOCTrack* TTOCData::getTrack(int32_t index) const { return static_cast<TTOCTrack*>(get(index)); }

void TTOCData::writeTo(TFile& file) {
  if (!leadOut) throw IOException("TTOCData.write: No lead out assigned.");
  file.writeCardinal(discId);
  file.writeTPObject(*leadOut);
  TArrayList::writeTo(file);
}

void TTOCData::readFrom(TFile& file) {
  discId = file.readCardinal();
  std::unique_ptr<TPObject> read = file.readTPObject();
  // Any other class in the lead-out's place would be taken for a track later on.
  auto* track = dynamic_cast<TTOCTrack*>(read.get());
  if (track == nullptr) throw IOException("TTOCData.read: Lead out is no TTOCTrack.");
  read.release();
  leadOut.reset(track);
  // The list's reading clears the tracks and passes each one to add().
  TArrayList::readFrom(file);
}

void TTOCData::fromXML(TDomElement* element) {
  try {
    if (!modelxml::hasTag(element, u"TOC")) {
      throw EDomException("TTOCData.fromXML: Illegal base tag for a TOC track collection.");
    }
    try {
      discId = modelxml::parseCardinal(modelxml::attribute(element, u"DISCID"));
    } catch (const EConvertError& e) {
      throw EDomException("TTOCData.fromXML: Illegal disc ID: " + e.message());
    }
    std::vector<TDomElement*> tracks = modelxml::elementsBelow(element, u"TOCTRACK");
    clear();
    bool first = true;
    for (TDomElement* trackElement : tracks) {
      auto track = std::make_unique<TTOCTrack>();
      track->fromXML(trackElement);
      if (first) {
        leadOut = std::move(track);
        first = false;
      } else {
        append(std::move(track));
      }
    }
  } catch (const std::exception& e) {
    throw EDomException(platform::wrapMessage("TTOCData.fromXML", e));
  }
}

TDomElement* TTOCData::toXML(TDomDocument* document) {
  // Without it the first track would be read back as the lead-out.
  if (!leadOut) throw IOException("TTOCData.toXML: No lead out assigned.");
  TDomElement* element = document->createElement(u"TOC");
  modelxml::setAttribute(element, u"DISCID", std::to_string(discId));
  element->appendChild(leadOut->toXML(document));
  for (int32_t i = 0; i < size(); ++i) element->appendChild(getTrack(i)->toXML(document));
  return element;
}
