// The converter's entry: banner, usage text, and the dispatch of one
// conversion by the exact version argument.
#pragma once

#include <string>

void printBanner();
void printUsage();

// Converts the database `inputFile` of format `version` into a current
// database `outputFile`. Raises IllegalArgumentException
// "Illegal version parameter: '<version>'." for an unknown version and
// whatever the conversion raises.
void convertDatabase(const std::string& version, const std::string& inputFile, const std::string& outputFile);

// The whole run of the program after start-up: returns the exit code
// (0 converted or --help/--version answered, 1 failure reported, 2 usage
// shown).
int runConverter(int argc, const char* const* argv);
