// The converter's entry: banner, usage text, and the dispatch of one
// conversion by the exact version argument.
#pragma once

#include <string>

// The versions the converter reads, as its version argument takes them, and
// the one it writes. Everything that names a format's version uses these.
inline constexpr const char* kVersion1_5 = "1.5";
inline constexpr const char* kVersion2_0 = "2.0";
inline constexpr const char* kVersion2_5 = "2.5";
inline constexpr const char* kVersion2_5_3 = "2.5.3";
inline constexpr const char* kVersion2_5_5 = "2.5.5";
inline constexpr const char* kCurrentVersion = "2.5.7";

// The prefix of the converter's reports.
inline constexpr const char* kConverterReportPrefix = "convertVosko.exe: ";

void printBanner();
void printUsage();

// The versions the converter reads, in the order the dispatch compares them,
// each between `quote`s, e.g. "'1.5', '2.0', '2.5', '2.5.3' or '2.5.5'".
std::string sourceVersionList(const std::string& quote);

// Converts the database `inputFile` of format `version` into a current
// database `outputFile`. Raises IllegalArgumentException
// "Illegal version parameter: '<version>'." for an unknown version, refuses
// an output that is the input (app/same_file.h) before anything is written,
// and raises whatever the conversion raises.
void convertDatabase(const std::string& version, const std::string& inputFile, const std::string& outputFile);

// The whole run of the program after start-up: returns the exit code
// (0 converted or --help/--version answered, 1 failure reported, 2 usage
// shown).
int runConverter(int argc, const char* const* argv);
