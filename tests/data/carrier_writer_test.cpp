// The carrier writer against the store of a whole database: the same bytes
// for the same carriers, titles numbered as add() numbers them, and calls out
// of turn refused without leaving a file.
#include "data/carrier_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "basis/exceptions.h"
#include "data/sound_carriers.h"
#include "test_util.h"

namespace {

struct TitleShape {
  std::string name;
  int32_t track;
  int32_t disc;
};

struct CarrierShape {
  std::string name;
  std::string contentType;
  std::vector<TitleShape> titles;
};

void fillTitle(TTitle& t, const TitleShape& shape) {
  t.name = shape.name;
  t.artist = "Die \xC4rzte";
  t.setContentType("Remix");
  t.setOriginalArtist(" Orig ");
  t.track = shape.track;
  t.carrierIndex = shape.disc;
}

void fillCarrier(TSoundCarrier& c, const CarrierShape& shape) {
  c.name = shape.name;
  c.label = "Metronome";
  c.artist = "Die \xC4rzte";
  c.release = 34096.5625;
  c.notes = "eins\r\nzwei";
  c.setContentType(shape.contentType);
}

TEST(CarrierWriterTest, WritesWhatTheStoreOfTheWholeDatabaseWrites) {
  const std::vector<CarrierShape> carriers = {
      {"Bestie", "Album", {{"a", -1, 0}, {"b", -1, 0}, {"c", 5, 0}, {"d", -1, 0}}},
      {"leer", "Split", {}},
      {"Doppel", "Sampler", {{"a", -1, 1}, {"b", -1, 0}, {"c", -1, 1}, {"d", -2, 2}, {"e", -1, 2}}},
  };
  testutil::TempDir dir;
  TSoundCarriers whole;
  for (const CarrierShape& shape : carriers) {
    auto c = std::make_unique<TSoundCarrier>();
    fillCarrier(*c, shape);
    for (const TitleShape& t : shape.titles) {
      auto title = std::make_unique<TTitle>();
      fillTitle(*title, t);
      c->add(std::move(title));
    }
    whole.add(std::move(c));
  }
  // And one whose titles are written from their texts alone.
  auto c = std::make_unique<TSoundCarrier>();
  fillCarrier(*c, {"Texte", "Album", {}});
  c->add(std::make_unique<TTitle>("eins", "http://u", "Die \xC4rzte"));
  c->add(std::make_unique<TTitle>("", "", ""));
  whole.add(std::move(c));
  whole.store(dir.file("whole.vsk"));

  TCarrierWriter out(dir.file("streamed.vsk"), static_cast<int32_t>(carriers.size()) + 1);
  for (const CarrierShape& shape : carriers) {
    fillCarrier(out.carrier(), shape);
    out.carrier().release = 34096.5625;
    out.beginCarrier(static_cast<int32_t>(shape.titles.size()));
    for (const TitleShape& t : shape.titles) {
      fillTitle(out.title(), t);
      out.addTitle();
    }
    out.endCarrier();
  }
  fillCarrier(out.carrier(), {"Texte", "Album", {}});
  out.carrier().release = 34096.5625;
  out.beginCarrier(2);
  out.addTitle("eins", "http://u", "Die \xC4rzte");
  out.addTitle("", "", "");
  out.endCarrier();
  out.close();
  EXPECT_EQ(testutil::hex(testutil::readFile(dir.file("streamed.vsk"))),
            testutil::hex(testutil::readFile(dir.file("whole.vsk"))));
}

TEST(CarrierWriterTest, CountPutInPlaceAtCloseIsTheOneAnnounced) {
  // 5000 carriers are more than the file holds back: their count goes to the disk afterwards.
  for (int32_t carriers : {0, 1, 5000}) {
    SCOPED_TRACE(carriers);
    testutil::TempDir dir;
    for (const char* name : {"announced.vsk", "counted.vsk"}) {
      auto out = name[0] == 'a' ? std::make_unique<TCarrierWriter>(dir.file(name), carriers)
                                : std::make_unique<TCarrierWriter>(dir.file(name));
      for (int32_t i = 0; i < carriers; ++i) {
        fillCarrier(out->carrier(), {std::string(100, 'x'), "Album", {}});
        out->carrier().release = i;
        out->beginCarrier(0);
        out->endCarrier();
      }
      out->close();
    }
    EXPECT_EQ(testutil::readFile(dir.file("counted.vsk")), testutil::readFile(dir.file("announced.vsk")));
  }
}

TEST(CarrierWriterTest, CallsOutOfTurnLeaveNoFile) {
  struct Case {
    const char* what;
    std::function<void(TCarrierWriter&)> calls;
    const char* message;
  };
  const Case cases[] = {
      {"a title too many",
       [](TCarrierWriter& w) {
         w.beginCarrier(0);
         w.addTitle();
       },
       "TCarrierWriter.addTitle: title out of turn."},
      {"a title missing",
       [](TCarrierWriter& w) {
         w.beginCarrier(1);
         w.endCarrier();
       },
       "TCarrierWriter.endCarrier: titles missing."},
      {"a carrier too many",
       [](TCarrierWriter& w) {
         w.beginCarrier(0);
         w.endCarrier();
         w.beginCarrier(0);
       },
       "TCarrierWriter.beginCarrier: carrier out of turn."},
      {"a carrier missing", [](TCarrierWriter& w) { w.close(); }, "TCarrierWriter.close: carriers missing."},
  };
  testutil::TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.file("out.vsk");
    try {
      TCarrierWriter out(path, 1);
      c.calls(out);
      ADD_FAILURE() << "no exception";
    } catch (const IllegalStateException& e) {
      EXPECT_STREQ(e.what(), c.message);
    }
    EXPECT_FALSE(testutil::exists(path));
  }
}

}  // namespace
