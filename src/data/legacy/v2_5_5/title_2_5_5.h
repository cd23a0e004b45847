// TTitle2_5_5, one title (track) of a carrier in the database format 2.5.5.
// The file stores it under the name "TTitle" as six strings: name, artist,
// url, contentType, originalArtist, film. Its track is not stored: the
// carrier numbers its titles from 1 as it adds them. `carrier` points to the
// owning carrier and is not owned.
#pragma once

#include <cstdint>
#include <string>

#include "basis/xml_persistent.h"

class TSoundCarrier2_5_5;

class TTitle2_5_5 : public TXMLPersistent {
 public:
  VOSKO_CLASS_NAME(TTitle2_5_5)

  static constexpr const char* kFileHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.5]";

  TTitle2_5_5() { TTitle2_5_5::initialize(); }
  TTitle2_5_5(const std::string& name, const std::string& url);
  TTitle2_5_5(const std::string& name, const std::string& url, const std::string& artist);

  // Plain properties.
  std::string name;
  std::string url;
  std::string artist;
  std::string contentType;
  std::string originalArtist;
  std::string film;
  // 1-based; set by the carrier's add.
  int32_t track = 0;
  TSoundCarrier2_5_5* carrier = nullptr;

  // "<track, 2 digits> <artist>[ (<originalArtist>[, ]<film>)] - <name>, <url> (<contentType>)".
  std::string toString() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  void initialize() override;
  std::string fileHeader() const override { return kFileHeader; }

  // A "TITLE" element. Raises EDomException "TTitle2_5_5.fromXML: Illegal
  // base tag for a vosko title." or "TTitle2_5_5.fromXML: Illegal track
  // number: <conversion message>".
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;
};
