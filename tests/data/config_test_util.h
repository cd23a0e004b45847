// Helpers of the configuration tests: a fixture whose settings store is a
// file in a fresh temporary directory (VOSKO_REGISTRY), the text the store
// holds once the defaults are written, and the capture of the console and
// the notices that a warning produces.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "capture_output.h"
#include "platform/registry.h"
#include "test_util.h"

namespace configtest {

using testutil::Captured;
using testutil::captureOutput;

constexpr const char* kFileHeader = "Windows Registry Editor Version 5.00\n\n";
// The keys a configuration creates above its own, as the store writes them.
constexpr const char* kProductKeys =
    "[HKEY_CURRENT_USER\\Software]\n\n"
    "[HKEY_CURRENT_USER\\Software\\Tarquo]\n\n"
    "[HKEY_CURRENT_USER\\Software\\Tarquo\\Vosko]\n\n";

// The eleven values every version writes, defaults, in writing order
// (the ü of the column order in UTF-8, the store's form).
constexpr const char* kSharedDefaultLines =
    "\"database\"=\"mylib.vsk\"\n"
    "\"artistsDatabase\"=\"untitled.art\"\n"
    "\"columnOrder\"=\"K\xC3\xBCnstler:138.\"\n"
    "\"nameColumnWidth\"=dword:000000a5\n"
    "\"detailsWidth\"=dword:0000010e\n"
    "\"width\"=dword:00000265\n"
    "\"height\"=dword:00000230\n"
    "\"exitFlag\"=dword:00000000\n"
    "\"titleColumnWidth\"=dword:00000049\n"
    "\"artistColumnWidth\"=dword:00000049\n"
    "\"urlColumnWidth\"=dword:00000032\n";

constexpr const char* kCurrentExtraDefaultLines =
    "\"cddbHost\"=\"gnudb.gnudb.org\"\n"
    "\"cddbPort\"=dword:00000050\n"
    "\"buildTitleIndex\"=dword:00000001\n";

// A store holding only the configuration `name` with these value lines.
inline std::string storeWith(const std::string& name, const std::string& lines) {
  return std::string(kFileHeader) + kProductKeys + "[HKEY_CURRENT_USER\\Software\\Tarquo\\Vosko\\" + name +
         "]\n" + lines + "\n";
}

class RegistryFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const char* old = getenv("VOSKO_REGISTRY");
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    useStore(dir.file("registry.reg"));
  }
  void TearDown() override {
    if (hadOld_) {
      setenv("VOSKO_REGISTRY", old_.c_str(), 1);
    } else {
      unsetenv("VOSKO_REGISTRY");
    }
  }

  void useStore(const std::string& path) {
    storePath = path;
    setenv("VOSKO_REGISTRY", path.c_str(), 1);
  }
  std::string storeText() const { return testutil::readFile(storePath); }
  void setStoreText(const std::string& text) const { testutil::writeFile(storePath, text); }

  // The store with the key of configuration `name` open.
  platform::Registry configKey(const std::string& name) const {
    platform::Registry registry(storePath);
    EXPECT_TRUE(registry.openKey("\\Software\\Tarquo\\Vosko\\" + name, false));
    return registry;
  }

  testutil::TempDir dir;
  std::string storePath;

 private:
  bool hadOld_ = false;
  std::string old_;
};

}  // namespace configtest
