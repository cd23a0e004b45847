// The rules of a carrier and its titles: numbering on add and remove,
// content types and artists, and the display texts.
#include "data/sound_carrier.h"

#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "basis/exceptions.h"
#include "basis/expect_message.h"
#include "data/title.h"
#include "model_test_util.h"
#include "platform/clock.h"

namespace {

// Adds a new title and returns it (owned by the carrier).
TTitle* addTitle(TSoundCarrier& carrier, const std::string& artist, int32_t carrierIndex = 0,
                 int32_t track = -1) {
  auto title = std::make_unique<TTitle>("t", "", artist);
  title->carrierIndex = carrierIndex;
  title->track = track;
  TTitle* raw = title.get();
  carrier.add(title.release());
  return raw;
}

std::vector<int32_t> tracksOf(const TSoundCarrier& carrier) {
  std::vector<int32_t> tracks;
  for (int32_t i = 0; i < carrier.size(); ++i) tracks.push_back(carrier.getTitle(i)->track);
  return tracks;
}

TEST(SoundCarrierTest, DefaultsAfterInitialize) {
  const double before = platform::now();
  TSoundCarrier carrier("Name", "Label", "Schallplatte");
  EXPECT_EQ(carrier.name, "Name");
  EXPECT_EQ(carrier.label, "Label");
  EXPECT_EQ(carrier.type, "Schallplatte");
  EXPECT_EQ(carrier.contentType, "Album");
  EXPECT_GE(carrier.release, before);
  ASSERT_TRUE(carrier.tocList);
  EXPECT_TRUE(carrier.getOwnsObjects());
  EXPECT_EQ(carrier.fileHeader(), "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]");
  EXPECT_EQ(carrier.fileHeader().size(), 60u);
  TSoundCarrier plain;
  EXPECT_EQ(plain.type, "Compact Disc");

  TTitle title("Song", "http://x");
  EXPECT_EQ(title.track, -1);
  EXPECT_EQ(title.contentType, "Original");
  EXPECT_EQ(title.carrier, nullptr);
  EXPECT_EQ(title.fileHeader(), carrier.fileHeader());
}

TEST(SoundCarrierTest, InitializeKeepsTocListAndTitles) {
  TSoundCarrier carrier("Name", "Label", "Audiokassette");
  TTOCList* tocs = carrier.tocList.get();
  tocs->add(new TTOCData());
  addTitle(carrier, "A");
  carrier.initialize();
  EXPECT_EQ(carrier.name, "");
  EXPECT_EQ(carrier.type, "Compact Disc");
  EXPECT_EQ(carrier.tocList.get(), tocs);
  EXPECT_EQ(carrier.tocList->size(), 1);
  EXPECT_EQ(carrier.size(), 1);
}

TEST(SoundCarrierTest, AddLinksTitleAndNumbersAfterHighestOfItsDisc) {
  TSoundCarrier carrier;
  TTitle* five = addTitle(carrier, "A", 0, 5);
  TTitle* next = addTitle(carrier, "A", 0);
  TTitle* otherDisc = addTitle(carrier, "A", 1);
  TTitle* again = addTitle(carrier, "A", 0, 5);  // a taken number is kept
  EXPECT_EQ(five->track, 5);
  EXPECT_EQ(next->track, 6);
  EXPECT_EQ(otherDisc->track, 0);
  EXPECT_EQ(again->track, 5);
  EXPECT_EQ(next->carrier, &carrier);
  EXPECT_EQ(carrier.getLastTrack(0), 6);
  EXPECT_EQ(carrier.getLastTrack(1), 0);
  EXPECT_EQ(carrier.getLastTrack(2), -1);
  EXPECT_EQ(carrier.add(new TTitle()), 4);
  EXPECT_EQ(carrier.getTitle(4)->track, 7);
}

TEST(SoundCarrierTest, HighestTrackStaysTheWalkOverTheTitlesWhateverChangesThem) {
  TSoundCarrier carrier;
  auto walk = [&](int32_t disc) {
    int32_t last = -1;
    for (int32_t i = 0; i < carrier.size(); ++i) {
      const TTitle* t = carrier.getTitle(i);
      if (t->carrierIndex == disc && t->track > last) last = t->track;
    }
    return last;
  };
  TTitle* kept = addTitle(carrier, "a");
  const std::vector<std::pair<const char*, std::function<void()>>> steps = {
      {"numbered adds",
       [&] {
         for (int i = 0; i < 3; ++i) addTitle(carrier, "a");
       }},
      {"a track raised", [&] { kept->track = 40; }},
      {"a track lowered", [&] { kept->track = 0; }},
      {"a title moved to another disc", [&] { kept->carrierIndex = 2; }},
      {"a title re-initialized", [&] { carrier.getTitle(3)->initialize(); }},
      {"a removal", [&] { carrier.remove(1); }},
      {"an append past add",
       [&] {
         auto t = std::make_unique<TTitle>();
         t->track = 90;
         carrier.append(std::move(t));
       }},
      {"the last title removed", [&] { carrier.remove(carrier.size() - 1); }},
      {"a title added with its own number", [&] { addTitle(carrier, "a", 0, 70); }},
      {"a number below -1", [&] { addTitle(carrier, "a", 1, -5); }},
      {"cleared", [&] { carrier.clear(); }},
  };
  for (const auto& [what, step] : steps) {
    step();
    for (int32_t disc : {0, 1, 2})
      EXPECT_EQ(carrier.getLastTrack(disc), walk(disc)) << what << ", disc " << disc;
    // A numbered add after every change, which must follow the walk too.
    const int32_t expected = walk(0) + 1;
    EXPECT_EQ(addTitle(carrier, "a")->track, expected) << what;
  }
}

TEST(SoundCarrierTest, AddOfSomethingElseFails) {
  TSoundCarrier carrier;
  TSoundCarrier notATitle;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { carrier.add(&notATitle); }),
            "TSoundCarrier.add: Object is no title.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { carrier.add(nullptr); }),
            "TSoundCarrier.add: Object is no title.");
  TSoundCarriers database;
  TTitle notACarrier;
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { database.add(&notACarrier); }),
            "TSoundCarriers.add: Object is no carrier.");
  EXPECT_EQ(messageOf<IllegalArgumentException>([&] { database.add(nullptr); }),
            "TSoundCarriers.add: Object is no carrier.");
  EXPECT_EQ(carrier.size(), 0);
  EXPECT_EQ(database.size(), 0);
}

TEST(SoundCarrierTest, RemovingFirstTitleRenumbersTheRestOfItsDisc) {
  TSoundCarrier carrier;
  for (int i = 0; i < 3; ++i) addTitle(carrier, "A");
  carrier.remove(0);
  EXPECT_EQ(tracksOf(carrier), (std::vector<int32_t>{0, 1}));
}

TEST(SoundCarrierTest, RemovalClosesTheGapOnlyUpToTheNextDisc) {
  TSoundCarrier carrier;
  addTitle(carrier, "A", 0);  // 0
  addTitle(carrier, "A", 0);  // 1
  addTitle(carrier, "A", 0);  // 2
  addTitle(carrier, "A", 1);  // 0 of disc 1
  addTitle(carrier, "A", 0);  // 3, behind a title of disc 1
  carrier.remove(1);
  EXPECT_EQ(tracksOf(carrier), (std::vector<int32_t>{0, 1, 0, 3}));
  // Removing through the object renumbers as well.
  TTitle* first = carrier.getTitle(0);
  EXPECT_TRUE(carrier.remove(first));
  EXPECT_EQ(tracksOf(carrier), (std::vector<int32_t>{0, 0, 3}));
  EXPECT_THROW(carrier.remove(7), EListError);
  EXPECT_EQ(carrier.size(), 3);
}

// A file may hold any 32-bit track number; numbering past the ends of the
// range wraps as the stored number does instead of overflowing.
TEST(SoundCarrierTest, NumberingAtTheEndsOfTheTrackRangeDoesNotOverflow) {
  TSoundCarrier carrier;
  addTitle(carrier, "A", 0, std::numeric_limits<int32_t>::max());
  TTitle* next = addTitle(carrier, "A", 0);
  EXPECT_EQ(next->track, std::numeric_limits<int32_t>::min());
  carrier.remove(0);
  EXPECT_EQ(next->track, std::numeric_limits<int32_t>::max());
}

TEST(SoundCarrierTest, SplitArtistSkipsEmptyAndContainedNamesInAnyCase) {
  TSoundCarrier carrier;
  carrier.contentType = "Split";
  addTitle(carrier, "The Band");
  addTitle(carrier, "");
  addTitle(carrier, "band");  // inside "The Band" in another case
  addTitle(carrier, "Other");
  addTitle(carrier, "THE BAND");
  EXPECT_EQ(carrier.assembleSplitArtist(), "The Band Other ");
  EXPECT_EQ(carrier.artist, "");  // assembling does not change the carrier
}

TEST(SoundCarrierTest, AssemblingForAnotherContentTypeFails) {
  TSoundCarrier carrier;
  EXPECT_EQ(messageOf<IllegalStateException>([&] { carrier.assembleSplitArtist(); }),
            "TSoundCarrier.assembleSplitArtist: Attempt to assemble artist for non split typ: Album");
  carrier.contentType = "split";  // compared case-sensitively
  EXPECT_THROW(carrier.assembleSplitArtist(), IllegalStateException);
}

TEST(SoundCarrierTest, ContentTypeSetsTheArtist) {
  TSoundCarrier empty;
  empty.artist = "Someone";
  empty.setContentType("Split");
  EXPECT_EQ(empty.artist, "");
  EXPECT_EQ(empty.contentType, "Split");

  TSoundCarrier sampler;
  sampler.artist = "Someone";
  sampler.setContentType("Sampler");
  EXPECT_EQ(sampler.artist, "<Sampler>");

  TSoundCarrier album;
  album.artist = "Someone";
  album.setContentType("Whatever");
  EXPECT_EQ(album.artist, "Someone");
  EXPECT_EQ(album.contentType, "Whatever");
}

TEST(SoundCarrierTest, GetArtistAdjustsMixedAndSplitCarriers) {
  TSoundCarrier same;
  same.artist = "A";
  addTitle(same, "A");
  EXPECT_FALSE(same.hasMixedArtists());
  EXPECT_EQ(same.getArtist(), "A");

  TSoundCarrier mixed;
  mixed.artist = "A";
  addTitle(mixed, "A");
  addTitle(mixed, "a");  // byte for byte
  EXPECT_TRUE(mixed.hasMixedArtists());
  EXPECT_EQ(mixed.getArtist(), "<Sampler>");
  EXPECT_EQ(mixed.artist, "<Sampler>");

  TSoundCarrier split;
  split.contentType = "Split";
  addTitle(split, "A");
  addTitle(split, "B");
  EXPECT_EQ(split.getArtist(), "A B ");
  EXPECT_EQ(split.artist, "A B ");

  TSoundCarrier none;
  none.artist = "X";
  EXPECT_FALSE(none.hasMixedArtists());
  EXPECT_EQ(none.getArtist(), "X");
}

TEST(SoundCarrierTest, TitleContentTypeAndOriginalArtist) {
  TTitle title("Song", "", "A");
  title.setOriginalArtist(" \t \r\n ");
  EXPECT_EQ(title.contentType, "Original");
  EXPECT_EQ(title.originalArtist, "");
  title.setOriginalArtist("\x01 Someone Else  ");
  EXPECT_EQ(title.contentType, "Remix");
  EXPECT_EQ(title.originalArtist, "Someone Else");
  title.setContentType("Original");
  EXPECT_EQ(title.originalArtist, "");
  EXPECT_EQ(title.contentType, "Original");

  TTitle live("Song", "", "A");
  live.setContentType("Live");
  live.setOriginalArtist("B");  // only an "Original" turns into a "Remix"
  EXPECT_EQ(live.contentType, "Live");
  EXPECT_EQ(live.originalArtist, "B");
  live.setContentType("Remix");
  EXPECT_EQ(live.originalArtist, "B");
}

TEST(SoundCarrierTest, CarrierIndexShowsMediumAndSide) {
  EXPECT_EQ(TTitle::formatCarrierIndex(3, "Schallplatte"), "Schallplatte 2 Seite 2");
  EXPECT_EQ(TTitle::formatCarrierIndex(0, "Audiokassette"), "Audiokassette 1 Seite 1");
  EXPECT_EQ(TTitle::formatCarrierIndex(3, "Compact Disc"), "Compact Disc 4");
  EXPECT_EQ(TTitle::formatCarrierIndex(3, "schallplatte"), "schallplatte 4");
}

TEST(SoundCarrierTest, TitleText) {
  TTitle loose("Song", "u", "Artist");
  loose.carrierIndex = 3;
  EXPECT_EQ(loose.toString(), "00 Artist - Song, u (Original) 3");
  loose.track = 11;
  loose.originalArtist = "Orig";
  EXPECT_EQ(loose.toString(), "12 Artist (Orig) - Song, u (Original) 3");
  loose.film = "Film";
  EXPECT_EQ(loose.toString(), "12 Artist (Orig, Film) - Song, u (Original) 3");
  loose.originalArtist = "";
  EXPECT_EQ(loose.toString(), "12 Artist (Film) - Song, u (Original) 3");

  TSoundCarrier record("R", "L", "Schallplatte");
  TTitle* held = addTitle(record, "Artist", 3);
  EXPECT_EQ(held->toString(), "01 Artist - t,  (Original) Schallplatte 2 Seite 2");
  TSoundCarrier cd("C", "L", "Compact Disc");
  EXPECT_EQ(addTitle(cd, "Artist", 3)->toString(), "01 Artist - t,  (Original) Compact Disc 4");
}

TEST(SoundCarrierTest, CarrierText) {
  TSoundCarrier carrier("Name", "Label", "Compact Disc");
  carrier.artist = "Artist";
  carrier.release = platform::encodeDate(2003, 4, 5) + 0.75;
  carrier.contentType = "Sampler";
  EXPECT_EQ(carrier.toString(), "Name, Artist - Label, 05.04.2003 Compact Disc (Sampler)");
}

}  // namespace
