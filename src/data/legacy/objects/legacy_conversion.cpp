#include "data/legacy/objects/legacy_conversion.h"

#include "basis/class_name_map.h"
#include "data/carrier_stream.h"

std::unique_ptr<THashtable> makeClassNameMap(const LegacyClassNames& names) {
  return makeClassNameMap(
      {{"TTitle", names.title}, {"TSoundCarrier", names.carrier}, {"TSoundCarriers", names.carriers}});
}

void addConvertedTitle(TSoundCarrier& carrier, std::unique_ptr<TTitle> title) {
  carrier.add(std::move(title));
}

void convertLegacyDatabase(std::unique_ptr<TArrayList> source, const LegacyClassNames& names,
                           const std::string& inputFile, const CarrierTarget& output,
                           const CarrierConversion& convertCarrier) {
  // Declared in this order so that they go in the order map, source, also
  // when a step raises.
  const std::unique_ptr<TArrayList> input = std::move(source);
  const std::unique_ptr<THashtable> map = makeClassNameMap(names);
  input->load(inputFile, map.get());
  // Opened only once the whole input is read, and written carrier by
  // carrier: only one converted carrier is held at a time.
  TCarrierWriter out(output, input->size());
  StoredCarrier stored;
  for (int32_t i = 0; i < input->size(); ++i) {
    const std::unique_ptr<TSoundCarrier> carrier = convertCarrier(*input->get(i));
    viewCarrier(*carrier, stored);
    out.write(stored);
    // The source titles are not needed again; freeing them as we go keeps
    // only one copy of the titles in memory at a time.
    if (auto* done = dynamic_cast<TArrayList*>(input->get(i))) done->clear();
  }
  out.close();
}
