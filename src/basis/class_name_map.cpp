#include "basis/class_name_map.h"

#include "basis/string_value.h"

std::unique_ptr<THashtable> makeClassNameMap(std::initializer_list<ClassNamePair> pairs) {
  auto map = std::make_unique<THashtable>(true);
  for (const ClassNamePair& pair : pairs) {
    auto key = std::make_unique<TString>(pair.stored);
    auto value = std::make_unique<TString>(pair.registered);
    map->put(key.get(), value.get());
    key.release();
    value.release();
  }
  return map;
}
