// What the voskodb tests share: the programs' paths, runs with a settings
// store of their own, report lines without their time stamps, and the files
// of every kind that the tests write with the library's own classes.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "data/artist_relations.h"
#include "data/sound_carriers.h"
#include "data/toc_data.h"
#include "data/toc_track.h"
#include "debug/debug_entries.h"
#include "debug/error_entry.h"
#include "debug/trace_entry.h"
#include "test_util.h"

namespace vdbtest {

const std::string kVoskodb = std::string(VOSKO_BINARY_DIR) + "/voskodb";
const std::string kConverter = std::string(VOSKO_BINARY_DIR) + "/convertVOSKO";
const std::string kLister = std::string(VOSKO_BINARY_DIR) + "/vosko_list";
const std::string kSamples = std::string(VOSKO_SOURCE_DIR) + "/samples";
const std::vector<std::string> kOldVersions = {"1.5", "2.0", "2.5", "2.5.3", "2.5.5"};

inline std::string sample(const std::string& version) { return kSamples + "/sample-" + version + ".vsk"; }

// Lines of a program's output; a report's time stamp ("dd.mm.yyyy hh:mm:ss.mmm ") is cut off.
inline std::vector<std::string> lines(const std::string& out) {
  static const std::string kStampShape = "00.00.0000 00:00:00.000 ";
  auto isStamped = [](const std::string& line) {
    if (line.size() < kStampShape.size()) return false;
    for (size_t i = 0; i < kStampShape.size(); ++i) {
      bool digit = line[i] >= '0' && line[i] <= '9';
      if (kStampShape[i] == '0' ? !digit : line[i] != kStampShape[i]) return false;
    }
    return true;
  };
  std::vector<std::string> result;
  std::istringstream in(out);
  for (std::string line; std::getline(in, line);) {
    result.push_back(isStamped(line) ? line.substr(kStampShape.size()) : line);
  }
  return result;
}

// The first line of the report, e.g. "vosko: FATAL ERROR: voskodb: ...".
inline std::string reportLine(const std::string& out) {
  for (const std::string& line : lines(out)) {
    if (line.find("FATAL ERROR: ") != std::string::npos) return line;
  }
  return "";
}

class VoskodbTest : public testing::Test {
 protected:
  void SetUp() override {
    // The 1.5 and 2.0 readers read and write the settings; each run gets a
    // store of its own so that no run sees what an earlier one left.
    oldRegistry_ = getenv("VOSKO_REGISTRY") ? getenv("VOSKO_REGISTRY") : "";
  }
  void TearDown() override {
    if (oldRegistry_.empty())
      unsetenv("VOSKO_REGISTRY");
    else
      setenv("VOSKO_REGISTRY", oldRegistry_.c_str(), 1);
  }

  testutil::RunResult run(const std::string& program, const std::vector<std::string>& args,
                          const std::string& workDir = "") {
    setenv("VOSKO_REGISTRY", dir_.file("settings-" + std::to_string(++runs_) + ".reg").c_str(), 1);
    return testutil::run(program, args, workDir);
  }
  testutil::RunResult voskodb(const std::vector<std::string>& args) { return run(kVoskodb, args); }

  // The converted sample of that version, written once per test.
  std::string converted(const std::string& version) {
    std::string out = dir_.file("converted-" + version + ".vsk");
    if (!testutil::exists(out)) {
      testutil::RunResult r = run(kConverter, {version, sample(version), out});
      EXPECT_EQ(0, r.exitCode) << r.out;
    }
    return out;
  }

  // A 2.5.7 database with a time of day in a release, a table of contents,
  // Windows-1252 text and a record with two sides.
  std::string writeDatabase(const std::string& name, double release = 34096.563736497) {
    TSoundCarriers database;
    auto carrier =
        std::make_unique<TSoundCarrier>("Die Bestie in Menschengestalt", "Metronome", "Compact Disc");
    carrier->artist = "Die \xC4rzte";
    carrier->release = release;
    carrier->notes = "Erste Zeile\r\nZweite Zeile";
    auto toc = std::make_unique<TTOCData>();
    toc->discId = 0x12345678;
    auto track = std::make_unique<TTOCTrack>();
    track->minutes = 3;
    track->seconds = 59;
    toc->add(track.release());
    carrier->tocList->add(toc.release());
    carrier->add(new TTitle("Schrei nach Liebe", "http://example.org/schrei", "Die \xC4rzte"));
    carrier->add(
        new TTitle("Gr\xF6\xDF"
                   "enwahn",
                   "", "Die \xC4rzte"));
    database.add(carrier.release());
    auto record = std::make_unique<TSoundCarrier>("Split-Single", "Weserlabel", "Schallplatte");
    record->release = release;
    auto side = std::make_unique<TTitle>("Gewalt", "", "Slime");
    side->carrierIndex = 1;
    record->add(side.release());
    database.add(record.release());
    std::string path = dir_.file(name);
    database.store(path);
    return path;
  }

  // Two relations, one symmetric.
  std::string writeRelations(const std::string& name) {
    TArtistRelations relations;
    relations.getRelation("Bands")->getRelatedArtists("Slime")->add("Razzia");
    relations.getRelation("Bands")->getRelatedArtists("Slime")->add("Die \xC4rzte");
    TArtistRelation* remixes = relations.getRelation("Remixes");
    remixes->symmetric = true;
    remixes->getRelatedArtists("Kreidler")->add("Kraftwerk");
    remixes->getRelatedArtists("Nena");
    std::string path = dir_.file(name);
    relations.store(path);
    return path;
  }

  // A trace and an error entry at 09.12.2025 12:00:00.000.
  std::string writeDebugEntries(const std::string& name) {
    TDebugEntries entries;
    entries.add(
        new TTraceEntry("Konvertiere Gr\xF6\xDF"
                        "e",
                        46000.5, 46000.5, 5, 3, "vosko"));
    entries.add(new TErrorEntry("Datei fehlt.", 46000.5, 46000.5, 3, "vosko",
                                "convertVosko.exe: Datei fehlt.", 1, "", "IOException"));
    std::string path = dir_.file(name);
    entries.store(path);
    return path;
  }

  std::string write(const std::string& name, const std::string& bytes) {
    testutil::writeFile(dir_.file(name), bytes);
    return dir_.file(name);
  }

  testutil::TempDir dir_;

 private:
  std::string oldRegistry_;
  int runs_ = 0;
};

}  // namespace vdbtest
