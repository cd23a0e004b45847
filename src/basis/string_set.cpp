#include "basis/string_set.h"

#include "basis/array_list.h"
#include "basis/exceptions.h"
#include "basis/string_collection.h"
#include "basis/string_value.h"

TStringSet::TStringSet() : THashSet(true) {}

bool TStringSet::contains(const std::string& s) const {
  TString probe(s);
  return THashSet::contains(&probe);
}

bool TStringSet::add(const std::string& s) { return THashSet::add(std::make_unique<TString>(s)); }

void TStringSet::addAll(const TStringCollection& lines) {
  for (int32_t i = 0; i < lines.count(); ++i) add(lines.get(i));
}

void TStringSet::addStrings(const THashSet& set) {
  std::unique_ptr<TArrayList> elements = set.toList();
  for (int32_t i = 0; i < elements->size(); ++i) {
    auto* s = dynamic_cast<TString*>(elements->get(i));
    if (s == nullptr) {
      throw IllegalStateException(std::string("TStringSet.addStrings: Illegal object: ") +
                                  elements->get(i)->className() + ".");
    }
    add(s->getValue());
  }
}

bool TStringSet::remove(const std::string& s) {
  TString probe(s);
  return THashSet::remove(&probe);
}

std::unique_ptr<TStringCollection> TStringSet::toStringCollection() const {
  auto lines = std::make_unique<TStringCollection>();
  forEachElement([&](TMappedObject* obj) { lines->add(obj->toString()); });
  return lines;
}

std::unique_ptr<TMappedObject> TStringSet::clone() const {
  auto copy = std::make_unique<TStringSet>();
  copy->configure(getCapacity(), getOwnsObjects(), getLoadFactor());
  copyElementsInto(*copy);
  return copy;
}
