// What the program learns about its surroundings from the operating system.
#pragma once

#include <string>

namespace platform {

// The directory of the running program, ending with "/".
std::string applicationPath();
// Tests point the program's directory elsewhere; an empty path restores the real one.
void setApplicationPathForTesting(const std::string& path);

// The current working directory, ending with "/".
std::string currentDirectory();

// The operating system's text for the calling thread's last error code.
std::string lastErrorText();

}  // namespace platform
