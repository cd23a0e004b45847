#include "voskodb/file_summary.h"

#include <algorithm>
#include <nlohmann/json.hpp>

#include "platform/code_page.h"
#include "voskodb/command_lines.h"

namespace {

// Wide enough for "tables of contents: ".
constexpr size_t kLabelWidth = 20;

}  // namespace

FileSummary summarizeFile(const std::string& path) { return summarizeFile(path, recognizeVoskoFile(path)); }

FileSummary summarizeFile(const std::string& path, const KindRow& row) {
  FileSummary summary;
  summary.path = path;
  summary.kind = row.kind;
  row.count(path, summary.counts);
  if (row.oldVersion != nullptr) summary.convertCommand = convertCommandLine(row.oldVersion, path);
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
  line("kind", kindRow(summary.kind).description);
  for (const auto& [what, count] : summary.counts) line(what, std::to_string(count));
  if (!summary.convertCommand.empty()) {
    line("convert", summary.convertCommand);
    line("or", upgradeCommandLine(summary.path));
  }
  return lines;
}

std::string summaryJson(const FileSummary& summary) {
  // Paths are shown as the console shows them: valid UTF-8 passes, other
  // bytes are read as Windows-1252 and control characters are escaped, so the
  // JSON text is always valid UTF-8 and passes the console unchanged.
  const KindRow& row = kindRow(summary.kind);
  nlohmann::ordered_json json;
  json["file"] = platform::toConsoleText(summary.path);
  json["kind"] = row.key;
  json["description"] = row.description;
  json["old"] = row.oldVersion != nullptr;
  if (row.oldVersion != nullptr) json["version"] = row.oldVersion;
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
