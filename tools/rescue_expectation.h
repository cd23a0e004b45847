// What a rescue of a damaged database is held to: the carriers of the
// conversion of the undamaged file, found in the rescue's output by their
// bytes and by their names, and what the output holds beyond them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace sample {

// Of the carriers the damage left alone, how many came out exactly.
struct RescueTally {
  int64_t intact = 0;   // carriers the damage left alone
  int64_t rescued = 0;  // of those, out exactly and in place
};

// A carrier of a current database as it is stored: all its bytes, its name,
// its fields before the titles, and each title without its track number,
// which the current model gives anew on adding (a title keeps its bytes when
// one before it is lost, but for that number).
struct StoredCarrier {
  std::string_view bytes;
  std::string_view name;
  std::string_view head;
  std::vector<std::string> titles;
};

// The carriers of a whole current database; false for anything else.
bool readCurrent(std::string_view bytes, std::vector<StoredCarrier>& carriers);

class RescueExpectation {
 public:
  explicit RescueExpectation(std::vector<StoredCarrier> carriers);

  // The conversion's carriers, in its order.
  const std::vector<StoredCarrier>& carriers() const { return carriers_; }

  // Tallies the rescue `got` of a copy whose damage reached the carriers
  // marked in `reached`. A rescued carrier that is none of the conversion's
  // (in their order) stands between two that are; there it may be a carrier
  // the damage reached, read whole but changed, or one under its own name
  // with titles lost. Whatever else it holds is invented.
  void tally(const std::vector<StoredCarrier>& got, const std::vector<bool>& reached, RescueTally& tally,
             int64_t& invented) const;

 private:
  // What the rescued carriers [first, last), none of them the conversion's,
  // invent where the conversion's carriers [from, to) stand.
  int64_t inventedBetween(const std::vector<StoredCarrier>& got, size_t first, size_t last, size_t from,
                          size_t to, const std::vector<bool>& reached) const;

  std::vector<StoredCarrier> carriers_;
  std::unordered_map<std::string_view, size_t> whole_;
  std::unordered_multimap<std::string_view, size_t> named_;
  std::unordered_set<std::string> titles_;
};

}  // namespace sample
