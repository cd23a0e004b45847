#include "data/legacy/v1_5/convert_1_5.h"

#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "data/title.h"

void convert1_5(std::unique_ptr<TManager1_5> manager, const std::string& inputFile,
                const std::string& outputFile) {
  manager->setFileName(inputFile);
  manager->load();

  const TTitleList1_5& titles = manager->titles();
  const TCarrierList1_5& carriers = manager->carriers();
  // Each carrier is written as soon as it is converted and freed then, so
  // the new database is never held whole beside the old one.
  int32_t i = 0;
  std::unique_ptr<TSoundCarrier> carrier;
  TSoundCarriers().storeEach(outputFile, carriers.size(), [&]() -> TPObject& {
    const TSoundCarrier1_5* old = carriers.get(i++);
    carrier = std::make_unique<TSoundCarrier>(old->name, manager->labels().nameOf(old->labelId), old->type);
    carrier->artist = manager->artists().nameOf(old->artistId);
    carrier->release = old->release;
    carrier->notes = old->notes;
    // Every title takes the carrier's artist, so the artists never become
    // mixed and the carrier's artist is the same for each: asked once, not
    // once per title over all the titles added before.
    const std::string artist = carrier->getArtist();
    for (const TTitle1_5* t : titles.titlesOfCarrier(old->id)) {
      carrier->add(std::make_unique<TTitle>(t->name, t->url, artist));
    }
    return *carrier;
  });
}
