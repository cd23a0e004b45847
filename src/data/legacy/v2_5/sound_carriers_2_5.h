// TSoundCarriers2_5, the sound-carrier database of format 2.5: a list of
// TSoundCarrier2_5 that owns them. Its file is the 58-byte header
// "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5]" and the
// list's block, each carrier stored under the name "TSoundCarrier" (the name
// the class had when 2.5 was current; load with the class-name map of
// convert2_5 to read such a file). Its XML form is a "VOSKO" element without
// attributes with one "CARRIER" child per carrier.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/array_list.h"
#include "data/legacy/v2_5/config_2_5.h"
#include "data/legacy/v2_5/sound_carrier_2_5.h"

class TSoundCarriers2_5 : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TSoundCarriers2_5)

  // An empty database without configuration.
  TSoundCarriers2_5() { TSoundCarriers2_5::initialize(); }
  // An empty database that owns the configuration of that name, read from
  // the settings (or made there with its defaults); no database file is read.
  explicit TSoundCarriers2_5(const std::string& configName);
  ~TSoundCarriers2_5() override;

  // Null for a database made without a configuration name.
  TConfig2_5* getConfig() const { return config_.get(); }

  // Empties the list; owns its carriers.
  void initialize() override;
  std::string fileHeader() const override { return TTitle2_5::kFileHeader; }

  // Replaces the carriers by one per "CARRIER" element anywhere below. Raises
  // EDomException "Illegal base tag for a vosko database.", and whatever a
  // carrier raises; this version has no version check.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  // Appends a TSoundCarrier2_5; anything else raises
  // IllegalArgumentException "TSoundCarriers2_5.add: Object is no carrier.".
  int32_t add(TMappedObject* obj) override;
  TSoundCarrier2_5* getCarrier(int32_t index) const;

 private:
  std::unique_ptr<TConfig2_5> config_;
};
