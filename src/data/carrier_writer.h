// TCarrierWriter, a current database written carrier by carrier: the bytes
// TSoundCarriers::store writes for the same carriers, without ever holding
// more than one carrier's own fields and one title. The conversions fill its
// carrier and its title with the model's own setters, so the model's rules
// apply as they do when a carrier is built whole; a carrier of any size then
// takes no more memory than one title.
//
//   TCarrierWriter out(path, carriers);
//   for each carrier: fill out.carrier(); out.beginCarrier(titles);
//     for each title: fill out.title(); out.addTitle();
//     out.endCarrier();
//   out.close();
//
// A carrier read elsewhere goes in whole with write(), exactly as it is held.
// Without a count the writer takes any number of carriers and puts their
// number in its place when it closes. Counts that do not match what was
// announced raise IllegalStateException and the file is never put in place,
// as with every failure before close().
//
// Instead of a file the writer can hand each carrier to a consumer
// (CarrierTarget), as reading the file back would give it: that is how a
// reader sees an old database as its conversion makes it, with no file
// written and the conversion's rules stated once.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "basis/file.h"
#include "data/carrier_stream.h"
#include "data/sound_carrier.h"
#include "data/title.h"
#include "platform/export.h"

// Where a conversion puts the current database it makes: the file it writes,
// or a consumer that takes the carriers one at a time, each exactly as
// reading the written file back would give it (carrier_stream.h).
//
// A conversion that gives up on one way of reading its input starts again
// on another from the first carrier; the consumer still sees each carrier
// once, since both ways make the same carriers from the same bytes: those
// an earlier way handed on are passed over. What the consumer raises ends
// the conversion and is raised again, and is never taken for a reason to
// try another way.
class VOSKO_API CarrierTarget {
 public:
  using Each = std::function<void(const StoredCarrier&)>;

  // The file `fileName`, put in place as TSoundCarriers::store puts it; not
  // explicit, so that a conversion is still called with its output's name.
  CarrierTarget(std::string fileName);
  CarrierTarget(const char* fileName);
  // The consumer `each`; the target must outlive every writer given it.
  explicit CarrierTarget(Each each);

  bool isFile() const { return !each_; }
  const std::string& fileName() const { return fileName_; }
  // True once the consumer raised: the conversion must not try another way.
  bool consumerFailed() const { return consumerFailed_; }
  // The carriers handed to the consumer so far.
  int64_t handed() const { return handed_; }
  // Hands the carrier a conversion made as its `index`th (from 0) to the
  // consumer, unless an earlier way of the conversion handed it already.
  void hand(int64_t index, const StoredCarrier& carrier) const;

 private:
  std::string fileName_;
  Each each_;
  // The consumer's side, shared by every way a conversion takes.
  mutable int64_t handed_ = 0;
  mutable bool consumerFailed_ = false;
};

// Writes a current database carrier by carrier, in the bytes
// TSoundCarriers::store writes for the same carriers, or hands them to a
// consumer as reading those bytes would give them.
class VOSKO_API TCarrierWriter {
 public:
  // Opens the target as TSoundCarriers::store opens a file, for `count` carriers.
  TCarrierWriter(const CarrierTarget& target, int32_t count);
  // The same for as many carriers as are written before close().
  explicit TCarrierWriter(const CarrierTarget& target);
  TCarrierWriter(const TCarrierWriter&) = delete;
  TCarrierWriter& operator=(const TCarrierWriter&) = delete;

  // The next carrier to fill: initialized, without titles (its release is
  // the time the writer was made).
  TSoundCarrier& carrier() { return carrier_; }
  // The next title to fill: initialized (no number, disc 0, no carrier).
  TTitle& title() { return title_; }

  // Writes carrier() as it stands, announcing `titles` titles; carrier()
  // stays as it is until endCarrier().
  void beginCarrier(int32_t titles);
  // Writes title() as the carrier's next title, numbered as
  // TSoundCarrier::add numbers it (after the highest number of its disc when
  // it has none), then initializes it again for the next.
  void addTitle();
  // addTitle() for a title made as TTitle(name, url, artist) makes it,
  // written from the texts as they are: every other field as title() holds
  // it, which is initial unless the caller changed it.
  void addTitle(std::string_view name, std::string_view url, std::string_view artist);
  // Ends the carrier and initializes carrier() again for the next.
  void endCarrier();
  // Writes `stored` as the next carrier as a model holding it exactly would
  // be stored: every field, its tables of contents and its titles as given
  // (a track -1 stays -1, TOC tracks keep their numbers). Not between
  // beginCarrier() and endCarrier().
  void write(const StoredCarrier& stored);
  // Completes the file and puts it in place; raises IOException on failure.
  void close();

 private:
  // The checks and counts of a carrier's start, for both targets.
  void startCarrier(int32_t titles);
  // A copy of `text` among the texts of the carrier in hand.
  void hold(std::string_view text);
  // The carrier in hand as reading it back gives it, handed to the consumer.
  void handCarrier();

  std::optional<TFile> file_;  // none when the carriers go to a consumer
  const CarrierTarget* consumer_ = nullptr;
  // The consumer's carrier in hand: its titles' texts one after the other,
  // each title's in the order of StoredTitle, and their lengths.
  StoredCarrier stored_;
  std::string texts_;
  std::vector<size_t> textLengths_;
  TSoundCarrier carrier_;
  TTitle title_;
  double openedAt_;       // the release of every carrier() until it is filled
  int32_t carriersLeft_;  // -1 when no count was announced
  int32_t carriersWritten_ = 0;
  int64_t countAt_ = 0;      // where the count is in the file
  int32_t titlesLeft_ = -1;  // -1 outside a carrier
  // The highest number of each disc among the carrier's titles written so far.
  std::map<int32_t, int32_t> lastTracks_;
  // The entry of the disc numbered last: titles come disc after disc as a rule.
  int32_t lastDisc_ = 0;
  int32_t* lastDiscTrack_ = nullptr;

  // The number the next title of `disc` gets when it has `track`, noted as taken.
  int32_t numbered(int32_t disc, int32_t track);
};
