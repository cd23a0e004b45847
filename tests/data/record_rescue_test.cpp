// The rescue of damaged 1.5 and 2.0 databases: what it reads around each kind
// of damage, what it reports, and that every carrier it writes is the one
// the conversion of the undamaged file writes.
#include "data/legacy/rescue/record_rescue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
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

Database makeDatabase(const std::string& version) {
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
  db.bytes += le32(8);
  for (int t = 0; t < 8; ++t) {
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
                le32(7 + c % 2) + dbl(36000 + c) + str("Notes " + std::to_string(c)) + str("CD");
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

TEST_F(Fixture, DamageIsSkippedAndReported) {
  for (const std::string version : {"1.5", "2.0"}) {
    const Database db = makeDatabase(version);
    const std::vector<std::string> expected = converted(db);
    const auto rescued = [&](const std::string& bytes, RescueReport& report) {
      writeFile(in, bytes);
      report = rescueRecordDatabase(version, in, out);
      return storedCarriers(out, scratch);
    };
    RescueReport report;

    // A title whose name length is damaged is lost; its carrier keeps the others.
    std::string bytes = db.bytes;
    bytes[db.titleAt[2] + 7] = '\x40';
    std::vector<std::string> carriers = rescued(bytes, report);
    ASSERT_EQ(report.damage.size(), 1u) << version;
    EXPECT_EQ(report.damage[0].begin, static_cast<int64_t>(db.titleAt[2]));
    EXPECT_EQ(report.damage[0].end, static_cast<int64_t>(db.titleAt[3]));
    ASSERT_EQ(report.losses.size(), 1u);
    EXPECT_EQ(report.losses[0].kind, Kind::kTitle);
    EXPECT_EQ(report.losses[0].offset, static_cast<int64_t>(db.titleAt[2]));
    EXPECT_EQ(report.losses[0].number, 2);
    EXPECT_EQ(report.losses[0].reason, "damaged");
    ASSERT_EQ(carriers.size(), 4u);
    EXPECT_EQ(report.titles, 8);
    for (int c : {0, 1, 3}) EXPECT_EQ(carriers[c], expected[c]) << version << " carrier " << c;
    EXPECT_NE(carriers[2], expected[2]);

    // A wiped run over a carrier loses it, the titles only on it with it.
    bytes = db.bytes;
    std::fill(bytes.begin() + static_cast<std::ptrdiff_t>(db.carrierAt[1]),
              bytes.begin() + static_cast<std::ptrdiff_t>(db.carrierAt[2]), '\0');
    carriers = rescued(bytes, report);
    ASSERT_EQ(report.damage.size(), 1u) << version;
    EXPECT_EQ(report.damage[0].begin, static_cast<int64_t>(db.carrierAt[1]));
    EXPECT_EQ(report.damage[0].end, static_cast<int64_t>(db.carrierAt[2]));
    ASSERT_EQ(report.losses.size(), 2u);
    EXPECT_EQ(report.losses[0].kind, Kind::kCarrier);
    EXPECT_EQ(report.losses[0].number, 1);
    EXPECT_EQ(report.losses[1].kind, Kind::kTitle);
    EXPECT_EQ(report.losses[1].name, "Song 1");
    EXPECT_EQ(report.losses[1].reason, "its carrier is lost");
    ASSERT_EQ(carriers.size(), 3u);
    EXPECT_EQ(carriers[0], expected[0]);
    EXPECT_EQ(carriers[1], expected[2]);
    EXPECT_EQ(carriers[2], expected[3]);

    // A file cut in its last carrier keeps the others.
    bytes = db.bytes.substr(0, db.carrierAt[3] + 20);
    carriers = rescued(bytes, report);
    ASSERT_EQ(report.losses.size(), 3u) << version;
    EXPECT_EQ(report.losses[0].reason, "cut off");
    EXPECT_EQ(report.losses[2].name, "Song 7");
    EXPECT_EQ(report.losses[2].reason, "its carrier is lost");
    EXPECT_EQ(report.losses[0].name, "Album 3");
    EXPECT_EQ(report.losses[0].number, 3);
    EXPECT_EQ(report.damage[0].begin, static_cast<int64_t>(db.carrierAt[3]));
    EXPECT_EQ(report.damage[0].end, static_cast<int64_t>(bytes.size()));
    ASSERT_EQ(carriers.size(), 3u);
    for (int c = 0; c < 3; ++c) EXPECT_EQ(carriers[c], expected[c]);

    // An artist lost with its record: who named it takes no artist.
    bytes = db.bytes;
    bytes[db.artistAt[1] + 5] = '\x7F';
    carriers = rescued(bytes, report);
    EXPECT_EQ(report.damage.size(), 1u) << version;
    EXPECT_TRUE(report.losses.empty());
    ASSERT_EQ(carriers.size(), 4u);
    if (version == "1.5") {
      EXPECT_EQ(report.unresolved,
                std::vector<std::string>{"carrier 'Album 1': artist #101 lost, none taken"});
    } else {
      EXPECT_EQ(report.unresolved.at(1), "title 'Song 1' (carrier 'Album 1'): artist #101 lost, none taken");
    }
    EXPECT_EQ(carriers[0], expected[0]);

    // A flipped header byte is reported and nothing else.
    bytes = db.bytes;
    bytes[3] ^= 0x20;
    carriers = rescued(bytes, report);
    ASSERT_EQ(report.damage.size(), 1u);
    EXPECT_EQ(report.damage[0].begin, 3);
    EXPECT_EQ(report.damage[0].end, 4);
    EXPECT_EQ(carriers, expected);
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
