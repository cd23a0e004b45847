// vosko_make_sample <description-file> <output-file>
// Writes the 2.5, 2.5.3 or 2.5.5 database that a description names (see
// object_sample.h). Exit codes: 0 written, 1 failure reported, 2 usage shown.
#include <cstdio>
#include <exception>
#include <fstream>
#include <sstream>

#include "object_sample.h"
#include "platform/exception.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: vosko_make_sample <description-file> <output-file>\n");
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "vosko_make_sample: cannot read '%s'\n", argv[1]);
    return 1;
  }
  std::ostringstream text;
  text << in.rdbuf();
  try {
    sample::writeObjectDatabase(text.str(), argv[2]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "vosko_make_sample: %s: %s\n", argv[1], platform::exceptionMessage(e).c_str());
    return 1;
  }
  return 0;
}
