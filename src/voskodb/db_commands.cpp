#include "voskodb/db_commands.h"

#include <cstdint>
#include <memory>

#include "basis/exceptions.h"
#include "basis/string_collection.h"
#include "basis/string_set.h"
#include "basis/string_table.h"
#include "convert/convert_database.h"
#include "convert/reported_run.h"
#include "data/artist_relations.h"
#include "data/sound_carriers.h"
#include "debug/debug_entries.h"
#include "platform/console.h"
#include "platform/os_file.h"
#include "voskodb/file_kind.h"
#include "voskodb/file_summary.h"

namespace {

void print(const std::string& line) { platform::writeConsoleLine(line); }

// XML of no known form goes to the current form's reader, which says what is wrong with it.
bool isCarrierDatabase(FileKind kind) {
  return kind == FileKind::kDatabase2_5_7 || kind == FileKind::kXmlDatabase || kind == FileKind::kXmlOther;
}
bool isRelationsDatabase(FileKind kind) {
  return kind == FileKind::kRelations || kind == FileKind::kXmlRelations;
}

// Why a command does not take a file of this kind, with the way forward for an old database.
[[noreturn]] void refuse(const std::string& command, const std::string& path, FileKind kind,
                         const std::string& takes) {
  if (kind == FileKind::kUnknown) summarizeFile(path);  // raises its message for an unknown file
  std::string message =
      command + ": " + path + " is a " + describeKind(kind) + "; " + command + " takes " + takes + ".";
  if (!conversionVersion(kind).empty())
    message += " Upgrade it first: voskodb upgrade " + shellQuote(path) + " <output-file>";
  throw IllegalArgumentException(message);
}

void loadCarriers(TSoundCarriers& database, const std::string& path, FileKind kind) {
  if (isXmlKind(kind))
    database.loadXML(path);
  else
    database.load(path);
}

void loadRelations(TArtistRelations& relations, const std::string& path, FileKind kind) {
  if (kind == FileKind::kXmlRelations)
    relations.loadXML(path);
  else
    relations.load(path);
}

void dumpCarriers(const TSoundCarriers& database) {
  for (int32_t i = 0; i < database.size(); ++i) {
    const TSoundCarrier* carrier = database.getCarrier(i);
    print(carrier->toString());
    for (int32_t j = 0; j < carrier->size(); ++j) print("    " + carrier->getTitle(j)->toString());
  }
}

void dumpRelations(const TArtistRelations& relations) {
  std::unique_ptr<TArrayList> values = relations.relations->values();
  for (int32_t i = 0; i < values->size(); ++i) {
    const auto* relation = static_cast<const TArtistRelation*>(values->get(i));
    print(relation->name + (relation->symmetric ? " (symmetric)" : ""));
    std::unique_ptr<TStringCollection> artists = relation->getArtists();
    for (int32_t j = 0; j < artists->count(); ++j) {
      const std::string& artist = artists->get(j);
      std::string line = "    " + artist + " ->";
      if (const auto* set = dynamic_cast<const TStringSet*>(relation->artists->get(artist))) {
        std::unique_ptr<TStringCollection> related = set->toStringCollection();
        for (int32_t k = 0; k < related->count(); ++k) line += (k == 0 ? " " : ", ") + related->get(k);
      }
      print(line);
    }
  }
}

void dumpEntries(const std::string& path) {
  TDebugEntries entries;
  entries.load(path);
  for (int32_t i = 0; i < entries.size(); ++i) print(entries.get(i)->toString());
}

// The database's block must end where the file ends: the container reads
// only as far as the block's length says, so bytes after it go unnoticed.
void checkTrailingBytes(const std::string& path, size_t headerLength) {
  platform::OsFile file;
  file.openRead(path);
  int64_t size = file.size();
  file.seek(static_cast<int64_t>(headerLength));
  unsigned char length[4];
  if (file.read(length, 4) != 4) return;  // the load has already said what is wrong
  int64_t blockLength = static_cast<int64_t>(
      static_cast<uint32_t>(length[0]) | (static_cast<uint32_t>(length[1]) << 8) |
      (static_cast<uint32_t>(length[2]) << 16) | (static_cast<uint32_t>(length[3]) << 24));
  int64_t end = static_cast<int64_t>(headerLength) + 4 + blockLength;
  if (size > end) {
    throw IOException("check: " + path + ": " + std::to_string(size - end) +
                      " bytes follow the end of the database's block.");
  }
}

}  // namespace

void infoCommand(const std::string& path, bool json) {
  FileSummary summary = summarizeFile(path);
  if (json) {
    print(summaryJson(summary));
    return;
  }
  for (const std::string& line : summaryLines(summary)) print(line);
}

int upgradeCommand(const std::string& in, const std::string& out) {
  FileKind kind = recognizeFile(in);
  std::string version = conversionVersion(kind);
  if (version.empty())
    refuse("upgrade", in, kind, "an old sound-carrier database (1.5, 2.0, 2.5, 2.5.3 or 2.5.5)");
  int exitCode = runReported(kConverterReportPrefix, [&] {
    convertDatabase(version, in, out);
    return 0;
  });
  if (exitCode == 0) print("upgraded " + in + " (old format " + version + ") to " + out + " (format 2.5.7)");
  return exitCode;
}

void dumpCommand(const std::string& path) {
  FileKind kind = recognizeFile(path);
  if (isCarrierDatabase(kind)) {
    TSoundCarriers database;
    loadCarriers(database, path, kind);
    dumpCarriers(database);
  } else if (isRelationsDatabase(kind)) {
    TArtistRelations relations;
    loadRelations(relations, path, kind);
    dumpRelations(relations);
  } else if (kind == FileKind::kDebugEntries) {
    dumpEntries(path);
  } else {
    refuse("dump", path, kind, "a 2.5.7 or relations database (binary or XML) or binary debug entries");
  }
}

void exportXmlCommand(const std::string& database, const std::string& xml) {
  FileKind kind = recognizeFile(database);
  if (kind == FileKind::kDatabase2_5_7) {
    TSoundCarriers carriers;
    carriers.load(database);
    carriers.storeXML(xml);
  } else if (kind == FileKind::kRelations) {
    TArtistRelations relations;
    relations.load(database);
    relations.storeXML(xml);
  } else {
    refuse("export-xml", database, kind, "a binary 2.5.7 or relations database");
  }
  print("exported " + database + " (" + describeKind(kind) + ") to " + xml);
}

void importXmlCommand(const std::string& xml, const std::string& database) {
  FileKind kind = recognizeFile(xml);
  if (kind == FileKind::kXmlDatabase || kind == FileKind::kXmlOther) {
    TSoundCarriers carriers;
    carriers.loadXML(xml);
    carriers.store(database);
  } else if (kind == FileKind::kXmlRelations) {
    TArtistRelations relations;
    relations.loadXML(xml);
    relations.store(database);
  } else {
    refuse("import-xml", xml, kind,
           "the XML form of a sound-carrier database (VERSION 1.1.0) or of a relations database");
  }
  print("imported " + xml + " (" + describeKind(kind) + ") to " + database);
}

void checkCommand(const std::string& path) {
  FileKind kind = recognizeFile(path);
  if (!isCarrierDatabase(kind) && !isRelationsDatabase(kind))
    refuse("check", path, kind, "a 2.5.7 or relations database (binary or XML)");
  FileSummary summary = summarizeFile(path);
  if (kind == FileKind::kDatabase2_5_7)
    checkTrailingBytes(path, std::string(TSoundCarrier::kFileHeader).size());
  if (kind == FileKind::kRelations)
    checkTrailingBytes(path, std::string(TRelationsPersistent::kFileHeader).size());
  std::string line = "ok: " + path + " (" + describeKind(kind) + ")";
  for (const auto& [what, count] : summary.counts) line += ", " + std::to_string(count) + " " + what;
  print(line);
}
