// An XML file read into the artist-relations database.
#include "data/artist_relations.h"
#include "fuzz_xml.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::xmlToModel<TArtistRelations>(data, size);
  return 0;
}
