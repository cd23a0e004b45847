// Shared by the fuzz targets: the program's start-up once, and each input
// written to a file of its own so the readers see it as a user's file would be.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "convert/start_up.h"

namespace fuzzinput {

inline void startOnce() {
  static bool started = [] {
    // The 1.5 and 2.0 readers open the settings store; keep it out of the user's home.
    std::string registry = "/tmp/vosko-fuzz-" + std::to_string(getpid()) + ".reg";
    setenv("VOSKO_REGISTRY", registry.c_str(), 1);
    startUp();
    return true;
  }();
  (void)started;
}

inline std::string writeInput(const uint8_t* data, size_t size, const char* suffix) {
  std::string path = "/tmp/vosko-fuzz-" + std::to_string(getpid()) + suffix;
  if (FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  return path;
}

}  // namespace fuzzinput
