// The table of kinds (file_kind.h) and how voskodb reads each kind: every
// file is read with the classes of its own format, and an old database's
// carriers as its conversion makes them.
//
// Reading never writes anything: the old formats 1.5 and 2.0 are read
// without their managers, which would consult and fill the settings store.
#include <memory>

#include "basis/exceptions.h"
#include "basis/string_collection.h"
#include "basis/string_set.h"
#include "basis/string_table.h"
#include "basis/xml_helper.h"
#include "convert/convert_database.h"
#include "data/artist_relations.h"
#include "data/carrier_stream.h"
#include "data/carrier_writer.h"
#include "data/carrier_xml_reader.h"
#include "data/carrier_xml_writer.h"
#include "data/legacy/objects/object_conversion.h"
#include "data/legacy/records/record_index.h"
#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "data/legacy/v2_5/convert_2_5.h"
#include "data/legacy/v2_5/sound_carriers_2_5.h"
#include "data/legacy/v2_5_3/convert_2_5_3.h"
#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"
#include "data/legacy/v2_5_5/convert_2_5_5.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "data/model_xml.h"
#include "data/relations_persistent.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "debug/debug_entries.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
#include "platform/console.h"
#include "voskodb/carrier_source.h"
#include "voskodb/file_kind.h"

namespace {

// The two forms of the current model's databases.
enum class Form { kBinary, kXml };

template <Form kForm, class Database>
void load(Database& database, const std::string& path) {
  if constexpr (kForm == Form::kXml)
    database.loadXML(path);
  else
    database.load(path);
}

void print(const std::string& line) { platform::writeConsoleLine(line); }

Counts countsOf(const TSoundCarriers& database) {
  int64_t titles = 0, tocs = 0;
  for (int32_t i = 0; i < database.size(); ++i) {
    const TSoundCarrier* carrier = database.getCarrier(i);
    titles += carrier->size();
    if (carrier->tocList) tocs += carrier->tocList->size();
  }
  return {{"carriers", database.size()}, {"titles", titles}, {"tables of contents", tocs}};
}

Counts countsOf(const TArtistRelations& relations) { return {{"relations", relations.relations->size()}}; }

Counts countsOf(const TDebugEntries& entries) {
  int64_t traces = 0, errors = 0;
  for (int32_t i = 0; i < entries.size(); ++i) {
    if (dynamic_cast<const TErrorEntry*>(entries.get(i)))
      ++errors;
    else if (dynamic_cast<const TTraceEntry*>(entries.get(i)))
      ++traces;
  }
  return {{"entries", entries.size()}, {"traces", traces}, {"errors", errors}};
}

// Carriers, their titles indented.
void list(const TSoundCarriers& database) {
  for (int32_t i = 0; i < database.size(); ++i) {
    const TSoundCarrier* carrier = database.getCarrier(i);
    print(carrier->toString());
    for (int32_t j = 0; j < carrier->size(); ++j) print("    " + carrier->getTitle(j)->toString());
  }
}

// Relations, each artist indented with the artists related to it.
void list(const TArtistRelations& relations) {
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

void list(const TDebugEntries& entries) {
  for (int32_t i = 0; i < entries.size(); ++i) print(entries.get(i)->toString());
}

template <class Database, Form kForm>
void countDatabase(const std::string& path, Counts& counts) {
  Database database;
  load<kForm>(database, path);
  counts = countsOf(database);
}

template <class Database, Form kForm>
void dumpDatabase(const std::string& path) {
  Database database;
  load<kForm>(database, path);
  list(database);
}

template <class Database>
void exportXml(const std::string& in, const std::string& out) {
  Database database;
  database.load(in);
  database.storeXML(out);
}

template <class Database>
void importXml(const std::string& in, const std::string& out) {
  Database database;
  database.loadXML(in);
  database.store(out);
}

// Counted carrier by carrier where the database is in the form its stream
// reads; otherwise loaded, so that the report is the loaded model's.
template <Form kForm>
void countCurrentDatabase(const std::string& path, Counts& counts) {
  int64_t carriers = 0, titles = 0, tocs = 0;
  const bool streamed = streamCarriers(path, kForm == Form::kXml, [&](const StoredCarrier& c) {
    ++carriers;
    titles += static_cast<int64_t>(c.titles.size());
    tocs += c.tocCount;
  });
  if (!streamed) return countDatabase<TSoundCarriers, kForm>(path, counts);
  counts = {{"carriers", carriers}, {"titles", titles}, {"tables of contents", tocs}};
}

// Carriers, their titles indented, as the model's texts show them, printed
// as they are read.
void listCarriers(const std::string& path, const KindRow& row) {
  platform::ConsoleLines out;
  TSoundCarrier carrier;
  std::string line;
  forEachCarrier(path, row, [&](const StoredCarrier& c) {
    fillCarrier(c, carrier);
    out.line(carrier.toString());
    for (const StoredTitle& t : c.titles) {
      line.assign("    ");
      TTitle::appendText(line, t, &carrier.type);
      out.line(line);
    }
  });
  out.flush();
}

template <FileKind kKind>
void dumpCarriers(const std::string& path) {
  listCarriers(path, kindRow(kKind));
}

// Written carrier by carrier where the source is in the form its stream
// reads; otherwise loaded, so that the report is the loaded model's.
void exportCurrentDatabase(const std::string& in, const std::string& out) {
  if (!tryStream([&] { return exportXmlStreaming(in, out); })) exportXml<TSoundCarriers>(in, out);
}

void importCurrentDatabase(const std::string& in, const std::string& out) {
  if (!tryStream([&] { return importXmlStreaming(in, out); })) importXml<TSoundCarriers>(in, out);
}

// The lists of a 1.5 or 2.0 file, counted from the index of its bytes
// (mapped, in a few megabytes) where it takes the file; otherwise read as
// the manager reads them, which reports what it finds.
template <class Format>
void countRelational(const std::string& path, Counts& counts) {
  const bool indexed = tryStream([&] {
    try {
      const legacy::RecordIndex<typename Format::Layout> index(path, Format::header(), true);
      counts = {{"carriers", index.size()},
                {"titles", index.titleCount()},
                {"artists", index.artistCount()},
                {"labels", index.labelCount()}};
      return true;
    } catch (...) {
      return false;
    }
  });
  if (indexed) return;
  legacy::RecordFile file;
  if (!legacy::openDatabase(file, path, Format::header())) throw IOException(path + ": cannot be read.");
  typename Format::Artists artists;
  typename Format::Labels labels;
  typename Format::Titles titles;
  typename Format::Carriers carriers;
  if (file.remaining() > 0) {
    artists.readFrom(file);
    labels.readFrom(file);
    titles.readFrom(file);
    carriers.readFrom(file);
  }
  counts = {{"carriers", carriers.size()},
            {"titles", titles.size()},
            {"artists", artists.size()},
            {"labels", labels.size()}};
}

// A 2.5.x file, counted carrier by carrier straight from its bytes where
// they are in the plain form its conversion reads so; otherwise read whole
// through the class-name map its conversion uses, which reports what it finds.
template <class Format>
void countObjectFormat(const std::string& path, Counts& counts) {
  int64_t carriers = 0, titles = 0;
  const bool plain = tryStream([&] {
    try {
      objectconversion::walkPlainDatabase<Format>(
          path, [](int32_t) {},
          [&](const objectconversion::PlainCarrier<Format>& carrier) {
            ++carriers;
            titles += carrier.size();
          });
      return true;
    } catch (...) {
      return false;
    }
  });
  if (!plain) {
    std::unique_ptr<THashtable> map = makeClassNameMap(objectconversion::kClassNames<Format>);
    TSoundCarriersOf<Format> database;
    database.load(path, map.get());
    carriers = database.size();
    titles = 0;
    for (int32_t i = 0; i < database.size(); ++i) titles += static_cast<TArrayList*>(database.get(i))->size();
  }
  counts = {{"carriers", carriers}, {"titles", titles}};
}

// An object-file database as its conversion makes it.
template <class Database,
          void (*kConvert)(std::unique_ptr<Database>, const std::string&, const CarrierTarget&)>
void convertObjectCarriers(const std::string& path, const CarrierTarget& target) {
  kConvert(std::make_unique<Database>(), path, target);
}

// The old XML forms have no reader here worth trusting for more than counting elements.
void countXmlElements(const std::string& path, Counts& counts) {
  std::unique_ptr<TDomDocument> document = TXMLHelper::getInstance().fileToDOM(path);
  TDomElement* root = document->documentElement();
  counts = {{"carriers", static_cast<int64_t>(modelxml::elementsBelow(root, u"CARRIER").size())},
            {"titles", static_cast<int64_t>(modelxml::elementsBelow(root, u"TITLE").size())}};
}

template <FileKind kKind>
KindRow oldDatabase(const char* version, const std::string& header,
                    void (*count)(const std::string&, Counts&),
                    void (*convertCarriers)(const std::string&, const CarrierTarget&)) {
  return {.kind = kKind,
          .key = std::string("database-") + version,
          .description = std::string("sound-carrier database, old format ") + version,
          .sign = Sign::kHeader,
          .mark = header,
          .oldVersion = version,
          .count = count,
          .dump = dumpCarriers<kKind>,
          .convertCarriers = convertCarriers};
}

// An old format's XML form: VOSKO with the format's VERSION, or none.
KindRow oldXml(FileKind kind, const char* version, const char* rootVersion) {
  return {.kind = kind,
          .key = std::string("database-xml-") + version,
          .description = std::string("sound-carrier database as XML of format ") + version,
          .sign = rootVersion != nullptr ? Sign::kRootVersion : Sign::kRootWithoutVersion,
          .mark = rootVersion != nullptr ? rootVersion : "",
          .count = countXmlElements};
}

}  // namespace

const std::vector<KindRow>& fileKinds() {
  constexpr Form kBinary = Form::kBinary, kXml = Form::kXml;
  static const std::vector<KindRow> kRows = {
      oldDatabase<FileKind::kDatabase1_5>(kVersion1_5, legacy::Format1_5::header(),
                                          countRelational<legacy::Format1_5>, convertCarriers1_5),
      oldDatabase<FileKind::kDatabase2_0>(kVersion2_0, legacy::Format2_0::header(),
                                          countRelational<legacy::Format2_0>, convertCarriers2_0),
      oldDatabase<FileKind::kDatabase2_5>(kVersion2_5, Format2_5::kFileHeader, countObjectFormat<Format2_5>,
                                          convertObjectCarriers<TSoundCarriers2_5, convert2_5>),
      oldDatabase<FileKind::kDatabase2_5_3>(kVersion2_5_3, Format2_5_3::kFileHeader,
                                            countObjectFormat<Format2_5_3>,
                                            convertObjectCarriers<TSoundCarriers2_5_3, convert2_5_3>),
      oldDatabase<FileKind::kDatabase2_5_5>(kVersion2_5_5, Format2_5_5::kFileHeader,
                                            countObjectFormat<Format2_5_5>,
                                            convertObjectCarriers<TSoundCarriers2_5_5, convert2_5_5>),
      {.kind = FileKind::kDatabase2_5_7,
       .key = std::string("database-") + kCurrentVersion,
       .description = std::string("sound-carrier database, current format ") + kCurrentVersion,
       .sign = Sign::kHeader,
       .mark = TSoundCarrier::kFileHeader,
       .count = countCurrentDatabase<kBinary>,
       .dump = dumpCarriers<FileKind::kDatabase2_5_7>,
       .convert = exportCurrentDatabase},
      {.kind = FileKind::kRelations,
       .key = "relations",
       .description = "artist-relations database",
       .sign = Sign::kHeader,
       .mark = TRelationsPersistent::kFileHeader,
       .count = countDatabase<TArtistRelations, kBinary>,
       .dump = dumpDatabase<TArtistRelations, kBinary>,
       .convert = exportXml<TArtistRelations>},
      {.kind = FileKind::kDebugEntries,
       .key = "debug-entries",
       .description = "binary debug entries",
       .sign = Sign::kHeader,
       .mark = TDebugEntries::kFileHeader,
       .count = countDatabase<TDebugEntries, kBinary>,
       .dump = dumpDatabase<TDebugEntries, kBinary>},
      {.kind = FileKind::kXmlDatabase,
       .key = "database-xml",
       .description = std::string("sound-carrier database as XML, version ") + TSoundCarriers::kXmlVersion,
       .sign = Sign::kRootVersion,
       .mark = TSoundCarriers::kXmlVersion,
       .count = countCurrentDatabase<kXml>,
       .dump = dumpCarriers<FileKind::kXmlDatabase>,
       .convert = importCurrentDatabase},
      {.kind = FileKind::kXmlRelations,
       .key = "relations-xml",
       .description = "artist-relations database as XML",
       .sign = Sign::kRootVersion,
       .mark = TRelationsPersistent::kFileHeader,
       .count = countDatabase<TArtistRelations, kXml>,
       .dump = dumpDatabase<TArtistRelations, kXml>,
       .convert = importXml<TArtistRelations>},
      oldXml(FileKind::kXmlDatabase2_5, kVersion2_5, Format2_5::kXmlVersion),
      oldXml(FileKind::kXmlDatabase2_5_3, kVersion2_5_3, Format2_5_3::kXmlVersion),
      oldXml(FileKind::kXmlDatabase2_5_5, kVersion2_5_5, Format2_5_5::kXmlVersion),
      // Read as the current form, whose reader says what is wrong with it.
      {.kind = FileKind::kXmlOther,
       .key = "xml-other",
       .description = "document in XML of no known Vosko form",
       .sign = Sign::kOtherRoot,
       .count = countDatabase<TSoundCarriers, kXml>,
       .dump = dumpDatabase<TSoundCarriers, kXml>,
       .convert = importXml<TSoundCarriers>},
      {.kind = FileKind::kUnknown, .key = "unknown", .description = "unknown", .sign = Sign::kNone},
  };
  return kRows;
}

const KindRow& kindRow(FileKind kind) {
  for (const KindRow& row : fileKinds()) {
    if (row.kind == kind) return row;
  }
  return fileKinds().back();  // kUnknown
}
