// What the program learns about its surroundings from the operating system.
#pragma once

#include <string>

#include "platform/export.h"

namespace platform {

// The directory of the running program, ending with "/".
VOSKO_API std::string applicationPath();
// Tests point the program's directory elsewhere; an empty path restores the real one.
VOSKO_API void setApplicationPathForTesting(const std::string& path);

// The installation's configuration directory (<sysconfdir>/vosko/, fixed when
// the program is built), ending with "/".
VOSKO_API std::string configurationDirectory();
// Tests point the configuration directory elsewhere; an empty path restores the real one.
VOSKO_API void setConfigurationDirectoryForTesting(const std::string& path);

// The configuration file `name` to read: beside the program when it is there,
// else in the configuration directory when it is there, else the name beside
// the program, so that a reader reports the file as missing where it always did.
VOSKO_API std::string configurationFile(const std::string& name);

// The operating system's text for the calling thread's last error code;
// empty when there is none (errno 0).
VOSKO_API std::string lastErrorText();

}  // namespace platform
