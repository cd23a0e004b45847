// The current database read carrier by carrier (voskodb's info, check and
// dump) against the loaded model on any bytes after its header: whenever the
// stream reads a file to its end, loading must succeed and give the same
// carriers, stored byte for byte and listed line for line.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include "data/carrier_stream.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "fuzz_input.h"

namespace {

// The listing of a carrier and its titles as dump prints it.
std::string listed(const TSoundCarrier& carrier) {
  std::string lines = carrier.toString() + "\n";
  for (int32_t i = 0; i < carrier.size(); ++i) lines += "    " + carrier.getTitle(i)->toString() + "\n";
  return lines;
}

std::string listed(const StoredCarrier& stored) {
  TSoundCarrier carrier;
  fillCarrier(stored, carrier);
  std::string lines = carrier.toString() + "\n";
  for (const StoredTitle& t : stored.titles) {
    lines += "    ";
    TTitle::appendText(lines, t, &carrier.type);
    lines += "\n";
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  fuzzinput::ScratchFile input("input.vsk",
                               TSoundCarrier::kFileHeader + std::string(fuzzinput::bytes(data, size)));
  fuzzinput::ScratchFile streamed("streamed.vsk");
  fuzzinput::ScratchFile loaded("loaded.vsk");

  CarrierStream in;
  StoredCarrier carrier;
  TSoundCarriers fromStream;
  std::string streamList;
  if (!in.open(input.path())) return 0;
  for (int32_t i = 0; i < in.count(); ++i) {
    if (!in.next(carrier)) return 0;
    streamList += listed(carrier);
    fromStream.add(makeCarrier(carrier).release());
  }
  if (!in.finished()) return 0;

  TSoundCarriers database;
  try {
    database.load(input.path());
  } catch (const std::exception&) {
    fuzzinput::finding("the stream read a database that does not load");
  }
  std::string loadedList;
  for (int32_t i = 0; i < database.size(); ++i) loadedList += listed(*database.getCarrier(i));
  if (streamList != loadedList) fuzzinput::finding("the stream lists other carriers than the loaded model");
  fromStream.store(streamed.path());
  database.store(loaded.path());
  if (fuzzinput::contents(streamed.path()) != fuzzinput::contents(loaded.path())) {
    fuzzinput::finding("the stream read other carriers than the loaded model");
  }
  return 0;
}
