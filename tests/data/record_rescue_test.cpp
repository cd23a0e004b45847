// The rescue of damaged 1.5 and 2.0 databases: what it reads around each kind
// of damage, what it reports, and that every carrier it writes is the one
// the conversion of the undamaged file writes.
#include "data/legacy/rescue/record_rescue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "basis/exceptions.h"
#include "data/carrier_stream.h"
#include "data/carrier_writer.h"
#include "data/legacy/v1_5/convert_1_5.h"
#include "data/legacy/v2_0/convert_2_0.h"
#include "test_util.h"

namespace {

using testutil::dbl;
using testutil::le32;
using testutil::readFile;
using testutil::str;
using testutil::writeFile;
using Kind = RescueReport::Loss::Kind;

// A small database of either version, with the offset of every record.
struct Database {
  std::string version;
  std::string bytes;
  std::vector<size_t> titleAt, carrierAt, artistAt;
  size_t start = 0;  // behind the header
};

Database makeDatabase(const std::string& version, int titles = 8) {
  const bool dated = version == "2.0";
  Database db{version,
              dated ? "[Application:Vosko.Type:SoundCarrier-Database.Version:2.0]"
                    : "[Application:Vosko.Type:SoundCarrier-Database]",
              {},
              {},
              {}};
  auto named = [&](int32_t id, const std::string& name) {
    return le32(id) + str(name) + (dated ? dbl(40000.5) : "");
  };
  db.start = db.bytes.size();
  db.bytes += le32(3);
  for (int a = 0; a < 3; ++a) {
    db.artistAt.push_back(db.bytes.size());
    db.bytes += named(100 + a, "Artist " + std::to_string(a));
  }
  db.bytes += le32(2) + named(7, "Label A") + named(8, "Label B");
  db.bytes += le32(titles);
  for (int t = 0; t < titles; ++t) {
    db.titleAt.push_back(db.bytes.size());
    const int32_t carrier = 50 + t % 4;
    db.bytes += named(200 + t, "Song " + std::to_string(t)) +
                str(t % 2 ? "http://x/" + std::to_string(t) : "") +
                (t == 5 ? le32(2) + le32(carrier) + le32(52) : le32(1) + le32(carrier)) +
                (dated ? le32(100 + (t == 6 ? 2 : t % 2)) : "");
  }
  db.bytes += le32(4);
  for (int c = 0; c < 4; ++c) {
    db.carrierAt.push_back(db.bytes.size());
    db.bytes += named(50 + c, "Album " + std::to_string(c)) + (dated ? "" : le32(100 + c % 3)) +
                le32(7 + c % 2) + dbl(36000 + c) +
                str("Notes " + std::to_string(c) + (c == 2 ? std::string(60, '.') : "")) + str("CD");
  }
  return db;
}

// Each carrier of a current database as the bytes it is stored as.
std::vector<std::string> storedCarriers(const std::string& path, const std::string& scratch) {
  std::vector<std::string> carriers;
  CarrierStream stream;
  EXPECT_TRUE(stream.open(path));
  StoredCarrier carrier;
  const size_t empty = [&] {
    TCarrierWriter none(scratch);
    none.close();
    return readFile(scratch).size();
  }();
  while (stream.next(carrier)) {
    TCarrierWriter one(scratch);
    one.write(carrier);
    one.close();
    carriers.push_back(readFile(scratch).substr(empty - 4));
  }
  return carriers;
}

struct Fixture : ::testing::Test {
  testutil::TempDir dir;
  std::string in = dir.path() + "/in.vsk", out = dir.path() + "/out.vsk", scratch = dir.path() + "/one.vsk";

  std::vector<std::string> converted(const Database& db) {
    writeFile(in, db.bytes);
    const std::string converted = dir.path() + "/converted.vsk";
    EXPECT_TRUE(db.version == "1.5" ? convertBytes1_5(in, converted) : convertBytes2_0(in, converted));
    return storedCarriers(converted, scratch);
  }
};

TEST_F(Fixture, UndamagedFileIsItsConversion) {
  for (const std::string version : {"1.5", "2.0"}) {
    const Database db = makeDatabase(version);
    writeFile(in, db.bytes);
    ASSERT_TRUE(version == "1.5" ? convertBytes1_5(in, scratch) : convertBytes2_0(in, scratch));
    const RescueReport report = rescueRecordDatabase(version, in, out);
    EXPECT_EQ(readFile(out), readFile(scratch)) << version;
    EXPECT_TRUE(report.complete()) << version;
    EXPECT_EQ(report.carriers, 4);
    EXPECT_EQ(report.titles, 9);
  }
}

// A loss as one line: kind, number, name, carrier and reason.
std::string lossLine(const RescueReport::Loss& loss) {
  return std::string(loss.kind == Kind::kTitle ? "title " : "carrier ") + std::to_string(loss.number) + " '" +
         loss.name + "'" + (loss.carrier.empty() ? "" : " of '" + loss.carrier + "'") + ": " + loss.reason;
}

TEST_F(Fixture, DamageIsReadAroundAndReported) {
  using Bytes = std::string;
  const auto wipe = [](Bytes& b, size_t begin, size_t end) {
    std::fill(b.begin() + static_cast<std::ptrdiff_t>(begin), b.begin() + static_cast<std::ptrdiff_t>(end),
              '\0');
  };
  const auto put = [](Bytes& b, size_t at, int32_t value) { b.replace(at, 4, le32(value)); };
  // Where the labels' count is (behind three artists alike), and a title's count of carrier ids.
  const auto labelsAt = [](const Database& db) { return 3 * db.artistAt[1] - 2 * db.artistAt[0]; };
  const auto idsAt = [](const Database& db, size_t t) {
    return db.titleAt[t] + 4 + 10 + (db.version == "2.0" ? 8 : 0) + (t % 2 ? 14 : 4);
  };
  const struct {
    const char* what;
    std::function<void(const Database&, Bytes&)> damage;
    std::vector<int> kept;  // the whole file's carriers rescued exactly, in order; -1 for one that differs
    std::function<std::vector<size_t>(const Database&)> damaged;  // each place's begin and end
    std::vector<std::string> losses;
    std::string unresolved = {};  // how the one reference lost ends
    int titles = 8;               // in the database damaged
  } cases[] = {
      {"a title whose name's length is damaged is lost, its carrier keeps the others",
       [](const Database& db, Bytes& b) { b[db.titleAt[2] + 7] = '\x40'; },
       {0, 1, -1, 3},
       [](const Database& db) {
         return std::vector<size_t>{db.titleAt[2], db.titleAt[3]};
       },
       {"title 2 '': damaged"}},
      {"a wiped carrier is lost, with the titles only on it",
       [&](const Database& db, Bytes& b) { wipe(b, db.carrierAt[1], db.carrierAt[2]); },
       {0, 2, 3},
       [](const Database& db) {
         return std::vector<size_t>{db.carrierAt[1], db.carrierAt[2]};
       },
       {"carrier 1 '': damaged", "title 1 'Song 1': its carrier is lost"}},
      {"a wiped run is one with a byte damage set within it",
       [&](const Database& db, Bytes& b) {
         wipe(b, db.carrierAt[1], db.carrierAt[2]);
         b[db.carrierAt[1] + 30] = 1;
       },
       {0, 2, 3},
       [](const Database& db) {
         return std::vector<size_t>{db.carrierAt[1], db.carrierAt[2]};
       },
       {"carrier 1 '': damaged", "title 1 'Song 1': its carrier is lost"}},
      {"a file cut in its last carrier keeps the others; the titles lost with it name it",
       [](const Database& db, Bytes& b) { b.resize(db.carrierAt[3] + 20); },
       {0, 1, 2},
       [](const Database& db) {
         return std::vector<size_t>{db.carrierAt[3], db.carrierAt[3] + 20};
       },
       {"carrier 3 'Album 3': cut off", "title 3 'Song 3' of 'Album 3': its carrier is lost",
        "title 7 'Song 7' of 'Album 3': its carrier is lost"}},
      {"a wiped run within a text is damage, though the whole file reads with it",
       [&](const Database& db, Bytes& b) { wipe(b, db.carrierAt[3] - 50, db.carrierAt[3] - 10); },
       {0, 1, 3},
       [](const Database& db) {
         return std::vector<size_t>{db.carrierAt[2], db.carrierAt[3]};
       },
       {"carrier 2 'Album 2': damaged", "title 2 'Song 2' of 'Album 2': its carrier is lost",
        "title 5 'Song 5' of 'Album 2': its carrier is lost",
        "title 6 'Song 6' of 'Album 2': its carrier is lost"}},
      {"a title whose count of carrier ids was hit takes in none of the titles behind it, though they end "
       "where it does",
       [&](const Database& db, Bytes& b) {
         put(b, idsAt(db, 1), static_cast<int32_t>(1 + (db.titleAt[5] - db.titleAt[2]) / 4));
       },
       {0, -1, 2, 3},
       [](const Database& db) {
         return std::vector<size_t>{db.titleAt[1], db.titleAt[2]};
       },
       {"title 1 'Song 1': damaged"}},
      {"titles of a lost carrier are numbered only where their list's count holds",
       [&](const Database& db, Bytes& b) {
         put(b, db.titleAt[0] - 4, -8);
         wipe(b, db.carrierAt[1], db.carrierAt[2]);
       },
       {0, 2, 3},
       [](const Database& db) {
         return std::vector<size_t>{db.titleAt[0] - 4, db.titleAt[0], db.carrierAt[1], db.carrierAt[2]};
       },
       {"carrier 1 '': damaged", "title -1 'Song 1': its carrier is lost"}},
      {"an artist lost with its record: who named it takes no artist",
       [](const Database& db, Bytes& b) { b[db.artistAt[2] + 5] = '\x7F'; },
       {0, 1, -1, 3},
       [](const Database& db) {
         return std::vector<size_t>{db.artistAt[2], 2 * db.artistAt[2] - db.artistAt[1]};
       },
       {},
       ": artist #102 lost, none taken"},
      {"a wiped run into the artists, a damaged labels' count and a damaged carrier: the labels and the "
       "counts behind them are not read as titles",
       [&](const Database& db, Bytes& b) {
         wipe(b, db.start - 28, db.start + 4);
         b[labelsAt(db) + 1] = 1;
         b[db.carrierAt[0] + 6] = '\x40';
       },
       {1, 2, 3},
       [&](const Database& db) {
         return std::vector<size_t>{db.start - 28,    db.artistAt[0],  labelsAt(db),
                                    labelsAt(db) + 4, db.carrierAt[0], db.carrierAt[1]};
       },
       {"carrier 0 '': damaged"},
       {},
       0},
      {"a flipped header byte is reported and nothing else",
       [](const Database&, Bytes& b) { b[3] ^= 0x20; },
       {0, 1, 2, 3},
       [](const Database&) {
         return std::vector<size_t>{3, 4};
       },
       {}},
  };
  for (const std::string version : {"1.5", "2.0"}) {
    for (const auto& c : cases) {
      const Database db = makeDatabase(version, c.titles);
      const std::vector<std::string> expected = converted(db);
      std::string bytes = db.bytes;
      c.damage(db, bytes);
      writeFile(in, bytes);
      const RescueReport report = rescueRecordDatabase(version, in, out);
      const std::vector<std::string> carriers = storedCarriers(out, scratch);
      EXPECT_EQ(carriers.size(), c.kept.size()) << version << ": " << c.what;
      for (size_t i = 0; i < std::min(c.kept.size(), carriers.size()); ++i) {
        if (c.kept[i] >= 0) {
          EXPECT_EQ(carriers[i], expected[c.kept[i]]) << version << ": " << c.what << " " << i;
        }
      }
      std::vector<size_t> damaged;
      for (const RescueReport::Damage& d : report.damage) {
        damaged.push_back(static_cast<size_t>(d.begin));
        damaged.push_back(static_cast<size_t>(d.end));
      }
      EXPECT_EQ(damaged, c.damaged(db)) << version << ": " << c.what;
      std::vector<std::string> losses;
      for (const RescueReport::Loss& loss : report.losses) losses.push_back(lossLine(loss));
      EXPECT_EQ(losses, c.losses) << version << ": " << c.what;
      EXPECT_EQ(report.unresolved.size(), c.unresolved.empty() ? 0u : 1u) << version << ": " << c.what;
      for (const std::string& line : report.unresolved) EXPECT_TRUE(line.ends_with(c.unresolved)) << line;
    }
  }
}

// A damaged count must not hide where the next list starts: a label list's
// count and a first label id of 0 read as one more artist with an empty name.
TEST_F(Fixture, DamagedCountsKeepTheListsApart) {
  const std::string head = "[Application:Vosko.Type:SoundCarrier-Database]";
  const auto file = [&](int32_t artists, int32_t titles) {
    return head + le32(artists) + le32(1000) + str("Artist") + le32(1) + le32(0) + str("Label") +
           le32(titles) + le32(1) + le32(14) + str("Album") + le32(1000) + le32(0) + dbl(36000) +
           str("Notes") + str("CD");
  };
  const Database whole{"1.5", file(1, 0), {}, {}, {}, head.size()};
  const std::vector<std::string> expected = converted(whole);
  const size_t titlesAt = head.size() + 4 + 14 + 4 + 13;
  const struct {
    int32_t artists, titles;
    std::vector<RescueReport::Damage> damage;
  } cases[] = {
      {0, 0, {{46, 50}}},
      {3, 0, {{46, 50}}},
      {0, 65536, {{46, 50}, {int64_t(titlesAt), int64_t(titlesAt + 4)}}},
  };
  for (const auto& c : cases) {
    writeFile(in, file(c.artists, c.titles));
    const RescueReport report = rescueRecordDatabase("1.5", in, out);
    EXPECT_EQ(storedCarriers(out, scratch), expected) << c.artists << " " << c.titles;
    ASSERT_EQ(report.damage.size(), c.damage.size()) << c.artists << " " << c.titles;
    for (size_t i = 0; i < c.damage.size(); ++i) {
      EXPECT_EQ(report.damage[i].begin, c.damage[i].begin);
      EXPECT_EQ(report.damage[i].end, c.damage[i].end);
    }
    EXPECT_TRUE(report.losses.empty() && report.unresolved.empty());
  }
}

// Cut anywhere, the file gives the leading carriers of the whole one exactly
// (as the whole file with only those carriers converts), or nothing with OUT
// left as it was.
TEST_F(Fixture, EveryTruncationRescuesOnlyWholeCarriers) {
  for (const std::string version : {"1.5", "2.0"}) {
    const Database db = makeDatabase(version);
    std::vector<std::string> leading;  // the conversion with the first k carriers
    for (size_t k = 0; k < db.carrierAt.size(); ++k) {
      writeFile(in, db.bytes.substr(0, db.carrierAt[0] - 4) + le32(static_cast<int64_t>(k)) +
                        db.bytes.substr(db.carrierAt[0], db.carrierAt[k] - db.carrierAt[0]));
      ASSERT_TRUE(version == "1.5" ? convertBytes1_5(in, out) : convertBytes2_0(in, out));
      leading.push_back(readFile(out));
    }
    for (size_t size = 0; size < db.bytes.size(); ++size) {
      writeFile(in, db.bytes.substr(0, size));
      writeFile(out, "old");
      // The carriers whose records end within the size.
      const auto whole =
          std::upper_bound(db.carrierAt.begin() + 1, db.carrierAt.end(), size) - (db.carrierAt.begin() + 1);
      try {
        const RescueReport report = rescueRecordDatabase(version, in, out);
        // The header alone is an empty database.
        EXPECT_EQ(report.complete(), size == db.start) << version << " " << size;
        EXPECT_EQ(readFile(out), leading[static_cast<size_t>(whole)]) << version << " " << size;
      } catch (const IOException& e) {
        EXPECT_TRUE(size < db.carrierAt[1]) << version << " " << size << e.what();
        EXPECT_EQ(readFile(out), "old");
      }
    }
  }
}

}  // namespace
