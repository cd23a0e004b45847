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
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "basis/file.h"
#include "data/carrier_stream.h"
#include "data/sound_carrier.h"
#include "data/title.h"
#include "platform/export.h"

// Writes a current database carrier by carrier, in the bytes
// TSoundCarriers::store writes for the same carriers.
class VOSKO_API TCarrierWriter {
 public:
  // Opens `fileName` as TSoundCarriers::store opens it, for `count` carriers.
  TCarrierWriter(const std::string& fileName, int32_t count);
  // The same for as many carriers as are written before close().
  explicit TCarrierWriter(const std::string& fileName);
  TCarrierWriter(const TCarrierWriter&) = delete;
  TCarrierWriter& operator=(const TCarrierWriter&) = delete;

  // The next carrier to fill: initialized, without titles (its release is
  // the time the writer was made).
  TSoundCarrier& carrier() { return carrier_; }
  // The next title to fill: initialized (no number, disc 0, no carrier).
  TTitle& title() { return title_; }

  // Writes carrier() as it stands, announcing `titles` titles.
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
  TFile file_;
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
