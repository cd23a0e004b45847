// The settings of the 1.5 and 2.0 applications in the current user's
// registry (the settings store of platform/registry.h), below
// Software\Tarquo\Vosko and then the configuration name. The empty name
// designates the product key Vosko itself; it is the name the converter uses.
//
// RegistryConfig is the procedure both versions share: read the values, or,
// when the key is new or a value cannot be read, restore the defaults and
// store them. Each version names its values, their order and their defaults
// in one table; the engine behind it is data/registry_settings.h.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "data/registry_settings.h"

namespace legacy {

class RegistryConfig {
 public:
  static const char* const kRegistryError;  // "Fehler beim Bearbeiten der Windows-Registrierdatenbank!"
  static const char* const kInvalidValues;  // "Fehler: Es wurde versucht ungültige ..."
  static const char* const kRestoreNotice;  // "Die Windows-Registrierdatenbank enthält ..."

  virtual ~RegistryConfig() = default;
  RegistryConfig(const RegistryConfig&) = delete;
  RegistryConfig& operator=(const RegistryConfig&) = delete;

  const std::string& keyName() const { return keyName_; }

  // Sets keyName and reads its values. False when the key does not exist or a
  // value cannot be read; then the warning notice is shown and the values are
  // deleted from the key. Fields read before a failure keep what was read.
  bool fromRegistry(const std::string& keyName);
  // Writes every value, creating the keys; raises kInvalidValues unless isValid().
  void toRegistry();
  // Every value to the default of the version's table.
  void restoreDefaults();
  // File name and column order not empty, the three sizes above 0.
  bool isValid() const;

  std::string database;
  std::string columnOrder;
  int32_t nameColumnWidth = 0;
  int32_t detailsWidth = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool exitFlag = false;
  int32_t titleColumnWidth = 0;
  int32_t urlColumnWidth = 0;

 protected:
  RegistryConfig() = default;

  using Setting = registrysettings::Setting;
  // The values with their defaults, in the order they are read, written and deleted.
  virtual registrysettings::Table settings() = 0;

  // The constructors' work: fromRegistry, and on false the defaults, stored.
  void open(const std::string& keyName);

 private:
  std::string keyName_;
};

}  // namespace legacy
