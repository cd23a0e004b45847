// voskodb recover: what a damaged database still holds, in a new current
// database, with a report of what was rescued and what was lost.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/rescue_report.h"

// Rescues `in` (any sound-carrier database, binary, of the five old formats
// or the current one; its format told from its header, or `format` when
// given) into the new database `out`, and prints the report: as text, or as
// one JSON object with `json`. Raises when `in` is no database it can read,
// or nothing of it could be rescued; `out` is then not written.
void recoverCommand(const std::string& in, const std::string& out, const std::string& format, bool json);

// How check and recover name the bytes after a database's data that its
// conversion does not read: "<count> bytes follow the end of the database's
// block" (an object file of `format`, or a relations database), "... lists"
// (a record file, 1.5 or 2.0).
std::string trailingBytesText(const std::string& format, int64_t count);

// Where the first damage of the report lies, as check names it: "First
// damage at byte 301, in title 2 'Song' of carrier 1 'Album'." (the carrier
// or title lost there, where one is); "" when the report names no damage.
std::string firstDamageText(const RescueReport& report);

// The report's lines, as 8-bit text.
std::vector<std::string> rescueLines(const std::string& in, const std::string& out,
                                     const RescueReport& report);
// The same as one JSON object on one line, valid UTF-8.
std::string rescueJson(const std::string& in, const std::string& out, const RescueReport& report);
