// TTitle2_5, one title (track) of a carrier in the database format 2.5, the
// oldest of the object-file formats: no content types, original artists or
// films, and placeholder texts as initial values. The file stores it under
// the name "TTitle" as three strings: name, artist, url. Its track is not
// stored: the carrier numbers its titles from 1 as it adds them. `carrier`
// points to the owning carrier and is not owned.
#pragma once

#include <cstdint>
#include <string>

#include "basis/xml_persistent.h"

class TSoundCarrier2_5;

class TTitle2_5 : public THTMLPersistent {
 public:
  VOSKO_CLASS_NAME(TTitle2_5)

  static constexpr const char* kFileHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5]";

  TTitle2_5() { TTitle2_5::initialize(); }
  TTitle2_5(const std::string& name, const std::string& url);
  TTitle2_5(const std::string& name, const std::string& url, const std::string& artist);

  // Plain properties.
  std::string name;
  std::string url;
  std::string artist;
  // 1-based; set by the carrier's add.
  int32_t track = 0;
  TSoundCarrier2_5* carrier = nullptr;

  // "<track, 2 digits> <artist> - <name>, <url>".
  std::string toString() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  void initialize() override;
  std::string fileHeader() const override { return kFileHeader; }

  // A "TITLE" element with the children NAME, ARTIST, URL and TRACK. Raises
  // EDomException "TTitle2_5.fromXML: Illegal base tag for vosko a title.",
  // TXMLHelper's error for a missing child, or an EDomException carrying the
  // conversion message of a TRACK that is no integer.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;
  // A new, empty "TR" element.
  TDomElement* toHTML(TDomDocument* document) override;
};
