#include "basis/string_table.h"

#include "basis/array_list.h"
#include "basis/string_collection.h"
#include "basis/string_value.h"

TStringtable::TStringtable() : THashtable(true) {}

std::unique_ptr<TStringCollection> TStringtable::keyStrings() const {
  auto lines = std::make_unique<TStringCollection>();
  std::unique_ptr<TArrayList> keyList = keys();
  for (int32_t i = 0; i < keyList->size(); ++i) {
    if (auto* key = dynamic_cast<TString*>(keyList->get(i))) lines->add(key->getValue());
  }
  return lines;
}

bool TStringtable::containsKey(const std::string& s) const {
  TString key(s);
  return THashtable::containsKey(&key);
}

TMappedObject* TStringtable::get(const std::string& s) const {
  TString key(s);
  return THashtable::get(&key);
}

void TStringtable::reput(const std::string& oldS, const std::string& newS) {
  TString oldKey(oldS);
  THashtable::reput(&oldKey, std::make_unique<TString>(newS));
}

std::unique_ptr<TMappedObject> TStringtable::put(const std::string& s, TMappedObject* value) {
  auto key = std::make_unique<TString>(s);
  std::unique_ptr<TMappedObject> old = THashtable::put(key.get(), value);
  key.release();
  return old;
}

std::unique_ptr<TMappedObject> TStringtable::put(const std::string& s, std::unique_ptr<TMappedObject> value) {
  std::unique_ptr<TMappedObject> old = put(s, value.get());
  value.release();
  return old;
}

std::unique_ptr<TMappedObject> TStringtable::remove(const std::string& s) {
  TString key(s);
  return THashtable::remove(&key);
}

std::unique_ptr<TMappedObject> TStringtable::clone() const {
  auto copy = std::make_unique<TStringtable>();
  copy->setOwnsObjects(getOwnsObjects());
  copyInto(*copy);
  return copy;
}
