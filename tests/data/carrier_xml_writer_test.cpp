// The streamed export against storeXML of the loaded database: the same bytes
// for every database, and nothing written for what the stream declines.
#include "data/carrier_xml_writer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <functional>
#include <stdexcept>

#include "data/sound_carriers.h"
#include "fault_loop.h"
#include "test_util.h"

namespace {

using testutil::readFile;

// Every byte XML holds (model_xml_test.cpp has those it does not).
const std::string kEveryByte = [] {
  std::string s = "\r\n\n<&>'\"";
  for (int b = 255; b >= 0; --b) {
    if (b >= 0x20 || b == '\t' || b == '\n' || b == '\r') s += static_cast<char>(b);
  }
  return s;
}();

// A carrier whose every text is `text`, with titles (track, disc) of the same
// texts and, when `toc` is given, a table of contents whose tracks are stored
// with those numbers (the lead-out's first), whatever their place.
void add(TSoundCarriers& db, const std::string& text, double release,
         const std::vector<std::pair<int32_t, int32_t>>& titles = {}, const std::vector<int32_t>& toc = {}) {
  auto* c = new TSoundCarrier(text, text, text);
  db.add(c);
  c->artist = c->notes = c->contentType = c->image = c->printImage = text;
  c->release = release;
  for (auto [track, disc] : titles) {
    auto* t = new TTitle(text, text, text);
    c->add(t);
    t->contentType = t->originalArtist = t->film = text;
    t->track = track;
    t->carrierIndex = disc;
  }
  if (toc.empty()) return;
  auto* data = new TTOCData();
  c->tocList->add(data);
  data->discId = 0xFFFFFFFFu;
  data->leadOut->trackNumber = toc[0];
  for (size_t i = 1; i < toc.size(); ++i) {
    auto* track = new TTOCTrack();
    data->add(track);
    track->minutes = track->trackNumber = toc[i];
    track->isAudioTrack = i % 2 == 0;
  }
}

const std::vector<std::pair<const char*, std::function<void(TSoundCarriers&)>>> kDatabases = {
    {"empty", [](TSoundCarriers&) {}},
    {"every byte, empty texts",
     [](TSoundCarriers& db) {
       add(db, kEveryByte, 36000.75, {{3, 0}});
       add(db, "", 0, {{-1, 0}});
     }},
    {"tables of contents",
     [](TSoundCarriers& db) {
       add(db, "c", 1, {}, {99, 7, INT32_MIN, INT32_MAX, -1});
       add(db, "d", 1);
     }},
    {"titles on several discs",
     [](TSoundCarriers& db) {
       add(db, "c", 1,
           {{-1, 0}, {5, 0}, {-1, 1}, {INT32_MAX, 1}, {-1, 1}, {-7, 0}, {INT32_MIN, -2}, {-1, -2}});
     }},
    {"releases",
     [](TSoundCarriers& db) {
       for (double r :
            {-1.25, -0.5, 1.0 - 1e-12, 2958465.9999999, 3.1e6, -1e300, 4.9e-324, std::nan(""), HUGE_VAL}) {
         add(db, "r", r);
       }
     }},
    {"more than the buffer holds",
     [](TSoundCarriers& db) {
       add(db, std::string(600000, '&'), 1);
       for (int i = 0; i < 2000; ++i) add(db, kEveryByte, i, {{-1, i}});
     }},
};

TEST(CarrierXmlWriterTest, WritesWhatStoreXmlWritesOfTheLoadedDatabase) {
  for (const auto& [name, fill] : kDatabases) {
    testutil::TempDir dir;
    TSoundCarriers stored;
    fill(stored);
    stored.store(dir.file("db"));
    TSoundCarriers loaded;
    loaded.load(dir.file("db"));
    loaded.storeXML(dir.file("loaded.xml"));
    EXPECT_TRUE(exportXmlStreaming(dir.file("db"), dir.file("streamed.xml"))) << name;
    EXPECT_EQ(readFile(dir.file("streamed.xml")), readFile(dir.file("loaded.xml"))) << name;
  }
}

TEST(CarrierXmlWriterTest, DeclinedOrFailedExportLeavesTheTargetAsItWas) {
  testutil::TempDir dir;
  TSoundCarriers db;
  kDatabases[3].second(db);
  db.store(dir.file("db"));
  const std::string bytes = readFile(dir.file("db"));
  testutil::writeFile(dir.file("out.xml"), "old");
  const std::vector<std::string> entries = dir.entries();
  // Every cut of the file, and a database's block one byte longer than its carriers.
  for (size_t size = 0; size <= bytes.size(); ++size) {
    std::string damaged = bytes.substr(0, size);
    if (size == bytes.size()) ++damaged[std::string_view(TSoundCarrier::kFileHeader).size()], damaged += 'x';
    testutil::writeFile(dir.file("db"), damaged);
    EXPECT_FALSE(exportXmlStreaming(dir.file("db"), dir.file("out.xml"))) << size;
    EXPECT_EQ(readFile(dir.file("out.xml")), "old") << size;
    EXPECT_EQ(dir.entries(), entries) << size;
  }
  testutil::writeFile(dir.file("db"), bytes);
  chmod(dir.file("out.xml").c_str(), 0444);
  EXPECT_FALSE(exportXmlStreaming(dir.file("db"), dir.file("out.xml")));
  EXPECT_EQ(dir.entries(), entries);
  chmod(dir.file("out.xml").c_str(), 0644);
  testutil::expectOldOrNewUnderFaults(
      dir, dir.file("out.xml"), [&] { testutil::writeFile(dir.file("out.xml"), "old"); },
      [&] {
        if (!exportXmlStreaming(dir.file("db"), dir.file("out.xml"))) throw std::runtime_error("declined");
      });
}

}  // namespace
