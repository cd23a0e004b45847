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

// "carrier 3", "carriers 3 to 5" (only those a count announces come in runs,
// and they are numbered) or "carrier" where the number is not known, then the
// name where it is.
std::string place(const char* kind, int64_t number, int64_t count, const std::string& name) {
  std::string text = kind;
  if (number >= 0 && count > 1)
    text += "s " + std::to_string(number + 1) + " to " + std::to_string(number + count);
  else if (number >= 0)
    text += " " + std::to_string(number + 1);
  if (!name.empty()) text += " " + quoted(name);
  return text;
}

// "carrier 3 'Album'", or "title 2 'Song' of carrier 1 'Album'".
std::string lossPlace(const RescueReport::Loss& loss) {
  if (loss.kind == RescueReport::Loss::Kind::kCarrier)
    return place("carrier", loss.number, loss.count, loss.name);
  std::string text = place("title", loss.number, loss.count, loss.name);
  if (loss.carrierNumber >= 0 || !loss.carrier.empty())
    text += " of " + place("carrier", loss.carrierNumber, 1, loss.carrier);
  return text;
}

std::string lossLine(const RescueReport::Loss& loss) {
  std::string line = lossPlace(loss) + " at byte " + std::to_string(loss.offset);
  if (!loss.reason.empty()) line += " (" + loss.reason + ")";
  return line;
}

}  // namespace

std::string trailingBytesText(const std::string& format, int64_t count) {
  return std::to_string(count) + " bytes follow the end of the database's " +
         (isRecordFormat(format) ? "lists" : "block");
}

std::string firstDamageText(const RescueReport& report) {
  if (report.damage.empty()) return "";
  const RescueReport::Damage& first = report.damage.front();
  std::string text = "First damage at byte " + std::to_string(first.begin);
  // The loss, if any, that the first damaged run holds.
  for (const RescueReport::Loss& loss : report.losses) {
    if (loss.offset >= first.begin && loss.offset < first.end) {
      text += ", in " + lossPlace(loss);
      break;
    }
  }
  return text + ".";
}

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
  const RescueReport::Unlisted& unlisted = report.unlisted;
  if (unlisted.runs > 0) {
    lines.push_back("damaged: " + std::to_string(unlisted.runs) + " more runs (" +
                    std::to_string(unlisted.bytes) + " bytes), not listed");
  }
  for (const RescueReport::Loss& loss : report.losses) lines.push_back("lost: " + lossLine(loss));
  if (unlisted.losses > 0)
    lines.push_back("lost: " + std::to_string(unlisted.losses) + " more carriers and titles, not listed");
  for (const std::string& u : report.unresolved) lines.push_back("unresolved: " + u);
  const RescueReport::Trailing& trailing = report.trailing;
  if (trailing.count > 0) {
    lines.push_back("trailing: " + trailingBytesText(report.format, trailing.count) + " (bytes " +
                    std::to_string(trailing.offset) + " to " +
                    std::to_string(trailing.offset + trailing.count - 1) +
                    "); the conversion does not read them");
  }
  if (report.complete() && trailing.count > 0)
    lines.push_back("complete: nothing of the data was lost.");
  else if (report.complete())
    lines.push_back("complete: nothing was damaged.");
  else if (report.losses.empty() && unlisted.losses == 0 && report.unresolved.empty())
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
    if (loss.kind == RescueReport::Loss::Kind::kTitle) {
      item["carrier"] = text(loss.carrier);
      if (loss.carrierNumber >= 0) item["carrierNumber"] = loss.carrierNumber + 1;
    }
    item["reason"] = loss.reason;
    json["lost"].push_back(item);
  }
  json["unresolved"] = nlohmann::ordered_json::array();
  for (const std::string& u : report.unresolved) json["unresolved"].push_back(text(u));
  json["unlisted"] = {
      {"runs", report.unlisted.runs}, {"bytes", report.unlisted.bytes}, {"losses", report.unlisted.losses}};
  json["trailing"] = {{"offset", report.trailing.offset}, {"count", report.trailing.count}};
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
