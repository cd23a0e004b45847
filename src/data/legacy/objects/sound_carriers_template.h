// TSoundCarriersOf<Format>, the sound-carrier database of the object-file
// formats 2.5, 2.5.3 and 2.5.5: a list of carriers that owns them. Its file is
// the version's header and the list's block, each carrier stored under the
// name "TSoundCarrier" (the name the class had when the version was current;
// load with the version's class-name map to read such a file). Its XML form is
// a "VOSKO" element, with VERSION where the version has one, and one "CARRIER"
// child per carrier.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/array_list.h"
#include "data/legacy/objects/sound_carrier_template.h"

template <class Format>
class TSoundCarriersOf : public TArrayList {
 public:
  static constexpr const char* kClassName = Format::kCarriersName;
  const char* className() const override { return kClassName; }

  using Carrier = TSoundCarrierOf<Format>;
  using Config = typename Format::Config;

  // Null for a version whose XML database carries no VERSION.
  static constexpr const char* kXmlVersion = Format::kXmlVersion;

  // An empty database without configuration.
  TSoundCarriersOf() { TSoundCarriersOf::initialize(); }
  // An empty database that owns the configuration of that name, read from
  // the settings (or made there with its defaults); no database file is read.
  explicit TSoundCarriersOf(const std::string& configName);
  ~TSoundCarriersOf() override;

  // Null for a database made without a configuration name.
  Config* getConfig() const { return config_.get(); }

  // Empties the list; owns its carriers.
  void initialize() override;
  std::string fileHeader() const override { return Format::kFileHeader; }

  // Replaces the carriers by one per "CARRIER" element anywhere below. Raises
  // EDomException Format::kDatabaseTagError or Format::kXmlVersionError, and
  // whatever a carrier raises.
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

  using TArrayList::add;
  // Appends a Carrier; anything else raises IllegalArgumentException
  // "<Class>.add: Object is no carrier.".
  int32_t add(TMappedObject* obj) override;
  Carrier* getCarrier(int32_t index) const;

 private:
  std::unique_ptr<Config> config_;
};
