// The artist rules every version of the sound carrier shares: whether its
// titles mix artists, and the artist of a "Split" assembled from its titles.
// They are free function templates over the carrier so that the current
// TSoundCarrier and each legacy carrier keep their own title access (a legacy
// getTitle refuses a foreign object) and their own class name in messages.
// Nothing here owns anything; the carrier is only read.
#pragma once

#include <cstdint>
#include <string>

#include "basis/exceptions.h"
#include "basis/string_value.h"

namespace carrierartists {

// The artist of the carrier's title at `index`: asked of the carrier itself
// where it knows its titles' artists without reading whole titles.
template <class Carrier>
decltype(auto) titleArtist(const Carrier& carrier, int32_t index) {
  if constexpr (requires { carrier.titleArtist(index); }) {
    return carrier.titleArtist(index);
  } else {
    return (carrier.getTitle(index)->artist);
  }
}

// True when some title's artist differs from the carrier's.
template <class Carrier>
bool hasMixedArtists(const Carrier& carrier) {
  for (int32_t i = 0; i < carrier.size(); ++i) {
    if (titleArtist(carrier, i) != carrier.artist) return true;
  }
  return false;
}

// The distinct non-empty title artists, each followed by a blank; a name that
// is part of one already taken (ignoring ASCII case) counts as present. A
// carrier that is not a "Split" raises IllegalStateException
// "<Class>.assembleSplitArtist: Attempt to assemble artist for non split typ: <type>".
template <class Carrier>
std::string assembleSplitArtist(const Carrier& carrier) {
  if (carrier.contentType != "Split") {
    throw IllegalStateException(
        std::string(Carrier::kClassName) +
        ".assembleSplitArtist: Attempt to assemble artist for non split typ: " + carrier.contentType);
  }
  std::string result;
  std::string upperResult;
  for (int32_t i = 0; i < carrier.size(); ++i) {
    const std::string artist(titleArtist(carrier, i));
    if (artist.empty()) continue;
    const std::string upper = TString::toUpperAscii(artist);
    if (upperResult.find(upper) != std::string::npos) continue;
    result += artist + " ";
    upperResult += upper + " ";
  }
  return result;
}

// The artist an old carrier shows (getArtist of the formats 2.5, 2.5.3 and
// 2.5.5): "<Sampler>" for mixed artists, and where the format knows split
// carriers, the assembled artists of a "Split".
template <bool kSplit, class Carrier>
std::string shownArtist(const Carrier& carrier) {
  std::string artist = hasMixedArtists(carrier) ? "<Sampler>" : carrier.artist;
  if constexpr (kSplit) {
    if (carrier.contentType == "Split") artist = assembleSplitArtist(carrier);
  }
  return artist;
}

}  // namespace carrierartists
