// The commands of voskodb. Each prints what it found through the console
// (the program's Windows-1252 text shown as UTF-8) and raises on failure;
// the caller reports the failure and turns it into the exit code. Only
// `upgrade` reports by itself, exactly as convertVOSKO would.
#pragma once

#include <string>

// Kind and counts of any Vosko file; an unknown file raises.
void infoCommand(const std::string& path, bool json);

// Recognises the old database's version and converts it as
// `convertVOSKO <version> in out` would, reporting a conversion failure in
// the converter's own words. Returns the exit code (0 or 1). A file that is
// no old database raises IllegalArgumentException before anything is written.
int upgradeCommand(const std::string& in, const std::string& out);

// Display texts of a 2.5.7 database (or its XML form), the relations of a
// relations database (or its XML form), or the text form of debug entries.
void dumpCommand(const std::string& path);

// The XML form of a 2.5.7 or relations database, chosen by its header.
void exportXmlCommand(const std::string& database, const std::string& xml);
// The binary database of an XML form, chosen by its root element.
void importXmlCommand(const std::string& xml, const std::string& database);

// Loads a 2.5.7 or relations database (binary or XML) completely and prints
// "ok" with its counts; the first problem raises.
void checkCommand(const std::string& path);
