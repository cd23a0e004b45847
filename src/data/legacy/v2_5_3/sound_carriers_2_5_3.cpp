#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"

#include <memory>

#include "basis/exceptions.h"
#include "data/model_xml.h"
#include "xml/dom_document.h"
#include "xml/dom_exception.h"

void TSoundCarriers2_5_3::initialize() {
  clear();
  setOwnsObjects(true);
}

int32_t TSoundCarriers2_5_3::add(TMappedObject* obj) {
  if (dynamic_cast<TSoundCarrier2_5_3*>(obj) == nullptr) {
    throw IllegalArgumentException("TSoundCarriers2_5_3.add: Object is no carrier.");
  }
  return append(obj);
}

TSoundCarrier2_5_3* TSoundCarriers2_5_3::getCarrier(int32_t index) const {
  auto* carrier = dynamic_cast<TSoundCarrier2_5_3*>(get(index));
  if (carrier == nullptr)
    throw IllegalStateException("TSoundCarriers2_5_3.getCarrier: Object is no carrier.");
  return carrier;
}

void TSoundCarriers2_5_3::fromXML(TDomElement* element) {
  if (!modelxml::hasTag(element, u"VOSKO")) {
    throw EDomException("TSoundCarriers2_5_3.fromXML: Illegal base tag for a vosko database.");
  }
  if (modelxml::attribute(element, u"VERSION") != TTitle2_5_3::kFileHeader) {
    throw EDomException("TSoundCarriers2_5_3.fromXML: Illegal version of a vosko database.");
  }
  clear();
  for (TDomElement* carrierElement : modelxml::elementsBelow(element, u"CARRIER")) {
    auto carrier = std::make_unique<TSoundCarrier2_5_3>();
    carrier->fromXML(carrierElement);
    append(carrier.get());
    carrier.release();
  }
}

TDomElement* TSoundCarriers2_5_3::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"VOSKO");
  modelxml::setAttribute(element, u"VERSION", TTitle2_5_3::kFileHeader);
  for (int32_t i = 0; i < size(); ++i) element->appendChild(getCarrier(i)->toXML(document));
  return element;
}

TSoundCarriers2_5_3::TSoundCarriers2_5_3(const std::string& configName) {
  TSoundCarriers2_5_3::initialize();
  config_ = std::make_unique<TConfig2_5_3>(configName);
}

TSoundCarriers2_5_3::~TSoundCarriers2_5_3() = default;
