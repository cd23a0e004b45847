#include "voskodb/recover_command.h"

#include <iterator>
#include <nlohmann/json.hpp>
#include <vector>

#include "basis/exceptions.h"
#include "convert/convert_database.h"
#include "data/legacy/rescue/object_rescue.h"
#include "data/legacy/rescue/record_rescue.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "voskodb/command_lines.h"
#include "voskodb/file_kind.h"

namespace {

// The formats recover reads, the old ones and the current one.
constexpr const char* kFormats[] = {kVersion1_5,   kVersion2_0,   kVersion2_5,
                                    kVersion2_5_3, kVersion2_5_5, kCurrentVersion};

// "1.5, 2.0, 2.5, 2.5.3, 2.5.5 or 2.5.7"
std::string formatList() {
  std::string list;
  for (size_t i = 0; i < std::size(kFormats); ++i) {
    if (i > 0) list += i + 1 == std::size(kFormats) ? " or " : ", ";
    list += kFormats[i];
  }
  return list;
}

bool isRecordFormat(const std::string& version) { return version == kVersion1_5 || version == kVersion2_0; }

bool isKnownFormat(const std::string& version) {
  for (const char* known : kFormats) {
    if (version == known) return true;
  }
  return false;
}

// The format named, or the one the file's header tells.
std::string formatOf(const std::string& in, const std::string& named) {
  if (!named.empty()) {
    if (!isKnownFormat(named)) {
      throw IllegalArgumentException("recover: --format " + named + " is no format recover reads (" +
                                     formatList() + ").");
    }
    return named;
  }
  const KindRow& row = kindRow(recognizeFile(in));
  if (row.oldVersion != nullptr) return row.oldVersion;
  if (row.kind == FileKind::kDatabase2_5_7) return kCurrentVersion;
  if (row.kind == FileKind::kUnknown) {
    throw IllegalArgumentException("recover: " + in +
                                   ": its header names no database; name its format with --format (" +
                                   formatList() + ").");
  }
  refuseFile("recover", in, row, "a binary sound-carrier database (" + formatList() + ")");
}

std::string quoted(const std::string& name) { return "'" + name + "'"; }

std::string lossLine(const RescueReport::Loss& loss) {
  const bool carrier = loss.kind == RescueReport::Loss::Kind::kCarrier;
  std::string line = carrier ? "carrier" : "title";
  // Only those a count announces come in runs, and they are numbered.
  if (loss.count > 1 && loss.number >= 0)
    line += "s " + std::to_string(loss.number + 1) + " to " + std::to_string(loss.number + loss.count);
  else if (loss.number >= 0)
    line += " " + std::to_string(loss.number + 1);
  if (!loss.name.empty()) line += " " + quoted(loss.name);
  if (!carrier && !loss.carrier.empty()) line += " of carrier " + quoted(loss.carrier);
  line += " at byte " + std::to_string(loss.offset);
  if (!loss.reason.empty()) line += " (" + loss.reason + ")";
  return line;
}

}  // namespace

std::vector<std::string> rescueLines(const std::string& in, const std::string& out,
                                     const RescueReport& report) {
  std::vector<std::string> lines;
  lines.push_back("rescued " + in + " (format " + report.format + ") to " + out + ": " +
                  std::to_string(report.carriers) + " carriers, " + std::to_string(report.titles) +
                  " titles");
  for (const RescueReport::Damage& d : report.damage) {
    lines.push_back("damaged: bytes " + std::to_string(d.begin) + " to " + std::to_string(d.end - 1) + " (" +
                    std::to_string(d.end - d.begin) + " bytes)");
  }
  for (const RescueReport::Loss& loss : report.losses) lines.push_back("lost: " + lossLine(loss));
  for (const std::string& u : report.unresolved) lines.push_back("unresolved: " + u);
  if (report.complete())
    lines.push_back("complete: nothing was damaged.");
  else if (report.losses.empty() && report.unresolved.empty())
    lines.push_back("rescued all: the damage hit no carrier or title.");
  else
    lines.push_back("incomplete: what could be read whole is in " + out + "; the rest is lost.");
  return lines;
}

std::string rescueJson(const std::string& in, const std::string& out, const RescueReport& report) {
  // Paths as the console shows them, texts of the file as UTF-8 of their
  // Windows-1252 bytes: the object is valid UTF-8 whatever the file holds.
  auto text = [](const std::string& s) { return platform::ansiToUtf8(s); };
  nlohmann::ordered_json json;
  json["file"] = platform::toConsoleText(in);
  json["output"] = platform::toConsoleText(out);
  json["format"] = report.format;
  json["complete"] = report.complete();
  json["carriers"] = report.carriers;
  json["titles"] = report.titles;
  json["damage"] = nlohmann::ordered_json::array();
  for (const RescueReport::Damage& d : report.damage)
    json["damage"].push_back({{"begin", d.begin}, {"end", d.end}});
  json["lost"] = nlohmann::ordered_json::array();
  for (const RescueReport::Loss& loss : report.losses) {
    nlohmann::ordered_json item;
    item["kind"] = loss.kind == RescueReport::Loss::Kind::kCarrier ? "carrier" : "title";
    item["offset"] = loss.offset;
    if (loss.number >= 0) item["number"] = loss.number + 1;
    item["count"] = loss.count;
    item["name"] = text(loss.name);
    if (loss.kind == RescueReport::Loss::Kind::kTitle) item["carrier"] = text(loss.carrier);
    item["reason"] = loss.reason;
    json["lost"].push_back(item);
  }
  json["unresolved"] = nlohmann::ordered_json::array();
  for (const std::string& u : report.unresolved) json["unresolved"].push_back(text(u));
  return json.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

void recoverCommand(const std::string& in, const std::string& out, const std::string& format, bool json) {
  const std::string version = formatOf(in, format);
  const RescueReport report = isRecordFormat(version) ? rescueRecordDatabase(version, in, out)
                                                      : rescueObjectDatabase(version, in, out);
  if (json) {
    platform::writeConsoleLine(rescueJson(in, out, report));
    return;
  }
  platform::ConsoleLines lines;
  for (const std::string& line : rescueLines(in, out, report)) lines.line(line);
  lines.flush();
}
