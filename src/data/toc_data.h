// TTOCData, the table of contents of one disc: the disc's identifier, its
// lead-out entry and its tracks. The tracks are the list's elements; the
// table owns them and its lead-out (which is not part of the track list).
//
// Stored as the identifier (unsigned), the lead-out object "TTOCTrack" and
// the track list; in XML as a "TOC" element whose first "TOCTRACK" child is
// the lead-out.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/array_list.h"
#include "data/toc_track.h"
#include "platform/export.h"

// The table of contents of one disc: its identifier, its lead-out and its
// tracks, owning them.
class VOSKO_API TTOCData : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TTOCData)

  TTOCData() { TTOCData::initialize(); }

  // Plain properties. Assigning leadOut hands its ownership to the table.
  uint32_t discId = 0;
  std::unique_ptr<TTOCTrack> leadOut;

  // "TTOCData: (<track count>) <discId as eight lower-case hex digits>".
  std::string toString() const override;
  // Replaces the lead-out and the tracks by those stored; the tracks are
  // numbered by their position, whatever numbers were stored.
  void readFrom(TFile& file) override;
  // Raises IOException "TTOCData.write: No lead out assigned." without a lead-out.
  void writeTo(TFile& file) override;
  // A new lead-out and discId 0; the owning track list keeps its tracks.
  void initialize() override;

  // Reads a "TOC" element; the tracks keep the numbers of the file. Every
  // failure is raised as EDomException "TTOCData.fromXML: (Class) message".
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  using TArrayList::add;
  // Appends a TTOCTrack and sets its trackNumber to its position; anything
  // else raises IllegalArgumentException "TTOCTrack.add: No TTOCTrack instance.".
  int32_t add(TMappedObject* obj) override;
  // The track at index (the list's error when out of range).
  TTOCTrack* getTrack(int32_t index) const;
};
