#include "basis/system.h"

#include <exception>
#include <memory>

#include "basis/properties.h"
#include "platform/system_info.h"

std::string TSystem::getProperty(const std::string& key, const std::string& def) {
  std::unique_ptr<TProperties> properties;
  try {
    properties = std::make_unique<TProperties>(kPropertiesFile);
  } catch (const std::exception&) {
    // Without a readable settings file every setting is empty, not defaulted.
    return "";
  }
  return properties->getProperty(key, def);
}

std::string TSystem::applicationPath() { return platform::applicationPath(); }
