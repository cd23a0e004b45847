#include "data/model_xml.h"

#include "basis/integer_value.h"
#include "platform/code_page.h"
#include "platform/exception.h"
#include "platform/message_value.h"

namespace modelxml {

std::string attribute(const TDomElement* element, std::u16string_view name) {
  return platform::utf16ToAnsi(element->getAttribute(name));
}

void setAttribute(TDomElement* element, std::u16string_view name, const std::string& value) {
  element->setAttribute(name, platform::ansiToUtf16(value));
}

bool hasTag(const TDomElement* element, std::u16string_view name) {
  return element != nullptr && element->tagName() == name;
}

std::string tagName(const TDomElement* element) {
  return element == nullptr ? std::string() : platform::utf16ToAnsi(element->tagName());
}

std::vector<TDomElement*> elementsBelow(const TDomElement* element, std::u16string_view name) {
  std::vector<TDomElement*> found;
  TDomNodeList list = element->getElementsByTagName(name);
  found.reserve(list.length());
  for (TDomNode* node : list) {
    if (TDomElement* e = domCast<TDomElement>(node)) found.push_back(e);
  }
  return found;
}

TDomText* textNode(TDomDocument* document, const std::string& text) {
  return document->createTextNode(platform::ansiToUtf16(text));
}

int32_t parseInteger(const std::string& text) { return TInteger::parse(text); }

uint32_t parseCardinal(const std::string& text) {
  auto fail = [&]() -> uint32_t {
    throw EConvertError("'" + platform::messageValue(text) + "' is not a valid integer value");
  };
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i < text.size() && text[i] == '+') ++i;
  if (i >= text.size()) return fail();
  uint64_t value = 0;
  for (; i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return fail();
    value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    if (value > 0xFFFFFFFFULL) return fail();
  }
  return static_cast<uint32_t>(value);
}

}  // namespace modelxml
