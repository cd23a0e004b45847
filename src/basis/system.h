// TSystem, the system services of the library: the settings file
// "system.properties" in the current directory (host, mail and sender
// settings), the names of its keys, and the directory of the running program.
#pragma once

#include <string>

#include "platform/export.h"

// The system services as static functions; never instantiated.
class VOSKO_API TSystem {
 public:
  TSystem() = delete;

  // The value of key in "system.properties", read anew on every call from
  // the current directory: def when the key is absent, the empty string when
  // the file is missing or cannot be read.
  static std::string getProperty(const std::string& key, const std::string& def);

  static std::string keyHostDisplay() { return "system.host.display"; }
  static std::string keyHost() { return "system.host"; }
  static std::string keyHostEnvironment() { return "system.host.environment"; }
  static std::string keySmtpHostAddress() { return "system.smtp-host.address"; }
  static std::string keySmtpHostPort() { return "system.smtp-host.port"; }
  static std::string keyFromHeader() { return "system.from-header"; }
  static std::string keyMailEnabled() { return "system.mail-enabled"; }

  // The directory of the running program, ending with the path separator.
  static std::string applicationPath();

  static constexpr const char* kPropertiesFile = "system.properties";
};
