// TSoundCarrier2_5_5, one sound carrier of the database format 2.5.5: its
// data and its titles, which are the list's elements and which it owns. The
// file stores it under the name "TSoundCarrier": the strings name, label,
// artist, type, the double release, the strings notes, contentType, image,
// printImage, then the titles as a list.
#pragma once

#include <cstdint>
#include <string>

#include "basis/array_list.h"
#include "data/legacy/v2_5_5/title_2_5_5.h"

class TSoundCarrier2_5_5 : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TSoundCarrier2_5_5)

  TSoundCarrier2_5_5() { TSoundCarrier2_5_5::initialize(); }
  TSoundCarrier2_5_5(const std::string& name, const std::string& label, const std::string& type);

  // Plain properties.
  std::string name;
  std::string label;
  // As stored; see getArtist.
  std::string artist;
  std::string type;
  // Days since 30.12.1899, the fraction the time of day; now by default.
  double release = 0;
  std::string notes;
  // "Split" matters to getArtist.
  std::string contentType;
  std::string image;
  std::string printImage;

  // "<name>, <artist> - <label>, <release date> <type> (<contentType>)".
  std::string toString() const override;
  // Replaces the fields and the titles by those stored; each title goes through add().
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // Empties the list and sets every field to its default; owns its titles.
  void initialize() override;
  std::string fileHeader() const override { return TTitle2_5_5::kFileHeader; }

  // A "CARRIER" element with "NOTES" and "TITLES" below it; the titles keep
  // the TRACK read and no carrier link. Raises EDomException
  // "TSoundCarrier2_5_5.fromXML: Illegal base tag for a vosko carrier." or
  // "TSoundCarrier2_5_5.fromXML: Illegal date: <conversion message>".
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  // Appends a TTitle2_5_5, links it and numbers it with its index + 1;
  // anything else raises IllegalArgumentException
  // "TSoundCarrier2_5_5.add: Object is no title.".
  int32_t add(TMappedObject* obj) override;

  TTitle2_5_5* getTitle(int32_t index) const;
  // True when some title's artist differs from the carrier's.
  bool hasMixedArtists() const;
  // The distinct non-empty title artists, each followed by a blank; raises
  // IllegalStateException for a carrier that is not a "Split".
  std::string assembleSplitArtist() const;
  // "<Sampler>" when the artists are mixed, then the split artist for a
  // "Split"; stores and returns the result.
  std::string getArtist();
};
