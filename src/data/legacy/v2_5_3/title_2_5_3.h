// TTitle2_5_3, one title (track) of a carrier in the database format 2.5.3.
// The file stores it under the name "TTitle" as five strings: name, artist,
// url, contentType, originalArtist. Its track is not stored: the carrier
// numbers its titles from 1 as it adds them. `carrier` points to the owning
// carrier and is not owned.
#pragma once

#include <cstdint>
#include <string>

#include "basis/xml_persistent.h"

class TSoundCarrier2_5_3;

class TTitle2_5_3 : public TXMLPersistent {
 public:
  VOSKO_CLASS_NAME(TTitle2_5_3)

  static constexpr const char* kFileHeader = "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.3]";

  TTitle2_5_3() { TTitle2_5_3::initialize(); }
  TTitle2_5_3(const std::string& name, const std::string& url);
  TTitle2_5_3(const std::string& name, const std::string& url, const std::string& artist);

  // Plain properties.
  std::string name;
  std::string url;
  std::string artist;
  std::string contentType;
  std::string originalArtist;
  // 1-based; set by the carrier's add.
  int32_t track = 0;
  TSoundCarrier2_5_3* carrier = nullptr;

  // "<track, 2 digits> <artist>[ (<originalArtist>)] - <name>, <url> (<contentType>)".
  std::string toString() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  void initialize() override;
  std::string fileHeader() const override { return kFileHeader; }

  // A "TITLE" element. Raises EDomException "TTitle2_5_3.fromXML: Illegal
  // base tag for a vosko title.", or one carrying the conversion message of
  // a TRACK that is no integer.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;
};
