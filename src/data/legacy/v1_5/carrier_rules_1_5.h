// How a 1.5 carrier converts, for the conversion and the rescue of damaged
// files alike: a 1.5 carrier names its artist itself, and every title takes it.
#pragma once

#include <cstdint>

#include "data/carrier_writer.h"
#include "data/legacy/records/relational_conversion.h"

namespace legacy {

// Writes `old` with its titles (a range of title records) to `out`; the
// names of the ids come from labelName(id) and artistName(id), asked in
// that order.
template <class Carrier, class Titles, class LabelName, class ArtistName>
void convertCarrier1_5(const Carrier& old, const Titles& titles, LabelName labelName, ArtistName artistName,
                       TCarrierWriter& out) {
  TSoundCarrier& carrier = out.carrier();
  copyCarrierFields(old, labelName(old.labelId), carrier);
  carrier.artist.assign(artistName(old.artistId));
  out.beginCarrier(static_cast<int32_t>(titles.size()));
  // The carrier holds no titles while they are written, so the artist it
  // shows is the one it names: the artists never become mixed.
  for (const auto& t : titles) out.addTitle(t.name, t.url, carrier.artist);
  out.endCarrier();
}

}  // namespace legacy
