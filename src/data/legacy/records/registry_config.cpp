#include "data/legacy/records/registry_config.h"

#include "platform/console.h"
#include "platform/exception.h"
#include "platform/registry.h"

namespace legacy {
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
  if (!registrysettings::openProductKey(registry)) throw Exception(kRegistryError);
  // The empty name is the product key itself, which exists by now.
  if (!registry.keyExists(keyName_)) return false;
  if (!registry.openKey(keyName_, false)) throw Exception(kRegistryError);
  const registrysettings::Table values = settings();
  try {
    registrysettings::read(registry, values);
  } catch (const ERegistryException&) {
    platform::showNotice(platform::NoticeKind::kWarning, kRestoreNotice);
    registrysettings::remove(registry, values, false);
    return false;
  }
  return true;
}

void RegistryConfig::toRegistry() {
  if (!isValid()) throw Exception(kInvalidValues);
  platform::Registry registry;
  if (!registrysettings::openProductKey(registry)) throw Exception(kRegistryError);
  if (!registry.openKey(keyName_, true)) throw Exception(kRegistryError);
  registrysettings::write(registry, settings());
}

void RegistryConfig::restoreDefaults() { registrysettings::restoreDefaults(settings()); }

bool RegistryConfig::isValid() const {
  // The name is not checked: the empty name designates the product key.
  return !database.empty() && !columnOrder.empty() && detailsWidth > 0 && width > 0 && height > 0;
}

}  // namespace legacy
