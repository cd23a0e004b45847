// The streamed XML export against the export of the loaded database: on any
// bytes after the database's header, whatever the stream exports the loaded
// model must export to the same bytes; what the stream declines it must
// leave unwritten. Failures are always the loaded model's to report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/carrier_xml_writer.h"
#include "data/sound_carriers.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace fuzzinput;
  startOnce();
  ScratchFile input("input.vsk", std::string(TSoundCarrier::kFileHeader) + std::string(bytes(data, size)));
  ScratchFile streamed("streamed.xml");
  ScratchFile loaded("loaded.xml");
  if (!exportXmlStreaming(input.path(), streamed.path())) {
    if (contents(streamed.path()) != "<none>") finding("a declined export left an output");
    return 0;
  }
  try {
    TSoundCarriers database;
    database.load(input.path());
    database.storeXML(loaded.path());
  } catch (const std::exception&) {
    finding("exported by the stream what the loaded database refuses");
  }
  if (contents(streamed.path()) != contents(loaded.path())) finding("the two exports wrote different bytes");
  return 0;
}
