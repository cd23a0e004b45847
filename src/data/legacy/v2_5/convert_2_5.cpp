#include "data/legacy/v2_5/convert_2_5.h"

#include "data/legacy/shared/legacy_conversion.h"
#include "data/sound_carrier.h"
#include "data/title.h"

namespace {

const LegacyClassNames kClassNames{"TTitle2_5", "TSoundCarrier2_5", "TSoundCarriers2_5"};

// The 2.5 model has no content types: a carrier of mixed artists becomes a
// sampler, every other keeps its artist and the current initial content type.
std::unique_ptr<TSoundCarrier> convertCarrier(TSoundCarrier2_5& s) {
  auto c = std::make_unique<TSoundCarrier>(s.name, s.label, s.type);
  if (s.hasMixedArtists()) {
    c->artist = TSoundCarrier::kSamplerArtist;
    c->setContentType(TSoundCarrier::kSampler);
  } else {
    c->artist = s.getArtist();
  }
  c->release = s.release;
  c->notes = s.notes;
  for (int32_t i = 0; i < s.size(); ++i) {
    TTitle2_5& t = *s.getTitle(i);
    addConvertedTitle(*c, std::make_unique<TTitle>(t.name, t.url, t.artist));
  }
  return c;
}

}  // namespace

void convert2_5(std::unique_ptr<TSoundCarriers2_5> source, const std::string& inputFile,
                const std::string& outputFile) {
  convertLegacyDatabase(std::move(source), kClassNames, inputFile, outputFile, [](TMappedObject& carrier) {
    return convertCarrier(dynamic_cast<TSoundCarrier2_5&>(carrier));
  });
}
