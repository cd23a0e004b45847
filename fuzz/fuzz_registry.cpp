// The settings-file parser on any bytes: the reads the configuration makes,
// then a change. A file the store accepted and rewrote must read back.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "fuzz_input.h"
#include "platform/registry.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  fuzzinput::ScratchFile input("input.reg", fuzzinput::bytes(data, size));
  platform::Registry registry(input.path());
  bool rewritten = false;
  fuzzinput::expectNoCrash([&] {
    registry.keyExists("\\Software\\Tarquo\\Vosko");
    if (registry.openKey("\\Software\\Tarquo\\Vosko\\default", false)) {
      registry.readString("database");
      if (registry.valueExists("width")) registry.readInteger("width");
    }
    if (registry.openKey("\\Software\\Tarquo\\Vosko\\fuzz", true)) {
      registry.writeString("note", "a \"quoted\"\r\nline\\");
      rewritten = true;
    }
  });
  if (!rewritten) return 0;
  try {
    platform::Registry again(input.path());
    if (!again.openKey("\\Software\\Tarquo\\Vosko\\fuzz", false) ||
        again.readString("note") != "a \"quoted\"\r\nline\\") {
      std::fprintf(stderr, "fuzz: the value written is not read back\n");
      std::abort();
    }
  } catch (const std::exception& e) {
    std::fprintf(stderr, "fuzz: the rewritten store does not read back: %s\n", e.what());
    std::abort();
  }
  return 0;
}
