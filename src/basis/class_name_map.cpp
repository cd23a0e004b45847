#include "basis/class_name_map.h"

#include "basis/string_value.h"

std::unique_ptr<THashtable> makeClassNameMap(std::initializer_list<ClassNamePair> pairs) {
  auto map = std::make_unique<THashtable>(true);
  for (const ClassNamePair& pair : pairs) {
    map->put(std::make_unique<TString>(pair.stored), std::make_unique<TString>(pair.registered));
  }
  return map;
}
