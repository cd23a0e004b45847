// An XML file imported carrier by carrier against the loaded way: whenever
// the streaming import says yes, loading the document and storing it must
// succeed with the very same bytes; when it says no, no file is left.
#include <exception>

#include "data/carrier_xml_reader.h"
#include "data/sound_carriers.h"
#include "fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  fuzzinput::ScratchFile input("input.xml", fuzzinput::bytes(data, size));
  fuzzinput::ScratchFile streamed("streamed.db");
  fuzzinput::ScratchFile loaded("loaded.db");
  if (!importXmlStreaming(input.path(), streamed.path())) {
    if (fuzzinput::contents(streamed.path()) != "<none>") fuzzinput::finding("a declined import left a file");
    return 0;
  }
  try {
    TSoundCarriers database;
    database.loadXML(input.path());
    database.store(loaded.path());
  } catch (const std::exception&) {
    fuzzinput::finding("the streaming import took a document that loading refuses");
  }
  if (fuzzinput::contents(streamed.path()) != fuzzinput::contents(loaded.path()))
    fuzzinput::finding("the streamed and the loaded database differ");
  return 0;
}
