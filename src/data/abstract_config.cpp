#include "data/abstract_config.h"

#include "basis/exceptions.h"
#include "debug/channel.h"
#include "debug/channel_pool.h"
#include "debug/dialog_writer.h"
#include "platform/exception.h"
#include "platform/registry.h"

namespace {

constexpr const char* kFromRegistry = "fromRegistry";
constexpr const char* kToRegistry = "toRegistry";
// The level the diagnostics label "WARNING:".
constexpr int32_t kWarningLevel = 3;
// Where the three sizes stand among the values in writing order; they are
// read as height, width, detailsWidth and set together.
constexpr size_t kFirstSize = 4;
constexpr size_t kSizeCount = 3;

// Closes the current key however the operation ends.
class KeyCloser {
 public:
  explicit KeyCloser(platform::Registry& registry) : registry_(registry) {}
  ~KeyCloser() { registry_.closeKey(); }
  KeyCloser(const KeyCloser&) = delete;
  KeyCloser& operator=(const KeyCloser&) = delete;

 private:
  platform::Registry& registry_;
};

}  // namespace

void TAbstractConfig::create(const std::string& name) {
  if (!fromRegistry(name)) {
    restoreDefaults();
    toRegistry();
  }
}

registrysettings::Table TAbstractConfig::values() {
  registrysettings::Table table = {{"database", &database, kDefaultDatabase},
                                   {"artistsDatabase", &artistsDatabase, kDefaultArtistsDatabase},
                                   {"columnOrder", &columnOrder, kDefaultColumnOrder},
                                   {"nameColumnWidth", &nameColumnWidth, 165},
                                   {"detailsWidth", &detailsWidth, 270},
                                   {"width", &width, 613},
                                   {"height", &height, 560},
                                   {"exitFlag", &exitFlag, false},
                                   {"titleColumnWidth", &titleColumnWidth, 73},
                                   {"artistColumnWidth", &artistColumnWidth, 73},
                                   {"urlColumnWidth", &urlColumnWidth, 50}};
  for (const Value& extra : extraValues()) table.push_back(extra);
  return table;
}

[[noreturn]] void TAbstractConfig::structureFailure(const char* operation, const std::string& reason) const {
  std::string message = std::string(className()) + "." + operation + ": Illegal registry structure.";
  if (!reason.empty()) message += " " + reason;
  throw IllegalStateException(message);
}

void TAbstractConfig::openProductKey(platform::Registry& registry, const char* operation) const {
  if (!registrysettings::openProductKey(registry)) structureFailure(operation, "");
}

void TAbstractConfig::readValues(const platform::Registry& registry) {
  const registrysettings::Table table = values();
  // The three sizes are read as height, width, detailsWidth and set together.
  int32_t newHeight = 0;
  int32_t newWidth = 0;
  int32_t newDetailsWidth = 0;
  registrysettings::Table beforeSizes(table.begin(), table.begin() + kFirstSize);
  beforeSizes.push_back({"height", &newHeight, 0});
  beforeSizes.push_back({"width", &newWidth, 0});
  beforeSizes.push_back({"detailsWidth", &newDetailsWidth, 0});
  registrysettings::read(registry, beforeSizes);
  setSizes(newDetailsWidth, newWidth, newHeight);
  registrysettings::read(registry,
                         registrysettings::Table(table.begin() + kFirstSize + kSizeCount, table.end()));
}

bool TAbstractConfig::fromRegistry(const std::string& name) {
  keyName = name;
  // The empty path is the product key itself, whose values belong to the
  // settings of the 1.5 and 2.0 applications; reading them as a
  // configuration would delete them.
  if (keyName.empty()) return false;
  platform::Registry registry;
  KeyCloser closer(registry);
  try {
    openProductKey(registry, kFromRegistry);
    if (!registry.keyExists(keyName)) return false;
    if (!registry.openKey(keyName, false)) structureFailure(kFromRegistry, "");
  } catch (const ERegistryException& e) {
    // A store that cannot be parsed is never replaced by defaults.
    structureFailure(kFromRegistry, platform::quoteException(e));
  }
  try {
    readValues(registry);
  } catch (const ERegistryException& e) {
    // The warning below is due whether or not the values could go.
    registrysettings::remove(registry, values(), true);
    TChannelPool::getChannel("vosko")->error(
        &e, std::string(className()) + ".fromRegistry: Illegal registry values. Restore defaults.",
        dialogWriter(), kWarningLevel);
    return false;
  }
  return true;
}

void TAbstractConfig::toRegistry() {
  if (!isValid()) {
    throw IllegalStateException(std::string(className()) +
                                ".toRegistry: Try to store illegal registry values.");
  }
  platform::Registry registry;
  KeyCloser closer(registry);
  try {
    openProductKey(registry, kToRegistry);
    if (!registry.openKey(keyName, true)) structureFailure(kToRegistry, "");
  } catch (const ERegistryException& e) {
    structureFailure(kToRegistry, platform::quoteException(e));
  }
  registrysettings::write(registry, values());
}

void TAbstractConfig::restoreDefaults() { registrysettings::restoreDefaults(values()); }

bool TAbstractConfig::isValid() const {
  return !keyName.empty() && !database.empty() && !artistsDatabase.empty() && !columnOrder.empty() &&
         detailsWidth > 0 && width > 0 && height > 0;
}

void TAbstractConfig::setSizes(int32_t newDetailsWidth, int32_t newWidth, int32_t newHeight) {
  detailsWidth = newDetailsWidth;
  width = newWidth;
  height = newHeight;
}
