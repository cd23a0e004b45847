// list_collection <database.vsk>
//
// The smallest program that reads the collection through the library: it
// loads a sound-carrier database of the current format (2.5.7) whole into
// the model -- TSoundCarriers, a list of TSoundCarrier, each a list of
// TTitle -- and prints every carrier and, indented, each of its titles, one
// line apiece: the lines `voskodb dump` prints. A database of an older
// format is converted first (`convertVOSKO 2.5.5 old.vsk new.vsk`).
//
// What every program on the library does:
//   - libraryStartUp() before anything else of the library, since it
//     registers the classes a database file names; libraryShutDown() last;
//   - failures arrive as exceptions whose what() tells the whole story, such
//     as "TFile.open: (FileNotFoundException) ...";
//   - the model's texts are Windows-1252, the code page of its files, so
//     they are converted before they reach a UTF-8 terminal (toConsoleText
//     also shows control characters as "\xNN", so that nothing read from a
//     file can steer the terminal).
// The channels the start-up configures read debug.properties beside the
// program (see report_error.cpp); copy the one shipped here along.
//
// Build it with the CMakeLists.txt beside it, or with pkg-config:
//   g++ -std=c++20 list_collection.cpp $(pkg-config --cflags --libs vosko) -o list_collection
// Exit codes: 0 listed, 1 failure reported, 2 usage shown.
#include <cstdint>
#include <cstdio>
#include <exception>
#include <string>

#include "data/library_start_up.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "data/title.h"
#include "platform/code_page.h"

namespace {

void printLine(const std::string& ansi) { std::printf("%s\n", platform::toConsoleText(ansi).c_str()); }

void list(const char* fileName) {
  TSoundCarriers database;
  database.load(fileName);
  for (int32_t i = 0; i < database.size(); ++i) {
    // The database owns its carriers and each carrier its titles.
    const TSoundCarrier* carrier = database.getCarrier(i);
    printLine(carrier->toString());
    for (int32_t j = 0; j < carrier->size(); ++j) printLine("    " + carrier->getTitle(j)->toString());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: list_collection <database.vsk>\n");
    return 2;
  }
  libraryStartUp();
  int exitCode = 0;
  try {
    list(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "list_collection: %s\n", platform::toConsoleText(e.what()).c_str());
    exitCode = 1;
  }
  libraryShutDown();
  // A listing cut short (a full disk, a closed pipe) is a failure too.
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
    if (exitCode == 0) std::fprintf(stderr, "list_collection: the listing could not be written.\n");
    exitCode = 1;
  }
  return exitCode;
}
