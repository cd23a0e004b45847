#include "voskodb/file_kind.h"

#include <cstddef>
#include <memory>
#include <string_view>

#include "basis/exceptions.h"
#include "basis/xml_helper.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "data/legacy/v2_5/title_2_5.h"
#include "data/legacy/v2_5_3/title_2_5_3.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "data/legacy/v2_5_5/title_2_5_5.h"
#include "data/model_xml.h"
#include "data/relations_persistent.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "debug/debug_entries.h"
#include "platform/os_file.h"
#include "xml/parser_exception.h"
#include "xml/xml_to_dom_parser.h"

namespace {

// Long enough for every binary header.
constexpr size_t kHeaderPrefix = 128;

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

}  // namespace

std::string describeKind(FileKind kind) {
  switch (kind) {
    case FileKind::kDatabase1_5:
      return "sound-carrier database, old format 1.5";
    case FileKind::kDatabase2_0:
      return "sound-carrier database, old format 2.0";
    case FileKind::kDatabase2_5:
      return "sound-carrier database, old format 2.5";
    case FileKind::kDatabase2_5_3:
      return "sound-carrier database, old format 2.5.3";
    case FileKind::kDatabase2_5_5:
      return "sound-carrier database, old format 2.5.5";
    case FileKind::kDatabase2_5_7:
      return "sound-carrier database, current format 2.5.7";
    case FileKind::kRelations:
      return "artist-relations database";
    case FileKind::kDebugEntries:
      return "binary debug entries";
    case FileKind::kXmlDatabase:
      return "sound-carrier database as XML, version 1.1.0";
    case FileKind::kXmlRelations:
      return "artist-relations database as XML";
    case FileKind::kXmlDatabase2_5:
      return "sound-carrier database as XML of format 2.5";
    case FileKind::kXmlDatabase2_5_3:
      return "sound-carrier database as XML of format 2.5.3";
    case FileKind::kXmlDatabase2_5_5:
      return "sound-carrier database as XML of format 2.5.5";
    case FileKind::kXmlOther:
      return "document in XML of no known Vosko form";
    case FileKind::kUnknown:
      break;
  }
  return "unknown";
}

std::string kindKey(FileKind kind) {
  switch (kind) {
    case FileKind::kDatabase1_5:
      return "database-1.5";
    case FileKind::kDatabase2_0:
      return "database-2.0";
    case FileKind::kDatabase2_5:
      return "database-2.5";
    case FileKind::kDatabase2_5_3:
      return "database-2.5.3";
    case FileKind::kDatabase2_5_5:
      return "database-2.5.5";
    case FileKind::kDatabase2_5_7:
      return "database-2.5.7";
    case FileKind::kRelations:
      return "relations";
    case FileKind::kDebugEntries:
      return "debug-entries";
    case FileKind::kXmlDatabase:
      return "database-xml";
    case FileKind::kXmlRelations:
      return "relations-xml";
    case FileKind::kXmlDatabase2_5:
      return "database-xml-2.5";
    case FileKind::kXmlDatabase2_5_3:
      return "database-xml-2.5.3";
    case FileKind::kXmlDatabase2_5_5:
      return "database-xml-2.5.5";
    case FileKind::kXmlOther:
      return "xml-other";
    case FileKind::kUnknown:
      break;
  }
  return "unknown";
}

std::string conversionVersion(FileKind kind) {
  switch (kind) {
    case FileKind::kDatabase1_5:
      return "1.5";
    case FileKind::kDatabase2_0:
      return "2.0";
    case FileKind::kDatabase2_5:
      return "2.5";
    case FileKind::kDatabase2_5_3:
      return "2.5.3";
    case FileKind::kDatabase2_5_5:
      return "2.5.5";
    default:
      return "";
  }
}

bool isXmlKind(FileKind kind) {
  return kind == FileKind::kXmlDatabase || kind == FileKind::kXmlRelations ||
         kind == FileKind::kXmlDatabase2_5 || kind == FileKind::kXmlDatabase2_5_3 ||
         kind == FileKind::kXmlDatabase2_5_5 || kind == FileKind::kXmlOther;
}

FileKind recognizeHeader(const std::string& firstBytes) {
  // Each header is compared whole, with its closing bracket, so "2.5" is not
  // taken for the start of "2.5.3" nor the 1.5 header for that of 2.0.
  static const std::pair<std::string, FileKind> kHeaders[] = {
      {legacy::Format1_5::header(), FileKind::kDatabase1_5},
      {legacy::Format2_0::header(), FileKind::kDatabase2_0},
      {TTitle2_5::kFileHeader, FileKind::kDatabase2_5},
      {TTitle2_5_3::kFileHeader, FileKind::kDatabase2_5_3},
      {TTitle2_5_5::kFileHeader, FileKind::kDatabase2_5_5},
      {TSoundCarrier::kFileHeader, FileKind::kDatabase2_5_7},
      {TRelationsPersistent::kFileHeader, FileKind::kRelations},
      {TDebugEntries::kFileHeader, FileKind::kDebugEntries},
  };
  for (const auto& [header, kind] : kHeaders) {
    if (startsWith(firstBytes, header)) return kind;
  }
  return FileKind::kUnknown;
}

FileKind recognizeXmlRoot(const std::string& rootName, bool hasVersion, const std::string& version) {
  if (rootName != "VOSKO") return FileKind::kXmlOther;
  if (!hasVersion) return FileKind::kXmlDatabase2_5;
  if (version == TSoundCarriers::kXmlVersion) return FileKind::kXmlDatabase;
  if (version == TRelationsPersistent::kFileHeader) return FileKind::kXmlRelations;
  if (version == TTitle2_5_3::kFileHeader) return FileKind::kXmlDatabase2_5_3;
  if (version == TSoundCarriers2_5_5::kXmlVersion) return FileKind::kXmlDatabase2_5_5;
  return FileKind::kXmlOther;
}

FileKind recognizeFile(const std::string& path) {
  FileKind kind = recognizeHeader(readPrefix(path, kHeaderPrefix));
  return kind != FileKind::kUnknown ? kind : recognizeXml(path);
}
