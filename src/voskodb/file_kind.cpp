#include "voskodb/file_kind.h"

#include <cstddef>
#include <memory>
#include <string_view>

#include "basis/exceptions.h"
#include "basis/xml_helper.h"
#include "data/model_xml.h"
#include "platform/os_file.h"
#include "xml/parser_exception.h"
#include "xml/xml_to_dom_parser.h"

namespace {

// Long enough for every binary header.
constexpr size_t kHeaderPrefix = 128;
// As many first bytes as a message about an unknown file shows.
constexpr size_t kShownPrefix = 16;

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

std::string readPrefix(const std::string& path, size_t limit) {
  platform::OsFile file;
  try {
    file.openRead(path);
  } catch (const std::exception&) {
    throw IOException(path + ": cannot be read.");
  }
  std::string bytes(limit, '\0');
  size_t got = 0;
  while (got < limit) {
    size_t n = file.read(bytes.data() + got, limit - got);
    if (n == 0) break;
    got += n;
  }
  bytes.resize(got);
  return bytes;
}

// The root element as the parser reads it for loadXML, so that every document
// the XML forms take is told apart here the same way.
FileKind recognizeXml(const std::string& path) {
  std::unique_ptr<TDomDocument> document;
  try {
    document = TXmlToDomParser(TXMLHelper::getInstance().implementation()).fileToDomUpToRoot(path);
  } catch (const EParserException&) {
    return FileKind::kUnknown;  // not XML, or broken before its root element
  }
  const TDomElement* root = document->documentElement();
  return recognizeXmlRoot(modelxml::tagName(root), root->hasAttribute(u"VERSION"),
                          modelxml::attribute(root, u"VERSION"));
}

FileKind recognize(const std::string& path, const std::string& firstBytes) {
  FileKind kind = recognizeHeader(firstBytes);
  return kind != FileKind::kUnknown ? kind : recognizeXml(path);
}

// What the file starts with instead: control characters and bytes beyond
// ASCII become dots so that the message stays one readable line.
std::string shown(const std::string& firstBytes) {
  std::string bytes;
  for (unsigned char c : firstBytes.substr(0, kShownPrefix))
    bytes += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
  return bytes;
}

}  // namespace

FileKind recognizeHeader(const std::string& firstBytes) {
  // Each header is compared whole, with its closing bracket, so "2.5" is not
  // taken for the start of "2.5.3" nor the 1.5 header for that of 2.0.
  for (const KindRow& row : fileKinds()) {
    if (row.sign == Sign::kHeader && startsWith(firstBytes, row.mark)) return row.kind;
  }
  return FileKind::kUnknown;
}

FileKind recognizeXmlRoot(const std::string& rootName, bool hasVersion, const std::string& version) {
  if (rootName == "VOSKO") {
    for (const KindRow& row : fileKinds()) {
      if (hasVersion ? row.sign == Sign::kRootVersion && version == row.mark
                     : row.sign == Sign::kRootWithoutVersion)
        return row.kind;
    }
  }
  return FileKind::kXmlOther;
}

FileKind recognizeFile(const std::string& path) { return recognize(path, readPrefix(path, kHeaderPrefix)); }

const KindRow& recognizeVoskoFile(const std::string& path) {
  const std::string firstBytes = readPrefix(path, kHeaderPrefix);
  const FileKind kind = recognize(path, firstBytes);
  if (kind == FileKind::kUnknown) {
    throw IllegalArgumentException(path + ": not a Vosko file (it starts with \"" + shown(firstBytes) +
                                   "\", neither a database header nor a VOSKO root element).");
  }
  return kindRow(kind);
}
