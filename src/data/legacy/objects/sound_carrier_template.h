// TSoundCarrierOf<Format>, one sound carrier of the object-file formats 2.5,
// 2.5.3 and 2.5.5: its data and its titles, which are the list's elements and
// which it owns. The file stores it under the name "TSoundCarrier": the
// strings name, label, artist, type, the double release, the string notes,
// the version's own strings, then the titles as a list.
#pragma once

#include <cstdint>
#include <string>

#include "basis/array_list.h"
#include "data/legacy/objects/title_template.h"

template <class Format>
class TSoundCarrierOf : public TArrayList, public Format::CarrierFields {
 public:
  static constexpr const char* kClassName = Format::kCarrierName;
  const char* className() const override { return kClassName; }

  using Title = TTitleOf<Format>;

  TSoundCarrierOf() { TSoundCarrierOf::initialize(); }
  // With Format::kTracesCreation, traces "<Class>.create(<name>,<label>,<type>)"
  // at level 5 on the channel "vosko" first.
  TSoundCarrierOf(const std::string& name, const std::string& label, const std::string& type);

  // Plain properties.
  std::string name;
  std::string label;
  // As stored; see getArtist.
  std::string artist;
  std::string type;
  // Days since 30.12.1899, the fraction the time of day; now by default.
  double release = 0;
  std::string notes;

  // "<name>, <artist> - <label>, <release date> <type>[ (<contentType>)]".
  std::string toString() const override;
  // Replaces the fields and the titles by those stored; each title goes through add().
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // Empties the list and sets every field to its initial value; owns its titles.
  void initialize() override;
  std::string fileHeader() const override { return Format::kFileHeader; }

  // A "CARRIER" element: NAME, ARTIST, LABEL, TYPE, RELEASE and the version's
  // own values, then the elements NOTES and TITLES; the titles keep the TRACK
  // read and no carrier link. Raises EDomException Format::kCarrierTagError
  // or "<Class>.fromXML: Illegal date: <conversion message>", and
  // TXMLHelper's error for a missing child.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  using TArrayList::add;
  // Appends a Title, links it and numbers it with its index + 1; anything
  // else raises IllegalArgumentException "<Class>.add: Object is no title.".
  int32_t add(TMappedObject* obj) override;
  // add(), then gives the title the carrier's artist.
  int32_t addTitle(Title* title) requires Format::kAddTitle;

  Title* getTitle(int32_t index) const;
  // True when some title's artist differs from the carrier's.
  bool hasMixedArtists() const;
  // The distinct non-empty title artists, each followed by a blank; raises
  // IllegalStateException for a carrier that is not a "Split".
  std::string assembleSplitArtist() const requires Format::kSplitArtist;
  // "<Sampler>" when the artists are mixed, else the stored artist; changes nothing.
  std::string getArtist() const requires(!Format::kSplitArtist);
  // "<Sampler>" when the artists are mixed, then the split artist for a
  // "Split"; stores and returns the result.
  std::string getArtist() requires Format::kSplitArtist;
};
