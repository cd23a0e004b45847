// The frame of the XML targets: the input as an XML file parsed into a DOM,
// and the same bytes fed to the parser in small pieces. Both must give the
// same answer, a document written back identically or a failure, since a
// stream may deliver a document cut anywhere; the model then reads itself
// from the document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <sstream>
#include <string>

#include "basis/xml_helper.h"
#include "fuzz_input.h"
#include "xml/dom_serializer.h"
#include "xml/xml_to_dom_parser.h"

namespace fuzzinput {

inline std::unique_ptr<TDomDocument> parseOrNull(auto parse) {
  try {
    return parse();
  } catch (const std::exception&) {
    return nullptr;
  }
}

inline std::string written(const TDomDocument& document) {
  std::ostringstream out;
  TDomSerializer(out).writeDocument(document);
  return out.str();
}

template <class Model>
void xmlToModel(const uint8_t* data, size_t size) {
  startOnce();
  TXMLHelper& helper = TXMLHelper::getInstance();
  ScratchFile input("input.xml", bytes(data, size));
  std::unique_ptr<TDomDocument> whole = parseOrNull([&] { return helper.fileToDOM(input.path()); });
  // Pieces of 1 to 16 bytes, chosen by the input so each length gets its turn.
  size_t pieceSize = 1 + (size > 0 ? data[size - 1] % 16 : 0);
  std::unique_ptr<TDomDocument> pieces = parseOrNull([&] {
    return TXmlToDomParser(helper.implementation()).bufferToDom(bytes(data, size), input.path(), pieceSize);
  });
  if ((whole == nullptr) != (pieces == nullptr) ||
      (whole != nullptr && written(*whole) != written(*pieces))) {
    std::fprintf(stderr, "fuzz: the document parsed whole and in pieces of %zu differ\n", pieceSize);
    std::abort();
  }
  if (whole == nullptr) return;
  expectNoCrash([&] {
    Model model;
    model.loadXML(whole.get());
  });
}

}  // namespace fuzzinput
