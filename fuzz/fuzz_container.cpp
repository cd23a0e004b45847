// The binary container on any bytes: one stored object of any registered
// class, read once as the file names it and once through a class-name map
// that renames the model's classes as a legacy reader does.
#include <cstddef>
#include <cstdint>
#include <memory>

#include "basis/file.h"
#include "basis/hashtable.h"
#include "basis/string_value.h"
#include "fuzz_input.h"

namespace {

std::unique_ptr<THashtable> renamingMap() {
  auto map = std::make_unique<THashtable>(true);
  auto put = [&](const char* stored, const char* read) {
    auto key = std::make_unique<TString>(stored);
    auto value = std::make_unique<TString>(read);
    map->put(key.get(), value.get());
    key.release();
    value.release();
  };
  // The foundation's classes keep their names; a stored name the map lacks fails.
  for (const char* name :
       {"TArrayList", "TString", "TInteger", "TBoolean", "TTDateTime", "THashSet", "TStringSet", "TMapEntry",
        "THashtable", "TStringtable", "TStringCollection", "TProperties"}) {
    put(name, name);
  }
  put("TTitle", "TTitle2_5_5");
  put("TSoundCarrier", "TSoundCarrier2_5_5");
  put("TSoundCarriers", "TSoundCarriers2_5_5");
  return map;
}

void readOne(const std::string& path, const THashtable* map) {
  fuzzinput::expectNoCrash([&] {
    TFile file(path, false, "");
    file.setClassNameMap(map);
    file.readTPObject();
    file.close();
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzzinput::startOnce();
  static const std::unique_ptr<THashtable> map = renamingMap();
  fuzzinput::ScratchFile input("input.bin", fuzzinput::bytes(data, size));
  readOne(input.path(), nullptr);
  readOne(input.path(), map.get());
  return 0;
}
