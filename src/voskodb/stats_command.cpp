// voskodb stats: what a collection holds, counted. Media, kinds and decades
// are counted by their texts, since all of them are listed; artists and
// labels, of which only the ten with the most carriers are, by the bounded
// counting of name_counter.h, over two passes or more, so that no collection
// makes stats hold more than a few tens of megabytes.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "basis/exceptions.h"
#include "data/carrier_stream.h"
#include "data/sound_carrier.h"
#include "platform/clock.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "voskodb/carrier_source.h"
#include "voskodb/name_counter.h"
#include "voskodb/search_commands.h"

namespace {

constexpr size_t kTopCount = 10;
// Wide enough for "tables of contents: ", as info shows its counts.
constexpr size_t kLabelWidth = 20;

struct Tally {
  int64_t carriers = 0;
  int64_t titles = 0;
};

// Looks texts up by their view, so that counting a carrier copies only a
// text not seen before.
struct TextHash {
  using is_transparent = void;
  size_t operator()(std::string_view s) const { return std::hash<std::string_view>{}(s); }
};
using TextTallies = std::unordered_map<std::string, Tally, TextHash, std::equal_to<>>;

template <class Map>
auto& entry(Map& map, std::string_view key) {
  auto it = map.find(key);
  if (it == map.end()) it = map.emplace(std::string(key), typename Map::mapped_type{}).first;
  return it->second;
}

// The decade a release falls in, as its first year ("1990"); the year is the
// one the carrier's line shows.
int64_t decadeOf(double release) {
  const int64_t year = platform::decodeDateTime(release).year;
  return (year >= 0 ? year : year - 9) / 10 * 10;
}

constexpr size_t kArtists = 0, kLabels = 1, kNameFields = 2;

// The artists and the label a carrier counts for: `each(field, name)` with
// kArtists for each artist, once, and kLabels for the label. An artist appears on a
// carrier as its artist or as a title's. A sampler's marker and a split
// carrier's assembled list name no artist; the original artists of remixes
// do not appear on it.
class CarrierNames {
 public:
  template <class Each>
  void forEach(const StoredCarrier& c, Each each) {
    artists_.clear();
    if (c.contentType != TSoundCarrier::kSplit) artists_.push_back(c.artist);
    for (const StoredTitle& t : c.titles) artists_.push_back(t.artist);
    std::sort(artists_.begin(), artists_.end());
    artists_.erase(std::unique(artists_.begin(), artists_.end()), artists_.end());
    for (std::string_view artist : artists_) {
      if (!artist.empty() && artist != TSoundCarrier::kSamplerArtist) each(kArtists, artist);
    }
    if (!c.label.empty()) each(kLabels, c.label);
  }

 private:
  std::vector<std::string_view> artists_;
};

struct Stats {
  int64_t carriers = 0;
  int64_t titles = 0;
  int64_t tocs = 0;
  TextTallies media, kinds;
  std::map<int64_t, Tally> decades;

  void count(const StoredCarrier& c) {
    const auto titleCount = static_cast<int64_t>(c.titles.size());
    ++carriers;
    titles += titleCount;
    tocs += c.tocCount;
    for (Tally* t : {&entry(media, c.type), &entry(kinds, c.contentType), &decades[decadeOf(c.release)]}) {
      ++t->carriers;
      t->titles += titleCount;
    }
  }
};

// The entries with the highest counts first, ties in the order of their
// texts' bytes; at most `limit` of them.
template <class Map, class Count>
std::vector<const typename Map::value_type*> ranked(const Map& map, Count count, size_t limit) {
  std::vector<const typename Map::value_type*> entries;
  entries.reserve(map.size());
  for (const auto& e : map) entries.push_back(&e);
  auto before = [&](const auto* a, const auto* b) {
    return count(a->second) != count(b->second) ? count(a->second) > count(b->second) : a->first < b->first;
  };
  limit = std::min(limit, entries.size());
  std::partial_sort(entries.begin(), entries.begin() + static_cast<std::ptrdiff_t>(limit), entries.end(),
                    before);
  entries.resize(limit);
  return entries;
}

int64_t carriersOf(const Tally& t) { return t.carriers; }

std::string decadeName(int64_t decade) { return std::to_string(decade) + "s"; }

// "1 carrier", "2 carriers".
std::string counted(int64_t n, const std::string& what) {
  return std::to_string(n) + " " + what + (n == 1 ? "" : "s");
}
std::string counted(const Tally& t) {
  return counted(t.carriers, "carrier") + ", " + counted(t.titles, "title");
}

// JSON escapes only the C0 controls; the console would show DEL and the C1
// controls as "\x.." inside a string, which no JSON reader reads, so they are
// written as JSON escapes before the text reaches it.
std::string escapeConsoleControls(const std::string& json) {
  static const char kHex[] = "0123456789abcdef";
  std::string out;
  out.reserve(json.size());
  for (size_t i = 0; i < json.size(); ++i) {
    const auto c = static_cast<unsigned char>(json[i]);
    const auto next = i + 1 < json.size() ? static_cast<unsigned char>(json[i + 1]) : 0;
    unsigned code = 0;
    if (c == 0x7F) {
      code = c;
    } else if (c == 0xC2 && next >= 0x80 && next <= 0x9F) {
      code = next;
      ++i;
    } else {
      out += json[i];
      continue;
    }
    out += "\\u00";
    out += kHex[code >> 4];
    out += kHex[code & 0xF];
  }
  return out;
}

// `names` are the artists and the labels: per artist the carriers they
// appear on, per label the carriers it issued.
std::string statsJson(const std::string& path, const Stats& s, const std::vector<NameSummary>& names) {
  using Json = nlohmann::ordered_json;
  Json json;
  json["file"] = platform::toConsoleText(path);
  json["carriers"] = s.carriers;
  json["titles"] = s.titles;
  json["tables_of_contents"] = s.tocs;
  json["artists"] = names[kArtists].distinct;
  json["labels"] = names[kLabels].distinct;
  auto tallies = [](const TextTallies& map, const char* key) {
    Json list = Json::array();
    for (const auto* e : ranked(map, carriersOf, map.size())) {
      list.push_back({{key, platform::ansiToUtf8(e->first)},
                      {"carriers", e->second.carriers},
                      {"titles", e->second.titles}});
    }
    return list;
  };
  json["media"] = tallies(s.media, "type");
  json["kinds"] = tallies(s.kinds, "content_type");
  Json decades = Json::array();
  for (const auto& [decade, t] : s.decades)
    decades.push_back({{"decade", decade}, {"carriers", t.carriers}, {"titles", t.titles}});
  json["decades"] = decades;
  auto top = [](const NameSummary& field, const char* key) {
    Json list = Json::array();
    for (const NameCount& n : field.top)
      list.push_back({{key, platform::ansiToUtf8(n.name)}, {"carriers", n.carriers}});
    return list;
  };
  json["top_artists"] = top(names[kArtists], "artist");
  json["top_labels"] = top(names[kLabels], "label");
  return escapeConsoleControls(json.dump());
}

void printStats(const std::string& path, const Stats& s, const std::vector<NameSummary>& names) {
  platform::ConsoleLines out;
  auto total = [&out](const std::string& label, const std::string& value) {
    std::string line = label + ":";
    line.resize(std::max(line.size() + 1, kLabelWidth), ' ');
    out.line(line + value);
  };
  total("file", path);
  total("carriers", std::to_string(s.carriers));
  total("titles", std::to_string(s.titles));
  total("tables of contents", std::to_string(s.tocs));
  total("artists", std::to_string(names[kArtists].distinct));
  total("labels", std::to_string(names[kLabels].distinct));
  auto row = [&out](std::string_view name, const std::string& counts) {
    out.line("    " + std::string(name.empty() ? std::string_view("(empty)") : name) + ": " + counts);
  };
  auto tallies = [&](const char* heading, const TextTallies& map) {
    out.line(heading);
    for (const auto* e : ranked(map, carriersOf, map.size())) row(e->first, counted(e->second));
  };
  tallies("media:", s.media);
  tallies("kinds:", s.kinds);
  out.line("decades:");
  for (const auto& [decade, t] : s.decades) row(decadeName(decade), counted(t));
  auto top = [&](const char* heading, const NameSummary& field) {
    out.line(heading);
    for (const NameCount& n : field.top) row(n.name, counted(n.carriers, "carrier"));
  };
  top("artists with the most carriers:", names[kArtists]);
  top("labels with the most carriers:", names[kLabels]);
  out.flush();
}

}  // namespace

void statsCommand(const std::string& path, bool json) {
  const KindRow& row = requireCarrierDatabase("stats", path);
  Stats stats;
  std::vector<NameSummary> names;
  CarrierNames carrierNames;
  bool first = true;
  // The totals come with the first pass, the names with every pass.
  auto pass = [&](const NameCounter::Each& each, const std::function<void()>& restart) {
    forEachCarrier(
        path, row,
        [&](const StoredCarrier& c) {
          if (first) stats.count(c);
          carrierNames.forEach(c, each);
        },
        [&] {
          if (first) stats = Stats();
          restart();
        });
    first = false;
  };
  const NameCounter counter(kNameFields, kTopCount);
  // Two names sharing a key under one seed hardly share one under the next;
  // counts that differ twice tell that the file changes under the passes.
  if (!counter.count(1, pass, names) && !counter.count(2, pass, names))
    throw IOException(path + ": changed while it was read.");
  if (json)
    platform::writeConsoleLine(statsJson(path, stats, names));
  else
    printStats(path, stats, names);
}
