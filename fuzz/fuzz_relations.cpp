// The artist-relations database reader on any bytes after its header, and
// the questions a loaded database answers.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/artist_relations.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  TArtistRelations relations;
  fuzzinput::ScratchFile input("input.vsk",
                               relations.fileHeader() + std::string(fuzzinput::bytes(data, size)));
  fuzzinput::expectNoCrash([&] {
    relations.load(input.path());
    relations.getRelatedArtists("", true);
  });
  return 0;
}
