#include "data/legacy/v2_0/convert_2_0.h"

#include "data/legacy/records/relational_conversion.h"
#include "data/legacy/v2_0/carrier_rules_2_0.h"

namespace {

struct Rules2_0 {
  template <class Source, class Carrier>
  void operator()(const Source& source, const Carrier& old, TCarrierWriter& out) const {
    legacy::convertCarrier2_0(
        old, source.titlesOf(old), [&](int32_t id) { return source.labelName(id); },
        [&](int32_t id) { return source.artistName(id); },
        [&](const auto& title) { return source.artistName(title.artistId); }, out);
  }
};

}  // namespace

bool mixedArtists(const TTitleList2_0& titles, const TSoundCarrier2_0& carrier) {
  return legacy::mixedArtists(legacy::LoadedTitles(titles.titlesOfCarrier(carrier.id)));
}

int32_t carrierArtistId(const TTitleList2_0& titles, const TSoundCarrier2_0& carrier) {
  const legacy::LoadedTitles own(titles.titlesOfCarrier(carrier.id));
  return legacy::mixedArtists(own) ? TIdentifier2_0::noId() : legacy::firstArtistId(own);
}

bool convertBytes2_0(const std::string& inputFile, const CarrierTarget& output) {
  return legacy::convertFromBytes<legacy::Format2_0>(inputFile, output, Rules2_0());
}

void convertLoaded2_0(TManager2_0& manager, const std::string& inputFile, const CarrierTarget& output) {
  legacy::convertLoaded(manager, inputFile, output, Rules2_0());
}

void convert2_0(std::unique_ptr<TManager2_0> manager, const std::string& inputFile,
                const CarrierTarget& output) {
  legacy::convertRelational<legacy::Format2_0>(*manager, inputFile, output, Rules2_0());
}

void convertCarriers2_0(const std::string& inputFile, const CarrierTarget& output) {
  legacy::RelationalLists<legacy::Format2_0> lists;
  legacy::convertRelational<legacy::Format2_0>(lists, inputFile, output, Rules2_0());
}
