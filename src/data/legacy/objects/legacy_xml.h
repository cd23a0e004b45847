// XML helpers that the legacy models share beyond the current model's
// (data/model_xml.h): child lookup as the old readers did it, the values of
// the 2.5 format kept as element text, and dates as short-date text.
// Elements stay owned by their document.
#pragma once

#include <string>
#include <string_view>

#include "xml/dom_document.h"
#include "xml/dom_node.h"

namespace legacyxml {

// The first element named `name` below `element`, at any depth; none raises
// TXMLHelper's EDomException "Element '<tag>' has no child '<name>'.".
TDomElement* childElement(TDomElement* element, std::string_view name);
// The value of the element's first child in the model's code page. An empty
// value leaves the element without children when it is written and read
// back, so no child reads as the empty string.
std::string firstChildValue(const TDomElement* element);
// firstChildValue of childElement(element, name).
std::string childValue(TDomElement* element, std::string_view name);
// A new element `name` holding `value` as its one text node, appended to `parent`.
void appendValueElement(TDomDocument* document, TDomElement* parent, std::u16string_view name,
                        const std::string& value);
// Notes read back from XML: pairs of line feeds become CR LF again.
std::string expandLineBreaks(const std::string& text);

// The date part of a date-time in the short date format, and back; parsing
// raises the platform's EConvertError for anything else.
std::string formatDate(double dateTime);
double parseDate(const std::string& text);

}  // namespace legacyxml
