// Helpers of the tests of the formats 2.5, 2.5.3 and 2.5.5: loading stored
// bytes through a version's class-name map and the stored forms of records.
#pragma once

#include <memory>
#include <string>

#include "basis/hashtable.h"
#include "data/legacy/objects/legacy_conversion.h"
#include "model_test_util.h"
#include "test_util.h"

namespace legacytest {

using modeltest::block;
using modeltest::object;

// Writes `bytes` to `path` and loads them into `database` through the map
// of the version whose classes `names` gives.
template <class Database>
void loadOldFile(Database& database, const std::string& path, const std::string& bytes,
                 const LegacyClassNames& names) {
  testutil::writeFile(path, bytes);
  std::unique_ptr<THashtable> map = makeClassNameMap(names);
  database.load(path, map.get());
}

// The bytes `database` stores.
template <class Database>
std::string storedBytes(Database& database, const std::string& path) {
  database.store(path);
  return testutil::readFile(path);
}

}  // namespace legacytest
