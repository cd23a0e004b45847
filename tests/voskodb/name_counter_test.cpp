// NameCounter, the bounded counting behind voskodb stats, against counting
// by the names themselves: in one slice and in many, with ties at the last
// place, passes that start over, and a collection changing between passes.
#include "voskodb/name_counter.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>

namespace {

// Each carrier's names as (field, name).
using Collection = std::vector<std::vector<std::pair<size_t, std::string>>>;

// "distinct: name=count ..." per field.
std::vector<std::string> shown(const std::vector<NameSummary>& summaries) {
  std::vector<std::string> lines;
  for (const NameSummary& s : summaries) {
    lines.push_back(std::to_string(s.distinct) + ":");
    for (const NameCount& n : s.top) lines.back() += " " + n.name + "=" + std::to_string(n.carriers);
  }
  return lines;
}

// The same, counted by the names themselves.
std::vector<std::string> countedByName(const Collection& carriers) {
  std::vector<std::map<std::string, int64_t>> counts(2);
  std::vector<NameSummary> summaries(2);
  for (const auto& carrier : carriers) {
    for (const auto& [field, name] : carrier) summaries[field].distinct += ++counts[field][name] == 1;
  }
  for (size_t f = 0; f < 2; ++f) {
    for (const auto& [name, n] : counts[f]) summaries[f].top.push_back({name, n});
    std::stable_sort(summaries[f].top.begin(), summaries[f].top.end(),
                     [](const NameCount& a, const NameCount& b) { return a.carriers > b.carriers; });
    summaries[f].top.resize(std::min<size_t>(10, summaries[f].top.size()));
  }
  return shown(summaries);
}

// Name i ("a<i>", every third with `high` in front) of field 0 on count(i)
// carriers, every other one with a label; the carriers shuffled.
Collection collection(int names, int (*count)(int), char high) {
  Collection carriers;
  for (int i = 0; i < names; ++i) {
    const std::string name = (i % 3 == 0 ? std::string(1, high) : "") + "a" + std::to_string(i);
    for (int n = 0; n < count(i); ++n) {
      carriers.push_back({{0, name}});
      if (i % 2 == 0) carriers.back().push_back({1, "label " + name});
    }
  }
  std::shuffle(carriers.begin(), carriers.end(), std::mt19937(7));
  return carriers;
}

// A pass over `carriers`, once more on each pass when `growing`, starting
// over after half of them when `restarts`.
NameCounter::Pass passOver(const Collection& carriers, bool restarts, int& passes, bool growing = false) {
  return [&carriers, restarts, &passes, growing](const NameCounter::Each& each, const auto& restart) {
    const size_t half = restarts ? carriers.size() / 2 : 0;
    for (size_t i = 0; i < half + carriers.size() * (growing ? passes + 1 : 1); ++i) {
      if (restarts && i == half) restart();
      for (const auto& [field, name] : carriers[(i < half ? i : i - half) % carriers.size()])
        each(field, name);
    }
    ++passes;
  };
}

TEST(NameCounterTest, CountsAsCountingByTheNamesInEverySlicing) {
  const size_t all = NameTally::kMaxKeys;
  const struct {
    const char* what;
    int names;
    int (*count)(int);
    char high;  // bytes from 0x80 sort after ASCII
    size_t maxKeys;
  } cases[] = {
      {"distinct counts", 40, [](int i) { return i + 1; }, 'z', all},
      {"all tied: the smallest names", 60, [](int) { return 2; }, 'z', all},
      {"tied at the tenth", 60, [](int i) { return i < 5 ? 9 : 3 + i % 2; }, '\xC4', all},
      {"slices", 60, [](int i) { return i < 5 ? 9 : 3 + i % 2; }, 'z', 4},
      {"one name a slice", 25, [](int) { return 2; }, '\xC4', 1},
      {"fewer than ten", 4, [](int i) { return i + 1; }, 'z', 2},
  };
  for (const auto& c : cases) {
    const Collection carriers = collection(c.names, c.count, c.high);
    for (bool restarts : {false, true}) {
      int passes = 0;
      std::vector<NameSummary> summaries;
      EXPECT_TRUE(NameCounter(2, 10, c.maxKeys).count(3, passOver(carriers, restarts, passes), summaries));
      EXPECT_EQ(countedByName(carriers), shown(summaries)) << c.what << (restarts ? ", restarting" : "");
      EXPECT_EQ(c.maxKeys == all, passes == 2) << c.what << ": " << passes << " passes";
    }
  }
}

TEST(NameCounterTest, ACollectionChangedBetweenThePassesIsNoticed) {
  const Collection carriers = collection(
      30, [](int i) { return i % 4 + 1; }, 'z');
  for (size_t maxKeys : {NameTally::kMaxKeys, size_t{4}}) {
    int passes = 0;
    std::vector<NameSummary> summaries;
    EXPECT_FALSE(NameCounter(2, 10, maxKeys).count(1, passOver(carriers, false, passes, true), summaries));
  }
}

}  // namespace
