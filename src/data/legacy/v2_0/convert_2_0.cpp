#include "data/legacy/v2_0/convert_2_0.h"

#include <vector>

#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "data/title.h"

namespace {

int32_t firstArtistId(const std::vector<const TTitle2_0*>& titles) {
  return titles.empty() ? TIdentifier2_0::noId() : titles.front()->artistId;
}

bool mixedArtists(const std::vector<const TTitle2_0*>& titles) {
  int32_t first = firstArtistId(titles);
  if (first == TIdentifier2_0::noId()) return false;
  for (const TTitle2_0* title : titles) {
    if (title->artistId != first) return true;
  }
  return false;
}

}  // namespace

bool mixedArtists(const TTitleList2_0& titles, const TSoundCarrier2_0& carrier) {
  return mixedArtists(titles.titlesOfCarrier(carrier.id));
}

int32_t carrierArtistId(const TTitleList2_0& titles, const TSoundCarrier2_0& carrier) {
  std::vector<const TTitle2_0*> own = titles.titlesOfCarrier(carrier.id);
  return mixedArtists(own) ? TIdentifier2_0::noId() : firstArtistId(own);
}

void convert2_0(std::unique_ptr<TManager2_0> manager, const std::string& inputFile,
                const std::string& outputFile) {
  manager->setFileName(inputFile);
  manager->load();

  const TArtistList2_0& artists = manager->artists();
  const TTitleList2_0& titles = manager->titles();
  const TCarrierList2_0& carriers = manager->carriers();
  // Each carrier is written as soon as it is converted and freed then, so
  // the new database is never held whole beside the old one.
  int32_t i = 0;
  std::unique_ptr<TSoundCarrier> carrier;
  TSoundCarriers().storeEach(outputFile, carriers.size(), [&]() -> TPObject& {
    const TSoundCarrier2_0* old = carriers.get(i++);
    carrier = std::make_unique<TSoundCarrier>(old->name, manager->labels().nameOf(old->labelId), old->type);
    std::vector<const TTitle2_0*> own = titles.titlesOfCarrier(old->id);
    if (mixedArtists(own)) {
      carrier->artist = "<Sampler>";
      carrier->setContentType("Sampler");
    } else {
      carrier->artist = artists.nameOf(firstArtistId(own));
    }
    carrier->release = old->release;
    carrier->notes = old->notes;
    for (const TTitle2_0* t : own) {
      auto title = std::make_unique<TTitle>(t->name, t->url, artists.nameOf(t->artistId));
      carrier->add(std::move(title));
    }
    return *carrier;
  });
}
