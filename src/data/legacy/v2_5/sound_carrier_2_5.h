// TSoundCarrier2_5, one sound carrier of the database format 2.5: its data
// and its titles, which are the list's elements and which it owns. The file
// stores it under the name "TSoundCarrier": the strings name, label, artist,
// type, the double release, the string notes, then the titles as a list.
#pragma once

#include <cstdint>
#include <string>

#include "basis/array_list.h"
#include "data/legacy/v2_5/title_2_5.h"

class TSoundCarrier2_5 : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TSoundCarrier2_5)

  TSoundCarrier2_5() { TSoundCarrier2_5::initialize(); }
  // Traces "TSoundCarrier2_5.create(<name>,<label>,<type>)" at level 5 on
  // the channel "vosko" first.
  TSoundCarrier2_5(const std::string& name, const std::string& label, const std::string& type);

  // Plain properties.
  std::string name;
  std::string label;
  // As stored; see getArtist.
  std::string artist;
  std::string type;
  // Days since 30.12.1899, the fraction the time of day; now by default.
  double release = 0;
  std::string notes;

  // "<name>, <artist> - <label>, <release date> <type>".
  std::string toString() const override;
  // Replaces the fields and the titles by those stored; each title goes through add().
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // Empties the list and sets every field to its placeholder; owns its titles.
  void initialize() override;
  std::string fileHeader() const override { return TTitle2_5::kFileHeader; }

  // A "CARRIER" element with the children NAME, ARTIST, LABEL, TYPE,
  // RELEASE, NOTES and TITLES; the titles keep the TRACK read and no carrier
  // link. Raises EDomException "Illegal base tag for a vosko carrier." or
  // "TSoundCarrier2_5.fromXML: Illegal date: <conversion message>", and
  // TXMLHelper's error for a missing child.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  // Appends a TTitle2_5, links it and numbers it with its index + 1;
  // anything else raises IllegalArgumentException
  // "TSoundCarrier2_5.add: Object is no title.".
  int32_t add(TMappedObject* obj) override;
  // add(), then gives the title the carrier's artist.
  virtual int32_t addTitle(TTitle2_5* title);

  TTitle2_5* getTitle(int32_t index) const;
  // True when some title's artist differs from the carrier's.
  bool hasMixedArtists() const;
  // "<Sampler>" when the artists are mixed, else the stored artist; changes nothing.
  std::string getArtist() const;
};
