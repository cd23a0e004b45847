#include "data/legacy/rescue/record_rescue.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <exception>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "basis/exceptions.h"
#include "data/carrier_writer.h"
#include "data/legacy/records/record_index.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "platform/file_in_memory.h"
#include "platform/little_endian.h"

namespace {

using legacy::IdsView;
using legacy::RecordView;

enum List { kArtists, kLabels, kTitles, kCarriers, kLists };

// How many records in a row must read sound before a place after damage is
// taken as the start of a record: one alone too often reads sound by chance.
constexpr int kChain = 3;
// Zeros in a row that no record of these files holds: where the bytes show
// more, they were wiped, and a record that has 8 of them is not taken.
constexpr size_t kZeroRun = 32;
constexpr size_t kZerosTaken = 8;

// The fields of a record taken from the bytes as the files' readers take
// them; `checked` adds what every record the applications wrote fulfils
// (texts without control bytes but tab and line breaks, no negative length
// or count, dates between the years 1 and 9999), which tells damage from data.
class Fields {
 public:
  Fields(std::string_view bytes, size_t at, bool checked)
      : pos_(bytes.data() + at),
        end_(bytes.data() + bytes.size()),
        origin_(bytes.data()),
        checked_(checked) {}

  bool ok() const { return ok_; }
  size_t position() const { return static_cast<size_t>(pos_ - origin_); }

  void int32(int32_t& value) {
    if (!ok_ || end_ - pos_ < 4) {
      ok_ = false;
      return;
    }
    value = static_cast<int32_t>(platform::decodeFixed32(pos_));
    pos_ += 4;
  }
  void number(double& value) {
    if (!ok_ || end_ - pos_ < 8) {
      ok_ = false;
      return;
    }
    value = platform::decodeDouble(pos_);
    pos_ += 8;
    if (checked_ && !plausibleDate(value)) ok_ = false;
  }
  void text(std::string_view& value) {
    int32_t n = 0;
    int32(n);
    if (!ok_) return;
    if (n <= 0) {
      if (checked_ && n < 0) ok_ = false;
      value = {};
      return;
    }
    if (end_ - pos_ < n) {
      ok_ = false;
      return;
    }
    value = std::string_view(pos_, static_cast<size_t>(n));
    pos_ += n;
    if (checked_ && !plausibleText(value)) ok_ = false;
  }
  void ids(IdsView& value) {
    int32_t n = 0;
    int32(n);
    if (!ok_) return;
    if (checked_ && n < 0) ok_ = false;
    value = {position(), 0};
    if (n <= 0) return;
    if ((end_ - pos_) / 4 < n) {
      ok_ = false;
      return;
    }
    value.count = n;
    pos_ += 4 * static_cast<size_t>(n);
  }

 private:
  static bool plausibleDate(double value) {
    return value == 0 ||
           (std::isfinite(value) && std::fabs(value) >= 1e-6 && value > -700000 && value < 3000000);
  }
  static bool plausibleText(std::string_view text) {
    for (const char c : text) {
      const auto u = static_cast<unsigned char>(c);
      if (u < 0x20 && u != '\t' && u != '\n' && u != '\r') return false;
    }
    return true;
  }

  const char* pos_;
  const char* end_;
  const char* origin_;
  bool checked_;
  bool ok_ = true;
};

// A reference that could not be resolved, for the report.
std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

template <class Layout, bool kDated>
class RecordRescue {
 public:
  RecordRescue(std::string_view bytes, size_t start) : bytes_(bytes), start_(start), pos_(start) {}

  // Reads the four lists: as the conversion does where that reads the whole
  // file, else record by record around the damage.
  void read(RescueReport& report) {
    report_ = &report;
    if (start_ == bytes_.size() || strictWalk()) return;
    for (auto& list : lists_) list.clear();
    titleIds_.clear();
    checked_ = true;
    findZeroRuns();
    int kind = kArtists;
    bool counted = true;
    while (kind < kLists) kind = walkList(static_cast<List>(kind), counted);
    // What was taken reads alike without the checks, which take their time.
    checked_ = false;
  }

  int64_t carriers() const { return static_cast<int64_t>(lists_[kCarriers].size()); }

  // Writes the carriers read, in their order, with the titles each has, and
  // notes the titles whose carriers are lost.
  template <class Rules>
  void write(TCarrierWriter& out, Rules rules) {
    buildLookups();
    groupTitles();
    std::vector<RecordView> titles;
    for (const uint32_t at : lists_[kCarriers]) {
      const RecordView carrier = record(kCarriers, at);
      titles.clear();
      const auto slot = static_cast<size_t>(slotOf(carrier.id));
      for (uint32_t i = groupStart_[slot]; i < groupStart_[slot + 1]; ++i)
        titles.push_back(record(kTitles, lists_[kTitles][titleOf_[i]]));
      rules(*this, carrier, titles, out);
      ++report_->carriers;
      report_->titles += static_cast<int64_t>(titles.size());
    }
  }

  // The name of the first artist or label of the id; the empty name for -1
  // when no record has it, and for an id lost (reported as `who` names it).
  std::string_view nameOf(List kind, int32_t id, const std::string& who) {
    const auto& table = names_[kind];
    const auto it = std::lower_bound(table.begin(), table.end(), std::make_pair(id, uint32_t{0}));
    if (it != table.end() && it->first == id) return record(kind, lists_[kind][it->second]).name;
    if (id != -1) {
      report_->unresolved.push_back(who + ": " + (kind == kArtists ? "artist #" : "label #") +
                                    std::to_string(id) + (damaged_[kind] ? " lost" : " not found") +
                                    ", none taken");
    }
    return {};
  }

 private:
  struct Run {
    size_t begin;
    size_t end;
  };

  static constexpr size_t minimum(int kind) {
    if (kind <= kLabels) return kDated ? 16 : 8;
    if (kind == kTitles) return kDated ? 28 : 16;
    return kDated ? 36 : 32;
  }

  RecordView record(int kind, size_t at) const {
    RecordView r;
    size_t end = 0;
    parse(kind, at, r, end);
    return r;
  }

  bool parse(int kind, size_t at, RecordView& r, size_t& end) const {
    Fields f(bytes_, at, checked_);
    if (kind <= kLabels) {
      Layout::identifier(r, f);
    } else if (kind == kTitles) {
      Layout::title(r, f);
    } else {
      Layout::carrier(r, f);
    }
    if (!f.ok()) return false;
    end = f.position();
    return !checked_ || !wiped(at, end, kZerosTaken);
  }
  bool parse(int kind, size_t at, size_t& end) const {
    RecordView r;
    return parse(kind, at, r, end);
  }

  // The whole file as the conversion reads it, to its last byte.
  bool strictWalk() {
    size_t at = start_;
    for (int kind = kArtists; kind < kLists; ++kind) {
      int32_t count = 0;
      Fields f(bytes_, at, false);
      f.int32(count);
      if (!f.ok()) return false;
      at += 4;
      for (int32_t i = 0; i < count; ++i) {
        lists_[kind].push_back(static_cast<uint32_t>(at));
        RecordView r;
        if (!parse(kind, at, r, at)) return false;
        if (kind == kTitles)
          titleIds_.push_back({static_cast<uint32_t>(r.carrierIds.at), r.carrierIds.count});
      }
    }
    return at == bytes_.size();
  }

  void findZeroRuns() {
    for (size_t at = start_; at < bytes_.size();) {
      if (bytes_[at] != 0) {
        ++at;
        continue;
      }
      size_t end = at;
      while (end < bytes_.size() && bytes_[end] == 0) ++end;
      if (end - at >= kZeroRun) zeroRuns_.push_back({at, end});
      at = end;
    }
  }
  // True when [begin, end) shares at least `most` bytes with a wiped run.
  bool wiped(size_t begin, size_t end, size_t most) const {
    auto it = std::upper_bound(zeroRuns_.begin(), zeroRuns_.end(), begin,
                               [](size_t at, const Run& run) { return at < run.end; });
    for (; it != zeroRuns_.end() && it->begin < end; ++it) {
      if (std::min(end, it->end) - std::max(begin, it->begin) >= most) return true;
    }
    return false;
  }

  // A list's count at `at` that the bytes left can hold: -1 for another.
  int64_t countAt(int kind, size_t at) const {
    int32_t count = 0;
    Fields f(bytes_, at, false);
    f.int32(count);
    if (!f.ok() || count < 0 || wiped(at, at + 4, 4)) return -1;
    if (static_cast<size_t>(count) > (bytes_.size() - at - 4) / minimum(kind)) return -1;
    return count;
  }

  // Up to `most` records of the kind that read soundly from `at`; `end` is behind the last.
  int chain(int kind, size_t at, int most, size_t& end) const {
    int n = 0;
    end = at;
    while (n < most && end < bytes_.size() && parse(kind, end, end)) ++n;
    return n;
  }

  // Whether the list of that kind starts at `at` with its count.
  bool listStartsAt(int kind, size_t at) const {
    const int64_t count = countAt(kind, at);
    if (count < 0) return false;
    if (count == 0) return kind == kCarriers ? at + 4 == bytes_.size() : listStartsAt(kind + 1, at + 4);
    size_t end = 0;
    const int want = static_cast<int>(std::min<int64_t>(count, kChain));
    if (chain(kind, at + 4, want, end) < want) return false;
    return want == kChain || kind == kCarriers || listStartsAt(kind + 1, end) ||
           countedAfterDamage(kind + 1, end);
  }

  // Whether the list of that kind starts at `at` with a count that damage
  // changed: its records follow the count, or (with none) the next list.
  bool countedAfterDamage(int kind, size_t at) const {
    if (at + 4 > bytes_.size()) return false;
    if (recordsAt(kind, at + 4)) return true;
    return kind == kCarriers ? at + 4 == bytes_.size() : listStartsAt(kind + 1, at + 4);
  }

  // Whether records of the kind follow from `at`: enough of them, or fewer
  // up to the next list or the end of the file. The next list is looked for
  // behind each record: its count and first id may read as one more record
  // of this kind (an empty name behind an id of 0), which must not hide it.
  bool recordsAt(int kind, size_t at) const {
    size_t end = at;
    for (int n = 0; n < kChain; ++n) {
      if (end >= bytes_.size() || !parse(kind, end, end)) return false;
      if (kind == kCarriers ? end == bytes_.size() : listStartsAt(kind + 1, end)) return true;
    }
    return true;
  }

  // Where reading goes on after damage from `from` on: the first place
  // where records of this list follow, or a later list begins with or
  // without its count. kLists when nothing does.
  struct Anchor {
    size_t at;
    int kind;
    bool counted;
  };
  Anchor resync(int kind, size_t from) const {
    for (size_t at = from; at + 4 <= bytes_.size(); ++at) {
      if (recordsAt(kind, at)) return {at, kind, false};
      for (int next = kind + 1; next < kLists; ++next) {
        if (listStartsAt(next, at)) return {at, next, true};
        if (recordsAt(next, at)) return {at, next, false};
      }
    }
    return {bytes_.size(), kLists, false};
  }

  void addDamage(size_t begin, size_t end) {
    auto& damage = report_->damage;
    if (!damage.empty() && damage.back().end >= static_cast<int64_t>(begin)) {
      damage.back().end = std::max<int64_t>(damage.back().end, static_cast<int64_t>(end));
    } else {
      damage.push_back({static_cast<int64_t>(begin), static_cast<int64_t>(end)});
    }
  }

  // A carrier or title lost with the damage at `at`: its name as far as it reads.
  void addLoss(int kind, size_t at, int64_t number, bool cutOff) {
    if (kind < kTitles) return;
    RescueReport::Loss loss;
    loss.kind = kind == kTitles ? RescueReport::Loss::Kind::kTitle : RescueReport::Loss::Kind::kCarrier;
    loss.offset = static_cast<int64_t>(at);
    loss.number = number;
    int32_t id = 0;
    std::string_view name;
    Fields f(bytes_, at, true);
    f.int32(id);
    f.text(name);
    if (f.ok()) loss.name = std::string(name);
    loss.reason = cutOff ? "cut off" : "damaged";
    report_->losses.push_back(std::move(loss));
  }

  // Reads the list of the kind from pos_, with its count or (after damage
  // that took the count) without; returns the kind of the list to read next.
  int walkList(List kind, bool& counted) {
    auto& list = lists_[kind];
    const size_t listAt = pos_;
    // Where the count must be, it is taken whatever it says: a file cut
    // short holds fewer records than its counts.
    int64_t declared = -1;
    if (counted && pos_ + 4 <= bytes_.size() && !wiped(pos_, pos_ + 4, 4)) {
      declared = std::max<int32_t>(0, static_cast<int32_t>(platform::decodeFixed32(bytes_.data() + pos_)));
    } else if (counted && pos_ + 4 > bytes_.size()) {
      addLoss(kind, pos_, -1, true);
      addDamage(pos_, bytes_.size());
      damaged_[kind] = true;
      return kind + 1;
    }
    bool damaged = !counted || declared < 0;
    // Records of this list certainly of its kind, and those whose number is known.
    size_t certain = damaged ? 0 : SIZE_MAX;
    size_t numbered = damaged ? 0 : SIZE_MAX;
    size_t lastAt = SIZE_MAX;  // the last record read since the last damage
    if (counted) pos_ += 4;
    damaged_[kind] = damaged;
    int next = kind + 1;
    counted = true;
    for (;;) {
      if (!damaged && static_cast<int64_t>(list.size()) == declared) {
        size_t end = 0;
        if (kind == kCarriers) {
          // Bytes after the list are no part of it, unless carriers go on there: then its count was damaged.
          if (pos_ == bytes_.size() || chain(kind, pos_, 1, end) == 0) break;
        } else if (listStartsAt(kind + 1, pos_) || !recordsAt(kind, pos_)) {
          break;
        }
        addDamage(listAt, listAt + 4);
        damaged = damaged_[kind] = true;
        certain = std::min(certain, list.size());
      }
      size_t end = 0;
      RecordView r;
      const bool sound = pos_ < bytes_.size() && parse(kind, pos_, r, end);
      // Where the count is in doubt, the next list ends this one unless
      // records of this kind go on: a record read from a list's count and
      // first id ends the run of records soon after.
      if (kind != kCarriers && (damaged || static_cast<int64_t>(list.size()) != declared) &&
          (!sound || !recordsAt(kind, pos_)) && listStartsAt(kind + 1, pos_)) {
        if (!damaged) addDamage(listAt, listAt + 4);
        break;
      }
      if (sound) {
        lastAt = pos_;
        list.push_back(static_cast<uint32_t>(pos_));
        if (kind == kTitles)
          titleIds_.push_back({static_cast<uint32_t>(r.carrierIds.at), r.carrierIds.count});
        pos_ = end;
        continue;
      }
      if (pos_ == bytes_.size() && (kind == kCarriers || damaged)) {
        // The file ends where the list said more records follow.
        if (!damaged && static_cast<int64_t>(list.size()) < declared) {
          addLoss(kind, pos_, static_cast<int64_t>(list.size()), true);
          addDamage(pos_, pos_);
          damaged_[kind] = true;
        }
        break;
      }
      // Damage: a record that read soundly just before it may hold its start.
      const size_t from = lastAt != SIZE_MAX ? lastAt + 1 : pos_ + 1;
      Anchor anchor = resync(kind, std::min(from, bytes_.size()));
      size_t lostAt = pos_;
      if (lastAt != SIZE_MAX && anchor.at < pos_) {
        lostAt = lastAt;
        list.pop_back();
        if (kind == kTitles) titleIds_.pop_back();
      }
      const bool cutOff = anchor.kind == kLists;
      const size_t number = list.size();
      addLoss(kind, lostAt, number < numbered ? static_cast<int64_t>(number) : -1, cutOff);
      addDamage(lostAt, anchor.at);
      damaged = damaged_[kind] = true;
      certain = std::min(certain, list.size());
      numbered = std::min(numbered, list.size());
      lastAt = SIZE_MAX;
      pos_ = anchor.at;
      if (anchor.kind != kind) {
        next = anchor.kind;
        counted = anchor.counted;
        break;
      }
    }
    // Artists and labels read alike: past damage that hid where the labels
    // begin, the records read cannot be told apart and serve neither.
    if (kind == kArtists && next > kLabels) {
      list.resize(std::min(certain, list.size()));
      damaged_[kLabels] = true;
    }
    if (kind == kTitles) titlesNumbered_ = numbered;
    return next;
  }

  void buildLookups() {
    for (const int kind : {kArtists, kLabels}) {
      auto& table = names_[kind];
      for (size_t i = 0; i < lists_[kind].size(); ++i)
        table.emplace_back(record(kind, lists_[kind][i]).id, static_cast<uint32_t>(i));
      // The first record of an id is the one the look-ups find.
      std::sort(table.begin(), table.end());
    }
    for (const uint32_t at : lists_[kCarriers]) carrierIds_.push_back(record(kCarriers, at).id);
    std::sort(carrierIds_.begin(), carrierIds_.end());
    carrierIds_.erase(std::unique(carrierIds_.begin(), carrierIds_.end()), carrierIds_.end());
  }

  int32_t slotOf(int32_t id) const {
    const auto it = std::lower_bound(carrierIds_.begin(), carrierIds_.end(), id);
    return it != carrierIds_.end() && *it == id ? static_cast<int32_t>(it - carrierIds_.begin()) : -1;
  }

  // The titles of each carrier id, each once and in list order: a counting
  // sort over the slots of the ids. A title of no carrier read is lost with
  // its carrier when carriers were lost.
  void groupTitles() {
    const size_t slots = carrierIds_.size();
    std::vector<uint32_t> count(slots + 1, 0);
    std::vector<uint32_t> lastTitle(slots, UINT32_MAX);
    const auto eachSlot = [&](bool noteLost, auto&& take) {
      std::fill(lastTitle.begin(), lastTitle.end(), UINT32_MAX);
      for (uint32_t t = 0; t < lists_[kTitles].size(); ++t) {
        const Ids ids = titleIds_[t];
        bool placed = false;
        for (int32_t i = 0; i < ids.count; ++i) {
          const int32_t slot =
              slotOf(static_cast<int32_t>(platform::decodeFixed32(bytes_.data() + ids.at + 4 * i)));
          if (slot < 0) continue;
          placed = true;
          if (lastTitle[slot] == t) continue;
          lastTitle[slot] = t;
          take(static_cast<uint32_t>(slot), t);
        }
        if (!placed && ids.count > 0 && noteLost && damaged_[kCarriers]) {
          const RecordView title = record(kTitles, lists_[kTitles][t]);
          RescueReport::Loss loss;
          loss.kind = RescueReport::Loss::Kind::kTitle;
          loss.offset = lists_[kTitles][t];
          loss.number = t < titlesNumbered_ ? t : -1;
          loss.name = std::string(title.name);
          loss.reason = "its carrier is lost";
          report_->losses.push_back(std::move(loss));
        }
      }
    };
    eachSlot(false, [&](uint32_t slot, uint32_t) { ++count[slot + 1]; });
    for (size_t s = 0; s < slots; ++s) count[s + 1] += count[s];
    groupStart_ = count;
    titleOf_.resize(count[slots]);
    eachSlot(true, [&](uint32_t slot, uint32_t t) { titleOf_[count[slot]++] = t; });
  }

  std::string_view bytes_;
  size_t start_;
  size_t pos_;
  bool checked_ = false;
  RescueReport* report_ = nullptr;
  std::vector<uint32_t> lists_[kLists];
  // Where the carrier ids of each title read are, and how many.
  struct Ids {
    uint32_t at;
    int32_t count;
  };
  std::vector<Ids> titleIds_;
  bool damaged_[kLists] = {};
  size_t titlesNumbered_ = SIZE_MAX;
  std::vector<Run> zeroRuns_;
  std::vector<std::pair<int32_t, uint32_t>> names_[kLabels + 1];
  std::vector<int32_t> carrierIds_;
  std::vector<uint32_t> groupStart_;
  std::vector<uint32_t> titleOf_;
};

// The fields both versions carry over as they are; the label's name as far
// as its record is left. The artist is each version's own rule.
template <class Rescue>
TSoundCarrier& fillCommonFields(Rescue& rescue, const RecordView& old, const std::string& who,
                                TCarrierWriter& out) {
  TSoundCarrier& carrier = out.carrier();
  carrier.name.assign(old.name);
  carrier.label.assign(rescue.nameOf(kLabels, old.labelId, who));
  carrier.type.assign(old.type);
  carrier.release = old.release;
  carrier.notes.assign(old.notes);
  return carrier;
}

// A 1.5 carrier names its artist, and every title takes it.
struct Rules1_5 {
  template <class Rescue>
  void operator()(Rescue& rescue, const RecordView& old, const std::vector<RecordView>& titles,
                  TCarrierWriter& out) const {
    const std::string who = "carrier " + quoted(old.name);
    TSoundCarrier& carrier = fillCommonFields(rescue, old, who, out);
    carrier.artist.assign(rescue.nameOf(kArtists, old.artistId, who));
    out.beginCarrier(static_cast<int32_t>(titles.size()));
    for (const RecordView& t : titles) out.addTitle(t.name, t.url, carrier.artist);
    out.endCarrier();
  }
};

// A 2.0 carrier takes the artist of its titles, or becomes a sampler when they differ.
struct Rules2_0 {
  template <class Rescue>
  void operator()(Rescue& rescue, const RecordView& old, const std::vector<RecordView>& titles,
                  TCarrierWriter& out) const {
    const std::string who = "carrier " + quoted(old.name);
    TSoundCarrier& carrier = fillCommonFields(rescue, old, who, out);
    const int32_t first = titles.empty() ? -1 : titles.front().artistId;
    const bool mixed = first != -1 && std::any_of(titles.begin(), titles.end(),
                                                  [&](const RecordView& t) { return t.artistId != first; });
    if (mixed) {
      carrier.artist = TSoundCarrier::kSamplerArtist;
      carrier.setContentType(TSoundCarrier::kSampler);
    } else {
      carrier.artist.assign(rescue.nameOf(kArtists, first, who));
    }
    out.beginCarrier(static_cast<int32_t>(titles.size()));
    for (const RecordView& t : titles) {
      out.addTitle(t.name, t.url,
                   rescue.nameOf(kArtists, t.artistId, "title " + quoted(t.name) + " (" + who + ")"));
    }
    out.endCarrier();
  }
};

// The header as far as damage left it: the same, or different only in a
// few bytes or in wiped ones, which are reported.
void checkHeader(std::string_view bytes, const std::string& header, const std::string& in,
                 const std::string& version, RescueReport& report) {
  if (bytes.size() < header.size())
    throw IOException("recover: '" + in + "' is no " + version + " database.");
  size_t first = header.size();
  size_t last = 0;
  size_t differing = 0;
  bool wipedOnly = true;
  for (size_t i = 0; i < header.size(); ++i) {
    if (bytes[i] == header[i]) continue;
    first = std::min(first, i);
    last = i;
    ++differing;
    wipedOnly = wipedOnly && bytes[i] == 0;
  }
  if (differing == 0) return;
  if (differing > 16 && !wipedOnly)
    throw IOException("recover: '" + in + "' is no " + version + " database.");
  report.damage.push_back({static_cast<int64_t>(first), static_cast<int64_t>(last + 1)});
}

template <class Layout, bool kDated, class Rules>
void rescue(std::string_view bytes, const std::string& header, const std::string& in, const std::string& out,
            RescueReport& report) {
  checkHeader(bytes, header, in, report.format, report);
  RecordRescue<Layout, kDated> rescuer(bytes, header.size());
  rescuer.read(report);
  if (rescuer.carriers() == 0 && !report.damage.empty())
    throw IOException("recover: nothing of '" + in + "' could be rescued.");
  TCarrierWriter writer(out);
  rescuer.write(writer, Rules());
  writer.close();
}

}  // namespace

RescueReport rescueRecordDatabase(const std::string& version, const std::string& in, const std::string& out) {
  if (version != "1.5" && version != "2.0")
    throw IOException("recover: format " + version + " is no record file.");
  RescueReport report;
  report.format = version;
  std::optional<platform::FileInMemory> file;
  try {
    file.emplace(in, UINT32_MAX);
    for (size_t ready = 0; ready < file->size();) ready = file->arrived(ready);
  } catch (const IOException&) {
    throw;
  } catch (const std::length_error&) {
    throw IOException("recover: '" + in + "' is too large to rescue.");
  } catch (const std::exception& e) {
    throw IOException("recover: '" + in + "' cannot be read: " + e.what());
  }
  const std::string_view bytes(file->data(), file->size());
  if (version == "1.5") {
    rescue<legacy::Layout1_5, false, Rules1_5>(bytes, legacy::Format1_5::header(), in, out, report);
  } else {
    rescue<legacy::Layout2_0, true, Rules2_0>(bytes, legacy::Format2_0::header(), in, out, report);
  }
  return report;
}
