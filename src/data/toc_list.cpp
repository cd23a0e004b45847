#include "data/toc_list.h"

#include <memory>

#include "basis/exceptions.h"
#include "data/model_xml.h"
#include "platform/exception.h"
#include "platform/message_value.h"
#include "xml/dom_exception.h"

void TTOCList::initialize() {
  TArrayList::initialize();
  setOwnsObjects(true);
}

int32_t TTOCList::add(TMappedObject* obj) {
  auto* toc = dynamic_cast<TTOCData*>(obj);
  if (toc == nullptr) throw IllegalArgumentException("TTOCList.add: object not assigned or no TTOCData.");
  return append(toc);
}

TTOCData* TTOCList::getTOC(int32_t index) const { return static_cast<TTOCData*>(get(index)); }

void TTOCList::fromXML(TDomElement* element) {
  try {
    if (!modelxml::hasTag(element, u"TOCS")) {
      throw EDomException("Illegal base tag for toc list: " +
                          platform::messageValue(modelxml::tagName(element)));
    }
    std::vector<TDomElement*> tocs = modelxml::elementsBelow(element, u"TOC");
    clear();
    for (TDomElement* tocElement : tocs) {
      auto toc = std::make_unique<TTOCData>();
      toc->fromXML(tocElement);
      append(std::move(toc));
    }
  } catch (const std::exception& e) {
    throw EDomException(platform::wrapMessage("TTOCList.fromXML", e));
  }
}

TDomElement* TTOCList::toXML(TDomDocument* document) {
  TDomElement* element = document->createElement(u"TOCS");
  for (int32_t i = 0; i < size(); ++i) element->appendChild(getTOC(i)->toXML(document));
  return element;
}
