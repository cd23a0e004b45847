#include "data/model_xml.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "basis/integer_value.h"
#include "basis/xml_helper.h"
#include "platform/clock.h"
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
  // Two lists of a pointer each for millions of elements, maybe: the node
  // list grown by doubling, and this one.
  element->ownerDocument()->charge(3 * list.length() * sizeof(TDomNode*));
  found.reserve(list.length());
  for (TDomNode* node : list) {
    if (TDomElement* e = domCast<TDomElement>(node)) found.push_back(e);
  }
  return found;
}

TDomText* textNode(TDomDocument* document, const std::string& text) {
  return document->createTextNode(platform::ansiToUtf16(text));
}

void chargeBuilt(const TDomElement* element, size_t objectSize,
                 std::initializer_list<const std::string*> texts) {
  // What malloc keeps of each block beside its bytes.
  constexpr size_t kBlockCost = 2 * sizeof(void*);
  size_t bytes = objectSize + kBlockCost;
  for (const std::string* text : texts) {
    // Short texts live inside the string itself.
    if (text->capacity() >= sizeof(std::string)) bytes += text->capacity() + 1 + kBlockCost;
  }
  element->ownerDocument()->charge(bytes);
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

// ---- values the XML form keeps exactly ----

namespace {

// The shortest decimal that reads back as `value` (also "inf", "-inf", "nan", "-nan").
std::string shortestText(double value) {
  char text[32];
  const std::to_chars_result end = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end.ptr);
}

// The value of the whole text, or nothing when it is not a number.
std::optional<double> readNumber(const std::string& text) {
  double value = 0;
  const char* end = text.data() + text.size();
  const std::from_chars_result read = std::from_chars(text.data(), end, value);
  if (read.ec != std::errc() || read.ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::string unwritableText(std::string_view field, std::string_view text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 || c == '\t' || c == '\n' || c == '\r') continue;
    char clause[96];
    std::snprintf(clause, sizeof clause, " holds the byte 0x%02X at position %zu, which XML 1.0 cannot hold",
                  c, i + 1);
    return std::string(field) + clause;
  }
  return {};
}

std::string unwritableRelease(double release) {
  const std::optional<double> back = readNumber(shortestText(release));
  if (back && std::bit_cast<uint64_t>(*back) == std::bit_cast<uint64_t>(release)) return {};
  char clause[96];
  std::snprintf(clause, sizeof clause, "RELEASE is not a number (0x%016llX), which no text reads back as",
                static_cast<unsigned long long>(std::bit_cast<uint64_t>(release)));
  return clause;
}

std::optional<std::string> releaseDays(double release) {
  static const double firstDay = platform::encodeDate(1, 1, 1);
  static const double lastDay = platform::encodeDate(9999, 12, 31);
  // Exactly the values the short date gives back: whole days from 1.1.0001 to
  // 31.12.9999 (-0 would come back as 0).
  const bool wholeDay = release == std::trunc(release) && !(release == 0 && std::signbit(release));
  if (wholeDay && release >= firstDay && release <= lastDay) return std::nullopt;
  return shortestText(release);
}

double parseRelease(const std::string& release, const std::string* days) {
  if (days == nullptr) return platform::parseShortDate(release);
  const std::optional<double> value = readNumber(*days);
  if (!value) throw EConvertError("'" + platform::messageValue(*days) + "' is not a valid day count");
  return platform::formatShortDate(*value) == release ? *value : platform::parseShortDate(release);
}

bool needsExactLineBreaks(std::string_view notes) {
  for (size_t i = notes.find('\n'); i != std::string_view::npos; i = notes.find('\n', i + 1)) {
    if (i > 0 && notes[i - 1] == '\r') continue;
    const std::string_view after = notes.substr(i + 1);
    if (after.starts_with('\n') || after.starts_with("\r\n")) return true;
  }
  return false;
}

std::string notesFromText(std::string text, bool exactLineBreaks) {
  return exactLineBreaks ? std::move(text) : TXMLHelper::expandLineBreaks(text);
}

bool exactLineBreaks(const std::string* lineBreaks) {
  if (lineBreaks == nullptr) return false;
  if (*lineBreaks == kExactLineBreaks) return true;
  throw EConvertError("'" + platform::messageValue(*lineBreaks) + "' is not a valid LINEBREAKS value");
}

}  // namespace modelxml
