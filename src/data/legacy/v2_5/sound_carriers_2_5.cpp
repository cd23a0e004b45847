#include "data/legacy/v2_5/sound_carriers_2_5.h"

#include <memory>

#include "basis/exceptions.h"
#include "data/model_xml.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

void TSoundCarriers2_5::initialize() {
  clear();
  setOwnsObjects(true);
}

int32_t TSoundCarriers2_5::add(TMappedObject* obj) {
  if (dynamic_cast<TSoundCarrier2_5*>(obj) == nullptr) {
    throw IllegalArgumentException("TSoundCarriers2_5.add: Object is no carrier.");
  }
  return append(obj);
}

TSoundCarrier2_5* TSoundCarriers2_5::getCarrier(int32_t index) const {
  auto* carrier = dynamic_cast<TSoundCarrier2_5*>(get(index));
  if (carrier == nullptr) throw IllegalStateException("TSoundCarriers2_5.getCarrier: Object is no carrier.");
  return carrier;
}

void TSoundCarriers2_5::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"VOSKO")) throw EDomException("Illegal base tag for a vosko database.");
  clear();
  for (TDomElement* carrierElement : modelxml::elementsBelow(element, u"CARRIER")) {
    auto carrier = std::make_unique<TSoundCarrier2_5>();
    carrier->fromXML(carrierElement);
    append(carrier.get());
    carrier.release();
  }
}

TDomElement* TSoundCarriers2_5::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"VOSKO");
  for (int32_t i = 0; i < size(); ++i) element->appendChild(getCarrier(i)->toXML(document));
  return element;
}

TSoundCarriers2_5::TSoundCarriers2_5(const std::string& configName) {
  TSoundCarriers2_5::initialize();
  config_ = std::make_unique<TConfig2_5>(configName);
}

TSoundCarriers2_5::~TSoundCarriers2_5() = default;
