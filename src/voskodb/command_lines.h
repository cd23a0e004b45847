// The command lines voskodb shows its users to run next, the path quoted for
// a POSIX shell where it needs it.
#pragma once

#include <string>

// `text` quoted for a POSIX shell when it holds anything but letters,
// digits and "/._-+,:@%=" (single quotes, an embedded one as '\'').
std::string shellQuote(const std::string& text);

// "convertVOSKO <version> <path> <output-file>"
std::string convertCommandLine(const std::string& version, const std::string& path);
// "voskodb upgrade <path> <output-file>"
std::string upgradeCommandLine(const std::string& path);

struct KindRow;
// Raises IllegalArgumentException "<command>: <path> is a <kind>; <command>
// takes <takes>.".
[[noreturn]] void refuseFile(const std::string& command, const std::string& path, const KindRow& row,
                             const std::string& takes);
