#include "data/legacy/v2_0/registry_config.h"

#include "platform/console.h"
#include "platform/exception.h"
#include "platform/registry.h"

namespace legacy {
namespace {

// Opens Software\Tarquo\Vosko below the current user's root, creating what is missing.
void openProductKey(platform::Registry& registry) {
  for (const char* key : {"\\Software", "Tarquo", "Vosko"}) {
    if (!registry.openKey(key, true)) throw Exception(RegistryConfig::kRegistryError);
  }
}

}  // namespace

const char* const RegistryConfig::kRegistryError = "Fehler beim Bearbeiten der Windows-Registrierdatenbank!";
const char* const RegistryConfig::kInvalidValues =
    "Fehler: Es wurde versucht ung\xFCltige Konfigurationswerte in die Registry abzulegen.";
const char* const RegistryConfig::kRestoreNotice =
    "Die Windows-Registrierdatenbank enth\xE4lt ung\xFCltige Werte. "
    "Es werden die Standardeinstellungen restauriert.";

void RegistryConfig::open(const std::string& keyName) {
  if (!fromRegistry(keyName)) {
    restoreDefaults();
    toRegistry();
  }
}

bool RegistryConfig::fromRegistry(const std::string& keyName) {
  keyName_ = keyName;
  platform::Registry registry;
  openProductKey(registry);
  // The empty name is the product key itself, which exists by now.
  if (!registry.keyExists(keyName_)) return false;
  if (!registry.openKey(keyName_, false)) throw Exception(kRegistryError);
  std::vector<Setting> values = settings();
  try {
    for (const Setting& s : values) {
      if (auto* text = std::get_if<std::string*>(&s.field)) {
        **text = registry.readString(s.name);
      } else if (auto* number = std::get_if<int32_t*>(&s.field)) {
        **number = registry.readInteger(s.name);
      } else {
        *std::get<bool*>(s.field) = registry.readBool(s.name);
      }
    }
  } catch (const ERegistryException&) {
    platform::showNotice(platform::NoticeKind::kWarning, kRestoreNotice);
    for (const Setting& s : values) registry.deleteValue(s.name);
    return false;
  }
  return true;
}

void RegistryConfig::toRegistry() {
  if (!isValid()) throw Exception(kInvalidValues);
  platform::Registry registry;
  openProductKey(registry);
  if (!registry.openKey(keyName_, true)) throw Exception(kRegistryError);
  for (const Setting& s : settings()) {
    if (auto* text = std::get_if<std::string*>(&s.field)) {
      registry.writeString(s.name, **text);
    } else if (auto* number = std::get_if<int32_t*>(&s.field)) {
      registry.writeInteger(s.name, **number);
    } else {
      registry.writeBool(s.name, *std::get<bool*>(s.field));
    }
  }
}

bool RegistryConfig::isValid() const {
  // The name is not checked: the empty name designates the product key.
  return !database.empty() && !columnOrder.empty() && detailsWidth > 0 && width > 0 && height > 0;
}

}  // namespace legacy
