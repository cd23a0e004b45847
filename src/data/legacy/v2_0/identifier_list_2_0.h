// The four lists of a 2.0 database and their look-ups by id. Each list owns
// its records (see identifier_list.h); the look-ups take the first record of
// an id and report an id that no record has as
//   "Bezeichner mit ID: <id> nicht gefunden."
// except for the id -1, which stands for "none" unless a record carries it.
#pragma once

#include <cstdint>
#include <string>

#include "data/legacy/records/identifier_list.h"
#include "data/legacy/v2_0/identifier_2_0.h"
#include "data/legacy/v2_0/sound_carrier_2_0.h"
#include "data/legacy/v2_0/title_2_0.h"

class TIdentifierList2_0 : public legacy::IdentifierList<TIdentifier2_0> {
 public:
  // Position of the first record with the id; raises a plain Exception when there is none.
  int32_t indexOf(int32_t id) const;
  // The first record with the id; nullptr for noId() when no record has it.
  const TIdentifier2_0* byId(int32_t id) const;
  // Its name; the empty string for noId() when no record has it.
  std::string nameOf(int32_t id) const;

 protected:
  using IdentifierList::IdentifierList;
};

class TArtistList2_0 : public legacy::RecordList<TIdentifierList2_0, TArtist2_0> {};
class TLabelList2_0 : public legacy::RecordList<TIdentifierList2_0, TMusicLabel2_0> {};
class TCarrierList2_0 : public legacy::RecordList<TIdentifierList2_0, TSoundCarrier2_0> {};
class TTitleList2_0 : public legacy::TitleList<TIdentifierList2_0, TTitle2_0> {};
