// Which kind of Vosko file a path holds, told from its first bytes: the raw
// headers of the binary databases (the five old formats, 2.5.7, artist
// relations, debug entries) and, for XML files, the root element with its
// VERSION attribute as the XML parser reads them, in any encoding it reads.
// Nothing beyond the header and the root element's start tag is read to
// decide, so a damaged file is still recognised by what it claims to be.
#pragma once

#include <string>

enum class FileKind {
  kUnknown,
  kDatabase1_5,
  kDatabase2_0,
  kDatabase2_5,
  kDatabase2_5_3,
  kDatabase2_5_5,
  kDatabase2_5_7,
  kRelations,
  kDebugEntries,
  kXmlDatabase,       // VOSKO, VERSION "1.1.0": the current model's XML form
  kXmlRelations,      // VOSKO, VERSION the relations header
  kXmlDatabase2_5,    // VOSKO without VERSION
  kXmlDatabase2_5_3,  // VOSKO, VERSION the 2.5.3 header
  kXmlDatabase2_5_5,  // VOSKO, VERSION "1.0.0"
  // Any other root, or VOSKO with any other VERSION: read as the current
  // database's XML form, whose reader says what is wrong with it.
  kXmlOther,
};

// What a kind is called in listings, e.g. "sound-carrier database, format 2.5.5".
std::string describeKind(FileKind kind);
// A short stable name for scripts, e.g. "database-2.5.5", "relations-xml".
std::string kindKey(FileKind kind);
// The version argument of convertVOSKO for an old database; empty for every other kind.
std::string conversionVersion(FileKind kind);
bool isXmlKind(FileKind kind);

// The kind of the file at `path`. A file that cannot be opened raises
// IOException "<path>: cannot be read."; a file of no known kind is kUnknown.
FileKind recognizeFile(const std::string& path);

// The kind of the first bytes of a binary file (at least the longest header,
// when the file is that long); kUnknown when no header matches or they look
// like XML.
FileKind recognizeHeader(const std::string& firstBytes);
// The kind of an XML form from its root element's name and its VERSION
// attribute (`hasVersion` false when the attribute is missing).
FileKind recognizeXmlRoot(const std::string& rootName, bool hasVersion, const std::string& version);
