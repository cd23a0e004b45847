// vosko_list <database-file>
// Loads a current (2.5.7) database and prints the display text of every
// carrier, each followed by those of its titles, indented. Exit codes: 0
// listed, 1 failure reported, 2 usage shown.
#include <cstdio>
#include <exception>

#include "app/start_up.h"
#include "data/sound_carriers.h"
#include "platform/console.h"
#include "platform/exception.h"

namespace {

void list(const char* fileName) {
  TSoundCarriers database;
  database.load(fileName);
  for (int32_t i = 0; i < database.size(); ++i) {
    TSoundCarrier* carrier = database.getCarrier(i);
    platform::writeConsoleLine(carrier->toString());
    for (int32_t j = 0; j < carrier->size(); ++j)
      platform::writeConsoleLine("    " + carrier->getTitle(j)->toString());
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: vosko_list <database-file>\n");
    return 2;
  }
  startUp();
  int exitCode = 0;
  try {
    list(argv[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vosko_list: %s\n", platform::exceptionMessage(e).c_str());
    exitCode = 1;
  }
  shutDown();
  return exitCode;
}
