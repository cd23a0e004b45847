// The kinds of Vosko file voskodb knows, one row each in one table that
// every command reads: what a kind is called, how it is told, which format
// version it is, how it is counted, listed and converted.
//
// A kind is told from the file's first bytes: the raw headers of the binary
// databases (the five old formats, 2.5.7, artist relations, debug entries)
// and, for XML files, the root element with its VERSION attribute as the XML
// parser reads them, in any encoding it reads. Nothing beyond the header and
// the root element's start tag is read to decide, so a damaged file is still
// recognised by what it claims to be.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

class CarrierTarget;

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

// What a file holds, in the order shown, e.g. {"carriers", 5}, {"titles", 16}.
using Counts = std::vector<std::pair<std::string, int64_t>>;

// How a kind is told from its first bytes.
enum class Sign {
  kHeader,              // a binary file starting with `mark`
  kRootVersion,         // an XML VOSKO root whose VERSION is `mark`
  kRootWithoutVersion,  // an XML VOSKO root without VERSION
  kOtherRoot,           // any XML root no other row claims
  kNone,                // the file is of no kind: kUnknown
};

struct KindRow {
  FileKind kind;
  // A short stable name for scripts, e.g. "database-2.5.5", "relations-xml".
  std::string key;
  // What it is called in listings, e.g. "sound-carrier database, old format 2.5.5".
  std::string description;
  Sign sign;
  std::string mark{};  // what `sign` looks for
  // The version argument of convertVOSKO for an old database; nullptr for
  // every other kind.
  const char* oldVersion = nullptr;
  // Reads the file with the classes of its own format and counts what it
  // holds; raises what reading raises.
  void (*count)(const std::string& path, Counts& counts) = nullptr;
  // Prints the file's listing for `dump`; nullptr when dump does not take it.
  void (*dump)(const std::string& path) = nullptr;
  // Writes the other form of a current database: the XML form of a binary
  // one (export-xml), the binary one of an XML form (import-xml); nullptr
  // for every kind that is no current database.
  void (*convert)(const std::string& in, const std::string& out) = nullptr;
  // For an old database: converts it as convertVOSKO does, into `target`
  // (data/carrier_writer.h), which takes the carriers as the converted file
  // would hold them; nullptr for every other kind.
  void (*convertCarriers)(const std::string& path, const CarrierTarget& target) = nullptr;

  bool isXml() const { return sign != Sign::kHeader && sign != Sign::kNone; }
  // A sound-carrier or relations database of the current model, in either
  // form: the files that check loads completely.
  bool isCurrentDatabase() const { return convert != nullptr; }
};

// Every kind, kUnknown last.
const std::vector<KindRow>& fileKinds();
const KindRow& kindRow(FileKind kind);

// The kind of the file at `path`. A file that cannot be opened raises
// IOException "<path>: cannot be read."; a file of no known kind is kUnknown.
FileKind recognizeFile(const std::string& path);
// The same, for the commands: a file of no known kind raises
// IllegalArgumentException "<path>: not a Vosko file (...).".
const KindRow& recognizeVoskoFile(const std::string& path);

// The kind of the first bytes of a binary file (at least the longest header,
// when the file is that long); kUnknown when no header matches or they look
// like XML.
FileKind recognizeHeader(const std::string& firstBytes);
// The kind of an XML form from its root element's name and its VERSION
// attribute (`hasVersion` false when the attribute is missing).
FileKind recognizeXmlRoot(const std::string& rootName, bool hasVersion, const std::string& version);
