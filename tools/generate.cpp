// Writes one seeded database, as bench/run makes them, for profiling a single
// conversion by hand:
//   vosko_generate [--awkward] <version> <carriers> <titles per carrier> <seed> <file>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>

#include "generated_database.h"

int main(int argc, char** argv) {
  const bool awkward = argc > 1 && std::string(argv[1]) == "--awkward";
  if (awkward) {
    --argc;
    ++argv;
  }
  if (argc != 6) {
    std::fprintf(
        stderr,
        "usage: vosko_generate [--awkward] <version> <carriers> <titles per carrier> <seed> <file>\n");
    return 2;
  }
  try {
    const sample::GeneratedShape shape{std::atoi(argv[2]), std::atoi(argv[3]),
                                       static_cast<uint32_t>(std::strtoul(argv[4], nullptr, 10)), awkward};
    sample::writeGeneratedDatabase(argv[1], shape, argv[5]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vosko_generate: %s\n", e.what());
    return 1;
  }
  return 0;
}
