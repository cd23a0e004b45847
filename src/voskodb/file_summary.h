// What a Vosko file holds, as `voskodb info` shows it: its kind and the
// numbers of what is in it, read with the classes of its own format, and for
// an old database the convertVOSKO command line that converts it.
//
// Reading never writes anything: the old formats 1.5 and 2.0 are read
// without their managers, which would consult and fill the settings store.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "voskodb/file_kind.h"

struct FileSummary {
  std::string path;
  FileKind kind = FileKind::kUnknown;
  // In the order shown, e.g. {"carriers", 5}, {"titles", 16}.
  std::vector<std::pair<std::string, int64_t>> counts;
  // For an old database: "convertVOSKO <version> <path> <output-file>", the
  // path quoted for a POSIX shell where it needs it; empty otherwise.
  std::string convertCommand;
};

// Recognises and reads the file. Raises IllegalArgumentException
// "<path>: not a Vosko file (...)." for an unknown kind, and whatever
// reading a file of its kind raises.
FileSummary summarizeFile(const std::string& path);

// The lines of `voskodb info`, as 8-bit text.
std::vector<std::string> summaryLines(const FileSummary& summary);
// The same as one JSON object on one line, valid UTF-8.
std::string summaryJson(const FileSummary& summary);

// `text` quoted for a POSIX shell when it holds anything but letters,
// digits and "/._-+,:@%=" (single quotes, an embedded one as '\'').
std::string shellQuote(const std::string& text);
