// The streamed XML export against the export of the loaded database, and the
// XML form against the database: on any bytes after the database's header,
// whatever the stream exports the loaded model must export to the same
// bytes; what the stream declines it must leave unwritten; and whatever the
// loaded model exports must import, loaded or streamed, to the bytes the
// loaded model stores. Failures are always the loaded model's to report.
#include <cstddef>
#include <cstdint>
#include <string>

#include "data/carrier_xml_reader.h"
#include "data/carrier_xml_writer.h"
#include "data/sound_carriers.h"
#include "fuzz_input.h"

namespace {

using namespace fuzzinput;

// The database of the XML at `xml`, loaded and stored, as bytes; "<refused>" when loading fails.
std::string imported(const std::string& xml, const std::string& database) {
  try {
    TSoundCarriers back;
    back.loadXML(xml);
    back.store(database);
  } catch (const std::exception&) {
    return "<refused>";
  }
  return contents(database);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  startOnce();
  ScratchFile input("input.vsk", std::string(TSoundCarrier::kFileHeader) + std::string(bytes(data, size)));
  ScratchFile streamed("streamed.xml");
  ScratchFile loaded("loaded.xml");
  ScratchFile stored("stored.vsk");
  ScratchFile back("back.vsk");
  const bool streamedExport = exportXmlStreaming(input.path(), streamed.path());
  if (!streamedExport && contents(streamed.path()) != "<none>") finding("a declined export left an output");
  bool loadedExport = false;
  try {
    TSoundCarriers database;
    database.load(input.path());
    database.store(stored.path());
    database.storeXML(loaded.path());
    loadedExport = true;
  } catch (const std::exception&) {
    if (streamedExport) finding("exported by the stream what the loaded database refuses");
    if (contents(loaded.path()) != "<none>") finding("a refused export left an output");
  }
  if (streamedExport && contents(streamed.path()) != contents(loaded.path())) {
    finding("the two exports wrote different bytes");
  }
  if (!loadedExport) return 0;
  if (imported(loaded.path(), back.path()) != contents(stored.path())) {
    finding("the loaded import of the export differs from the database");
  }
  if (!importXmlStreaming(loaded.path(), back.path()) || contents(back.path()) != contents(stored.path())) {
    finding("the streamed import of the export differs from the database");
  }
  return 0;
}
