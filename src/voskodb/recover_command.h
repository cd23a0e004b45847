// voskodb recover: what a damaged database still holds, in a new current
// database, with a report of what was rescued and what was lost.
#pragma once

#include <string>

#include "data/rescue_report.h"

// Rescues `in` (any sound-carrier database, binary, of the five old formats
// or the current one; its format told from its header, or `format` when
// given) into the new database `out`, and prints the report: as text, or as
// one JSON object with `json`. Raises when `in` is no database it can read,
// or nothing of it could be rescued; `out` is then not written.
void recoverCommand(const std::string& in, const std::string& out, const std::string& format, bool json);

// The report's lines, as 8-bit text.
std::vector<std::string> rescueLines(const std::string& in, const std::string& out,
                                     const RescueReport& report);
// The same as one JSON object on one line, valid UTF-8.
std::string rescueJson(const std::string& in, const std::string& out, const RescueReport& report);
