#include "basis/start_up.h"

#include <cstdlib>
#include <ctime>

#include "basis/array_list.h"
#include "basis/boolean_value.h"
#include "basis/class_registry.h"
#include "basis/date_time_value.h"
#include "basis/file.h"
#include "basis/hash_set.h"
#include "basis/hashtable.h"
#include "basis/integer_value.h"
#include "basis/map_entry.h"
#include "basis/properties.h"
#include "basis/string_collection.h"
#include "basis/string_set.h"
#include "basis/string_value.h"
#include "basis/text_file.h"

void basisStartUp() {
  ClassRegistry::registerClass<TPObject>();
  ClassRegistry::registerClass<TFile>();
  ClassRegistry::registerClass<TTextFile>();
  ClassRegistry::registerClass<TStringCollection>();
  ClassRegistry::registerClass<TArrayList>();
  ClassRegistry::registerClass<TString>();
  ClassRegistry::registerClass<TInteger>();
  ClassRegistry::registerClass<TBoolean>();
  ClassRegistry::registerClass<TTDateTime>();
  ClassRegistry::registerClass<THashSet>();
  ClassRegistry::registerClass<TStringSet>();
  ClassRegistry::registerClass<TMapEntry>();
  ClassRegistry::registerClass<THashtable>();
  ClassRegistry::registerClass<TStringtable>();
  ClassRegistry::registerClass<TProperties>();
  std::srand(static_cast<unsigned>(std::time(nullptr)));
}
