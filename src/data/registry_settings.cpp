#include "data/registry_settings.h"

#include "platform/exception.h"
#include "platform/registry.h"

namespace registrysettings {
namespace {

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

}  // namespace

bool openProductKey(platform::Registry& registry) {
  for (const char* key : {"\\Software", "Tarquo", "Vosko"}) {
    if (!registry.openKey(key, true)) return false;
  }
  return true;
}

void read(const platform::Registry& registry, const Table& table) {
  for (const Setting& setting : table) {
    std::visit([&](auto* field) { readValue(registry, setting.name, field); }, setting.field);
  }
}

void write(platform::Registry& registry, const Table& table) {
  for (const Setting& setting : table) {
    std::visit([&](const auto* field) { writeValue(registry, setting.name, field); }, setting.field);
  }
}

void remove(platform::Registry& registry, const Table& table, bool ignoreFailures) {
  for (const Setting& setting : table) {
    try {
      registry.deleteValue(setting.name);
    } catch (const ERegistryException&) {
      if (!ignoreFailures) throw;
    }
  }
}

void restoreDefaults(const Table& table) {
  for (const Setting& setting : table) {
    if (auto* text = std::get_if<std::string*>(&setting.field)) {
      **text = std::get<const char*>(setting.defaultValue);
    } else if (auto* number = std::get_if<int32_t*>(&setting.field)) {
      **number = std::get<int32_t>(setting.defaultValue);
    } else {
      *std::get<bool*>(setting.field) = std::get<bool>(setting.defaultValue);
    }
  }
}

}  // namespace registrysettings
