// TAbstractConfig, the registry procedure that the library application's
// configuration classes share: TConfig of the current model and TConfig2_5_5,
// TConfig2_5_3 and TConfig2_5 of the older formats. A configuration is one key
// Software\Tarquo\Vosko\<keyName> below the current user's root of the
// settings store (platform/registry.h); it is read when made, and the
// defaults are stored there when the key is new or holds a value that
// cannot be read.
//
// The eleven values every version keeps live here, in the order they are
// written and deleted: "database", "artistsDatabase", "columnOrder",
// "nameColumnWidth", "detailsWidth", "width", "height", "exitFlag",
// "titleColumnWidth", "artistColumnWidth", "urlColumnWidth". A class adds its
// own values after them (extraValues) and names itself in every message
// through className(). The object owns nothing and keeps no store open
// between calls.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "basis/mapped_object.h"
#include "data/registry_settings.h"
#include "platform/export.h"

// The registry procedure and the eleven shared values of every configuration
// class.
class VOSKO_API TAbstractConfig : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TAbstractConfig)

  static constexpr const char* kDefaultDatabase = "mylib.vsk";
  static constexpr const char* kDefaultArtistsDatabase = "untitled.art";
  // "Künstler:138." in Windows-1252: the ü is the single byte 0xFC.
  static constexpr const char* kDefaultColumnOrder = "K\xFCnstler:138.";

  // Sets keyName and reads the configuration's values. False when the key
  // does not exist, or when a value cannot be read: then the class's values
  // are deleted from the key and the failure is reported as a warning on the
  // channel "vosko" and in a message box; fields read before the failure
  // keep what was read. An empty name names no configuration, so nothing is
  // read and the answer is false. A key on the path that cannot be opened or
  // created, or a store that cannot be parsed, raises IllegalStateException
  // "<Class>.fromRegistry: Illegal registry structure." (followed by the
  // store's reason when it has one).
  bool fromRegistry(const std::string& name);

  // Writes every value of the class, creating the keys that are missing.
  // REQUIRES: isValid(), else IllegalStateException "<Class>.toRegistry: Try
  // to store illegal registry values." and nothing is written. A key that
  // cannot be opened or created raises IllegalStateException
  // "<Class>.toRegistry: Illegal registry structure."; a value the store
  // cannot write raises its ERegistryException.
  void toRegistry();

  // Every field but keyName to its default: "mylib.vsk", "untitled.art",
  // "Künstler:138.", 165, 270, 613, 560, false, 73, 73, 50, then those of
  // the class's own values.
  void restoreDefaults();

  // keyName, database, artistsDatabase and columnOrder not empty; detailsWidth,
  // width and height above 0. Nothing else counts.
  bool isValid() const;

  void setSizes(int32_t newDetailsWidth, int32_t newWidth, int32_t newHeight);

  std::string keyName;
  std::string database;
  std::string artistsDatabase;
  std::string columnOrder;
  int32_t nameColumnWidth = 0;
  int32_t detailsWidth = 0;
  int32_t width = 0;
  int32_t height = 0;
  bool exitFlag = false;
  int32_t titleColumnWidth = 0;
  int32_t artistColumnWidth = 0;
  int32_t urlColumnWidth = 0;

 protected:
  TAbstractConfig() = default;

  // One stored value: its name in the key, the field that holds it and its default.
  using Value = registrysettings::Setting;

  // The constructor with a configuration name of every configuration class:
  // fromRegistry(name), and when that answers false the defaults, stored.
  // Called from the most derived constructor, so that className,
  // restoreDefaults and extraValues are the class's own.
  void create(const std::string& name);

  // The values a class keeps after the eleven shared ones, in the order they
  // are read, written and deleted; none by default.
  virtual std::vector<Value> extraValues() { return {}; }

 private:
  // All values in the order of writing and deleting.
  registrysettings::Table values();
  // Reads the values of the open key in the order of reading; raises the
  // store's ERegistryException for the first one that cannot be read.
  void readValues(const platform::Registry& registry);
  // Opens Software\Tarquo\Vosko, creating what is missing, or raises the
  // structure failure of `operation`.
  void openProductKey(platform::Registry& registry, const char* operation) const;
  [[noreturn]] void structureFailure(const char* operation, const std::string& reason) const;
};
