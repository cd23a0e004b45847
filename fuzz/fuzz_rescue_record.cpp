// The rescue of 1.5 and 2.0 databases against their conversion: a small
// database made from the input's first bytes, damaged as the rest of the
// input says (bytes flipped, runs wiped, the file cut). Every carrier whose
// records the damage left alone must come out as the conversion of the
// whole file writes it, nothing may come out that the original does not hold
// (but for carriers the damage reached), and the whole file must come out as
// its conversion.
#include <algorithm>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "carrier_sources.h"
#include "data/legacy/rescue/record_rescue.h"
#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "fuzz_input.h"
#include "generated_database.h"
#include "rescue_expectation.h"

namespace {

// What the undamaged file of a shape gives: its bytes, its conversion and
// where each carrier comes from. Made (and its own rescue checked) once per
// shape: the generated database is the same every time.
struct Whole {
  std::string original, expected;
  sample::CarrierSources sources;
  std::optional<sample::RescueExpectation> expectation;  // over `expected`, where it stays
};

const Whole& wholeOf(bool dated, const sample::GeneratedShape& shape, int key) {
  static std::map<int, Whole> made;
  const auto found = made.find(key);
  if (found != made.end()) return found->second;
  if (made.size() == 4096) made.clear();  // a bound on the memory kept
  const std::string version = dated ? "2.0" : "1.5";
  const fuzzinput::ScratchFile whole("whole.vsk"), converted("converted.vsk"), out("out.vsk");
  sample::writeGeneratedDatabase(version, shape, whole.path());
  if (!(dated ? convertBytes2_0(whole.path(), converted.path())
              : convertBytes1_5(whole.path(), converted.path())))
    fuzzinput::finding("a generated database does not convert");
  const std::string original = fuzzinput::contents(whole.path());
  Whole& w = made.emplace(key, Whole{original, fuzzinput::contents(converted.path()),
                                     sample::CarrierSources(version, original), std::nullopt})
                 .first->second;
  std::vector<sample::StoredCarrier> carriers;
  if (!sample::readCurrent(w.expected, carriers)) fuzzinput::finding("a conversion is no whole database");
  w.expectation.emplace(std::move(carriers));
  fuzzinput::expectNoCrash([&] { rescueRecordDatabase(version, whole.path(), out.path()); });
  if (fuzzinput::contents(out.path()) != w.expected)
    fuzzinput::finding("the whole file is not its conversion");
  return w;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  if (size < 4) return 0;
  const bool dated = data[0] & 1;
  const std::string version = dated ? "2.0" : "1.5";
  const Whole& whole = wholeOf(dated, {1 + data[1] % 12, data[2] % 4, data[3]},
                               (dated ? 1 << 16 : 0) | (data[1] % 12) << 10 | (data[2] % 4) << 8 | data[3]);
  const std::string& original = whole.original;
  const fuzzinput::ScratchFile out("out.vsk");

  // Each 3 bytes of the rest: what (flip, wipe 64 bytes, cut) and where.
  std::string bytes = original;
  std::vector<sample::ByteRun> damage;
  for (size_t i = 4; i + 3 <= size && !bytes.empty(); i += 3) {
    const size_t at = (static_cast<size_t>(data[i + 1]) << 8 | data[i + 2]) % bytes.size();
    if (data[i] % 3 == 0) {
      bytes[at] = static_cast<char>(bytes[at] ^ (data[i] | 1));
      damage.push_back({at, at + 1});
    } else if (data[i] % 3 == 1) {
      const size_t end = std::min(bytes.size(), at + 64);
      std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                bytes.begin() + static_cast<std::ptrdiff_t>(end), '\0');
      damage.push_back({at, end});
    } else {
      bytes.resize(at);
      damage.push_back({at, original.size()});
    }
  }
  const fuzzinput::ScratchFile input("input.vsk", bytes);
  bool rescued = false;
  fuzzinput::expectNoCrash([&] {
    // A record the rescue reports as within damage was in doubt (one sound
    // record between two damaged ones reads so by chance too): it may be lost.
    for (const RescueReport::Damage& d : rescueRecordDatabase(version, input.path(), out.path()).damage)
      damage.push_back({static_cast<size_t>(d.begin), static_cast<size_t>(d.end)});
    rescued = true;
  });
  if (!rescued) {
    if (fuzzinput::contents(out.path()) != "<none>") fuzzinput::finding("a failed rescue left an output");
    return 0;
  }
  // The runs changed, in order and apart, as the sources want them.
  std::sort(damage.begin(), damage.end(), [](const auto& a, const auto& b) { return a.begin < b.begin; });
  std::vector<sample::ByteRun> changed;
  for (const sample::ByteRun& d : damage) {
    if (!changed.empty() && d.begin <= changed.back().end) {
      changed.back().end = std::max(changed.back().end, d.end);
    } else {
      changed.push_back(d);
    }
  }
  const std::vector<bool> reached = whole.sources.reached(bytes, changed);
  const std::string rescuedBytes = fuzzinput::contents(out.path());
  std::vector<sample::StoredCarrier> got;
  if (!sample::readCurrent(rescuedBytes, got)) fuzzinput::finding("the output is no whole database");
  sample::RescueTally tally;
  int64_t invented = 0;
  whole.expectation->tally(got, reached, tally, invented);
  if (invented > 0) fuzzinput::finding("a carrier or title the original does not hold");
  // A carrier the damage left alone must come out exactly where a carrier of
  // its name comes out: a damaged carrier may have come to bear its name too.
  const std::vector<sample::StoredCarrier>& want = whole.expectation->carriers();
  std::multimap<std::string_view, std::string_view> byName;
  for (const sample::StoredCarrier& carrier : got) byName.emplace(carrier.name, carrier.bytes);
  for (size_t c = 0; c < want.size(); ++c) {
    const auto [first, last] = byName.equal_range(want[c].name);
    if (!reached[c] && first != last &&
        std::none_of(first, last, [&](const auto& named) { return named.second == want[c].bytes; }))
      fuzzinput::finding("a carrier the damage left alone is not rescued exactly");
  }
  return 0;
}
