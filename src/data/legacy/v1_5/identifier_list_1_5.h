// The four lists of a 1.5 database and their look-ups by id. Unlike 2.0,
// indexOf answers -1 for an id that no record has, and nameOf then fails on
// that position with the platform's list index error
//   "Listenindex überschreitet das Maximum (-1)"
// except for the id -1 itself, which stands for "none" unless a record
// carries it.
#pragma once

#include <cstdint>
#include <string>

#include "data/legacy/records/identifier_list.h"
#include "data/legacy/v1_5/identifier_1_5.h"

class TIdentifierList1_5 : public legacy::IdentifierList<TIdentifier1_5> {
 public:
  // Position of the first record with the id, or -1.
  int32_t indexOf(int32_t id) const { return positionOf(id); }
  // The name of that record; the empty string for noId() when no record has it.
  std::string nameOf(int32_t id) const;

 protected:
  using IdentifierList::IdentifierList;
};

class TArtistList1_5 : public legacy::RecordList<TIdentifierList1_5, TArtist1_5> {};
class TLabelList1_5 : public legacy::RecordList<TIdentifierList1_5, TMusicLabel1_5> {};
class TCarrierList1_5 : public legacy::RecordList<TIdentifierList1_5, TSoundCarrier1_5> {};
class TTitleList1_5 : public legacy::TitleList<TIdentifierList1_5, TTitle1_5> {};
