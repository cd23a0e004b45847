#include "voskodb/file_kind.h"

#include <algorithm>
#include <cstddef>
#include <string_view>

#include "basis/exceptions.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "data/legacy/v2_5/title_2_5.h"
#include "data/legacy/v2_5_3/title_2_5_3.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "data/legacy/v2_5_5/title_2_5_5.h"
#include "data/relations_persistent.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "debug/debug_entries.h"
#include "platform/os_file.h"

namespace {

// The root element of an XML form lies within the first bytes unless a long
// comment or document type comes first; the forms this program writes have
// none, so this much is plenty.
constexpr size_t kXmlPrefix = 64 * 1024;
constexpr size_t kHeaderPrefix = 128;

bool startsWith(std::string_view s, std::string_view prefix) {
  return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

std::string_view skipByteOrderMark(std::string_view s) {
  return startsWith(s, "\xEF\xBB\xBF") ? s.substr(3) : s;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

void skipBlanks(std::string_view s, size_t& pos) {
  while (pos < s.size() && isBlank(s[pos])) ++pos;
}

bool isNameChar(char c) {
  return !isBlank(c) && c != '>' && c != '/' && c != '=' && c != '<' && c != '"' && c != '\'';
}

// The text of an attribute value with the five predefined entities replaced.
std::string unescape(std::string_view value) {
  static const std::pair<std::string_view, char> kEntities[] = {
      {"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (size_t i = 0; i < value.size();) {
    bool replaced = false;
    for (const auto& [entity, c] : kEntities) {
      if (value.substr(i, entity.size()) == entity) {
        out += c;
        i += entity.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) out += value[i++];
  }
  return out;
}

// Finds the root element's start tag after the declaration, comments,
// processing instructions and the document type; false when the bytes end
// first or hold something else.
bool scanRoot(std::string_view s, std::string& name, bool& hasVersion, std::string& version) {
  size_t pos = 0;
  for (;;) {
    skipBlanks(s, pos);
    if (pos >= s.size() || s[pos] != '<') return false;
    std::string_view rest = s.substr(pos);
    size_t end;
    if (startsWith(rest, "<?")) {
      end = s.find("?>", pos);
      if (end == std::string_view::npos) return false;
      pos = end + 2;
    } else if (startsWith(rest, "<!--")) {
      end = s.find("-->", pos + 4);
      if (end == std::string_view::npos) return false;
      pos = end + 3;
    } else if (startsWith(rest, "<!DOCTYPE")) {
      // An internal subset in brackets may hold ">" characters of its own.
      size_t bracket = s.find('[', pos);
      size_t close = s.find('>', pos);
      if (close == std::string_view::npos) return false;
      if (bracket != std::string_view::npos && bracket < close) {
        size_t subsetEnd = s.find("]", bracket);
        if (subsetEnd == std::string_view::npos) return false;
        close = s.find('>', subsetEnd);
        if (close == std::string_view::npos) return false;
      }
      pos = close + 1;
    } else {
      break;
    }
  }
  ++pos;
  size_t start = pos;
  while (pos < s.size() && isNameChar(s[pos])) ++pos;
  if (pos == start || pos >= s.size()) return false;
  name = std::string(s.substr(start, pos - start));
  hasVersion = false;
  for (;;) {
    skipBlanks(s, pos);
    if (pos >= s.size()) return false;
    if (s[pos] == '>' || s[pos] == '/') return true;
    start = pos;
    while (pos < s.size() && isNameChar(s[pos])) ++pos;
    std::string_view attribute = s.substr(start, pos - start);
    skipBlanks(s, pos);
    if (attribute.empty() || pos >= s.size() || s[pos] != '=') return false;
    ++pos;
    skipBlanks(s, pos);
    if (pos >= s.size() || (s[pos] != '"' && s[pos] != '\'')) return false;
    char quote = s[pos++];
    size_t close = s.find(quote, pos);
    if (close == std::string_view::npos) return false;
    if (attribute == "VERSION") {
      hasVersion = true;
      version = unescape(s.substr(pos, close - pos));
    }
    pos = close + 1;
  }
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
         kind == FileKind::kXmlDatabase2_5_5;
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

bool looksLikeXml(const std::string& firstBytes) {
  std::string_view s = skipByteOrderMark(firstBytes);
  size_t pos = 0;
  skipBlanks(s, pos);
  return pos < s.size() && s[pos] == '<';
}

FileKind recognizeXmlRoot(const std::string& rootName, bool hasVersion, const std::string& version) {
  if (rootName != "VOSKO") return FileKind::kUnknown;
  if (!hasVersion) return FileKind::kXmlDatabase2_5;
  if (version == TSoundCarriers::kXmlVersion) return FileKind::kXmlDatabase;
  if (version == TRelationsPersistent::kFileHeader) return FileKind::kXmlRelations;
  if (version == TTitle2_5_3::kFileHeader) return FileKind::kXmlDatabase2_5_3;
  if (version == TSoundCarriers2_5_5::kXmlVersion) return FileKind::kXmlDatabase2_5_5;
  return FileKind::kUnknown;
}

FileKind recognizeFile(const std::string& path) {
  std::string bytes = readPrefix(path, kXmlPrefix);
  FileKind kind = recognizeHeader(bytes.substr(0, std::min(bytes.size(), kHeaderPrefix)));
  if (kind != FileKind::kUnknown || !looksLikeXml(bytes)) return kind;
  std::string name, version;
  bool hasVersion = false;
  if (!scanRoot(skipByteOrderMark(bytes), name, hasVersion, version)) return FileKind::kUnknown;
  return recognizeXmlRoot(name, hasVersion, version);
}
