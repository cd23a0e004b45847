#include "data/legacy/objects/legacy_conversion.h"

#include "basis/class_name_map.h"
#include "data/sound_carriers.h"

std::unique_ptr<THashtable> makeClassNameMap(const LegacyClassNames& names) {
  return makeClassNameMap(
      {{"TTitle", names.title}, {"TSoundCarrier", names.carrier}, {"TSoundCarriers", names.carriers}});
}

void addConvertedTitle(TSoundCarrier& carrier, std::unique_ptr<TTitle> title) {
  carrier.add(title.get());
  title.release();
}

void convertLegacyDatabase(std::unique_ptr<TArrayList> source, const LegacyClassNames& names,
                           const std::string& inputFile, const std::string& outputFile,
                           const CarrierConversion& convertCarrier) {
  std::unique_ptr<TSoundCarriers> target;
  std::unique_ptr<THashtable> map;
  auto release = [&] {
    map.reset();
    source.reset();
    target.reset();
  };
  try {
    target = std::make_unique<TSoundCarriers>();
    map = makeClassNameMap(names);
    target->setFileName(outputFile);
    source->load(inputFile, map.get());
    for (int32_t i = 0; i < source->size(); ++i) {
      std::unique_ptr<TSoundCarrier> carrier = convertCarrier(*source->get(i));
      target->add(carrier.get());
      carrier.release();
      // The source titles are not needed again; freeing them as we go keeps
      // only one copy of the titles in memory at a time.
      if (auto* done = dynamic_cast<TArrayList*>(source->get(i))) done->clear();
    }
    target->store();
  } catch (...) {
    release();
    throw;
  }
  release();
}
