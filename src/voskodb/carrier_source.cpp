#include "voskodb/carrier_source.h"

#include <cerrno>
#include <cstdint>
#include <memory>

#include "basis/exceptions.h"
#include "convert/convert_database.h"
#include "data/carrier_writer.h"
#include "data/carrier_xml_reader.h"
#include "data/carrier_xml_writer.h"
#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "platform/os_file.h"
#include "voskodb/command_lines.h"

namespace {

// Hands the carriers of the loaded model from the one at `from` on.
void fromModel(const std::string& path, bool xml, const std::function<void(const StoredCarrier&)>& each,
               int64_t from = 0) {
  TSoundCarriers database;
  if (xml)
    database.loadXML(path);
  else
    database.load(path);
  // Fewer carriers than the stream handed: the file is not what it was.
  if (database.size() < from) throw IOException(path + ": changed while it was read.");
  StoredCarrier carrier;
  for (auto i = static_cast<int32_t>(from); i < database.size(); ++i) {
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
  if (row.convertCarriers != nullptr) return row.convertCarriers(path, CarrierTarget(each));
  // A failure of this reading reports the error the reading met, if any:
  // errno left from before (a path looked for and not found) is none of it.
  errno = 0;
  const bool xml = row.isXml();
  int64_t handed = 0;
  if (streamCarriers(path, xml, [&](const StoredCarrier& c) {
        ++handed;
        each(c);
      })) {
    return;
  }
  // The stream's carriers are the model's first ones: a file the stream
  // leaves at some carrier loads with the same carriers before it.
  if (handed > 0 && restart) {
    restart();
    handed = 0;
  }
  fromModel(path, xml, each, handed);
}

Counts countCarriers(const std::string& path, const KindRow& row) {
  int64_t carriers = 0, titles = 0, tocs = 0;
  forEachCarrier(path, row, [&](const StoredCarrier& c) {
    ++carriers;
    titles += static_cast<int64_t>(c.titles.size());
    tocs += c.tocCount;
  });
  return {{"carriers", carriers}, {"titles", titles}, {"tables of contents", tocs}};
}

const KindRow& requireCarrierDatabase(const std::string& command, const std::string& path) {
  const KindRow& row = recognizeVoskoFile(path);
  if (row.kind == FileKind::kDatabase2_5_7 || row.kind == FileKind::kXmlDatabase ||
      row.kind == FileKind::kXmlOther || row.convertCarriers != nullptr)
    return row;
  refuseFile(command, path, row,
             std::string("a ") + kCurrentVersion + " sound-carrier database (binary or XML) or an old one (" +
                 sourceVersionList("") + ")");
}

void exportConvertedXml(const std::string& in, const KindRow& row, const std::string& xml) {
  // Closing a replacement that was never committed removes it.
  platform::OsFile file;
  file.openReplacement(xml);
  CarrierXmlWriter out(file);
  out.begin();
  forEachCarrier(in, row, [&](const StoredCarrier& c) { out.write(c); });
  out.end();
  file.commitReplacement();
}
