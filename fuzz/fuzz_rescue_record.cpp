// The rescue of 1.5 and 2.0 databases against their conversion: a small
// database made from the input's first bytes, damaged as the rest of the
// input says (bytes flipped, runs wiped, the file cut). Every carrier whose
// records the damage left alone must come out as the conversion of the
// whole file writes it, and the whole file must come out as its conversion.
#include <algorithm>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "data/legacy/rescue/record_rescue.h"
#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v1_5/manager_1_5.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "data/legacy/v2_0/manager_2_0.h"
#include "fuzz_input.h"
#include "generated_database.h"
#include "platform/little_endian.h"

namespace {

int32_t int32At(const std::string& b, size_t at) {
  return at + 4 <= b.size() ? static_cast<int32_t>(platform::decodeFixed32(b.data() + at)) : 0;
}

// The carriers of a current database, each as its stored bytes.
std::vector<std::string> carriersOf(const std::string& b) {
  std::vector<std::string> carriers;
  size_t at = b.find(']') + 1 + 4;
  const int32_t count = int32At(b, at);
  at += 4;
  for (int32_t i = 0; i < count; ++i) {
    const size_t start = at;
    at += 4 + 13;
    at += 4 + static_cast<size_t>(int32At(b, at));
    carriers.push_back(b.substr(start, at - start));
  }
  return carriers;
}

struct Span {
  size_t begin, end;
};

// For each carrier of a whole generated file: the records its conversion
// reads, and those that the damaged bytes make it read. Damage that leaves a
// record whole can change an id in it (a title then names another carrier,
// an artist takes another's id), which nothing can tell.
std::vector<std::vector<Span>> recordsOfCarriers(const std::string& b, const std::string& damaged, bool dated,
                                                 size_t at) {
  const auto int32 = [&] {
    at += 4;
    return int32At(b, at - 4);
  };
  // An int32 of the record [start, end) as the damaged bytes hold it; `fallback` where they are cut.
  const auto damagedInt32 = [&](size_t pos, size_t end, int32_t fallback) {
    return end <= damaged.size() ? int32At(damaged, pos) : fallback;
  };
  const auto text = [&] { at += static_cast<size_t>(std::max(0, int32())); };
  std::map<int32_t, Span> named[2];
  std::multimap<int32_t, Span> renamed[2];  // by the id the damaged bytes give
  for (int kind = 0; kind < 2; ++kind) {
    for (int32_t n = int32(), i = 0; i < n; ++i) {
      const size_t start = at;
      const int32_t id = int32();
      text();
      at += dated ? 8 : 0;
      named[kind].emplace(id, Span{start, at});
      if (const int32_t now = damagedInt32(start, at, id); now != id)
        renamed[kind].emplace(now, Span{start, at});
    }
  }
  const auto addNamed = [&](std::vector<Span>& spans, int kind, int32_t id) {
    if (named[kind].count(id)) spans.push_back(named[kind][id]);
    for (auto [it, end] = renamed[kind].equal_range(id); it != end; ++it) spans.push_back(it->second);
  };
  std::multimap<int32_t, std::pair<Span, int32_t>> titles;  // by carrier id: the record and its artist
  for (int32_t n = int32(), i = 0; i < n; ++i) {
    const size_t start = at;
    int32();
    text();
    at += dated ? 8 : 0;
    text();
    const size_t idsAt = at;
    std::vector<int32_t> ids(static_cast<size_t>(std::max(0, int32())));
    for (int32_t& id : ids) id = int32();
    const int32_t artist = dated ? int32() : -1;
    for (const int32_t id : ids) titles.emplace(id, std::make_pair(Span{start, at}, artist));
    const int32_t count = damagedInt32(idsAt, idsAt + 4, 0);
    for (size_t i = 0; i < static_cast<size_t>(std::max(0, count)) && idsAt + 8 + 4 * i <= damaged.size();
         ++i) {
      const int32_t id = int32At(damaged, idsAt + 4 + 4 * i);
      if (std::find(ids.begin(), ids.end(), id) == ids.end())
        titles.emplace(id, std::make_pair(Span{start, at}, artist));
    }
  }
  std::vector<std::vector<Span>> carriers;
  for (int32_t n = int32(), i = 0; i < n; ++i) {
    const size_t start = at;
    const int32_t id = int32();
    text();
    at += dated ? 8 : 0;
    const int32_t artist = dated ? -1 : int32();
    const int32_t label = int32();
    at += 8;
    text();
    text();
    std::vector<Span> spans{{start, at}};
    addNamed(spans, 1, label);
    addNamed(spans, 0, artist);
    for (auto [it, end] = titles.equal_range(id); it != end; ++it) {
      spans.push_back(it->second.first);
      addNamed(spans, 0, it->second.second);
    }
    carriers.push_back(spans);
  }
  return carriers;
}

// What the undamaged file of a shape gives: its bytes and its conversion.
// Made (and its own rescue checked) once per shape: the generated database
// is the same every time.
struct Whole {
  std::string original, expected;
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
  Whole w{fuzzinput::contents(whole.path()), fuzzinput::contents(converted.path())};
  fuzzinput::expectNoCrash([&] { rescueRecordDatabase(version, whole.path(), out.path()); });
  if (fuzzinput::contents(out.path()) != w.expected)
    fuzzinput::finding("the whole file is not its conversion");
  return made.emplace(key, std::move(w)).first->second;
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
  const std::string& expected = whole.expected;
  const fuzzinput::ScratchFile out("out.vsk");

  // Each 3 bytes of the rest: what (flip, wipe 64 bytes, cut) and where.
  std::string bytes = original;
  std::vector<Span> damage;
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
      damage.push_back({at, SIZE_MAX});
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
  if (!rescued) return 0;
  const std::vector<std::string> want = carriersOf(expected);
  const std::vector<std::string> got = carriersOf(fuzzinput::contents(out.path()));
  const auto spans = recordsOfCarriers(
      original, bytes, dated, (dated ? legacy::Format2_0::header() : legacy::Format1_5::header()).size());
  // A carrier the damage left alone must come out exactly where a carrier of
  // its name comes out: a damaged carrier may have come to bear its name too.
  const auto nameOf = [](const std::string& stored) {
    return stored.substr(25, static_cast<size_t>(std::max(0, int32At(stored, 21))));
  };
  std::multimap<std::string, const std::string*> byName;
  for (const std::string& carrier : got) byName.emplace(nameOf(carrier), &carrier);
  for (size_t c = 0; c < want.size(); ++c) {
    bool alone = true;
    for (const Span& s : spans[c]) {
      for (const Span& d : damage) alone = alone && (s.end <= d.begin || d.end <= s.begin);
    }
    const auto [first, last] = byName.equal_range(nameOf(want[c]));
    if (alone && first != last &&
        std::none_of(first, last, [&](const auto& named) { return *named.second == want[c]; }))
      fuzzinput::finding("a carrier the damage left alone is not rescued exactly");
  }
  return 0;
}
