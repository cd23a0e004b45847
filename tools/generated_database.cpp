#include "generated_database.h"

#include <memory>
#include <random>
#include <stdexcept>

#include "data/legacy/records/record_file.h"
#include "legacy_records.h"
#include "object_sample.h"
#include "platform/exception.h"

namespace sample {
namespace {

// Texts of varying length, drawn from a fixed seed.
class Texts {
 public:
  explicit Texts(uint32_t seed) : random_(seed) {}

  // `stem` and up to `maxWords` more words; one text in eight has an umlaut.
  std::string text(const std::string& stem, int maxWords) {
    static const char* const kWords[] = {"live",  "in",       "Hamburg", "remastered", "edition", "the",
                                         "night", "sessions", "B-side",  "version",    "mix",     "\xC4rzte"};
    std::string s = stem;
    const int words = static_cast<int>(random_() % static_cast<uint32_t>(maxWords + 1));
    for (int i = 0; i < words; ++i) {
      s += ' ';
      s += kWords[random_() % (sizeof kWords / sizeof *kWords)];
    }
    return s;
  }
  uint32_t next(uint32_t bound) { return random_() % bound; }

 private:
  std::mt19937 random_;
};

void writeObjectFormat(ObjectFormat format, const GeneratedShape& shape, const std::string& path) {
  Texts texts(shape.seed);
  ObjectDatabaseWriter writer(format, path, shape.carriers);
  for (int32_t i = 0; i < shape.carriers; ++i) {
    const std::string n = std::to_string(i);
    ObjectCarrier c = defaultCarrier(format);
    c.name = texts.text("Album " + n, 4);
    c.label = "Label " + std::to_string(i % 997);
    c.artist = texts.text("Artist " + std::to_string(i % 5000), 2);
    c.release = 30000 + i % 9000 + 0.25;
    c.notes = texts.text("Notes of " + n + ".", 12) + (i % 4 == 0 ? "\r\nA second line." : "");
    if (format != ObjectFormat::k2_5)
      c.contentType = i % 10 == 0 ? "Sampler" : i % 25 == 0 ? "Split" : "Album";
    if (format == ObjectFormat::k2_5_5) c.image = i % 3 == 0 ? "covers/" + n + ".jpg" : "";
    for (int32_t t = 0; t < shape.titlesPerCarrier; ++t) {
      ObjectTitle title = defaultTitle(format);
      title.name = texts.text("Song " + std::to_string(t + 1), 5);
      title.artist = i % 10 == 0 ? "Guest " + std::to_string(texts.next(1000)) : c.artist;
      title.url = texts.next(3) == 0 ? "http://example.org/t/" + n + "/" + std::to_string(t) : "";
      if (format != ObjectFormat::k2_5) title.originalArtist = t == 3 ? "Original Artist" : "";
      c.titles.push_back(std::move(title));
    }
    writer.writeCarrier(c);
  }
  writer.finish();
}

// Carrier ids are sparse and descending, so no position equals an id.
int32_t carrierId(int32_t i, int32_t carriers) { return 3 * (carriers - i) + 11; }

template <class Records>
void writeRecordFormat(const GeneratedShape& shape, const std::string& path) {
  Texts texts(shape.seed);
  const int32_t carriers = shape.carriers;
  const int64_t titles = static_cast<int64_t>(carriers) * shape.titlesPerCarrier;
  const int32_t artists = carriers / 10 + 1;
  const int32_t labels = carriers / 100 + 1;
  typename Records::Format::Artists artistList;
  typename Records::Format::Labels labelList;
  typename Records::Format::Titles titleList;
  typename Records::Format::Carriers carrierList;
  for (int32_t i = 0; i < artists; ++i) {
    artistList.add(std::make_unique<typename Records::Artist>(texts.text("Artist " + std::to_string(i), 2),
                                                              1000 + 2 * i));
  }
  for (int32_t i = 0; i < labels; ++i) {
    labelList.add(std::make_unique<typename Records::Label>("Label " + std::to_string(i), 5 * i));
  }
  for (int32_t i = 0; i < carriers; ++i) {
    auto c = std::make_unique<typename Records::Carrier>(texts.text("Album " + std::to_string(i), 4),
                                                         carrierId(i, carriers));
    c->labelId = 5 * (i % labels);
    c->release = 30000 + i % 9000;
    c->notes =
        texts.text("Notes of " + std::to_string(i) + ".", 12) + (i % 4 == 0 ? "\r\nA second line." : "");
    c->type = "Compact Disc";
    if constexpr (Records::kDated) {
      c->date = 40000 + i % 5000;
    } else {
      c->artistId = 1000 + 2 * (i % artists);
    }
    carrierList.add(std::move(c));
  }
  for (int64_t j = 0; j < titles; ++j) {
    // Title j goes to a scattered carrier; consecutive titles rarely share one.
    const auto owner = static_cast<int32_t>((j * 7919) % carriers);
    auto t = std::make_unique<typename Records::Title>(texts.text("Song " + std::to_string(j), 5),
                                                       static_cast<int32_t>(100000 + j));
    t->url = texts.next(3) == 0 ? "http://example.org/" + std::to_string(j) : "";
    t->carrierIds.emplace_back(carrierId(owner, carriers));
    if (j % 10 == 0 && carriers > 1) t->carrierIds.emplace_back(carrierId((owner + 1) % carriers, carriers));
    if constexpr (Records::kDated) {
      t->date = 40000 + static_cast<int32_t>(j % 5000);
      const bool sampler = owner % 5 == 0;
      t->artistId = 1000 + 2 * static_cast<int32_t>((sampler ? j : owner) % artists);
    }
    titleList.add(std::move(t));
  }
  legacy::RecordFile file;
  file.openWrite(path);
  const std::string header = Records::Format::header();
  if (file.write(header.data(), header.size()) != header.size())
    throw Exception(legacy::RecordIO::kWriteError);
  artistList.writeTo(file);
  labelList.writeTo(file);
  titleList.writeTo(file);
  carrierList.writeTo(file);
  file.commit();
}

}  // namespace

void writeGeneratedDatabase(const std::string& version, const GeneratedShape& shape,
                            const std::string& path) {
  if (version == "1.5") {
    writeRecordFormat<Records1_5>(shape, path);
  } else if (version == "2.0") {
    writeRecordFormat<Records2_0>(shape, path);
  } else {
    writeObjectFormat(parseObjectFormat(version), shape, path);
  }
}

}  // namespace sample
