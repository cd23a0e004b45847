#include "data/legacy/v2_5_3/convert_2_5_3.h"

#include "data/legacy/shared/legacy_conversion.h"
#include "data/sound_carrier.h"
#include "data/title.h"

namespace {

const LegacyClassNames kClassNames{"TTitle2_5_3", "TSoundCarrier2_5_3", "TSoundCarriers2_5_3"};

// Everything but the stored track numbers, which the current model assigns anew.
std::unique_ptr<TSoundCarrier> convertCarrier(TSoundCarrier2_5_3& s) {
  auto c = std::make_unique<TSoundCarrier>(s.name, s.label, s.type);
  c->artist = s.getArtist();
  c->release = s.release;
  c->notes = s.notes;
  c->setContentType(s.contentType);
  for (int32_t i = 0; i < s.size(); ++i) {
    TTitle2_5_3& t = *s.getTitle(i);
    auto u = std::make_unique<TTitle>(t.name, t.url, t.artist);
    u->setContentType(t.contentType);
    u->setOriginalArtist(t.originalArtist);
    addConvertedTitle(*c, std::move(u));
  }
  return c;
}

}  // namespace

void convert2_5_3(std::unique_ptr<TSoundCarriers2_5_3> source, const std::string& inputFile,
                  const std::string& outputFile) {
  convertLegacyDatabase(std::move(source), kClassNames, inputFile, outputFile, [](TMappedObject& carrier) {
    return convertCarrier(dynamic_cast<TSoundCarrier2_5_3&>(carrier));
  });
}
