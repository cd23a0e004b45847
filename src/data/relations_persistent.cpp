#include "data/relations_persistent.h"

#include "basis/array_list.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_table.h"
#include "basis/string_value.h"

std::unique_ptr<TStringtable> TRelationsPersistent::readStringtable(TFile& file, const std::string& where) {
  std::unique_ptr<TPObject> stored = file.readTPObject();
  // Whatever a foreign collection holds is freed with it.
  if (auto* collection = dynamic_cast<TAbstractCollection*>(stored.get())) collection->setOwnsObjects(true);
  auto* table = dynamic_cast<TStringtable*>(stored.get());
  if (table == nullptr) throw IOException(where + ": Object is no TStringtable.");
  stored.release();
  std::unique_ptr<TStringtable> result(table);
  std::unique_ptr<TArrayList> keys = result->keys();
  for (int32_t i = 0; i < keys->size(); ++i) {
    if (dynamic_cast<TString*>(keys->get(i)) == nullptr) {
      throw IOException(where + ": Illegal key: " + keys->get(i)->className() + ".");
    }
  }
  return result;
}
