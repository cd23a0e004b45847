// The XML parser and the model's XML reader on any bytes, fed whole.
#include <cstddef>
#include <cstdint>
#include <exception>
#include <string_view>

#include "basis/xml_helper.h"
#include "data/sound_carriers.h"
#include "fuzz_input.h"
#include "xml/xml_to_dom_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  try {
    TXmlToDomParser parser(TXMLHelper::getInstance().implementation());
    auto document = parser.bufferToDom(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.xml");
    TSoundCarriers carriers;
    carriers.loadXML(document.get());
  } catch (const std::exception&) {
  }
  return 0;
}
