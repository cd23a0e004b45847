#include "data/legacy/rescue/object_rescue.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basis/byte_cursor.h"
#include "basis/exceptions.h"
#include "data/carrier_stream.h"
#include "data/carrier_writer.h"
#include "data/legacy/objects/object_conversion.h"
#include "data/legacy/objects/plain_database.h"
#include "data/legacy/v2_5/format_2_5.h"
#include "data/legacy/v2_5_3/format_2_5_3.h"
#include "data/legacy/v2_5_5/format_2_5_5.h"
#include "data/sound_carrier.h"
#include "platform/os_file.h"

namespace {

constexpr std::string_view kCarrierName = "TSoundCarrier";
constexpr std::string_view kTitleName = "TTitle";

// The bytes an object of class `name` starts with: the length of its name, then the name.
std::string storedName(std::string_view name) {
  std::string lead(ByteCursor::kInt32Size, '\0');
  const auto n = static_cast<uint32_t>(name.size());
  for (size_t i = 0; i < lead.size(); ++i) lead[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
  return lead + std::string(name);
}

// The current format: a carrier is written exactly as it is stored.
struct CurrentModel {
  static constexpr std::string_view kHeader = TSoundCarrier::kFileHeader;
  StoredCarrier carrier;

  bool readWhole(ByteCursor& in, bool asLoaded) { return readStoredCarrier(in, carrier, asLoaded); }
  bool readHead(ByteCursor& block, int32_t& titles) {
    carrier.titles.clear();
    return readStoredCarrierHead(block, carrier, titles);
  }
  bool readTitle(ByteCursor& in) {
    StoredTitle title;
    if (!readStoredTitle(in, title)) return false;
    carrier.titles.push_back(title);
    return true;
  }
  int32_t titles() const { return static_cast<int32_t>(carrier.titles.size()); }
  void write(TCarrierWriter& out, bool partial) {
    if (partial) numberStoredTitles(carrier.titles);
    out.write(carrier);
  }
};

// An object-file format of old: a carrier is converted as its conversion
// converts it (object_conversion.h).
template <class Format>
struct LegacyModel {
  static constexpr std::string_view kHeader = Format::kFileHeader;
  using Title = objectconversion::PlainTitle<Format>;

  // The carrier as fillCarrierFields takes it, with the titles read so far.
  struct Carrier : Format::CarrierFields {
    static constexpr const char* kClassName = Format::kCarrierName;
    std::string name;
    std::string label;
    std::string artist;
    std::string type;
    double release = 0;
    std::string notes;
    std::vector<Title> titleList;  // only the first `count` hold this carrier's, the rest keep their room
    int32_t count = 0;

    int32_t size() const { return count; }
    std::string_view titleArtist(int32_t i) const { return titleList[static_cast<size_t>(i)].artist; }
    const Title* getTitle(int32_t i) const { return &titleList[static_cast<size_t>(i)]; }
  };
  Carrier carrier;

  bool head(ByteCursor& in, int32_t& titles) {
    carrier.count = 0;
    if (!in.text(carrier.name) || !in.text(carrier.label) || !in.text(carrier.artist) ||
        !in.text(carrier.type) || !in.number(carrier.release) || !in.text(carrier.notes)) {
      return false;
    }
    for (const auto& field : Format::kCarrierFields) {
      if (!in.text(carrier.*field.member)) return false;
    }
    return in.count(titles) && static_cast<size_t>(titles) <= in.size() / ByteCursor::objectLead(kTitleName);
  }

  template <bool kLoaded>
  bool title(ByteCursor& in) {
    if (carrier.titleList.size() <= static_cast<size_t>(carrier.count)) carrier.titleList.emplace_back();
    Title& t = carrier.titleList[static_cast<size_t>(carrier.count)];
    const bool read = readObject<kLoaded>(in, kTitleName, [&](ByteCursor& b) {
      if (!b.text(t.name) || !b.text(t.artist) || !b.text(t.url)) return false;
      for (const auto& field : Format::kTitleFields) {
        if (!b.text(static_cast<typename Format::TitleFields&>(t).*field.member)) return false;
      }
      return true;
    });
    if (read) ++carrier.count;
    return read;
  }

  template <bool kLoaded>
  bool fields(ByteCursor& in) {
    int32_t titles = 0;
    if (!head(in, titles)) return false;
    for (int32_t i = 0; i < titles; ++i) {
      if (!title<kLoaded>(in)) return false;
    }
    return true;
  }

  bool readWhole(ByteCursor& in, bool asLoaded) {
    if (asLoaded) return readObject<true>(in, kCarrierName, [&](ByteCursor& c) { return fields<true>(c); });
    return readObject<false>(in, kCarrierName, [&](ByteCursor& c) { return fields<false>(c); });
  }
  bool readHead(ByteCursor& block, int32_t& titles) { return head(block, titles); }
  bool readTitle(ByteCursor& in) { return title<false>(in); }
  int32_t titles() const { return carrier.count; }
  void write(TCarrierWriter& out, bool) {
    using objectconversion::KeepTexts;
    objectconversion::fillCarrierFields<Format, KeepTexts>(carrier, out.carrier());
    out.beginCarrier(carrier.count);
    for (int32_t i = 0; i < carrier.count; ++i) {
      objectconversion::fillTitle<KeepTexts>(carrier.titleList[static_cast<size_t>(i)], out.title());
      out.addTitle();
    }
    out.endCarrier();
  }
};

// The whole file: a damaged database is read in any order, and twice when
// it does not load as it is.
std::string readAll(const std::string& path) {
  std::string bytes;
  try {
    platform::OsFile file;
    file.openRead(path);
    bytes.resize(static_cast<size_t>(file.size()));
    if (file.read(bytes.data(), bytes.size()) == bytes.size()) return bytes;
  } catch (const std::exception& e) {
    throw IOException("recover: " + std::string(e.what()));
  }
  throw IOException("recover: " + path + " cannot be read whole.");
}

// The first text of an object at `at` (its name, for a carrier or title) as
// far as it reads whole before `end`; "" otherwise.
std::string nameAt(std::string_view bytes, size_t at, size_t end) {
  ByteCursor in(bytes.substr(0, std::max(at, std::min(end, bytes.size()))), at);
  std::string_view name;
  if (!in.skipText() || !in.skip(ByteCursor::kInt32Size) || !in.text(name)) return "";
  return std::string(name);
}

template <class Model>
class Rescuer {
 public:
  Rescuer(std::string_view bytes, RescueReport& report)
      : bytes_(bytes),
        report_(report),
        carrierLead_(storedName(kCarrierName)),
        titleLead_(storedName(kTitleName)) {}

  // The database read as its conversion loads it, written to `path`; false,
  // with nothing written, when loading would fail.
  bool convertAsLoaded(const std::string& path) {
    const std::string_view header = Model::kHeader;
    ByteCursor in(bytes_);
    std::string_view found;
    ByteCursor root;
    int32_t count = 0;
    if (!in.chars(header.size(), found) || found != header || !in.block(root) || !root.count(count))
      return false;
    TCarrierWriter out(path);
    for (int32_t i = 0; i < count; ++i) {
      if (!model_.readWhole(root, true)) return false;
      model_.write(out, false);
      ++report_.carriers;
      report_.titles += model_.titles();
    }
    if (!root.empty()) return false;
    out.close();
    return true;
  }

  // Every carrier that reads whole, and of each damaged carrier whose own
  // fields read whole, the titles that do.
  void rescue(const std::string& path) {
    report_.carriers = 0;
    report_.titles = 0;
    const std::string_view header = Model::kHeader;
    const size_t size = bytes_.size();
    if (bytes_.substr(0, header.size()) != header) damage(0, std::min(header.size(), size));
    ByteCursor head(bytes_, std::min(header.size(), size));
    int32_t length = -1;
    int32_t count = -1;
    head.int32(length);
    head.int32(count);
    const size_t start = std::min(header.size() + 2 * ByteCursor::kInt32Size, size);
    // The database's block as its length gives it, where it lies in the file.
    const int64_t claimedEnd = length >= static_cast<int32_t>(ByteCursor::kInt32Size)
                                   ? static_cast<int64_t>(header.size() + ByteCursor::kInt32Size) + length
                                   : -1;
    size_t limit = claimedEnd >= static_cast<int64_t>(start) && claimedEnd <= static_cast<int64_t>(size)
                       ? static_cast<size_t>(claimedEnd)
                       : size;
    if (!head.ok()) damage(std::min(header.size(), size), size);
    cutOff_ = claimedEnd > static_cast<int64_t>(size);
    TCarrierWriter out(path);
    size_t pos = start;
    while (true) {
      if (pos < limit) {
        ByteCursor in(bytes_.substr(0, limit), pos);
        if (model_.readWhole(in, false)) {
          take(out, false);
          pos = in.position();
          continue;
        }
      }
      const size_t next = nextCarrier(pos + 1, limit);
      if (next == limit && limit < size && (pos < limit || !countMatches(count))) {
        // The block's length does not hold what it says: the carriers go on
        // to the end of the file.
        limit = size;
        continue;
      }
      if (pos >= limit) break;
      damaged(out, pos, next, size);
      pos = next;
    }
    const bool counted = numbered_ && count >= 0 && accounted_ == count;
    // A file that ends where its last carrier, whole, and the count end was
    // not cut short: its block's length is what is damaged.
    if (cutOff_ && counted && lastWhole_ && pos == size) cutOff_ = false;
    const size_t lengthAt = std::min(header.size(), size);
    if (!cutOff_ && claimedEnd != static_cast<int64_t>(pos)) damage(lengthAt, std::min(lengthAt + 4, size));
    if (!cutOff_ && numbered_ && !counted) damage(std::min(lengthAt + 4, size), start);
    if (cutOff_) {
      damage(size, static_cast<size_t>(claimedEnd));
      // Carriers the count still announces lie beyond the end of the file.
      const int64_t missing = static_cast<int64_t>(count) - accounted_;
      const int64_t room = (claimedEnd - static_cast<int64_t>(size)) /
                           static_cast<int64_t>(ByteCursor::objectLead(kCarrierName));
      if (numbered_ && count >= 0 && missing > 0 && missing <= room + 1)
        loss(RescueReport::Loss::Kind::kCarrier, static_cast<int64_t>(size), accounted_, "", "", "cut off",
             missing);
    }
    if (report_.carriers == 0) throw IOException("recover: nothing of the database could be rescued.");
    out.close();
  }

 private:
  bool countMatches(int32_t count) const { return numbered_ && count >= 0 && accounted_ == count; }

  void take(TCarrierWriter& out, bool partial) {
    lastWhole_ = !partial;
    model_.write(out, partial);
    ++report_.carriers;
    report_.titles += model_.titles();
    ++accounted_;
  }

  // The first place in [from, limit) where a carrier reads whole; limit when none does.
  size_t nextCarrier(size_t from, size_t limit) const {
    const std::string_view within = bytes_.substr(0, limit);
    for (size_t at = within.find(carrierLead_, from); at != std::string_view::npos;
         at = within.find(carrierLead_, at + 1)) {
      ByteCursor in(within, at);
      if (Model().readWhole(in, false)) return at;
    }
    return limit;
  }

  // The carrier at `at` that does not read whole, up to the next one that
  // does at `next`: its own fields and the titles that read whole are kept.
  void damaged(TCarrierWriter& out, size_t at, size_t next, size_t size) {
    const std::string_view within = bytes_.substr(0, next);
    const std::string reason = cutOff_ && next == size ? "cut off" : "damaged";
    ByteCursor in(within, at);
    int32_t n = -1;
    const bool lead = in.className(kCarrierName) && in.int32(n);
    const size_t blockAt = in.position();
    // A block that ends where the next carrier begins is this carrier's alone.
    const bool whole = lead && n >= 0 && blockAt + static_cast<size_t>(n) == next;
    const size_t end = lead && n >= 0 && blockAt + static_cast<size_t>(n) < next ? blockAt + n : next;
    ByteCursor block(bytes_.substr(0, end), std::min(blockAt, end));
    int32_t stored = 0;
    const int64_t number = numbered_ ? accounted_ : -1;
    if (!lead || !model_.readHead(block, stored)) {
      damage(at, next);
      loss(RescueReport::Loss::Kind::kCarrier, static_cast<int64_t>(at), number, nameAt(bytes_, at, next), "",
           reason);
      ++accounted_;
      lastWhole_ = false;
      if (!whole) hidden(at + 1, next);
      return;
    }
    const std::string carrier = nameAt(bytes_, at, next);
    int32_t title = 0;  // the number of the next title, while it is known
    bool known = true;
    while (!block.empty()) {
      const size_t titleAt = block.position();
      if (model_.readTitle(block)) {
        ++title;
        continue;
      }
      loss(RescueReport::Loss::Kind::kTitle, static_cast<int64_t>(titleAt), known ? title : -1,
           nameAt(bytes_, titleAt, end), carrier, reason);
      // Past a damaged title only a block that is whole tells where the next one is.
      const size_t found = whole ? nextTitle(titleAt + 1, end) : end;
      damage(titleAt, found);
      block = ByteCursor(bytes_.substr(0, end), found);
      known = false;
    }
    if (known && title < stored)
      loss(RescueReport::Loss::Kind::kTitle, static_cast<int64_t>(end), title, "", carrier, reason,
           stored - title);
    if (end < next) damage(end, next);
    // Every part read, yet not as one carrier: its block's length is what is damaged.
    if (report_.damage.empty() || report_.damage.back().end <= static_cast<int64_t>(at)) {
      damage(blockAt - ByteCursor::kInt32Size, blockAt);
    }
    take(out, true);
    if (!whole) hidden(end, next);
  }

  // The carriers that begin in [from, to) but do not read whole; how many
  // there were in that run is no longer known.
  void hidden(size_t from, size_t to) {
    const std::string_view within = bytes_.substr(0, to);
    for (size_t at = within.find(carrierLead_, from); at != std::string_view::npos;
         at = within.find(carrierLead_, at + 1)) {
      loss(RescueReport::Loss::Kind::kCarrier, static_cast<int64_t>(at), -1, nameAt(bytes_, at, to), "",
           "damaged");
    }
    if (from < to) numbered_ = false;
  }

  size_t nextTitle(size_t from, size_t end) const {
    const std::string_view within = bytes_.substr(0, end);
    for (size_t at = within.find(titleLead_, from); at != std::string_view::npos;
         at = within.find(titleLead_, at + 1)) {
      ByteCursor in(within, at);
      if (Model().readTitle(in)) return at;
    }
    return end;
  }

  void damage(size_t begin, size_t end) {
    if (begin >= end) return;
    auto& runs = report_.damage;
    if (!runs.empty() && runs.back().end >= static_cast<int64_t>(begin)) {
      runs.back().end = std::max(runs.back().end, static_cast<int64_t>(end));
      return;
    }
    runs.push_back({static_cast<int64_t>(begin), static_cast<int64_t>(end)});
  }

  void loss(RescueReport::Loss::Kind kind, int64_t offset, int64_t number, std::string name,
            std::string carrier, std::string reason, int64_t count = 1) {
    report_.losses.push_back(
        {kind, offset, number, count, std::move(name), std::move(carrier), std::move(reason)});
  }

  std::string_view bytes_;
  RescueReport& report_;
  Model model_;
  const std::string carrierLead_;
  const std::string titleLead_;
  int64_t accounted_ = 0;   // carriers met so far, rescued or lost
  bool numbered_ = true;    // while accounted_ is the number of the next carrier
  bool cutOff_ = false;     // the file ends before the database's block does
  bool lastWhole_ = false;  // the carrier met last read whole
};

template <class Model>
RescueReport rescueAs(const std::string& version, const std::string& in, const std::string& out) {
  const std::string bytes = readAll(in);
  RescueReport report;
  report.format = version;
  {
    Rescuer<Model> loaded(bytes, report);
    if (loaded.convertAsLoaded(out)) return report;
  }
  Rescuer<Model>(bytes, report).rescue(out);
  return report;
}

}  // namespace

RescueReport rescueObjectDatabase(const std::string& version, const std::string& in, const std::string& out) {
  if (version == "2.5.7") return rescueAs<CurrentModel>(version, in, out);
  if (version == "2.5.5") return rescueAs<LegacyModel<Format2_5_5>>(version, in, out);
  if (version == "2.5.3") return rescueAs<LegacyModel<Format2_5_3>>(version, in, out);
  if (version == "2.5") return rescueAs<LegacyModel<Format2_5>>(version, in, out);
  throw IOException("recover: format " + version + " is no object file.");
}
