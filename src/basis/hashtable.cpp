#include "basis/hashtable.h"

#include <string>

#include "basis/array_list.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/hash_set.h"
#include "basis/map_entry.h"
#include "platform/message_value.h"

namespace {

// An entry around a key the caller still owns, for lookups; the key goes
// back untouched when the probe ends.
class Probe {
 public:
  explicit Probe(const TMappedObject* key) {
    entry_.setKey(std::unique_ptr<TMappedObject>(const_cast<TMappedObject*>(key)));
  }
  ~Probe() { entry_.releaseKey().release(); }
  Probe(const Probe&) = delete;
  Probe& operator=(const Probe&) = delete;
  const TMapEntry* get() const { return &entry_; }

 private:
  TMapEntry entry_;
};

// A new entry around the caller's key and value until the entry set takes
// it; when an exception leaves first, key and value stay with the caller.
class PendingEntry {
 public:
  PendingEntry(TMappedObject* key, TMappedObject* value) : entry_(std::make_unique<TMapEntry>()) {
    entry_->setKey(std::unique_ptr<TMappedObject>(key));
    entry_->setValue(std::unique_ptr<TMappedObject>(value));
  }
  ~PendingEntry() {
    if (entry_) {
      entry_->releaseKey().release();
      entry_->releaseValue().release();
    }
  }
  PendingEntry(const PendingEntry&) = delete;
  PendingEntry& operator=(const PendingEntry&) = delete;
  TMapEntry* get() const { return entry_.get(); }
  void release() { entry_.release(); }

 private:
  std::unique_ptr<TMapEntry> entry_;
};

TMapEntry* asEntry(TMappedObject* obj) { return static_cast<TMapEntry*>(obj); }

// Lets a set drop its elements without freeing them; the set gets its own
// flag back however the scope is left.
class OwnershipSuspended {
 public:
  explicit OwnershipSuspended(TAbstractCollection& collection)
      : collection_(collection), owns_(collection.getOwnsObjects()) {
    collection_.setOwnsObjects(false);
  }
  ~OwnershipSuspended() { collection_.setOwnsObjects(owns_); }
  OwnershipSuspended(const OwnershipSuspended&) = delete;
  OwnershipSuspended& operator=(const OwnershipSuspended&) = delete;

 private:
  TAbstractCollection& collection_;
  bool owns_;
};

}  // namespace

THashtable::THashtable() : THashtable(false) {}

THashtable::THashtable(bool ownsObjects) : entries_(std::make_unique<THashSet>(ownsObjects)) {
  ownsObjects_ = ownsObjects;
}

THashtable::~THashtable() { disposeAll(); }

void THashtable::setOwnsObjects(bool ownsObjects) {
  ownsObjects_ = ownsObjects;
  entries_->setOwnsObjects(ownsObjects);
}

int32_t THashtable::size() const { return entries_->size(); }

bool THashtable::isEmpty() const { return size() == 0; }

void THashtable::clear() { disposeAll(); }

void THashtable::dispose(TMapEntry* entry, const TMappedObject* keep1, const TMappedObject* keep2) {
  std::unique_ptr<TMapEntry> holder(entry);
  auto let = [&](std::unique_ptr<TMappedObject> part) {
    if (!ownsObjects_ || part.get() == keep1 || part.get() == keep2) part.release();
  };
  let(holder->releaseKey());
  let(holder->releaseValue());
}

void THashtable::disposeAll() {
  std::unique_ptr<TArrayList> all = entries_->toList();
  {
    // The set lets go of the wrappers only; what they hold is decided here.
    OwnershipSuspended suspended(*entries_);
    entries_->clear();
  }
  for (int32_t i = 0; i < all->size(); ++i) dispose(asEntry(all->get(i)), nullptr, nullptr);
}

TMapEntry* THashtable::find(const TMappedObject* key) const {
  Probe probe(key);
  return asEntry(entries_->get(probe.get()));
}

bool THashtable::containsKey(const TMappedObject* key) const { return find(key) != nullptr; }

bool THashtable::containsValue(const TMappedObject* value) const {
  std::unique_ptr<TArrayList> all = entries_->toList();
  for (int32_t i = 0; i < all->size(); ++i) {
    TMappedObject* stored = asEntry(all->get(i))->getValue();
    if (stored != nullptr && stored->equals(value)) return true;
  }
  return false;
}

TMappedObject* THashtable::get(const TMappedObject* key) const {
  TMapEntry* entry = find(key);
  if (entry == nullptr) {
    throw InvalidKeyException(
        "THashtable.get: Key: " + (key ? platform::messageValue(key->toString()) : std::string("nil")) +
        " not found.");
  }
  return entry->getValue();
}

std::unique_ptr<TArrayList> THashtable::keys() const {
  std::unique_ptr<TArrayList> list = entries_->toList();
  auto result = std::make_unique<TArrayList>();
  for (int32_t i = 0; i < list->size(); ++i) result->append(asEntry(list->get(i))->getKey());
  return result;
}

std::unique_ptr<TArrayList> THashtable::values() const {
  std::unique_ptr<TArrayList> list = entries_->toList();
  auto result = std::make_unique<TArrayList>();
  for (int32_t i = 0; i < list->size(); ++i) result->append(asEntry(list->get(i))->getValue());
  return result;
}

void THashtable::reput(const TMappedObject* oldKey, TMappedObject* newKey) {
  if (oldKey == nullptr || newKey == nullptr) {
    throw IllegalArgumentException("THashtable.reput: Old or new key not assigned.");
  }
  TMapEntry* entry = find(oldKey);
  if (entry == nullptr) {
    throw InvalidKeyException("THashtable.reput: Key " + oldKey->toString() + " does not exists in map.");
  }
  entries_->extract(entry);
  // The old key is kept until the entry is back in the set, so that a failure
  // can put the pair back under it and leave newKey with the caller.
  std::unique_ptr<TMappedObject> replaced = entry->releaseKey();
  entry->setKey(std::unique_ptr<TMappedObject>(newKey));
  bool added = false;
  try {
    added = entries_->add(entry);
  } catch (...) {
    entry->releaseKey().release();
    entry->setKey(std::move(replaced));
    restore(entry);
    throw;
  }
  if (!ownsObjects_ || replaced.get() == newKey) replaced.release();
  replaced.reset();
  // A pair already under newKey stays; the moved pair is dropped like a replaced one.
  if (!added) dispose(entry, nullptr, nullptr);
}

void THashtable::restore(TMapEntry* entry) {
  bool back = false;
  try {
    back = entries_->add(entry);
  } catch (...) {
    // The caller hears of the first failure; this one costs only the pair.
  }
  if (!back) dispose(entry, nullptr, nullptr);
}

void THashtable::reput(const TMappedObject* oldKey, std::unique_ptr<TMappedObject> newKey) {
  reput(oldKey, newKey.get());
  newKey.release();
}

std::unique_ptr<TMappedObject> THashtable::put(TMappedObject* key, TMappedObject* value) {
  if (key == nullptr || value == nullptr) {
    throw IllegalArgumentException("THashtable: Key and value mustn't equals nil.");
  }
  PendingEntry pending(key, value);
  std::unique_ptr<TMappedObject> oldValue;
  if (TMapEntry* old = asEntry(entries_->get(pending.get()))) {
    if (old->getValue() != nullptr) oldValue = old->getValue()->clone();
    entries_->extract(old);
    // The caller may put the very key or value that the old pair held.
    dispose(old, key, value);
  }
  entries_->add(pending.get());
  pending.release();
  return oldValue;
}

std::unique_ptr<TMappedObject> THashtable::put(std::unique_ptr<TMappedObject> key,
                                               std::unique_ptr<TMappedObject> value) {
  std::unique_ptr<TMappedObject> oldValue = put(key.get(), value.get());
  key.release();
  value.release();
  return oldValue;
}

void THashtable::putAll(const THashtable& map) {
  std::unique_ptr<TArrayList> keyList = map.keys();
  std::unique_ptr<TArrayList> valueList = map.values();
  for (int32_t i = 0; i < keyList->size(); ++i) put(keyList->get(i), valueList->get(i));
}

std::unique_ptr<TMappedObject> THashtable::remove(const TMappedObject* key) {
  TMapEntry* entry = find(key);
  if (entry == nullptr) return nullptr;
  std::unique_ptr<TMappedObject> oldValue;
  if (entry->getValue() != nullptr) oldValue = entry->getValue()->clone();
  entries_->extract(entry);
  dispose(entry, nullptr, nullptr);
  return oldValue;
}

bool THashtable::equals(const TMappedObject* obj) const {
  auto* other = dynamic_cast<const THashtable*>(obj);
  return other != nullptr && entries_->equals(other->entries_.get());
}

int32_t THashtable::hashCode() const { return entries_->hashCode(); }

void THashtable::copyInto(THashtable& target) const {
  std::unique_ptr<TArrayList> all = entries_->toList();
  for (int32_t i = 0; i < all->size(); ++i) {
    TMapEntry* entry = asEntry(all->get(i));
    if (ownsObjects_) {
      target.put(entry->getKey()->clone(), entry->getValue()->clone());
    } else {
      target.put(entry->getKey(), entry->getValue());
    }
  }
}

std::unique_ptr<TMappedObject> THashtable::clone() const {
  auto copy = std::make_unique<THashtable>(ownsObjects_);
  copyInto(*copy);
  return copy;
}

void THashtable::readFrom(TFile& file) {
  std::unique_ptr<TPObject> stored = file.readTPObject();
  auto* set = dynamic_cast<THashSet*>(stored.get());
  if (set == nullptr) {
    if (auto* other = dynamic_cast<TAbstractCollection*>(stored.get())) other->setOwnsObjects(true);
    throw IOException(std::string("THashtable.readFrom: Illegal object: ") + stored->className() + ".");
  }
  // Every later lookup relies on whole entries; a file holding anything else is refused.
  std::unique_ptr<TArrayList> all = set->toList();
  for (int32_t i = 0; i < all->size(); ++i) {
    auto* entry = dynamic_cast<TMapEntry*>(all->get(i));
    if (entry == nullptr || entry->getKey() == nullptr || entry->getValue() == nullptr) {
      set->setOwnsObjects(true);
      throw IOException(std::string("THashtable.readFrom: Illegal entry: ") + all->get(i)->className() + ".");
    }
  }
  disposeAll();
  set->setOwnsObjects(ownsObjects_);
  entries_.reset(set);
  stored.release();
}

void THashtable::writeTo(TFile& file) { file.writeTPObject(*entries_); }
