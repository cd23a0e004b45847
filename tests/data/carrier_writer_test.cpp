// The carrier writer against the store of a whole database: the same bytes
// for the same carriers, titles numbered as add() numbers them, and calls out
// of turn refused without leaving a file; a consumer of its carriers sees
// what reading the written file gives, each carrier once.
#include "data/carrier_writer.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "basis/exceptions.h"
#include "data/carrier_stream.h"
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

// Every field of a carrier as one text, to compare carriers held apart.
std::string shown(const StoredCarrier& c) {
  std::string s;
  for (std::string_view text :
       {c.name, c.label, c.artist, c.type, c.notes, c.contentType, c.image, c.printImage})
    s.append(text).append("|");
  s += std::to_string(c.release) + "|";
  for (int32_t i = 0; i < c.tocCount; ++i) {
    const StoredToc& toc = c.tocs[static_cast<size_t>(i)];
    s += "toc " + std::to_string(toc.discId) + " lead-out " + std::to_string(toc.leadOut.trackNumber);
    for (const StoredTocTrack& t : toc.tracks)
      s += " " + std::to_string(t.trackNumber) + ":" + std::to_string(t.minutes) +
           (t.isAudioTrack ? "a" : "d");
    s += "|";
  }
  for (const StoredTitle& t : c.titles) {
    s += "\n  ";
    for (std::string_view text : {t.name, t.artist, t.url, t.contentType, t.originalArtist, t.film})
      s.append(text).append("|");
    s += std::to_string(t.carrierIndex) + "." + std::to_string(t.track);
  }
  return s + "\n";
}

// The writer's calls for one database: carriers built through its carrier
// and titles, and carriers written whole, whose tables number their tracks
// oddly and whose titles come without numbers.
void writeAwkwardCarriers(TCarrierWriter& out) {
  for (const CarrierShape& shape :
       {CarrierShape{"Doppel", "Sampler", {{"a", -1, 1}, {"b", 7, 0}, {"c", -1, 1}}},
        CarrierShape{"leer", "Split", {}}}) {
    fillCarrier(out.carrier(), shape);
    out.beginCarrier(static_cast<int32_t>(shape.titles.size()));
    for (const TitleShape& t : shape.titles) {
      fillTitle(out.title(), t);
      out.addTitle();
    }
    out.endCarrier();
  }
  StoredCarrier whole;
  whole.name = "Ganz";
  whole.release = -1.5;
  whole.tocs = {{0xFFFFFFFF, {1, 2, 3, 99, false}, {{0, 2, 0, 7, true}, {4, 0, 0, 3, false}}}, {}};
  whole.tocCount = 1;
  whole.titles = {{"x", "A", "", -1, "Original", "", "", 0},
                  {"y", "B", "", 4, "Cover", "O", "F", 1},
                  {"z", "C", "", -1, "", "", "", 0},
                  {"w", "D", "", -1, "", "", "", 1}};
  out.write(whole);
  out.carrier().release = 2;
  out.beginCarrier(1);
  out.addTitle("nur Text", "", "");
  out.endCarrier();
}

TEST(CarrierWriterTest, AConsumerSeesWhatReadingTheWrittenFileGives) {
  testutil::TempDir dir;
  for (const bool counted : {true, false}) {
    SCOPED_TRACE(counted);
    const std::string path = dir.file(counted ? "counted.vsk" : "open.vsk");
    std::string consumed;
    const CarrierTarget consumer([&](const StoredCarrier& c) { consumed += shown(c); });
    for (const CarrierTarget* target : {static_cast<const CarrierTarget*>(nullptr), &consumer}) {
      std::unique_ptr<TCarrierWriter> out;
      if (target == nullptr)
        out = counted ? std::make_unique<TCarrierWriter>(path, 4) : std::make_unique<TCarrierWriter>(path);
      else
        out = counted ? std::make_unique<TCarrierWriter>(*target, 4)
                      : std::make_unique<TCarrierWriter>(*target);
      writeAwkwardCarriers(*out);
      out->close();
    }
    std::string read;
    CarrierStream in;
    StoredCarrier c;
    ASSERT_TRUE(in.open(path));
    for (int32_t i = 0; i < in.count(); ++i) {
      ASSERT_TRUE(in.next(c));
      read += shown(c);
    }
    EXPECT_TRUE(in.finished());
    EXPECT_EQ(read, consumed);
    EXPECT_EQ(4, consumer.handed());
  }
}

TEST(CarrierWriterTest, AWayStartedAgainHandsOnlyTheCarriersNotYetHanded) {
  std::vector<std::string> names;
  const CarrierTarget target([&](const StoredCarrier& c) { names.emplace_back(c.name); });
  for (int32_t carriers : {2, 3}) {
    TCarrierWriter out(target, carriers);
    for (int32_t i = 0; i < carriers; ++i) {
      out.carrier().name = std::to_string(i);
      out.beginCarrier(0);
      out.endCarrier();
    }
    out.close();
  }
  EXPECT_EQ((std::vector<std::string>{"0", "1", "2"}), names);
  // A way that ends before the carriers already handed meets a file that changed.
  TCarrierWriter fewer(target, 1);
  fewer.beginCarrier(0);
  fewer.endCarrier();
  EXPECT_THROW(fewer.close(), IOException);
}

TEST(CarrierWriterTest, WhatTheConsumerRaisesIsRaisedAndMarked) {
  int calls = 0;
  const CarrierTarget target([&](const StoredCarrier&) {
    if (++calls == 2) throw IllegalArgumentException("closed");
  });
  TCarrierWriter out(target, 3);
  out.beginCarrier(0);
  out.endCarrier();
  EXPECT_FALSE(target.consumerFailed());
  out.beginCarrier(0);
  EXPECT_THROW(out.endCarrier(), IllegalArgumentException);
  EXPECT_TRUE(target.consumerFailed());
  EXPECT_EQ(1, target.handed());
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
  const CarrierTarget consumer([](const StoredCarrier&) {});
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string path = dir.file("out.vsk");
    for (const CarrierTarget& target : {CarrierTarget(path), consumer}) {
      try {
        TCarrierWriter out(target, 1);
        c.calls(out);
        ADD_FAILURE() << "no exception";
      } catch (const IllegalStateException& e) {
        EXPECT_STREQ(e.what(), c.message);
      }
    }
    EXPECT_FALSE(testutil::exists(path));
  }
}

}  // namespace
