#include "data/legacy/v1_5/convert_1_5.h"

#include "data/legacy/records/relational_conversion.h"
#include "data/legacy/v1_5/carrier_rules_1_5.h"

namespace {

struct Rules1_5 {
  template <class Source, class Carrier>
  void operator()(const Source& source, const Carrier& old, TCarrierWriter& out) const {
    legacy::convertCarrier1_5(
        old, source.titlesOf(old), [&](int32_t id) { return source.labelName(id); },
        [&](int32_t id) { return source.artistName(id); }, out);
  }
};

}  // namespace

bool convertBytes1_5(const std::string& inputFile, const CarrierTarget& output) {
  return legacy::convertFromBytes<legacy::Format1_5>(inputFile, output, Rules1_5());
}

void convertLoaded1_5(TManager1_5& manager, const std::string& inputFile, const CarrierTarget& output) {
  legacy::convertLoaded(manager, inputFile, output, Rules1_5());
}

void convert1_5(std::unique_ptr<TManager1_5> manager, const std::string& inputFile,
                const CarrierTarget& output) {
  legacy::convertRelational<legacy::Format1_5>(*manager, inputFile, output, Rules1_5());
}

void convertCarriers1_5(const std::string& inputFile, const CarrierTarget& output) {
  legacy::RelationalLists<legacy::Format1_5> lists;
  legacy::convertRelational<legacy::Format1_5>(lists, inputFile, output, Rules1_5());
}
