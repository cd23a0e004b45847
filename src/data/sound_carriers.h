// TSoundCarriers, the sound-carrier database: a list of TSoundCarrier that
// owns them. Its binary file is the header
// "[Application:Vosko.Type:SoundCarrier-Database.Version:2.5.7]" and the
// list's block, each carrier the object "TSoundCarrier"; its XML form is a
// "VOSKO" element of VERSION "1.1.0" with one "CARRIER" child per carrier.
// A database made with a configuration name also owns that TConfig.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/array_list.h"
#include "data/config.h"
#include "data/sound_carrier.h"
#include "platform/export.h"

// The sound-carrier database, a list that owns its carriers.
class VOSKO_API TSoundCarriers : public TArrayList {
 public:
  VOSKO_CLASS_NAME(TSoundCarriers)

  static constexpr const char* kXmlVersion = "1.1.0";

  // An empty database without configuration.
  TSoundCarriers() { TSoundCarriers::initialize(); }
  // An empty database that owns the application configuration `configName`
  // (read from the settings store, or stored there with its defaults; see
  // config.h). Reads no database file.
  explicit TSoundCarriers(const std::string& configName);
  ~TSoundCarriers() override;

  void initialize() override;
  std::string fileHeader() const override;

  // Replaces the carriers by one per "CARRIER" element anywhere below a
  // "VOSKO" element of VERSION "1.1.0". Every failure is raised as
  // EDomException "TSoundCarriers.fromXML: (Class) message".
  void fromXML(TDomElement* element) override;
  // A carrier the XML form cannot hold exactly is refused before anything is
  // built: IOException "TSoundCarriers.toXML: carrier <number> '<name>': " +
  // its unwritableXml() + ".".
  TDomElement* toXML(TDomDocument* document) override;

  using TArrayList::add;
  // Appends a TSoundCarrier; anything else raises IllegalArgumentException
  // "TSoundCarriers.add: Object is no carrier.".
  int32_t add(TMappedObject* obj) override;
  TSoundCarrier* getCarrier(int32_t index) const;

  // The configuration made by the constructor with a name, owned by the
  // database; null for a database made without one.
  TConfig* getConfig() const { return config_.get(); }

 private:
  std::unique_ptr<TConfig> config_;
};
