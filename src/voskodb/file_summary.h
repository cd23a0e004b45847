// What a Vosko file holds, as `voskodb info` shows it: its kind and the
// numbers of what is in it, read with the classes of its own format, and for
// an old database the convertVOSKO command line that converts it.
#pragma once

#include <string>
#include <vector>

#include "voskodb/file_kind.h"

struct FileSummary {
  std::string path;
  FileKind kind = FileKind::kUnknown;
  // In the order shown, e.g. {"carriers", 5}, {"titles", 16}.
  Counts counts;
  // For an old database: "convertVOSKO <version> <path> <output-file>", the
  // path quoted for a POSIX shell where it needs it; empty otherwise.
  std::string convertCommand;
};

// Recognises and reads the file. Raises IllegalArgumentException
// "<path>: not a Vosko file (...)." for an unknown kind, and whatever
// reading a file of its kind raises.
FileSummary summarizeFile(const std::string& path);
// Reads the file, already recognised as of the kind `row`.
FileSummary summarizeFile(const std::string& path, const KindRow& row);

// The lines of `voskodb info`, as 8-bit text.
std::vector<std::string> summaryLines(const FileSummary& summary);
// The same as one JSON object on one line, valid UTF-8.
std::string summaryJson(const FileSummary& summary);
