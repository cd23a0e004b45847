#include "data/sound_carriers.h"

#include <memory>

#include "basis/exceptions.h"
#include "data/model_xml.h"
#include "platform/exception.h"
#include "platform/message_value.h"
#include "xml/dom_exception.h"

TSoundCarriers::TSoundCarriers(const std::string& configName) {
  TSoundCarriers::initialize();
  config_ = std::make_unique<TConfig>(configName);
}

TSoundCarriers::~TSoundCarriers() = default;

void TSoundCarriers::initialize() {
  TArrayList::initialize();
  setOwnsObjects(true);
}

std::string TSoundCarriers::fileHeader() const { return TSoundCarrier::kFileHeader; }

int32_t TSoundCarriers::add(TMappedObject* obj) {
  auto* carrier = dynamic_cast<TSoundCarrier*>(obj);
  if (carrier == nullptr) throw IllegalArgumentException("TSoundCarriers.add: Object is no carrier.");
  return append(carrier);
}

TSoundCarrier* TSoundCarriers::getCarrier(int32_t index) const {
  return static_cast<TSoundCarrier*>(get(index));
}

void TSoundCarriers::fromXML(TDomElement* element) {
  try {
    if (!modelxml::hasTag(element, u"VOSKO")) throw EDomException("Illegal base tag for a vosko database.");
    if (modelxml::attribute(element, u"VERSION") != kXmlVersion) {
      throw EDomException("Illegal version of a vosko XML database.");
    }
    std::vector<TDomElement*> carriers = modelxml::elementsBelow(element, u"CARRIER");
    clear();
    for (TDomElement* carrierElement : carriers) {
      auto carrier = std::make_unique<TSoundCarrier>();
      carrier->fromXML(carrierElement);
      modelxml::chargeBuilt(carrierElement,
                            sizeof(TSoundCarrier) + sizeof(TTOCList) + 3 * sizeof(TSoundCarrier*),
                            {&carrier->name, &carrier->label, &carrier->artist, &carrier->type,
                             &carrier->notes, &carrier->contentType, &carrier->image, &carrier->printImage});
      append(std::move(carrier));
    }
  } catch (const std::exception& e) {
    throw EDomException(platform::wrapMessage("TSoundCarriers.fromXML", e));
  }
}

TDomElement* TSoundCarriers::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"VOSKO");
  modelxml::setAttribute(element, u"VERSION", kXmlVersion);
  for (int32_t i = 0; i < size(); ++i) {
    TSoundCarrier* carrier = getCarrier(i);
    // Refused here, where the carrier's number is known, before anything is written.
    if (std::string problem = carrier->unwritableXml(); !problem.empty()) {
      throw IOException("TSoundCarriers.toXML: carrier " + std::to_string(i + 1) + " '" +
                        platform::messageValue(carrier->name) + "': " + problem + ".");
    }
    element->appendChild(carrier->toXML(document));
  }
  return element;
}
