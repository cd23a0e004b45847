#include "data/legacy/v2_0/convert_2_0.h"

#include "data/legacy/records/relational_conversion.h"

namespace {

template <class Titles>
int32_t firstArtistId(const Titles& titles) {
  return titles.empty() ? TIdentifier2_0::noId() : (*titles.begin()).artistId;
}

template <class Titles>
bool mixedArtists(const Titles& titles) {
  const int32_t first = firstArtistId(titles);
  if (first == TIdentifier2_0::noId()) return false;
  for (const auto& title : titles) {
    if (title.artistId != first) return true;
  }
  return false;
}

// A 2.0 carrier takes the artist of its titles, or becomes a sampler when they differ.
struct Rules2_0 {
  template <class Source, class Carrier>
  void operator()(const Source& source, const Carrier& old, TCarrierWriter& out) const {
    TSoundCarrier& carrier = out.carrier();
    carrier.name.assign(old.name);
    carrier.label.assign(source.labelName(old.labelId));
    carrier.type.assign(old.type);
    const auto titles = source.titlesOf(old);
    if (mixedArtists(titles)) {
      carrier.artist = TSoundCarrier::kSamplerArtist;
      carrier.setContentType(TSoundCarrier::kSampler);
    } else {
      carrier.artist.assign(source.artistName(firstArtistId(titles)));
    }
    carrier.release = old.release;
    carrier.notes.assign(old.notes);
    out.beginCarrier(titles.size());
    for (const auto& t : titles) out.addTitle(t.name, t.url, source.artistName(t.artistId));
    out.endCarrier();
  }
};

}  // namespace

bool mixedArtists(const TTitleList2_0& titles, const TSoundCarrier2_0& carrier) {
  return mixedArtists(legacy::LoadedTitles(titles.titlesOfCarrier(carrier.id)));
}

int32_t carrierArtistId(const TTitleList2_0& titles, const TSoundCarrier2_0& carrier) {
  const legacy::LoadedTitles own(titles.titlesOfCarrier(carrier.id));
  return mixedArtists(own) ? TIdentifier2_0::noId() : firstArtistId(own);
}

bool convertBytes2_0(const std::string& inputFile, const std::string& outputFile) {
  return legacy::convertFromBytes<legacy::Format2_0>(inputFile, outputFile, Rules2_0());
}

void convertLoaded2_0(TManager2_0& manager, const std::string& inputFile, const std::string& outputFile) {
  legacy::convertLoaded(manager, inputFile, outputFile, Rules2_0());
}

void convert2_0(std::unique_ptr<TManager2_0> manager, const std::string& inputFile,
                const std::string& outputFile) {
  legacy::convertRelational<legacy::Format2_0>(*manager, inputFile, outputFile, Rules2_0());
}
