// The one procedure behind every settings class of the library application:
// TConfig and the 2.5.x configurations (abstract_config.h) and the 1.5 and
// 2.0 settings (legacy/records/registry_config.h). A class describes its values
// as a table of {name, field, default}, in the order they are written and
// deleted; this engine opens the product key and reads, writes, deletes and
// defaults the values of such a table. The classes keep what differs: their
// messages, how they report a value that cannot be read, and which key names
// they accept.
#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "platform/export.h"

namespace platform {
class Registry;
}

namespace registrysettings {

// One stored value: its name in the key, the field that holds it (which
// gives its kind: string, 32-bit integer or boolean) and its default.
struct VOSKO_API Setting {
  const char* name;
  std::variant<std::string*, int32_t*, bool*> field;
  std::variant<const char*, int32_t, bool> defaultValue;
};

using Table = std::vector<Setting>;

// Opens Software\Tarquo\Vosko below the current user's root, creating what is
// missing; false when a key cannot be opened or created.
VOSKO_API bool openProductKey(platform::Registry& registry);

// Reads the values of the open key in the table's order; the store's
// ERegistryException for the first one that cannot be read leaves the
// fields before it read.
VOSKO_API void read(const platform::Registry& registry, const Table& table);
// Writes every value into the open key.
VOSKO_API void write(platform::Registry& registry, const Table& table);
// Deletes every value from the open key. With `ignoreFailures` a value that
// cannot be deleted is passed over, else its ERegistryException is raised.
VOSKO_API void remove(platform::Registry& registry, const Table& table, bool ignoreFailures);
// Sets every field to its default.
VOSKO_API void restoreDefaults(const Table& table);

}  // namespace registrysettings
