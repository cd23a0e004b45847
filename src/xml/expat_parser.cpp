#include "xml/expat_parser.h"

#include <algorithm>

#include "xml/xml_encoding.h"

namespace xml {
namespace {

// The largest piece handed to expat at once; its buffer is indexed by int.
constexpr std::int64_t kMaxPiece = 1 << 30;

int XMLCALL onUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) noexcept {
  try {
    if (!singleByteTable(name, info->map)) return XML_STATUS_ERROR;
  } catch (...) {
    return XML_STATUS_ERROR;
  }
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return XML_STATUS_OK;
}

}  // namespace

XML_Parser createParser() {
  XML_Parser parser = XML_ParserCreateNS(nullptr, kNamespaceSeparator);
  if (parser == nullptr) return nullptr;
  XML_SetReturnNSTriplet(parser, XML_TRUE);
  XML_SetParamEntityParsing(parser, XML_PARAM_ENTITY_PARSING_NEVER);
  XML_SetUnknownEncodingHandler(parser, onUnknownEncoding, nullptr);
  return parser;
}

int filePieceSize(std::int64_t unparsed) {
  return static_cast<int>(std::clamp<std::int64_t>(unparsed, kFilePiece, kMaxPiece));
}

}  // namespace xml
