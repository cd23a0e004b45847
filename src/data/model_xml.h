// Small helpers shared by the model classes' XML forms: the model keeps
// 8-bit Windows-1252 strings, the document UTF-16, so every name and value
// crosses through the code page here. Elements handed to these helpers stay
// owned by their document.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"
#include "xml/dom_document.h"
#include "xml/dom_node.h"

namespace modelxml {

// The attribute's value in the model's code page; empty when it is missing.
VOSKO_API std::string attribute(const TDomElement* element, std::u16string_view name);
VOSKO_API void setAttribute(TDomElement* element, std::u16string_view name, const std::string& value);
// True when `element` exists and is named `name` exactly.
VOSKO_API bool hasTag(const TDomElement* element, std::u16string_view name);
// The element's tag in the model's code page; empty for a missing element.
VOSKO_API std::string tagName(const TDomElement* element);
// Every element named `name` below `element`, at any depth, in document order.
VOSKO_API std::vector<TDomElement*> elementsBelow(const TDomElement* element, std::u16string_view name);
// A new text node holding `text`, created in (and owned by) `document`.
VOSKO_API TDomText* textNode(TDomDocument* document, const std::string& text);

// Decimal conversions of attribute values; each raises EConvertError
// "'<text>' is not a valid integer value" when the text does not convert.
VOSKO_API int32_t parseInteger(const std::string& text);
// 0 to 4294967295, digits only after optional leading blanks and "+".
VOSKO_API uint32_t parseCardinal(const std::string& text);

}  // namespace modelxml
