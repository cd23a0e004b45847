#include "generated_database.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

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

// What an awkward shape draws from: for a third of the texts and dates
// something no tidy collection holds, else what a tidy one would.
class Awkward {
 public:
  Awkward(Texts& texts, bool on) : texts_(texts), on_(on) {}

  explicit operator bool() const { return on_; }

  std::string text(const std::string& stem, int maxWords) {
    if (!on_ || texts_.next(3) != 0) return texts_.text(stem, maxWords);
    return odd(stem);
  }
  // `stem` itself in a tidy shape, which draws nothing for it.
  std::string plain(const std::string& stem) { return on_ && texts_.next(3) == 0 ? odd(stem) : stem; }

  double date(double tidy) {
    if (!on_ || texts_.next(3) != 0) return tidy;
    static const double kDates[] = {0.0,
                                    -0.0,
                                    -1.0,
                                    -693594.0,  // 1.1.0001
                                    -693959.5,  // in the year 0
                                    -1e6,
                                    2958465.999988426,  // the last second of 9999
                                    2958466.0,          // 1.1.10000
                                    1e300,
                                    -1e300,
                                    std::numeric_limits<double>::denorm_min(),
                                    std::numeric_limits<double>::infinity(),
                                    -std::numeric_limits<double>::infinity(),
                                    std::numeric_limits<double>::quiet_NaN(),
                                    36525.123456789};
    const size_t n = sizeof kDates / sizeof *kDates;
    const uint32_t k = texts_.next(static_cast<uint32_t>(n) + 1);
    if (k < n) return kDates[k];
    // A quiet NaN with a payload of its own, which a copy must keep bit for bit.
    uint64_t bits = 0x7FF8000000000000ull | (static_cast<uint64_t>(texts_.next(1u << 20)) + 1);
    double d;
    std::memcpy(&d, &bits, sizeof d);
    return d;
  }

  // `tidy`, or one of the ids that need care: no record, zero, the ends of
  // the range, or the id of another record (a duplicate, the first wins).
  int32_t id(int32_t tidy, int32_t other) {
    if (!on_ || texts_.next(6) != 0) return tidy;
    static const int32_t kIds[] = {-1, 0, std::numeric_limits<int32_t>::min(),
                                   std::numeric_limits<int32_t>::max()};
    const uint32_t k = texts_.next(5);
    return k < 4 ? kIds[k] : other;
  }

  // A reference to one of `ids` (the ids its records really carry, which
  // may be any of the above), or now and then -1 for none.
  int32_t ref(const std::vector<int32_t>& ids, size_t tidy) {
    if (on_ && texts_.next(8) == 0) return -1;
    return ids[tidy];
  }

  bool chance(uint32_t oneIn) { return on_ && texts_.next(oneIn) == 0; }
  uint32_t next(uint32_t bound) { return texts_.next(bound); }

 private:
  std::string odd(const std::string& stem) {
    switch (texts_.next(5)) {
      case 0:
        return "";
      case 1:  // any byte, zeros and every control byte among them
        return bytes(texts_.next(24) + 1);
      case 2:
        return stem + "\t\r\n\x01\x1B[2J\x7F\xAD\x81";
      case 3:
        return std::string(texts_.next(64) + 1, '\0');
      default:
        return std::string(1, static_cast<char>(texts_.next(32)));
    }
  }

  std::string bytes(uint32_t n) {
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(texts_.next(256));
    return s;
  }

  Texts& texts_;
  bool on_;
};

void writeObjectFormat(ObjectFormat format, const GeneratedShape& shape, const std::string& path) {
  Texts texts(shape.seed);
  Awkward odd(texts, shape.awkward);
  ObjectDatabaseWriter writer(format, path, shape.carriers);
  for (int32_t i = 0; i < shape.carriers; ++i) {
    const std::string n = std::to_string(i);
    ObjectCarrier c = defaultCarrier(format);
    c.name = odd.text("Album " + n, 4);
    c.label = odd.plain("Label " + std::to_string(i % 997));
    c.artist = odd.text("Artist " + std::to_string(i % 5000), 2);
    c.type = odd.plain(c.type);
    c.release = odd.date(30000 + i % 9000 + 0.25);
    c.notes = odd.text("Notes of " + n + ".", 12) + (i % 4 == 0 ? "\r\nA second line." : "");
    if (format != ObjectFormat::k2_5)
      c.contentType = odd.plain(i % 10 == 0 ? "Sampler" : i % 25 == 0 ? "Split" : "Album");
    if (format == ObjectFormat::k2_5_5) {
      c.image = i % 3 == 0 ? odd.plain("covers/" + n + ".jpg") : "";
      if (odd) c.printImage = odd.plain("");
    }
    // An awkward carrier holds from none to twice the usual titles.
    const int32_t titles =
        odd ? static_cast<int32_t>(odd.next(static_cast<uint32_t>(2 * shape.titlesPerCarrier + 1)))
            : shape.titlesPerCarrier;
    for (int32_t t = 0; t < titles; ++t) {
      ObjectTitle title = defaultTitle(format);
      title.name = odd.text("Song " + std::to_string(t + 1), 5);
      title.artist = i % 10 == 0 ? odd.plain("Guest " + std::to_string(texts.next(1000))) : c.artist;
      title.url = texts.next(3) == 0 ? odd.plain("http://example.org/t/" + n + "/" + std::to_string(t)) : "";
      if (format != ObjectFormat::k2_5) {
        title.originalArtist = t == 3 ? odd.plain("Original Artist") : "";
        if (odd) title.contentType = odd.plain(title.contentType);
      }
      if (format == ObjectFormat::k2_5_5 && odd) title.film = odd.plain("");
      c.titles.push_back(std::move(title));
    }
    writer.writeCarrier(c);
  }
  writer.finish();
}

// Carrier ids are sparse and descending, so no position equals an id.
int32_t carrierId(int32_t i, int32_t carriers) { return 3 * (carriers - i) + 11; }

// A title's carriers: tidy ones are on their owner and one in ten on the
// next carrier as well; awkward ones also on none, on one carrier twice, or
// on carriers that do not exist.
std::vector<int32_t> titleCarriers(Awkward& odd, int32_t owner, int32_t carriers) {
  std::vector<int32_t> ids{carrierId(owner, carriers)};
  if (odd.chance(4)) {
    switch (odd.next(4)) {
      case 0:
        return {};
      case 1:
        return {ids[0], ids[0]};
      case 2:
        return {ids[0], 999999999, -1};
      default:
        return {carrierId(static_cast<int32_t>(odd.next(static_cast<uint32_t>(carriers))), carriers), ids[0]};
    }
  }
  return ids;
}

template <class Records>
void writeLists(const GeneratedShape& shape, Texts& texts, typename Records::Format::Artists& artistList,
                typename Records::Format::Labels& labelList, typename Records::Format::Titles& titleList,
                typename Records::Format::Carriers& carrierList) {
  Awkward odd(texts, shape.awkward);
  const int32_t carriers = shape.carriers;
  const int64_t titles = static_cast<int64_t>(carriers) * shape.titlesPerCarrier;
  const int32_t artists = carriers / 10 + 1;
  const int32_t labels = carriers / 100 + 1;
  std::vector<int32_t> artistIds;
  std::vector<int32_t> labelIds;
  for (int32_t i = 0; i < artists; ++i) {
    std::string name = odd.text("Artist " + std::to_string(i), 2);
    artistIds.push_back(odd.id(1000 + 2 * i, 1000));
    auto a = std::make_unique<typename Records::Artist>(std::move(name), artistIds.back());
    // A 2.0 record is stamped with the time it is made; the seed decides it here.
    if constexpr (Records::kDated) a->date = odd.date(40000 + i % 5000);
    artistList.add(std::move(a));
  }
  for (int32_t i = 0; i < labels; ++i) {
    std::string name = odd.plain("Label " + std::to_string(i));
    labelIds.push_back(odd.id(5 * i, 0));
    auto l = std::make_unique<typename Records::Label>(std::move(name), labelIds.back());
    if constexpr (Records::kDated) l->date = odd.date(40000 + i % 5000);
    labelList.add(std::move(l));
  }
  for (int32_t i = 0; i < carriers; ++i) {
    // A carrier of nothing but zero fields now and then: id 0, empty texts,
    // date 0 (its references are "none", as no record need carry 0).
    const bool zero = odd.chance(20);
    auto c = std::make_unique<typename Records::Carrier>(
        zero ? "" : odd.text("Album " + std::to_string(i), 4),
        zero ? 0 : odd.id(carrierId(i, carriers), carrierId(std::max(i - 1, 0), carriers)));
    c->labelId = zero ? -1 : odd.ref(labelIds, static_cast<size_t>(i % labels));
    c->release = zero ? 0 : odd.date(30000 + i % 9000);
    c->notes =
        zero ? ""
             : odd.text("Notes of " + std::to_string(i) + ".", 12) + (i % 4 == 0 ? "\r\nA second line." : "");
    c->type = zero ? "" : odd.plain("Compact Disc");
    if constexpr (Records::kDated) {
      c->date = zero ? 0 : odd.date(40000 + i % 5000);
    } else {
      c->artistId = zero ? -1 : odd.ref(artistIds, static_cast<size_t>(i % artists));
    }
    carrierList.add(std::move(c));
  }
  for (int64_t j = 0; j < titles; ++j) {
    // Title j goes to a scattered carrier; consecutive titles rarely share one.
    const auto owner = static_cast<int32_t>((j * 7919) % carriers);
    const bool zero = odd.chance(20);
    auto t = std::make_unique<typename Records::Title>(zero ? "" : odd.text("Song " + std::to_string(j), 5),
                                                       zero ? 0 : static_cast<int32_t>(100000 + j));
    t->url = !zero && texts.next(3) == 0 ? odd.plain("http://example.org/" + std::to_string(j)) : "";
    std::vector<int32_t> ids = zero ? std::vector<int32_t>{} : titleCarriers(odd, owner, carriers);
    if (j % 10 == 0 && carriers > 1 && !ids.empty())
      ids.push_back(carrierId((owner + 1) % carriers, carriers));
    for (int32_t id : ids) t->carrierIds.emplace_back(id);
    if constexpr (Records::kDated) {
      t->date = zero ? 0 : odd.date(40000 + static_cast<int32_t>(j % 5000));
      const bool sampler = owner % 5 == 0;
      t->artistId = zero ? -1 : odd.ref(artistIds, static_cast<size_t>((sampler ? j : owner) % artists));
    }
    titleList.add(std::move(t));
  }
}

template <class Records>
void writeRecordFormat(const GeneratedShape& shape, const std::string& path) {
  Texts texts(shape.seed);
  typename Records::Format::Artists artistList;
  typename Records::Format::Labels labelList;
  typename Records::Format::Titles titleList;
  typename Records::Format::Carriers carrierList;
  writeLists<Records>(shape, texts, artistList, labelList, titleList, carrierList);
  legacy::RecordFile file;
  file.openWrite(path);
  const std::string header = Records::Format::header();
  if (file.write(header.data(), header.size()) != header.size())
    throw Exception(legacy::RecordIO::kWriteError);
  artistList.writeTo(file);
  labelList.writeTo(file);
  titleList.writeTo(file);
  carrierList.writeTo(file);
  if (shape.awkward) {
    // Bytes after the last list, which the readers leave alone.
    std::string tail(texts.next(3) == 0 ? 4096 : texts.next(40), '\0');
    for (size_t k = 0; k < tail.size() && texts.next(2) == 0; ++k)
      tail[k] = static_cast<char>(texts.next(256));
    if (file.write(tail.data(), tail.size()) != tail.size()) throw Exception(legacy::RecordIO::kWriteError);
  }
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
