// How a 2.0 carrier converts, for the conversion and the rescue of damaged
// files alike: a 2.0 carrier has no artist of its own; it takes the artist
// of its titles, or becomes a sampler when they differ.
#pragma once

#include <cstdint>

#include "data/carrier_writer.h"
#include "data/legacy/records/relational_conversion.h"
#include "data/legacy/v2_0/identifier_2_0.h"

namespace legacy {

// The artist id of the first of a carrier's titles (a range of title
// records); none for a carrier without titles.
template <class Titles>
int32_t firstArtistId(const Titles& titles) {
  return titles.empty() ? TIdentifier2_0::noId() : (*titles.begin()).artistId;
}

// True when the first title has an artist and another title a different one.
template <class Titles>
bool mixedArtists(const Titles& titles) {
  const int32_t first = firstArtistId(titles);
  if (first == TIdentifier2_0::noId()) return false;
  for (const auto& title : titles) {
    if (title.artistId != first) return true;
  }
  return false;
}

// Writes `old` with its titles to `out`; the names of the ids come from
// labelName(id), artistName(id) for the carrier's artist and
// titleArtistName(title) for a title's, asked in that order.
template <class Carrier, class Titles, class LabelName, class ArtistName, class TitleArtistName>
void convertCarrier2_0(const Carrier& old, const Titles& titles, LabelName labelName, ArtistName artistName,
                       TitleArtistName titleArtistName, TCarrierWriter& out) {
  TSoundCarrier& carrier = out.carrier();
  copyCarrierFields(old, labelName(old.labelId), carrier);
  if (mixedArtists(titles)) {
    carrier.artist = TSoundCarrier::kSamplerArtist;
    carrier.setContentType(TSoundCarrier::kSampler);
  } else {
    carrier.artist.assign(artistName(firstArtistId(titles)));
  }
  out.beginCarrier(static_cast<int32_t>(titles.size()));
  for (const auto& t : titles) out.addTitle(t.name, t.url, titleArtistName(t));
  out.endCarrier();
}

}  // namespace legacy
