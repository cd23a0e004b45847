// Small helpers shared by the model classes' XML forms: the model keeps
// 8-bit Windows-1252 strings, the document UTF-16, so every name and value
// crosses through the code page here. Elements handed to these helpers stay
// owned by their document.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <optional>
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

// Counts an object built from `element` (its size and its texts' memory)
// against the memory the element's document was read under (see
// TDomDocument::charge, which raises EOutOfMemory beyond it).
VOSKO_API void chargeBuilt(const TDomElement* element, size_t objectSize,
                           std::initializer_list<const std::string*> texts);

// Decimal conversions of attribute values; each raises EConvertError
// "'<text>' is not a valid integer value" when the text does not convert.
VOSKO_API int32_t parseInteger(const std::string& text);
// 0 to 4294967295, digits only after optional leading blanks and "+".
VOSKO_API uint32_t parseCardinal(const std::string& text);

// ---- values the XML form keeps exactly ----
//
// What export writes, import reads back to the same bytes. Where the form of
// a value alone would not (a release with a time of day or outside the years
// 1 to 9999, notes whose line breaks expandLineBreaks would change), the
// element carries one more attribute, written only then, so that documents
// of ordinary values keep their bytes and other readers, which ignore it,
// read what they always read. A text byte XML 1.0 cannot hold at all makes
// the writing refuse.

// The extra attribute of CARRIER: the release as the exact day count.
inline constexpr char16_t kReleaseDays[] = u"RELEASEDAYS";
// The extra attribute of NOTES, with the value kExactLineBreaks: its line
// breaks are the notes' own and are not repaired.
inline constexpr char16_t kLineBreaks[] = u"LINEBREAKS";
inline constexpr const char* kExactLineBreaks = "exact";

// Empty when XML 1.0 holds every byte of `text`; otherwise the clause naming
// the first it cannot hold (a control character other than TAB, LF and CR):
// "<field> holds the byte 0x07 at position 4, which XML 1.0 cannot hold".
VOSKO_API std::string unwritableText(std::string_view field, std::string_view text);
// Empty when the release can be written; otherwise the clause naming it: a
// value whose text does not read back to the same eight bytes (a NaN other
// than the two that "nan" and "-nan" read as).
VOSKO_API std::string unwritableRelease(double release);

// RELEASEDAYS for a release whose short date does not read back to the same
// value: the shortest decimal that does ("inf", "-inf", "nan" included);
// nothing for a whole day of the years 1 to 9999.
// REQUIRES: unwritableRelease(release) is empty.
VOSKO_API std::optional<std::string> releaseDays(double release);
// The release of a CARRIER from RELEASE and RELEASEDAYS (null when absent):
// the day count when it still shows as RELEASE, else RELEASE as a short date
// (someone changed RELEASE by hand). Raises EConvertError
// "'<text>' is not a valid date" or "... is not a valid day count".
VOSKO_API double parseRelease(const std::string& release, const std::string* days);

// True when the usual form of notes (CR LF written CR CR LF and read back
// through expandLineBreaks) would not give `notes` back: an LF without a CR
// before it that another LF or a CR LF follows.
VOSKO_API bool needsExactLineBreaks(std::string_view notes);
// The notes from the text of NOTES: as they are with exact line breaks,
// otherwise repaired by expandLineBreaks.
VOSKO_API std::string notesFromText(std::string text, bool exactLineBreaks);
// Whether NOTES, by its LINEBREAKS value (null when absent), holds exact line
// breaks; raises EConvertError for any other value than kExactLineBreaks.
VOSKO_API bool exactLineBreaks(const std::string* lineBreaks);

}  // namespace modelxml
