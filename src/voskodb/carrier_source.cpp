#include "voskodb/carrier_source.h"

#include <cerrno>
#include <cstdint>
#include <memory>

#include "basis/exceptions.h"
#include "convert/convert_database.h"
#include "data/carrier_xml_reader.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "voskodb/command_lines.h"

namespace {

void fromModel(const std::string& path, bool xml, const std::function<void(const StoredCarrier&)>& each) {
  TSoundCarriers database;
  if (xml)
    database.loadXML(path);
  else
    database.load(path);
  StoredCarrier carrier;
  for (int32_t i = 0; i < database.size(); ++i) {
    viewCarrier(*database.getCarrier(i), carrier);
    each(carrier);
  }
}

}  // namespace

bool streamCarriers(const std::string& path, bool xml,
                    const std::function<void(const StoredCarrier&)>& each) {
  return tryStream([&] {
    if (xml) return CarrierXmlReader().read(path, each);
    CarrierStream in;
    StoredCarrier carrier;
    if (!in.open(path)) return false;
    for (int32_t i = 0; i < in.count(); ++i) {
      if (!in.next(carrier)) return false;
      each(carrier);
    }
    return in.finished();
  });
}

void forEachCarrier(const std::string& path, const KindRow& row,
                    const std::function<void(const StoredCarrier&)>& each,
                    const std::function<void()>& restart) {
  // A failure of this reading reports the error the reading met, if any:
  // errno left from before (a path looked for and not found) is none of it.
  errno = 0;
  const bool xml = row.isXml();
  auto stream = [&](const std::function<void(const StoredCarrier&)>& to) {
    return streamCarriers(path, xml, to);
  };
  if (!restart) {
    if (!stream([](const StoredCarrier&) {})) return fromModel(path, xml, each);
    // The file changed between the two readings.
    if (!stream(each)) throw IOException(path + ": changed while it was read.");
    return;
  }
  bool handed = false;
  if (stream([&](const StoredCarrier& c) {
        handed = true;
        each(c);
      })) {
    return;
  }
  if (handed) restart();
  fromModel(path, xml, each);
}

const KindRow& requireCarrierDatabase(const std::string& command, const std::string& path) {
  const KindRow& row = recognizeVoskoFile(path);
  if (row.kind == FileKind::kDatabase2_5_7 || row.kind == FileKind::kXmlDatabase ||
      row.kind == FileKind::kXmlOther)
    return row;
  refuseFile(command, path, row,
             std::string("a ") + kCurrentVersion + " sound-carrier database (binary or XML)");
}
