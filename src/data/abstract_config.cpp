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

void readValue(const platform::Registry& registry, const char* name, std::string* field) {
  *field = registry.readString(name);
}

void readValue(const platform::Registry& registry, const char* name, int32_t* field) {
  *field = registry.readInteger(name);
}

void readValue(const platform::Registry& registry, const char* name, bool* field) {
  *field = registry.readBool(name);
}

void writeValue(platform::Registry& registry, const char* name, const std::string* field) {
  registry.writeString(name, *field);
}

void writeValue(platform::Registry& registry, const char* name, const int32_t* field) {
  registry.writeInteger(name, *field);
}

void writeValue(platform::Registry& registry, const char* name, const bool* field) {
  registry.writeBool(name, *field);
}

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

std::vector<TAbstractConfig::Value> TAbstractConfig::values() {
  std::vector<Value> list = {{"database", &database},
                             {"artistsDatabase", &artistsDatabase},
                             {"columnOrder", &columnOrder},
                             {"nameColumnWidth", &nameColumnWidth},
                             {"detailsWidth", &detailsWidth},
                             {"width", &width},
                             {"height", &height},
                             {"exitFlag", &exitFlag},
                             {"titleColumnWidth", &titleColumnWidth},
                             {"artistColumnWidth", &artistColumnWidth},
                             {"urlColumnWidth", &urlColumnWidth}};
  for (const Value& extra : extraValues()) list.push_back(extra);
  return list;
}

[[noreturn]] void TAbstractConfig::structureFailure(const char* operation, const std::string& reason) const {
  std::string message = std::string(className()) + "." + operation + ": Illegal registry structure.";
  if (!reason.empty()) message += " " + reason;
  throw IllegalStateException(message);
}

void TAbstractConfig::openProductKey(platform::Registry& registry, const char* operation) const {
  for (const char* key : {"\\Software", "Tarquo", "Vosko"}) {
    if (!registry.openKey(key, true)) structureFailure(operation, "");
  }
}

void TAbstractConfig::readValues(const platform::Registry& registry) {
  std::vector<Value> list = values();
  for (size_t i = 0; i < list.size(); ++i) {
    if (i == kFirstSize) {
      int32_t newHeight = registry.readInteger("height");
      int32_t newWidth = registry.readInteger("width");
      int32_t newDetailsWidth = registry.readInteger("detailsWidth");
      setSizes(newDetailsWidth, newWidth, newHeight);
      i += kSizeCount - 1;
      continue;
    }
    std::visit([&](auto* field) { readValue(registry, list[i].name, field); }, list[i].field);
  }
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
    structureFailure(kFromRegistry, "(" + platform::exceptionClassName(e) + ") " + e.message());
  }
  try {
    readValues(registry);
  } catch (const ERegistryException& e) {
    for (const Value& value : values()) {
      try {
        registry.deleteValue(value.name);
      } catch (const ERegistryException&) {
        // The warning below is due whether or not the values could go.
      }
    }
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
    structureFailure(kToRegistry, "(" + platform::exceptionClassName(e) + ") " + e.message());
  }
  for (const Value& value : values()) {
    std::visit([&](const auto* field) { writeValue(registry, value.name, field); }, value.field);
  }
}

void TAbstractConfig::restoreDefaults() {
  database = kDefaultDatabase;
  artistsDatabase = kDefaultArtistsDatabase;
  columnOrder = kDefaultColumnOrder;
  nameColumnWidth = 165;
  setSizes(270, 613, 560);
  exitFlag = false;
  titleColumnWidth = 73;
  artistColumnWidth = 73;
  urlColumnWidth = 50;
}

bool TAbstractConfig::isValid() const {
  return !keyName.empty() && !database.empty() && !artistsDatabase.empty() && !columnOrder.empty() &&
         detailsWidth > 0 && width > 0 && height > 0;
}

void TAbstractConfig::setSizes(int32_t newDetailsWidth, int32_t newWidth, int32_t newHeight) {
  detailsWidth = newDetailsWidth;
  width = newWidth;
  height = newHeight;
}
