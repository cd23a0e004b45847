#include "voskodb/file_summary.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <nlohmann/json.hpp>

#include "basis/exceptions.h"
#include "basis/string_table.h"
#include "basis/xml_helper.h"
#include "data/artist_relations.h"
#include "data/legacy/objects/legacy_conversion.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "data/legacy/v2_5/sound_carriers_2_5.h"
#include "data/legacy/v2_5_3/sound_carriers_2_5_3.h"
#include "data/legacy/v2_5_5/sound_carriers_2_5_5.h"
#include "data/model_xml.h"
#include "data/sound_carriers.h"
#include "debug/debug_entries.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
#include "platform/code_page.h"
#include "platform/os_file.h"

namespace {

// Wide enough for "tables of contents: ".
constexpr size_t kLabelWidth = 20;

using Counts = std::vector<std::pair<std::string, int64_t>>;

void countDatabase(const TSoundCarriers& database, Counts& counts) {
  int64_t titles = 0, tocs = 0;
  for (int32_t i = 0; i < database.size(); ++i) {
    const TSoundCarrier* carrier = database.getCarrier(i);
    titles += carrier->size();
    if (carrier->tocList) tocs += carrier->tocList->size();
  }
  counts = {{"carriers", database.size()}, {"titles", titles}, {"tables of contents", tocs}};
}

void countRelations(const TArtistRelations& relations, Counts& counts) {
  counts = {{"relations", relations.relations->size()}};
}

// The lists of a 1.5 or 2.0 file, read as the manager reads them.
template <class Format>
void countRelational(const std::string& path, Counts& counts) {
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

// A 2.5.x file, read through the class-name map its conversion uses.
template <class Carriers>
void countObjectFormat(const std::string& path, const LegacyClassNames& names, Counts& counts) {
  std::unique_ptr<THashtable> map = makeClassNameMap(names);
  Carriers database;
  database.load(path, map.get());
  int64_t titles = 0;
  for (int32_t i = 0; i < database.size(); ++i) titles += static_cast<TArrayList*>(database.get(i))->size();
  counts = {{"carriers", database.size()}, {"titles", titles}};
}

// The old XML forms have no reader here worth trusting for more than counting elements.
void countXmlElements(const std::string& path, Counts& counts) {
  std::unique_ptr<TDomDocument> document = TXMLHelper::getInstance().fileToDOM(path);
  TDomElement* root = document->documentElement();
  counts = {{"carriers", static_cast<int64_t>(modelxml::elementsBelow(root, u"CARRIER").size())},
            {"titles", static_cast<int64_t>(modelxml::elementsBelow(root, u"TITLE").size())}};
}

void countDebugEntries(const std::string& path, Counts& counts) {
  TDebugEntries entries;
  entries.load(path);
  int64_t traces = 0, errors = 0;
  for (int32_t i = 0; i < entries.size(); ++i) {
    if (dynamic_cast<const TErrorEntry*>(entries.get(i)))
      ++errors;
    else if (dynamic_cast<const TTraceEntry*>(entries.get(i)))
      ++traces;
  }
  counts = {{"entries", entries.size()}, {"traces", traces}, {"errors", errors}};
}

std::string firstBytesShown(const std::string& path) {
  // Shown to say what the file starts with instead; control characters and
  // bytes beyond ASCII become dots so that the message stays one readable line.
  std::string bytes;
  try {
    platform::OsFile file;
    file.openRead(path);
    char buffer[16];
    size_t n = file.read(buffer, sizeof buffer);
    for (size_t i = 0; i < n; ++i) {
      unsigned char c = static_cast<unsigned char>(buffer[i]);
      bytes += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : '.';
    }
  } catch (const std::exception&) {
    // The file was read a moment ago; a message without its first bytes is still the message.
  }
  return bytes;
}

}  // namespace

std::string shellQuote(const std::string& text) {
  static const std::string kPlain = "/._-+,:@%=";
  bool plain = !text.empty();
  for (unsigned char c : text) {
    if (!std::isalnum(c) && kPlain.find(static_cast<char>(c)) == std::string::npos) plain = false;
  }
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

FileSummary summarizeFile(const std::string& path) {
  FileSummary summary;
  summary.path = path;
  summary.kind = recognizeFile(path);
  Counts& counts = summary.counts;
  switch (summary.kind) {
    case FileKind::kUnknown:
      throw IllegalArgumentException(path + ": not a Vosko file (it starts with \"" + firstBytesShown(path) +
                                     "\", neither a database header nor a VOSKO root element).");
    case FileKind::kDatabase1_5:
      countRelational<legacy::Format1_5>(path, counts);
      break;
    case FileKind::kDatabase2_0:
      countRelational<legacy::Format2_0>(path, counts);
      break;
    case FileKind::kDatabase2_5:
      countObjectFormat<TSoundCarriers2_5>(path, {"TTitle2_5", "TSoundCarrier2_5", "TSoundCarriers2_5"},
                                           counts);
      break;
    case FileKind::kDatabase2_5_3:
      countObjectFormat<TSoundCarriers2_5_3>(
          path, {"TTitle2_5_3", "TSoundCarrier2_5_3", "TSoundCarriers2_5_3"}, counts);
      break;
    case FileKind::kDatabase2_5_5:
      countObjectFormat<TSoundCarriers2_5_5>(
          path, {"TTitle2_5_5", "TSoundCarrier2_5_5", "TSoundCarriers2_5_5"}, counts);
      break;
    case FileKind::kDatabase2_5_7: {
      TSoundCarriers database;
      database.load(path);
      countDatabase(database, counts);
      break;
    }
    case FileKind::kXmlOther:  // its reader says what is wrong with it
    case FileKind::kXmlDatabase: {
      TSoundCarriers database;
      database.loadXML(path);
      countDatabase(database, counts);
      break;
    }
    case FileKind::kRelations: {
      TArtistRelations relations;
      relations.load(path);
      countRelations(relations, counts);
      break;
    }
    case FileKind::kXmlRelations: {
      TArtistRelations relations;
      relations.loadXML(path);
      countRelations(relations, counts);
      break;
    }
    case FileKind::kDebugEntries:
      countDebugEntries(path, counts);
      break;
    case FileKind::kXmlDatabase2_5:
    case FileKind::kXmlDatabase2_5_3:
    case FileKind::kXmlDatabase2_5_5:
      countXmlElements(path, counts);
      break;
  }
  std::string version = conversionVersion(summary.kind);
  if (!version.empty())
    summary.convertCommand = "convertVOSKO " + version + " " + shellQuote(path) + " <output-file>";
  return summary;
}

std::vector<std::string> summaryLines(const FileSummary& summary) {
  std::vector<std::string> lines;
  auto line = [&lines](const std::string& label, const std::string& value) {
    std::string padded = label + ":";
    padded.resize(std::max<size_t>(padded.size() + 1, kLabelWidth), ' ');
    lines.push_back(padded + value);
  };
  line("file", summary.path);
  line("kind", describeKind(summary.kind));
  for (const auto& [what, count] : summary.counts) line(what, std::to_string(count));
  if (!summary.convertCommand.empty()) {
    line("convert", summary.convertCommand);
    line("or", "voskodb upgrade " + shellQuote(summary.path) + " <output-file>");
  }
  return lines;
}

std::string summaryJson(const FileSummary& summary) {
  // Paths are shown as the console shows them: valid UTF-8 passes, other
  // bytes are read as Windows-1252 and control characters are escaped, so the
  // JSON text is always valid UTF-8 and passes the console unchanged.
  nlohmann::ordered_json json;
  json["file"] = platform::toConsoleText(summary.path);
  json["kind"] = kindKey(summary.kind);
  json["description"] = describeKind(summary.kind);
  std::string version = conversionVersion(summary.kind);
  json["old"] = !version.empty();
  if (!version.empty()) json["version"] = version;
  nlohmann::ordered_json counts = nlohmann::ordered_json::object();
  for (const auto& [what, count] : summary.counts) {
    std::string key = what;
    for (char& c : key) c = c == ' ' ? '_' : c;
    counts[key] = count;
  }
  json["counts"] = counts;
  if (!summary.convertCommand.empty()) json["convert"] = platform::toConsoleText(summary.convertCommand);
  return json.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}
