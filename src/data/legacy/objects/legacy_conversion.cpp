#include "data/legacy/objects/legacy_conversion.h"

#include "basis/class_name_map.h"
#include "data/sound_carriers.h"

std::unique_ptr<THashtable> makeClassNameMap(const LegacyClassNames& names) {
  return makeClassNameMap(
      {{"TTitle", names.title}, {"TSoundCarrier", names.carrier}, {"TSoundCarriers", names.carriers}});
}

void addConvertedTitle(TSoundCarrier& carrier, std::unique_ptr<TTitle> title) {
  carrier.add(std::move(title));
}

void convertLegacyDatabase(std::unique_ptr<TArrayList> source, const LegacyClassNames& names,
                           const std::string& inputFile, const std::string& outputFile,
                           const CarrierConversion& convertCarrier) {
  // Declared in this order so that they go in the order map, source, target,
  // also when a step raises.
  const auto target = std::make_unique<TSoundCarriers>();
  const std::unique_ptr<TArrayList> input = std::move(source);
  const std::unique_ptr<THashtable> map = makeClassNameMap(names);
  target->setFileName(outputFile);
  input->load(inputFile, map.get());
  for (int32_t i = 0; i < input->size(); ++i) {
    target->add(convertCarrier(*input->get(i)));
    // The source titles are not needed again; freeing them as we go keeps
    // only one copy of the titles in memory at a time.
    if (auto* done = dynamic_cast<TArrayList*>(input->get(i))) done->clear();
  }
  target->store();
}
