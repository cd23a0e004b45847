#include "data/carrier_stream.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "data/sound_carrier.h"
#include "data/sound_carriers.h"
#include "data/title.h"
#include "data/toc_data.h"
#include "data/toc_list.h"
#include "data/toc_track.h"
#include "test_util.h"

namespace {

using testutil::readFile;
using testutil::TempDir;
using testutil::writeFile;

// The database read carrier by carrier and made into the model again: stored
// it must give the bytes the loaded model stores, or the stream says no.
bool streamStored(const std::string& path, const std::string& out, int64_t* trailing = nullptr) {
  CarrierStream in;
  StoredCarrier carrier;
  if (!in.open(path)) return false;
  TSoundCarriers database;
  for (int32_t i = 0; i < in.count(); ++i) {
    if (!in.next(carrier)) return false;
    database.add(makeCarrier(carrier).release());
  }
  if (!in.finished()) return false;
  if (trailing != nullptr) *trailing = in.trailingBytes();
  database.store(out);
  return true;
}

std::string loadedStored(const std::string& path, const std::string& out) {
  TSoundCarriers database;
  database.load(path);
  database.store(out);
  return readFile(out);
}

void addToc(TSoundCarrier& carrier, uint32_t discId, int tracks) {
  auto toc = std::make_unique<TTOCData>();
  toc->discId = discId;
  toc->leadOut->minutes = 70;
  toc->leadOut->isAudioTrack = false;
  for (int i = 0; i < tracks; ++i) {
    auto track = std::make_unique<TTOCTrack>();
    track->trackNumber = i + 1;
    track->seconds = i * 7;
    track->frames = -i;
    toc->add(track.release());
  }
  carrier.tocList->add(toc.release());
}

struct Case {
  const char* name;
  std::function<void(TSoundCarriers&)> fill;
};

const std::vector<Case> kCases = {
    {"empty", [](TSoundCarriers&) {}},
    {"fields and tables of contents",
     [](TSoundCarriers& db) {
       auto c = std::make_unique<TSoundCarrier>("N\xE4me \"<&>\"", "L", TSoundCarrier::kRecord);
       c->artist = "A";
       c->release = 36526.75;
       c->notes = "line\r\nline\x01";
       c->image = "i.png";
       addToc(*c, 0xDEADBEEF, 3);
       addToc(*c, 1, 0);
       c->add(std::make_unique<TTitle>("t", "u", "a"));
       db.add(c.release());
       db.add(new TSoundCarrier());
     }},
    {"titles without numbers on several discs",
     [](TSoundCarriers& db) {
       auto c = std::make_unique<TSoundCarrier>("N", "L", TSoundCarrier::kCompactDisc);
       for (int i = 0; i < 6; ++i) {
         auto t = std::make_unique<TTitle>("t" + std::to_string(i), "", "a");
         t->carrierIndex = i % 2;
         t->originalArtist = "o";
         t->contentType = TTitle::kRemix;
         t->film = "f";
         c->add(std::move(t));
       }
       // Stored without numbers, or with the largest: loading numbers them anew.
       c->getTitle(1)->track = -1;
       c->getTitle(2)->track = 2147483647;
       c->getTitle(4)->track = -1;
       c->getTitle(5)->track = -1;
       db.add(c.release());
     }},
};

class CarrierStreamTest : public ::testing::TestWithParam<Case> {};

TEST_P(CarrierStreamTest, GivesTheLoadedCarriers) {
  TempDir dir;
  TSoundCarriers database;
  GetParam().fill(database);
  database.store(dir.file("db"));
  ASSERT_TRUE(streamStored(dir.file("db"), dir.file("streamed")));
  EXPECT_EQ(readFile(dir.file("streamed")), loadedStored(dir.file("db"), dir.file("loaded")));
}

INSTANTIATE_TEST_SUITE_P(Databases, CarrierStreamTest, ::testing::ValuesIn(kCases), [](const auto& info) {
  std::string name = info.param.name;
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
  return name;
});

TEST(CarrierStreamForm, NeverFinishesACutFile) {
  TempDir dir;
  TSoundCarriers database;
  kCases[1].fill(database);
  database.store(dir.file("db"));
  const std::string bytes = readFile(dir.file("db"));
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    writeFile(dir.file("cut"), bytes.substr(0, cut));
    EXPECT_FALSE(streamStored(dir.file("cut"), dir.file("out"))) << cut;
  }
}

TEST(CarrierStreamForm, TellsTrailingBytesAndRefusesSlack) {
  TempDir dir;
  TSoundCarriers database;
  kCases[2].fill(database);
  database.store(dir.file("db"));
  const std::string bytes = readFile(dir.file("db"));

  writeFile(dir.file("trailing"), bytes + "xyz");
  int64_t trailing = 0;
  ASSERT_TRUE(streamStored(dir.file("trailing"), dir.file("out"), &trailing));
  EXPECT_EQ(trailing, 3);

  // Loading reads on from a title's fields whatever the title's block length
  // says; the stream leaves a file whose lengths disagree to the loaded model.
  using testutil::le32;
  using testutil::object;
  using testutil::str;
  const std::string empty = str("");
  const std::string title = str("t") + str("a") + empty + le32(0) + empty + empty + empty + le32(0);
  const std::string fields = empty + empty + empty + str("Compact Disc") + testutil::dbl(1) + empty +
                             str("Album") + empty + empty + object("TTOCList", le32(0)) + le32(1);
  // The first carrier's title claims a byte of the second carrier.
  const std::string first = fields + str("TTitle") + le32(static_cast<int64_t>(title.size()) + 1) + title;
  const std::string second = fields + object("TTitle", title);
  writeFile(dir.file("slack"),
            TSoundCarrier::kFileHeader +
                testutil::block(le32(2) + object("TSoundCarrier", first) + object("TSoundCarrier", second)));
  EXPECT_FALSE(streamStored(dir.file("slack"), dir.file("out")));
  EXPECT_NO_THROW(loadedStored(dir.file("slack"), dir.file("loaded")));
}

}  // namespace
