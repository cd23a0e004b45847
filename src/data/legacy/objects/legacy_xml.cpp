#include "data/legacy/objects/legacy_xml.h"

#include "basis/xml_helper.h"
#include "platform/clock.h"
#include "platform/code_page.h"

namespace legacyxml {

TDomElement* childElement(TDomElement* element, std::string_view name) {
  return TXMLHelper::getInstance().getChildElement(element, std::string(name));
}

std::string firstChildValue(const TDomElement* element) {
  TDomNode* first = element->firstChild();
  return first == nullptr ? std::string() : platform::utf16ToAnsi(first->nodeValue());
}

std::string childValue(TDomElement* element, std::string_view name) {
  return firstChildValue(childElement(element, name));
}

void appendValueElement(TDomDocument* document, TDomElement* parent, std::u16string_view name,
                        const std::string& value) {
  TDomElement* element = document->createElement(name);
  element->appendChild(document->createTextNode(platform::ansiToUtf16(value)));
  parent->appendChild(element);
}

std::string expandLineBreaks(const std::string& text) { return TXMLHelper::expandLineBreaks(text); }

std::string formatDate(double dateTime) { return platform::formatShortDate(dateTime); }

double parseDate(const std::string& text) { return platform::parseShortDate(text); }

}  // namespace legacyxml
