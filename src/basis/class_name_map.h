// The class-name map that load and readTPObject take: stored class names to
// the names of the registered classes that read them. Files written by an
// older version name classes that now carry a version suffix, and readers
// that trust only a few classes map each of those to itself.
#pragma once

#include <initializer_list>
#include <memory>

#include "basis/hashtable.h"
#include "platform/export.h"

// One entry of a class-name map: the name a file stores and the registered
// class that reads it.
struct VOSKO_API ClassNamePair {
  const char* stored;
  const char* registered;
};

// A table owning its TString keys and values, filled in the order given.
VOSKO_API std::unique_ptr<THashtable> makeClassNameMap(std::initializer_list<ClassNamePair> pairs);
