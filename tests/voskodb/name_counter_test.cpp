// NameCounter, the bounded counting behind voskodb stats: its distinct
// counts and top names against counting by the names themselves, in one
// slice and in many, with ties around the last place kept, passes that
// start over, and a collection that changes between the passes.
#include "voskodb/name_counter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace {

// A collection as the counter reads it: each carrier's names as (field, name).
using Collection = std::vector<std::vector<std::pair<size_t, std::string>>>;

constexpr size_t kFields = 2, kTop = 10;

// "distinct: name=count name=count ..." per field.
std::vector<std::string> shown(const std::vector<NameSummary>& summaries) {
  std::vector<std::string> lines;
  for (const NameSummary& s : summaries) {
    std::string line = std::to_string(s.distinct) + ":";
    for (const NameCount& n : s.top) line += " " + n.name + "=" + std::to_string(n.carriers);
    lines.push_back(line);
  }
  return lines;
}

std::vector<NameSummary> countedByName(const Collection& collection) {
  std::vector<std::map<std::string, int64_t>> counts(kFields);
  for (const auto& carrier : collection) {
    for (const auto& [field, name] : carrier) ++counts[field][name];
  }
  std::vector<NameSummary> summaries(kFields);
  for (size_t f = 0; f < kFields; ++f) {
    summaries[f].distinct = static_cast<int64_t>(counts[f].size());
    for (const auto& [name, n] : counts[f]) summaries[f].top.push_back({name, n});
    std::stable_sort(summaries[f].top.begin(), summaries[f].top.end(),
                     [](const NameCount& a, const NameCount& b) { return a.carriers > b.carriers; });
    if (summaries[f].top.size() > kTop) summaries[f].top.resize(kTop);
  }
  return summaries;
}

// `names` names of field 0 ("a<i>" with byte `high` in front for every
// third) and half as many of field 1, name i on count(i) carriers, the
// carriers shuffled.
Collection collection(int names, int (*count)(int), char high = 'z') {
  Collection carriers;
  for (int i = 0; i < names; ++i) {
    const std::string name = (i % 3 == 0 ? std::string(1, high) : "") + "a" + std::to_string(i);
    for (int n = 0; n < count(i); ++n) {
      carriers.push_back({{0, name}});
      if (i % 2 == 0) carriers.back().push_back({1, "label " + name});
    }
  }
  std::mt19937 random(7);
  for (size_t i = carriers.size(); i > 1; --i) std::swap(carriers[i - 1], carriers[random() % i]);
  return carriers;
}

TEST(NameCounterTest, CountsAsCountingByTheNamesInEverySlicing) {
  const struct {
    const char* what;
    Collection carriers;
    size_t maxKeys;
  } cases[] = {
      {"distinct counts", collection(40, [](int i) { return i + 1; }), NameTally::kMaxKeys},
      // The tenth place is tied among many: the smallest names are kept.
      {"all tied", collection(60, [](int) { return 2; }), NameTally::kMaxKeys},
      {"tied at the tenth", collection(60, [](int i) { return i < 5 ? 9 : 3 + i % 2; }), NameTally::kMaxKeys},
      // Bytes from 0x80 sort after ASCII, as stats orders equal counts.
      {"bytes above 0x7F",
       collection(
           30, [](int) { return 1; }, '\xC4'),
       NameTally::kMaxKeys},
      {"slices", collection(60, [](int i) { return i < 5 ? 9 : 3 + i % 2; }), 4},
      {"one name a slice",
       collection(
           25, [](int) { return 2; }, '\xC4'),
       1},
      {"fewer than ten", collection(4, [](int i) { return i + 1; }), 2},
  };
  for (const auto& c : cases) {
    for (bool restarts : {false, true}) {
      // A pass that starts over after half the carriers when `restarts`.
      int passes = 0;
      auto pass = [&](const NameCounter::Each& each, const std::function<void()>& restart) {
        ++passes;
        if (restarts) {
          for (size_t i = 0; i < c.carriers.size() / 2; ++i) {
            for (const auto& [field, name] : c.carriers[i]) each(field, name);
          }
          restart();
        }
        for (const auto& carrier : c.carriers) {
          for (const auto& [field, name] : carrier) each(field, name);
        }
      };
      std::vector<NameSummary> summaries;
      EXPECT_TRUE(NameCounter(kFields, kTop, c.maxKeys).count(3, pass, summaries)) << c.what;
      EXPECT_EQ(shown(countedByName(c.carriers)), shown(summaries))
          << c.what << (restarts ? " restarting" : "");
      if (c.maxKeys < 10) {
        EXPECT_GT(passes, 2) << c.what << ": in one slice";
      }
    }
  }
}

TEST(NameCounterTest, ACollectionChangedBetweenThePassesIsNoticed) {
  const Collection carriers = collection(30, [](int i) { return i % 4 + 1; });
  for (size_t maxKeys : {NameTally::kMaxKeys, size_t{4}}) {
    int passes = 0;
    // Each pass finds every carrier once more than the pass before.
    auto pass = [&](const NameCounter::Each& each, const std::function<void()>&) {
      for (int round = 0; round <= passes; ++round) {
        for (const auto& carrier : carriers) {
          for (const auto& [field, name] : carrier) each(field, name);
        }
      }
      ++passes;
    };
    std::vector<NameSummary> summaries;
    EXPECT_FALSE(NameCounter(kFields, kTop, maxKeys).count(1, pass, summaries)) << maxKeys;
  }
}

}  // namespace
