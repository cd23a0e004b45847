#include "data/legacy/rescue/object_rescue.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basis/byte_cursor.h"
#include "basis/exceptions.h"
#include "data/carrier_writer.h"
#include "data/legacy/rescue/chain_skips.h"
#include "data/legacy/rescue/mapped_input.h"
#include "data/legacy/rescue/object_models.h"
#include "data/legacy/v2_5/format_2_5.h"
#include "data/legacy/v2_5_3/format_2_5_3.h"
#include "data/legacy/v2_5_5/format_2_5_5.h"
#include "platform/message_value.h"

namespace {

using objectrescue::kCarrierName;
using objectrescue::kTitleName;

// The bytes an object of class `name` starts with: the length of its name, then the name.
std::string storedName(std::string_view name) {
  std::string lead(ByteCursor::kInt32Size, '\0');
  const auto n = static_cast<uint32_t>(name.size());
  for (size_t i = 0; i < lead.size(); ++i) lead[i] = static_cast<char>((n >> (8 * i)) & 0xFF);
  return lead + std::string(name);
}

// The first text of an object at `at` (its name, for a carrier or title) as
// far as it reads whole before `end`, cut as messages cut values; "" otherwise.
std::string nameAt(std::string_view bytes, size_t at, size_t end) {
  ByteCursor in(bytes.substr(0, std::max(at, std::min(end, bytes.size()))), at);
  std::string_view name;
  if (!in.skipText() || !in.skip(ByteCursor::kInt32Size) || !in.text(name)) return "";
  return platform::messageValue(name);
}

// Reads the database in the file, as its conversion loads it where it loads
// at all, and else carrier by carrier, each carrier that reads whole taken,
// each damaged one with what of it still reads. What it takes goes to the
// writer, when there is one, and into the report.
template <class Model>
class Rescuer {
 public:
  // REQUIRES: input and report outlive the rescuer, and so does out, which
  // may be null: then nothing is written.
  Rescuer(MappedInput& input, RescueReport& report, TCarrierWriter* out)
      : input_(input),
        bytes_(input.bytes()),
        report_(report),
        out_(out),
        carrierLead_(storedName(kCarrierName)),
        titleLead_(storedName(kTitleName)),
        titleSkips_([this](size_t at) { return titleEnd(at); }) {}

  // The database read as its conversion loads it, carrier by carrier; false
  // when loading would fail (what was written by then is to be dropped).
  bool convertAsLoaded() {
    const std::string_view header = Model::kHeader;
    ByteCursor in(bytes_);
    std::string_view found;
    ByteCursor root;
    int32_t count = 0;
    if (!in.chars(header.size(), found) || found != header || !in.block(root) || !root.count(count))
      return false;
    for (int32_t i = 0; i < count; ++i) {
      const size_t at = root.position();
      if (!model_.readWhole(root, true)) {
        // A failed read may have gone anywhere in the database's block.
        input_.reach(in.position());
        input_.settle(at);
        return false;
      }
      take(false);
      input_.settle(root.position());
    }
    if (!root.empty()) return false;
    const size_t end = in.position();
    if (end < bytes_.size())
      report_.trailing = {static_cast<int64_t>(end), static_cast<int64_t>(bytes_.size() - end)};
    return true;
  }

  // Every carrier that reads whole, and of each damaged carrier whose own
  // fields read whole, the titles that do.
  void rescue();

 private:
  // The database's block as the file's start gives it: where its carriers
  // begin, where its length says it ends (-1 for a length that says
  // nothing), and the count.
  struct Start {
    size_t carriers = 0;
    int64_t claimedEnd = -1;
    int32_t count = -1;
  };
  Start readStart();
  // The place of the block's length and count, damaged where what the scan
  // found disagrees with them.
  void checkStart(const Start& start, size_t end);

  // Whether a carrier reads whole at `at` before limit_, as model_.readWhole
  // tells it; its titles are walked with the skips of the walks before.
  bool readsWhole(size_t at) {
    ByteCursor in(bytes_.substr(0, limit_), at);
    ByteCursor block;
    int32_t titles = 0;
    if (!in.className(kCarrierName) || !in.block(block) || !probe_.passHead(block, titles)) return false;
    const size_t end = in.position();
    const std::optional<size_t> last = titleSkips_.walk(block.position(), titles, end);
    return last && *last == end;
  }
  // Where the title at `at` ends, if one reads whole there before limit_.
  std::optional<size_t> titleEnd(size_t at) {
    ByteCursor in(bytes_.substr(0, limit_), at);
    if (!probe_.passTitle(in)) return std::nullopt;
    return in.position();
  }
  // The database's block ends at `limit` from now on, as far as the scan knows.
  void setLimit(size_t limit) {
    if (limit != limit_) titleSkips_.clear();
    limit_ = limit;
  }

  bool countMatches(int32_t count) const { return numbered_ && count >= 0 && accounted_ == count; }

  void take(bool partial) {
    lastWhole_ = !partial;
    if (out_ != nullptr) model_.write(*out_, partial);
    ++report_.carriers;
    report_.titles += model_.titles();
    ++accounted_;
  }

  size_t findLead(std::string_view lead, size_t from, size_t to);
  size_t nextCarrier(size_t from, size_t limit);
  size_t nextTitle(size_t from, size_t end);
  void damaged(size_t at, size_t next, size_t size);
  void damagedTitles(ByteCursor& block, size_t end, bool whole, const std::string& carrier, int64_t number,
                     int32_t stored, const std::string& reason);
  void hidden(size_t from, size_t to);

  // How far reading a carrier at `at` may have gone: to its block's end,
  // where the block fits before `limit`; no further than its lead otherwise.
  size_t reachOf(size_t at, size_t limit) const {
    ByteCursor in(bytes_.substr(0, limit), std::min(limit, at + carrierLead_.size()));
    ByteCursor block;
    if (!in.block(block)) return std::min(limit, at + ByteCursor::objectLead(kCarrierName));
    return in.position();
  }

  void damage(size_t begin, size_t end) {
    report_.addDamage(static_cast<int64_t>(begin), static_cast<int64_t>(end));
    damagedUpTo_ = std::max(damagedUpTo_, end);
  }

  void loss(RescueReport::Loss::Kind kind, int64_t offset, int64_t number, std::string name,
            std::string carrier, std::string reason, int64_t count = 1, int64_t carrierNumber = -1) {
    report_.addLoss(
        {kind, offset, number, count, std::move(name), std::move(carrier), std::move(reason), carrierNumber});
  }

  MappedInput& input_;
  std::string_view bytes_;
  RescueReport& report_;
  TCarrierWriter* out_;
  Model model_;
  Model probe_;  // what tells whether a carrier reads at a place
  const std::string carrierLead_;
  const std::string titleLead_;
  size_t limit_ = 0;  // where the scan takes the database's block to end
  ChainSkips titleSkips_;
  std::vector<RescueReport::Damage> start_;  // damage in the file's start, known only at the end
  size_t damagedUpTo_ = 0;                   // the end of the damage found last
  int64_t accounted_ = 0;                    // carriers met so far, rescued or lost
  bool numbered_ = true;                     // while accounted_ is the number of the next carrier
  bool cutOff_ = false;                      // the file ends before the database's block does
  bool lastWhole_ = false;                   // the carrier met last read whole
};

template <class Model>
typename Rescuer<Model>::Start Rescuer<Model>::readStart() {
  const std::string_view header = Model::kHeader;
  const size_t size = bytes_.size();
  const size_t lengthAt = std::min(header.size(), size);
  if (bytes_.substr(0, header.size()) != header) start_.push_back({0, static_cast<int64_t>(lengthAt)});
  ByteCursor head(bytes_, lengthAt);
  int32_t length = -1;
  Start start;
  head.int32(length);
  head.int32(start.count);
  if (!head.ok()) start_.push_back({static_cast<int64_t>(lengthAt), static_cast<int64_t>(size)});
  start.carriers = std::min(header.size() + 2 * ByteCursor::kInt32Size, size);
  if (length >= static_cast<int32_t>(ByteCursor::kInt32Size))
    start.claimedEnd = static_cast<int64_t>(header.size() + ByteCursor::kInt32Size) + length;
  return start;
}

template <class Model>
void Rescuer<Model>::rescue() {
  const size_t size = bytes_.size();
  const Start start = readStart();
  const int64_t claimedEnd = start.claimedEnd;
  // The database's block as its length gives it, where it lies in the file.
  setLimit(claimedEnd >= static_cast<int64_t>(start.carriers) && claimedEnd <= static_cast<int64_t>(size)
               ? static_cast<size_t>(claimedEnd)
               : size);
  cutOff_ = claimedEnd > static_cast<int64_t>(size);
  size_t pos = start.carriers;
  while (true) {
    const size_t limit = limit_;
    input_.settle(pos);
    if (pos < limit) {
      ByteCursor in(bytes_.substr(0, limit), pos);
      if (readsWhole(pos) && model_.readWhole(in, false)) {
        take(false);
        pos = in.position();
        continue;
      }
      input_.reach(reachOf(pos, limit));
    }
    const size_t next = nextCarrier(pos + 1, limit);
    if (next == limit && limit < size && (pos < limit || !countMatches(start.count))) {
      // The block's length does not hold what it says: the carriers go on
      // to the end of the file.
      setLimit(size);
      continue;
    }
    if (pos >= limit) break;
    damaged(pos, next, size);
    pos = next;
  }
  checkStart(start, pos);
  if (!cutOff_ && limit_ < size)
    report_.trailing = {static_cast<int64_t>(limit_), static_cast<int64_t>(size - limit_)};
  for (const RescueReport::Damage& d : start_) report_.damage.push_back(d);
  report_.sortDamage();
}

template <class Model>
void Rescuer<Model>::checkStart(const Start& start, size_t end) {
  const size_t size = bytes_.size();
  const int64_t claimedEnd = start.claimedEnd;
  const bool counted = countMatches(start.count);
  // A file that ends where its last carrier, whole, and the count end was
  // not cut short: its block's length is what is damaged.
  if (cutOff_ && counted && lastWhole_ && end == size) cutOff_ = false;
  const size_t lengthAt = std::min(std::string_view(Model::kHeader).size(), size);
  const auto run = [](size_t begin, size_t to) {
    return RescueReport::Damage{static_cast<int64_t>(begin), static_cast<int64_t>(to)};
  };
  if (!cutOff_ && claimedEnd != static_cast<int64_t>(end))
    start_.push_back(run(lengthAt, std::min(lengthAt + ByteCursor::kInt32Size, size)));
  if (!cutOff_ && numbered_ && !counted)
    start_.push_back(run(std::min(lengthAt + ByteCursor::kInt32Size, size), start.carriers));
  if (!cutOff_) return;
  damage(size, static_cast<size_t>(claimedEnd));
  // Carriers the count still announces lie beyond the end of the file.
  const int64_t missing = static_cast<int64_t>(start.count) - accounted_;
  const int64_t room =
      (claimedEnd - static_cast<int64_t>(size)) / static_cast<int64_t>(ByteCursor::objectLead(kCarrierName));
  if (numbered_ && start.count >= 0 && missing > 0 && missing <= room + 1)
    loss(RescueReport::Loss::Kind::kCarrier, static_cast<int64_t>(size), accounted_, "", "", "cut off",
         missing);
}

// The first place in [from, to) where `lead` begins and ends before `to`;
// `to` when there is none. The bytes are searched a piece at a time, so that
// only a window of them is held.
template <class Model>
size_t Rescuer<Model>::findLead(std::string_view lead, size_t from, size_t to) {
  constexpr size_t kPiece = size_t{1} << 20;
  while (from < to) {
    input_.settle(from);
    const size_t end = std::min(to, from + kPiece);
    // A lead that begins in this piece may end in the next.
    const std::string_view piece = bytes_.substr(0, std::min(to, end + lead.size() - 1));
    const size_t at = piece.find(lead, from);
    if (at != std::string_view::npos && at < end) return at;
    from = end;
  }
  return to;
}

// The first place in [from, limit) where a carrier reads whole; limit when none does.
template <class Model>
size_t Rescuer<Model>::nextCarrier(size_t from, size_t limit) {
  for (size_t at = findLead(carrierLead_, from, limit); at < limit;
       at = findLead(carrierLead_, at + 1, limit)) {
    if (readsWhole(at)) return at;
    input_.reach(reachOf(at, limit));
    input_.settle(at);
  }
  return limit;
}

template <class Model>
size_t Rescuer<Model>::nextTitle(size_t from, size_t end) {
  const std::string_view within = bytes_.substr(0, end);
  for (size_t at = findLead(titleLead_, from, end); at < end; at = findLead(titleLead_, at + 1, end)) {
    ByteCursor in(within, at);
    if (probe_.passTitle(in)) return at;
  }
  return end;
}

// The carrier at `at` that does not read whole, up to the next one that
// does at `next`: its own fields and the titles that read whole are kept.
template <class Model>
void Rescuer<Model>::damaged(size_t at, size_t next, size_t size) {
  input_.settle(at);
  const std::string reason = cutOff_ && next == size ? "cut off" : "damaged";
  ByteCursor in(bytes_.substr(0, next), at);
  int32_t n = -1;
  const bool lead = in.className(kCarrierName) && in.int32(n);
  const size_t blockAt = in.position();
  // A block that ends where the next carrier begins is this carrier's alone.
  const bool whole = lead && n >= 0 && blockAt + static_cast<size_t>(n) == next;
  const size_t end = lead && n >= 0 && blockAt + static_cast<size_t>(n) < next ? blockAt + n : next;
  ByteCursor block(bytes_.substr(0, end), std::min(blockAt, end));
  int32_t stored = 0;
  const int64_t number = numbered_ ? accounted_ : -1;
  const std::string carrier = nameAt(bytes_, at, next);
  if (!lead || !model_.readHead(block, stored)) {
    damage(at, next);
    loss(RescueReport::Loss::Kind::kCarrier, static_cast<int64_t>(at), number, carrier, "", reason);
    ++accounted_;
    lastWhole_ = false;
    if (!whole) hidden(at + 1, next);
    return;
  }
  damagedTitles(block, end, whole, carrier, number, stored, reason);
  if (end < next) damage(end, next);
  // Every part read, yet not as one carrier: its block's length is what is damaged.
  if (damagedUpTo_ <= at) damage(blockAt - ByteCursor::kInt32Size, blockAt);
  take(true);
  if (!whole) hidden(end, next);
}

// The titles of a damaged carrier from `block` on, up to its block's `end`:
// those that read whole are read into the model, the others are lost.
template <class Model>
void Rescuer<Model>::damagedTitles(ByteCursor& block, size_t end, bool whole, const std::string& carrier,
                                   int64_t number, int32_t stored, const std::string& reason) {
  int32_t title = 0;  // the number of the next title, while it is known
  bool known = true;
  while (!block.empty()) {
    const size_t titleAt = block.position();
    input_.settle(titleAt);
    if (model_.readTitle(block)) {
      ++title;
      continue;
    }
    loss(RescueReport::Loss::Kind::kTitle, static_cast<int64_t>(titleAt), known ? title : -1,
         nameAt(bytes_, titleAt, end), carrier, reason, 1, number);
    // Past a damaged title only a block that is whole tells where the next one is.
    const size_t found = whole ? nextTitle(titleAt + 1, end) : end;
    damage(titleAt, found);
    block = ByteCursor(bytes_.substr(0, end), found);
    known = false;
  }
  if (known && title < stored)
    loss(RescueReport::Loss::Kind::kTitle, static_cast<int64_t>(end), title, "", carrier, reason,
         stored - title, number);
}

// The carriers that begin in [from, to) but do not read whole; how many
// there were in that run is no longer known.
template <class Model>
void Rescuer<Model>::hidden(size_t from, size_t to) {
  for (size_t at = findLead(carrierLead_, from, to); at < to; at = findLead(carrierLead_, at + 1, to)) {
    loss(RescueReport::Loss::Kind::kCarrier, static_cast<int64_t>(at), -1, nameAt(bytes_, at, to), "",
         "damaged");
  }
  if (from < to) numbered_ = false;
}

// The rescue of `in` read as `version`, written to `out` when it is given.
template <class Model>
RescueReport rescueAs(const std::string& version, const std::string& in, const std::string* out) {
  MappedInput input(in);
  RescueReport report;
  report.format = version;
  {
    std::optional<TCarrierWriter> writer;
    if (out != nullptr) writer.emplace(*out);
    if (Rescuer<Model>(input, report, writer ? &*writer : nullptr).convertAsLoaded()) {
      if (writer) writer->close();
      return report;
    }
  }
  // What the loading read is dropped: the rescue reads the file anew.
  report = RescueReport();
  report.format = version;
  std::optional<TCarrierWriter> writer;
  if (out != nullptr) writer.emplace(*out);
  Rescuer<Model>(input, report, writer ? &*writer : nullptr).rescue();
  if (out != nullptr) {
    if (report.carriers == 0) throw IOException("recover: nothing of the database could be rescued.");
    writer->close();
  }
  return report;
}

template <class... Args>
RescueReport rescueObjects(const std::string& version, const Args&... args) {
  if (version == "2.5.7") return rescueAs<objectrescue::CurrentModel>(version, args...);
  if (version == "2.5.5") return rescueAs<objectrescue::LegacyModel<Format2_5_5>>(version, args...);
  if (version == "2.5.3") return rescueAs<objectrescue::LegacyModel<Format2_5_3>>(version, args...);
  if (version == "2.5") return rescueAs<objectrescue::LegacyModel<Format2_5>>(version, args...);
  throw IOException("recover: format " + version + " is no object file.");
}

}  // namespace

RescueReport rescueObjectDatabase(const std::string& version, const std::string& in, const std::string& out) {
  return rescueObjects(version, in, &out);
}

RescueReport analyseObjectDatabase(const std::string& version, const std::string& in) {
  return rescueObjects(version, in, static_cast<const std::string*>(nullptr));
}
