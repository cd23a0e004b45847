// TTOCTrack, one entry of a disc's table of contents: its time address
// (minutes, seconds, frames), its number and whether it is an audio track.
// Stored as four integers and a byte; in XML as a "TOCTRACK" element.
// A track belongs to the TTOCData that holds it (as a track or as its lead-out).
#pragma once

#include <cstdint>
#include <string>

#include "basis/xml_persistent.h"
#include "platform/export.h"

// One entry of a disc's table of contents.
class VOSKO_API TTOCTrack : public TXMLPersistent {
 public:
  VOSKO_CLASS_NAME(TTOCTrack)

  TTOCTrack() { TTOCTrack::initialize(); }

  // Plain properties, read and written directly.
  int32_t trackNumber = 0;
  int32_t minutes = 0;
  int32_t seconds = 0;
  int32_t frames = 0;
  bool isAudioTrack = true;

  // "TTOCTrack:\t(<number>)\t<m>:<s>:<f>\t<true|false>".
  std::string toString() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  void initialize() override;

  // Reads a "TOCTRACK" element. Every failure is raised as EDomException
  // "TTOCTrack.fromXML: (Class) message"; isAudioTrack changes only when the
  // whole element was read.
  void fromXML(TDomElement* element) override;
  // A new "TOCTRACK" element with MINUTES, SECONDS, FRAMES, TRACKNUMBER, ISAUDIOTRACK.
  TDomElement* toXML(TDomDocument* document) override;
};
