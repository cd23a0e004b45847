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
#include "data/legacy/v1_5/carrier_rules_1_5.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/carrier_rules_2_0.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "platform/file_in_memory.h"
#include "platform/little_endian.h"

namespace {

using legacy::IdsView;
using legacy::RecordView;

enum List { kArtists, kLabels, kTitles, kCarriers, kLists };

// Zeros in a row that no record of these files holds: where the bytes show
// more (over a byte or two that damage set within them), they were wiped,
// and a record that has 8 of them is not taken.
constexpr size_t kZeroRun = 32;
constexpr size_t kZerosTaken = 8;
constexpr size_t kSetInRun = 2;
// Records taken last that a repair reads again with what follows: one of
// them may have read soundly over damage (a title whose count of carrier
// ids was hit takes in the bytes behind it as ids).
constexpr size_t kBack = 4;
// At most how many carriers such a title can have been on.
constexpr int32_t kOwnIds = 16;
// Steps in a row past damage that show a reading has found its way again;
// how far past the damage a repair looks first, what it leaves undecided
// before the end of what it looked at, and how far it looks at most.
constexpr size_t kTail = 4;
constexpr size_t kFirstReach = 512;
constexpr size_t kMargin = 256;
constexpr size_t kFarthest = 64 * 1024;
// How a repair weighs a reading beyond the bytes it explains: a count that
// its records bear out adds as much as a record; a count it must take for
// lost, a count it goes against, and each place it leaves bytes out count
// against it (one damage more each: records that read soundly by chance
// within damage are short, and each comes after such a place).
constexpr int64_t kCountWeight = 32;
constexpr int64_t kMissWeight = 8;
constexpr int64_t kContradiction = 16;
constexpr int64_t kGapWeight = 24;
// How many titles ahead of the one written the next is fetched.
constexpr size_t kAhead = 16;

// Where the bytes hold what no text of the files holds, for the checks: the
// first control byte (but tab and line breaks) and the first line break at
// or behind a place. Each is kept for the last place asked, as the checks
// ask for places in about rising order, so that texts are not read again.
class TextScan {
 public:
  explicit TextScan(std::string_view bytes) : bytes_(bytes) {}

  // Whether [at, at + n) holds no control byte but tab and line breaks.
  bool plausible(size_t at, size_t n) {
    return at + n <= next(control_, at,
                          [](unsigned char u) { return u < 0x20 && u != '\t' && u != '\n' && u != '\r'; });
  }
  // Whether [at, at + n) holds no line break.
  bool oneLine(size_t at, size_t n) {
    return at + n <= next(lineBreak_, at, [](unsigned char u) { return u == '\n' || u == '\r'; });
  }

 private:
  // None in [from, first); `first` holds one, or is the end.
  struct Known {
    size_t from = 1;
    size_t first = 0;
  };
  template <class Is>
  size_t next(Known& known, size_t at, Is is) {
    if (at < known.from || at > known.first) {
      known.from = at;
      known.first = at;
      while (known.first < bytes_.size() && !is(static_cast<unsigned char>(bytes_[known.first])))
        ++known.first;
    }
    return known.first;
  }

  std::string_view bytes_;
  Known control_;
  Known lineBreak_;
};

// The fields of a record taken from the bytes as the files' readers take
// them; `checked` adds what every record the applications wrote fulfils
// (texts without control bytes but tab and line breaks, no negative length
// or count, dates between the years 1 and 9999, a title on a carrier at
// least: the lists drop the others when they are stored), which tells
// damage from data.
class Fields {
 public:
  // REQUIRES: `scan` over the same bytes where `checked`.
  Fields(std::string_view bytes, size_t at, bool checked, TextScan* scan = nullptr)
      : pos_(bytes.data() + at),
        end_(bytes.data() + bytes.size()),
        origin_(bytes.data()),
        checked_(checked),
        scan_(scan) {}

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
    if (checked_ && !scan_->plausible(position(), value.size())) ok_ = false;
    pos_ += n;
  }
  void ids(IdsView& value) {
    int32_t n = 0;
    int32(n);
    if (!ok_) return;
    if (checked_ && n < 1) ok_ = false;
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

  const char* pos_;
  const char* end_;
  const char* origin_;
  bool checked_;
  TextScan* scan_;
  bool ok_ = true;
};

// A reference that could not be resolved, for the report.
std::string quoted(std::string_view text) { return "'" + std::string(text) + "'"; }

template <class Layout, bool kDated>
class RecordRescue {
 public:
  RecordRescue(std::string_view bytes, size_t start)
      : bytes_(bytes), start_(start), pos_(start), scan_(bytes) {}

  // Reads the four lists: as the conversion does where that reads the whole
  // file, else step by step, choosing around each damage the reading that
  // holds most.
  void read(RescueReport& report) {
    report_ = &report;
    if (start_ == bytes_.size()) return;
    findZeroRuns();
    if (strictWalk()) return;
    for (auto& list : lists_) list.clear();
    titleIds_.clear();
    checked_ = true;
    walk();
    // What was taken reads alike without the checks, which take their time.
    checked_ = false;
  }

  int64_t carriers() const { return static_cast<int64_t>(lists_[kCarriers].size()); }

  // Writes the carriers read, in their order, with the titles each has, as
  // the conversion writes them, and notes the titles whose carriers are lost.
  void write(TCarrierWriter& out) {
    buildLookups();
    groupTitles();
    std::vector<RecordView> titles;
    for (const uint32_t at : lists_[kCarriers]) {
      const RecordView carrier = record(kCarriers, at);
      titles.clear();
      const auto slot = static_cast<size_t>(slotOf(carrier.id));
      for (uint32_t i = groupStart_[slot]; i < groupStart_[slot + 1]; ++i) {
        // The titles lie scattered over the file, and are asked for in about
        // the order of titleAt_: one a few ahead is fetched meanwhile.
        if (i + kAhead < titleAt_.size()) {
          __builtin_prefetch(bytes_.data() + titleAt_[i + kAhead]);
          __builtin_prefetch(bytes_.data() + titleAt_[i + kAhead] + 64);
        }
        titles.push_back(record(kTitles, titleAt_[i]));
      }
      const auto label = [&](int32_t id) { return nameOf(kLabels, id, carrier, nullptr); };
      const auto artist = [&](int32_t id) { return nameOf(kArtists, id, carrier, nullptr); };
      if constexpr (kDated) {
        legacy::convertCarrier2_0(
            carrier, titles, label, artist,
            [&](const RecordView& title) { return nameOf(kArtists, title.artistId, carrier, &title); }, out);
      } else {
        legacy::convertCarrier1_5(carrier, titles, label, artist, out);
      }
      ++report_->carriers;
      report_->titles += static_cast<int64_t>(titles.size());
    }
  }

 private:
  struct Run {
    size_t begin;
    size_t end;
  };

  // A step of a reading: one record of a list, or a list's count.
  struct Item {
    bool count = false;
    int kind = kArtists;
    size_t at = 0;
    size_t end = 0;
    int64_t value = 0;   // the count
    bool borne = false;  // the count, by what follows it
    IdsView ids;         // a title's carrier ids
  };

  // A reading's step with the best reading before it, found by bestReading.
  struct Node {
    int64_t weight;
    int64_t skipped;  // bytes left out before item.end
    Item item;
    uint32_t prev;
    int state;
    int64_t remaining;  // records the list's count still wants, -1 where unknown
  };

  // Where the walk is: the list it reads, and what that list's count says
  // while it holds (it was read, and nothing of the list was lost since).
  struct State {
    int kind = -1;  // -1 before the artists
    int64_t declared = -1;
    size_t countAt = 0;
    size_t since = 0;  // records taken since the count
    // Whether the list is surely the one read: its count was borne out (and
    // for the artists, no damage since), or its records were shown to be its.
    bool certain = false;
    bool complete() const { return kind < 0 || (declared >= 0 && since >= static_cast<size_t>(declared)); }
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
    Fields f(bytes_, at, checked_, &scan_);
    if (kind <= kLabels) {
      Layout::identifier(r, f);
    } else if (kind == kTitles) {
      Layout::title(r, f);
    } else {
      Layout::carrier(r, f);
    }
    if (!f.ok()) return false;
    end = f.position();
    return !wiped(at, end, kZerosTaken);
  }
  bool parse(int kind, size_t at, size_t& end) const {
    RecordView r;
    return parse(kind, at, r, end);
  }

  // The whole file as the conversion reads it, to its last byte; a wiped run
  // can read as records too, so none may lie over one.
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

  // The wiped runs: zeros in a row, over a byte or two that damage set
  // within the run (zeros on either side of them many enough that no field
  // of a record ends there).
  void findZeroRuns() {
    Run run{0, 0};
    const auto close = [&] {
      if (run.end - run.begin >= kZeroRun) zeroRuns_.push_back(run);
    };
    for (size_t at = 0; at < bytes_.size();) {
      const void* zero = std::memchr(bytes_.data() + at, 0, bytes_.size() - at);
      if (zero == nullptr) break;
      at = static_cast<size_t>(static_cast<const char*>(zero) - bytes_.data());
      size_t end = at;
      while (end < bytes_.size() && bytes_[end] == 0) ++end;
      if (end - at >= kZerosTaken && at - run.end <= kSetInRun && run.end - run.begin >= kZerosTaken) {
        run.end = end;
      } else if (end - at >= kZerosTaken) {
        close();
        run = {at, end};
      }
      at = end;
    }
    close();
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
  // Where the lists' order puts a count (`expected`), it may say more than
  // the bytes left hold: the file may be cut short.
  int64_t countAt(int kind, size_t at, bool expected = false) const {
    int32_t count = 0;
    Fields f(bytes_, at, false);
    f.int32(count);
    if (!f.ok() || count < 0 || wiped(at, at + 4, 4)) return -1;
    if (!expected && static_cast<size_t>(count) > (bytes_.size() - at - 4) / minimum(kind)) return -1;
    return count;
  }

  // The record of the kind at `at`, when it reads soundly.
  bool recordItem(int kind, size_t at, Item& item) const {
    RecordView r;
    size_t end = 0;
    if (!sound(kind, at, r, end)) return false;
    item = Item{false, kind, at, end, 0, false, r.carrierIds};
    return true;
  }

  // A record that reads soundly, with its names, a title's location and a
  // carrier's type on one line (only notes hold line breaks), naming
  // artists and labels that the whole lists hold: as every record the
  // applications wrote; an artist or label with a name.
  bool sound(int kind, size_t at, RecordView& r, size_t& end) const {
    if (at >= bytes_.size() || !parse(kind, at, r, end)) return false;
    const auto oneLine = [&](std::string_view text) {
      return text.empty() || scan_.oneLine(static_cast<size_t>(text.data() - bytes_.data()), text.size());
    };
    if (!oneLine(r.name) || !oneLine(r.url) || !oneLine(r.type)) return false;
    // An artist or label without a name gives what its loss gives: no name.
    if (kind <= kLabels && r.name.empty()) return false;
    const auto known = [&](int list, int32_t id) {
      return !whole_[list] || id == -1 ||
             std::binary_search(knownIds_[list].begin(), knownIds_[list].end(), id);
    };
    if (kind == kTitles) return (!kDated || known(kArtists, r.artistId)) && !swallows(r, end);
    if (kind == kCarriers) return known(kLabels, r.labelId) && (kDated || known(kArtists, r.artistId));
    return true;
  }
  bool sound(int kind, size_t at, size_t& end) const {
    RecordView r;
    return sound(kind, at, r, end);
  }

  // Whether a title read whole over damage to its count of carrier ids
  // takes in the titles behind it as ids: a title reads soundly from behind
  // its first few ids (and its artist) within them.
  bool swallows(const RecordView& title, size_t end) const {
    for (int32_t own = 1; own < std::min(title.carrierIds.count, kOwnIds); ++own) {
      size_t at = title.carrierIds.at + 4 * static_cast<size_t>(own) + (kDated ? 4 : 0);
      if (end - at >= minimum(kTitles) && parse(kTitles, at, at) && at <= end) return true;
    }
    return false;
  }

  // The count of the list of that kind at `at`, that the bytes left can
  // hold (where the lists' order puts it, any), and whether what follows
  // bears it out: its first two records read soundly; where it has one,
  // that one and the next list's count borne out behind it (or the end of
  // the file, behind the carriers'); where it has none, that count (nothing
  // bears out that there are no carriers). A record's first fields read as
  // a shorter record of another list, so one record alone bears out too little.
  bool countItem(int kind, size_t at, Item& item, bool expected = false) const {
    const int64_t count = countAt(kind, at, expected);
    if (count < 0) return false;
    size_t end = at + 4;
    // More than the bytes left can hold (where it is expected): a file cut
    // short, whose first record is what is left to bear it out.
    const bool cut = static_cast<size_t>(count) > (bytes_.size() - at - 4) / minimum(kind);
    bool borne = count > 0 ? sound(kind, end, end) : kind != kCarriers;
    if (borne && count >= 2 && !cut) {
      borne = sound(kind, end, end);
    } else if (borne && !cut) {
      Item next;
      borne = kind == kCarriers ? end == bytes_.size() : countItem(kind + 1, end, next) && next.borne;
    }
    item = Item{true, kind, at, at + 4, count, borne, {}};
    return true;
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
    Fields f(bytes_, at, true, &scan_);
    f.int32(id);
    f.text(name);
    if (f.ok()) loss.name = std::string(name);
    // A carrier whose id still reads tells which titles were lost with it.
    if (f.ok() && kind == kCarriers && !wiped(at, at + 4, 4)) lostCarriers_.emplace_back(id, loss.name);
    loss.reason = cutOff ? "cut off" : "damaged";
    report_->losses.push_back(std::move(loss));
  }

  // The lists record by record, as their counts say, while they read
  // soundly; each damage is read around (repair).
  void walk() {
    State s;
    pos_ = start_;
    while (pos_ < bytes_.size()) {
      Item item;
      if (expected(s, item)) {
        take(s, item);
      } else if (s.kind == kCarriers && s.complete()) {
        return;  // bytes after the carriers are no part of the database
      } else {
        repair(s);
      }
    }
    atEnd(s);
  }

  // What the lists' order and counts make the next step at pos_: a record of
  // the list, or the next list's count. Where the count is in doubt, a
  // later list's count may stand where a record reads soundly too (a count
  // and a first id read as a record with an empty name): the choice is left
  // to repair.
  bool expected(const State& s, Item& item) const {
    if (s.complete() && s.kind != kCarriers) return countItem(s.kind + 1, pos_, item, true) && item.borne;
    if (!recordItem(s.kind, pos_, item)) return false;
    if (s.declared >= 0 && !s.complete()) return true;
    Item count;
    for (int later = s.kind + 1; later < kLists; ++later) {
      if (countItem(later, pos_, count) && count.borne) return false;
    }
    return true;
  }

  // Leaves the list read for the list `next`: a count that said otherwise
  // than what was read is damaged, lists passed over are lost, and artists
  // read past damage that hid where the labels begin cannot be told from
  // labels and serve neither.
  void leave(State& s, int next) {
    if (s.kind >= 0 && s.declared >= 0 && s.since != static_cast<size_t>(s.declared))
      addDamage(s.countAt, s.countAt + 4);
    if (s.kind == kArtists && next > kLabels && s.declared < 0) {
      lists_[kArtists].resize(std::min(artistsCertain_, lists_[kArtists].size()));
      damaged_[kLabels] = true;
    }
    for (int k = std::max(s.kind + 1, 0); k < next && k < kLists; ++k) damaged_[k] = true;
    if (s.kind <= kLabels && next > kLabels) {
      for (const int list : {kArtists, kLabels}) {
        whole_[list] = !damaged_[list];
        for (const uint32_t at : lists_[list]) knownIds_[list].push_back(record(list, at).id);
        std::sort(knownIds_[list].begin(), knownIds_[list].end());
      }
    }
    log_.clear();
  }

  // Enters the list of the kind where its count was lost.
  void enter(State& s, int kind) {
    leave(s, kind);
    s = State{kind, -1, 0, 0, false};
    damaged_[kind] = true;
    if (kind == kArtists) artistsCertain_ = 0;
    if (kind == kTitles) titlesNumbered_ = 0;
  }

  // From here on the list's count no longer holds; what it numbers is certain so far.
  void doubt(State& s) {
    s.declared = -1;
    damaged_[s.kind] = true;
    if (s.kind == kArtists) artistsCertain_ = std::min(artistsCertain_, lists_[kArtists].size());
    if (s.kind == kTitles) titlesNumbered_ = std::min(titlesNumbered_, lists_[kTitles].size());
  }

  // Takes a step.
  void take(State& s, const Item& item) {
    if (item.count) {
      leave(s, item.kind);
      s = State{item.kind, item.value, item.at, 0, item.borne};
      pos_ = item.end;
      return;
    }
    const int kind = item.kind;
    if (kind != s.kind) enter(s, kind);
    if (s.declared >= 0 && s.complete()) {
      addDamage(s.countAt, s.countAt + 4);
      doubt(s);
    }
    log_.push_back({s, item.at});
    if (log_.size() > kBack) log_.erase(log_.begin());
    // What is taken of the artists or labels was shown to be theirs.
    if (kind <= kLabels) s.certain = true;
    lists_[kind].push_back(static_cast<uint32_t>(item.at));
    if (kind == kTitles) titleIds_.push_back({static_cast<uint32_t>(item.ids.at), item.ids.count});
    ++s.since;
    pos_ = item.end;
  }

  // Bytes [begin, end) that no reading takes, before `next` (none at the
  // end of the file): damage, and what it took with it.
  void gap(State& s, size_t begin, size_t end, const Item* next) {
    addDamage(begin, end);
    log_.clear();
    // Past damage, records read as artists may be labels whose count was lost.
    if (s.kind == kArtists) s.certain = false;
    const bool cutOff = end == bytes_.size();
    if (s.complete() && s.kind != kCarriers) {
      // The next list's count lay here; a record of it after the count is lost too.
      if (next != nullptr && !next->count && next->kind == s.kind + 1 && end - begin > 4)
        addLoss(next->kind, begin + 4, -1, cutOff);
      return;
    }
    addLoss(s.kind, begin, s.declared >= 0 ? static_cast<int64_t>(s.since) : -1, cutOff);
    doubt(s);
  }

  // The end of the file, where the lists may still want records or counts.
  void atEnd(State& s) {
    if (s.kind == kCarriers && (s.declared < 0 || s.complete())) return;
    if (s.kind >= kTitles && s.declared >= 0 && !s.complete()) {
      addLoss(s.kind, pos_, static_cast<int64_t>(s.since), true);
      addDamage(pos_, pos_);
      doubt(s);
    }
    const int after = s.kind;
    leave(s, kLists);
    for (int k = std::max<int>(after + 1, kTitles); k < kLists; ++k) {
      addLoss(k, pos_, -1, true);
      addDamage(pos_, pos_);
    }
  }

  // Damage at pos_: the last few records taken are read again with what
  // follows, and the reading that holds most is taken (bestReading).
  void repair(State& s) {
    const size_t failed = pos_;
    size_t from = pos_;
    if (!log_.empty()) {
      from = log_.front().at;
      for (size_t i = 0; i < log_.size(); ++i) {
        lists_[s.kind].pop_back();
        if (s.kind == kTitles) titleIds_.pop_back();
      }
      s = log_.front().before;
      log_.clear();
    }
    std::vector<Item> path;
    const size_t stop = bestReading(s, from, failed, path);
    const std::vector<bool> doubtful = inDoubt(s, from, stop, path);
    size_t at = from;
    for (size_t i = 0; i < path.size(); ++i) {
      const Item& item = path[i];
      if (doubtful[i]) continue;
      if (item.at > at) gap(s, at, item.at, &item);
      take(s, item);
      at = item.end;
    }
    if (stop > at) gap(s, at, stop, nullptr);
    pos_ = std::max(at, stop);
  }

  // The records of a reading from `from` (in the state s) that are in doubt
  // and are left out with the damage around them: a title alone between two
  // damaged places (a damaged carrier's last fields read as one), and
  // artists or labels where nothing tells which of the two they are (their
  // records read alike): neither their list's count before them (the
  // artists' with no damage since), nor the labels' count borne out later,
  // nor a later list's count borne out right behind them, nor the place of
  // the labels' count between them.
  std::vector<bool> inDoubt(const State& s, size_t from, size_t stop, const std::vector<Item>& path) const {
    std::vector<bool> doubtful(path.size(), false);
    const auto before = [&](size_t i) { return i > 0 ? path[i - 1].end : from; };
    const auto after = [&](size_t i) { return i + 1 < path.size() ? path[i + 1].at : stop; };
    bool labelsCounted = false;
    for (const Item& item : path)
      labelsCounted = labelsCounted || (item.count && item.kind == kLabels && item.borne);
    int kind = s.kind;
    bool certain = s.certain;
    for (size_t i = 0; i < path.size(); ++i) {
      const Item& item = path[i];
      if (item.count) {
        kind = item.kind;
        certain = true;
        continue;
      }
      if (item.kind == kTitles) doubtful[i] = path[i].at > before(i) && after(i) > item.end;
      if (item.kind > kLabels || labelsCounted) continue;
      // Four bytes between an artist and a label are where the labels' count
      // was (no record is as short): they tell the two lists apart.
      const bool apart = kind == kArtists && item.kind == kLabels && i > 0 && !path[i - 1].count &&
                         item.at == path[i - 1].end + 4;
      if (item.kind != kind || (kind == kArtists && item.at > before(i))) certain = apart;
      kind = item.kind;
      if (certain) continue;
      size_t last = i;
      while (last + 1 < path.size() && !path[last + 1].count && path[last + 1].kind == kind &&
             path[last + 1].at == path[last].end)
        ++last;
      const Item* next = last + 1 < path.size() ? &path[last + 1] : nullptr;
      const bool anchored =
          next != nullptr &&
          ((next->count && next->borne && next->at == path[last].end) ||
           (!next->count && kind == kArtists && next->kind == kLabels && next->at == path[last].end + 4));
      for (size_t j = i; j <= last; ++j) doubtful[j] = !anchored;
      certain = anchored;
      i = last;
    }
    return doubtful;
  }

  // What a step read soundly tells of the bytes: those of its fields that
  // show they are what they are read as (texts with their lengths, dates),
  // not ids and counts of ids, which any bytes read as; and for a list's
  // count that its records bear out, as much as a record.
  static int64_t explained(const Item& item) {
    if (item.count) return item.borne ? 4 + kCountWeight : 4;
    int64_t ids = 1;  // the record's own
    if (item.kind == kTitles) ids += 1 + int64_t{item.ids.count} + (kDated ? 1 : 0);
    if (item.kind == kCarriers) ids += kDated ? 1 : 2;
    return static_cast<int64_t>(item.end - item.at) - 4 * ids;
  }

  // The reading from `from` (in the state s) on past the damage at `failed`
  // that weighs most: the bytes its steps explain, less what it must take
  // for damaged. Found step by step over the bytes, as the best reading that
  // ends at each place in each list, until the best one has found its way
  // again (kTail steps in a row past the damage, a margin before the end of
  // what was looked at) or the end of the file is reached; bytes that give
  // no such reading for long are taken as they come. Returns where the
  // reading taken ends: behind its last step, or where it leaves the rest out.
  size_t bestReading(const State& s, size_t from, size_t failed, std::vector<Item>& path) {
    // The states of a reading: none of the lists yet, or the list it reads.
    constexpr int kStates = kLists + 1;
    constexpr uint32_t kNone = UINT32_MAX;
    auto& nodes = nodes_;
    nodes.clear();
    nodes.push_back({0, 0, Item{false, kArtists, from, from, 0, false, {}}, kNone, s.kind + 1,
                     s.declared >= 0 ? s.declared - static_cast<int64_t>(s.since) : -1});
    using Ending = std::pair<size_t, uint32_t>;
    std::vector<Ending> heap{{from, 0}};
    const auto later = [](const Ending& a, const Ending& b) { return a.first > b.first; };
    const auto better = [&](uint32_t a, uint32_t b) {
      if (a == kNone) return false;
      if (b == kNone) return true;
      if (nodes[a].weight != nodes[b].weight) return nodes[a].weight > nodes[b].weight;
      return static_cast<int64_t>(nodes[a].item.end) - nodes[a].skipped >
             static_cast<int64_t>(nodes[b].item.end) - nodes[b].skipped;
    };
    constexpr int kWants = 3;
    const auto wants = [&](uint32_t n) {
      return nodes[n].remaining < 0 ? 0 : nodes[n].remaining == 0 ? 1 : 2;
    };
    // The best reading in each state that ends here or before, and the best
    // that ends right here, which goes on without a gap, kept apart by what
    // the list's count still wants (nothing known, no more records, more),
    // which weighs on what follows.
    uint32_t best[kStates][kWants];
    uint32_t here[kStates][kWants];
    std::fill(&best[0][0], &best[0][0] + kStates * kWants, kNone);
    // The step after `prev`, weighed; false where it cannot follow it (the
    // bytes left out before it must be what was lost: the counts it passes,
    // and records, none smaller than the least of those lists' records can
    // be). A reading that takes a count for damaged counts that against it:
    // each count it passes (a list it begins or passes over without its
    // count), and more where it goes against a count it read (reads past
    // its records, or leaves the list having read none of them, or where the
    // bytes left out cannot hold the rest).
    const auto step = [&](uint32_t prev, const Item& item, int state, Node& n) {
      const Node& p = nodes[prev];
      const size_t skipped = item.at - p.item.end;
      const bool same = !item.count && state == p.state;
      const int passed = state - p.state - (item.count ? 1 : 0);
      const size_t counts = 4 * static_cast<size_t>(passed);
      if (skipped < counts || (skipped > counts && skipped - counts < minimum(std::max(p.state - 1, 0))))
        return false;
      n = Node{p.weight + explained(item) - kMissWeight * passed - (skipped > 0 ? kGapWeight : 0),
               p.skipped + static_cast<int64_t>(skipped),
               item,
               prev,
               state,
               item.count                                ? item.value
               : same && skipped == 0 && p.remaining > 0 ? p.remaining - 1
                                                         : -1};
      if (same ? p.remaining == 0
               : p.remaining > 0 &&
                     (p.item.count || static_cast<size_t>(p.remaining) > skipped / minimum(p.state - 1)))
        n.weight -= kContradiction;
      return true;
    };
    // Takes the step on from the best reading that may go on with it: a
    // record from its own list or an earlier one, a count from an earlier
    // list. Of two that weigh the same, the one in the earlier list (records
    // read alike are taken for artists where they may be either).
    const auto add = [&](const Item& item, int state) {
      Node chosen{};
      bool found = false;
      for (int before = 0; before <= (item.count ? state - 1 : state); ++before) {
        for (int want = 0; want < kWants; ++want) {
          for (const uint32_t prev : {here[before][want], best[before][want]}) {
            Node n;
            if (prev == kNone || !step(prev, item, state, n)) continue;
            if (!found || n.weight > chosen.weight ||
                (n.weight == chosen.weight && n.skipped < chosen.skipped)) {
              chosen = n;
              found = true;
            }
          }
        }
      }
      if (!found) return;
      nodes.push_back(chosen);
      heap.push_back({item.end, static_cast<uint32_t>(nodes.size() - 1)});
      std::push_heap(heap.begin(), heap.end(), later);
    };
    // Whether the best reading so far has found its way again.
    const auto inStep = [&](uint32_t n) {
      if (nodes[n].item.end <= failed) return false;
      size_t tail = 0;
      for (; nodes[n].prev != kNone; n = nodes[n].prev) {
        ++tail;
        if (nodes[n].item.at != nodes[nodes[n].prev].item.end) break;
      }
      return tail >= kTail;
    };
    size_t horizon = std::min(bytes_.size(), failed + kFirstReach);
    for (size_t p = from;; ++p) {
      std::fill(&here[0][0], &here[0][0] + kStates * kWants, kNone);
      while (!heap.empty() && heap.front().first == p) {
        const uint32_t n = heap.front().second;
        std::pop_heap(heap.begin(), heap.end(), later);
        heap.pop_back();
        uint32_t& kept = best[nodes[n].state][wants(n)];
        if (better(n, kept)) kept = n;
        uint32_t& ends = here[nodes[n].state][wants(n)];
        if (better(n, ends)) ends = n;
      }
      if (p == horizon) {
        uint32_t end = kNone;
        for (const auto& state : best) {
          for (const uint32_t n : state) {
            if (better(n, end)) end = n;
          }
        }
        // What the reading holds just before the horizon may yet turn out
        // otherwise (a count taken there sends it to a list the records
        // behind do not fit): it is taken up to a margin before.
        if (p < bytes_.size()) {
          while (nodes[end].prev != kNone && nodes[end].item.end + kMargin > horizon) end = nodes[end].prev;
        }
        // Bytes that give no reading in step for long are no file of this
        // format: what is best there is taken, and the rest read anew.
        const bool far = horizon - failed >= kFarthest;
        if (p == bytes_.size() || far || inStep(end)) {
          for (uint32_t n = end; nodes[n].prev != kNone; n = nodes[n].prev) path.push_back(nodes[n].item);
          std::reverse(path.begin(), path.end());
          if (p == bytes_.size()) return p;
          return std::max(nodes[end].item.end, far ? horizon - kMargin : 0);
        }
        horizon = std::min(bytes_.size(), from + 2 * (horizon - from));
      }
      Item item;
      if (recordItem(kArtists, p, item)) {
        add(item, kArtists + 1);
        item.kind = kLabels;
        add(item, kLabels + 1);
      }
      for (int kind = kTitles; kind < kLists; ++kind) {
        if (recordItem(kind, p, item)) add(item, kind + 1);
      }
      // The artists' count stands right behind the header, or nowhere.
      for (int kind = p == start_ ? kArtists : kLabels; kind < kLists; ++kind) {
        if (countItem(kind, p, item)) add(item, kind + 1);
      }
    }
  }

  // The name of the first artist or label of the id; the empty name for -1
  // when no record has it, and for an id lost (reported for the carrier, or
  // the title of it, that names the id).
  std::string_view nameOf(List kind, int32_t id, const RecordView& carrier, const RecordView* title) {
    const int32_t at = tables_[kind].find(id);
    if (at >= 0) return record(kind, lists_[kind][static_cast<size_t>(at)]).name;
    if (id != -1) {
      const std::string who = "carrier " + quoted(carrier.name);
      report_->unresolved.push_back(
          (title != nullptr ? "title " + quoted(title->name) + " (" + who + ")" : who) + ": " +
          (kind == kArtists ? "artist #" : "label #") + std::to_string(id) +
          (damaged_[kind] ? " lost" : " not found") + ", none taken");
    }
    return {};
  }

  // The look-ups by id (the first artist, label or carrier of each).
  void buildLookups() {
    for (const int kind : {kArtists, kLabels, kCarriers}) {
      for (const uint32_t at : lists_[kind]) listIds_[kind].push_back(record(kind, at).id);
      tables_[kind].build(listIds_[kind]);
    }
  }

  // The place in the carrier list of the first carrier of the id, which
  // stands for all of them; -1 for none.
  int32_t slotOf(int32_t id) const { return tables_[kCarriers].find(id); }

  // The titles of each carrier id, each once and in list order: a counting
  // sort over the slots of their ids, found once. A title on a carrier that
  // is lost is lost with it, each time with the carrier where its id and
  // name read; a title of no carrier read is lost with one when carriers
  // were lost.
  void groupTitles() {
    std::stable_sort(lostCarriers_.begin(), lostCarriers_.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    const auto lostTitle = [&](uint32_t t, const std::string& carrier) {
      RescueReport::Loss loss;
      loss.kind = RescueReport::Loss::Kind::kTitle;
      loss.offset = lists_[kTitles][t];
      loss.number = t < titlesNumbered_ ? static_cast<int64_t>(t) : -1;
      loss.name = std::string(record(kTitles, lists_[kTitles][t]).name);
      loss.carrier = carrier;
      loss.reason = "its carrier is lost";
      report_->losses.push_back(std::move(loss));
    };
    const size_t slots = lists_[kCarriers].size();
    const auto titles = static_cast<uint32_t>(lists_[kTitles].size());
    // Once its ids are read, a title's entry holds its slot where it is on
    // one carrier read (`count` 1), nothing (0) where it is on none, and
    // kSeveral where it is on several, whose slots are in `several` in title
    // order: nothing more is held per title.
    constexpr int32_t kSeveral = -2;
    std::vector<std::pair<uint32_t, int32_t>> several;
    std::vector<uint32_t> count(slots + 1, 0);
    std::vector<uint32_t> lastTitle(slots, UINT32_MAX);
    std::vector<size_t> noted;  // the lost carriers of a title, by place
    for (uint32_t t = 0; t < titles; ++t) {
      const Ids ids = titleIds_[t];
      const size_t from = several.size();
      int32_t first = -1;
      noted.clear();
      for (int32_t i = 0; i < ids.count; ++i) {
        const auto id = static_cast<int32_t>(
            platform::decodeFixed32(bytes_.data() + ids.at + 4 * static_cast<size_t>(i)));
        const int32_t slot = slotOf(id);
        if (slot < 0) {
          const auto lost =
              std::lower_bound(lostCarriers_.begin(), lostCarriers_.end(), id,
                               [](const auto& carrier, int32_t key) { return carrier.first < key; });
          const auto place = static_cast<size_t>(lost - lostCarriers_.begin());
          if (lost != lostCarriers_.end() && lost->first == id &&
              std::find(noted.begin(), noted.end(), place) == noted.end()) {
            lostTitle(t, lost->second);
            noted.push_back(place);
          }
          continue;
        }
        if (lastTitle[static_cast<size_t>(slot)] == t) continue;
        lastTitle[static_cast<size_t>(slot)] = t;
        if (first < 0) {
          first = slot;
        } else {
          if (several.size() == from) several.emplace_back(t, first);
          several.emplace_back(t, slot);
        }
      }
      if (several.size() == from) {
        titleIds_[t] = {static_cast<uint32_t>(first), first >= 0 ? 1 : 0};
        if (first >= 0) ++count[static_cast<size_t>(first) + 1];
      } else {
        titleIds_[t].count = kSeveral;
        for (size_t i = from; i < several.size(); ++i) ++count[static_cast<size_t>(several[i].second) + 1];
      }
      if (first < 0 && noted.empty() && ids.count > 0 && damaged_[kCarriers]) lostTitle(t, "");
    }
    for (size_t s = 0; s < slots; ++s) count[s + 1] += count[s];
    groupStart_ = count;
    titleAt_.resize(count[slots]);
    size_t next = 0;
    for (uint32_t t = 0; t < titles; ++t) {
      const Ids title = titleIds_[t];
      if (title.count == 1) titleAt_[count[title.at]++] = lists_[kTitles][t];
      for (; title.count == kSeveral && next < several.size() && several[next].first == t; ++next)
        titleAt_[count[static_cast<size_t>(several[next].second)]++] = lists_[kTitles][t];
    }
    titleIds_ = std::vector<Ids>();
  }

  std::string_view bytes_;
  size_t start_;
  size_t pos_;
  bool checked_ = false;
  mutable TextScan scan_;
  RescueReport* report_ = nullptr;
  std::vector<uint32_t> lists_[kLists];
  // Where the carrier ids of each title read are, and how many.
  struct Ids {
    uint32_t at;
    int32_t count;
  };
  std::vector<Ids> titleIds_;
  // The id and name of each carrier lost whose id still reads.
  std::vector<std::pair<int32_t, std::string>> lostCarriers_;
  bool damaged_[kLists] = {};
  size_t titlesNumbered_ = SIZE_MAX;
  size_t artistsCertain_ = SIZE_MAX;  // artists read before any damage to their list
  // The ids of the artists and labels, and whether their lists were read whole.
  std::vector<int32_t> knownIds_[kLabels + 1];
  bool whole_[kLabels + 1] = {};
  // The records taken last since a count or damage, with the state before each.
  struct Taken {
    State before;
    size_t at;
  };
  std::vector<Taken> log_;
  std::vector<Node> nodes_;
  std::vector<Run> zeroRuns_;
  // The ids of the artists, labels and carriers in list order, and the look-ups over them.
  std::vector<int32_t> listIds_[kLists];
  legacy::IdTable tables_[kLists];
  std::vector<uint32_t> groupStart_;
  std::vector<uint32_t> titleAt_;  // where the titles of each slot are, from groupStart_
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

template <class Layout, bool kDated>
void rescue(std::string_view bytes, const std::string& header, const std::string& in, const std::string& out,
            RescueReport& report) {
  checkHeader(bytes, header, in, report.format, report);
  RecordRescue<Layout, kDated> rescuer(bytes, header.size());
  rescuer.read(report);
  if (rescuer.carriers() == 0 && !report.damage.empty())
    throw IOException("recover: nothing of '" + in + "' could be rescued.");
  TCarrierWriter writer(out);
  rescuer.write(writer);
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
    rescue<legacy::Layout1_5, false>(bytes, legacy::Format1_5::header(), in, out, report);
  } else {
    rescue<legacy::Layout2_0, true>(bytes, legacy::Format2_0::header(), in, out, report);
  }
  return report;
}
