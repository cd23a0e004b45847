#include "basis/hash_set.h"

#include <climits>
#include <cstdlib>

#include "basis/array_list.h"
#include "basis/exceptions.h"
#include "basis/file.h"

THashSet::THashSet() : buckets_(makeBuckets(kDefaultCapacity)) {}

THashSet::THashSet(bool ownsObjects) : THashSet() { ownsObjects_ = ownsObjects; }

THashSet::THashSet(int32_t capacity, bool ownsObjects, double loadFactor) : THashSet() {
  configure(capacity, ownsObjects, loadFactor);
}

THashSet::~THashSet() { freeAll(); }

void THashSet::configure(int32_t capacity, bool ownsObjects, double loadFactor) {
  if (loadFactor < 0.1 || loadFactor > 1) {
    throw IllegalArgumentException("THashSet: The load factor must be a double between 0.1 and 1.");
  }
  // A capacity below 1 could never grow by doubling; refuse it before it is used.
  if (capacity < 1) throw IllegalArgumentException("THashSet: The capacity must be bigger then 1.");
  capacity_ = capacity;
  ownsObjects_ = ownsObjects;
  loadFactor_ = loadFactor;
}

std::vector<THashSet::Bucket> THashSet::makeBuckets(int32_t capacity) {
  if (capacity <= 0) throw IllegalArgumentException("THashSet: The capacity must be bigger then 1.");
  return std::vector<Bucket>(static_cast<size_t>(capacity));
}

size_t THashSet::bucketIndex(const TMappedObject* obj) const { return bucketIndex(obj, buckets_.size()); }

size_t THashSet::bucketIndex(const TMappedObject* obj, size_t bucketCount) {
  if (obj == nullptr) throw IllegalArgumentException("THashSet: Given object is nil.");
  // Taken in 64 bits so that the smallest 32-bit hash code has an absolute value too.
  const int64_t hash = obj->hashCode();
  return static_cast<size_t>(std::llabs(hash)) % bucketCount;
}

bool THashSet::add(TMappedObject* obj) { return addOrFree(obj, false); }

bool THashSet::add(std::unique_ptr<TMappedObject> obj) {
  if (!add(obj.get())) return false;
  obj.release();
  return true;
}

bool THashSet::addOrFree(TMappedObject* obj, bool freeIfPresent) {
  if (obj == nullptr) throw IllegalArgumentException("THashSet.add: Given object is nil.");
  if (TMappedObject* present = get(obj)) {
    // Never free the stored element itself when it is offered again.
    if (freeIfPresent && present != obj) delete obj;
    return false;
  }
  int32_t capacity = capacity_;
  while (static_cast<double>(count_) / capacity > loadFactor_ && capacity <= INT32_MAX / 2) capacity *= 2;
  if (capacity != capacity_) rehash(capacity);
  buckets_[bucketIndex(obj)].push_back(obj);
  ++count_;
  return true;
}

void THashSet::rehash(int32_t capacity) {
  // The new buckets are filled beside the old ones, so that an element whose
  // hash code fails leaves the set as it was.
  std::vector<Bucket> grown = makeBuckets(capacity);
  for (const Bucket& bucket : buckets_) {
    for (TMappedObject* obj : bucket) grown[bucketIndex(obj, grown.size())].push_back(obj);
  }
  buckets_.swap(grown);
  capacity_ = capacity;
}

TMappedObject* THashSet::get(const TMappedObject* obj) const {
  for (TMappedObject* element : buckets_[bucketIndex(obj)]) {
    if (element->equals(obj)) return element;
  }
  return nullptr;
}

bool THashSet::contains(const TMappedObject* obj) const { return get(obj) != nullptr; }

bool THashSet::containsAll(const TArrayList& list) const {
  for (int32_t i = 0; i < list.size(); ++i) {
    if (!contains(list.get(i))) return false;
  }
  return true;
}

bool THashSet::containsAll(const THashSet& set) const { return containsAll(*set.toList()); }

TMappedObject* THashSet::extract(const TMappedObject* obj) {
  Bucket& bucket = buckets_[bucketIndex(obj)];
  for (auto it = bucket.begin(); it != bucket.end(); ++it) {
    if ((*it)->equals(obj)) {
      TMappedObject* element = *it;
      bucket.erase(it);
      --count_;
      return element;
    }
  }
  return nullptr;
}

bool THashSet::remove(const TMappedObject* obj) {
  TMappedObject* element = extract(obj);
  if (element == nullptr) return false;
  if (ownsObjects_) delete element;
  return true;
}

bool THashSet::addAll(const TArrayList& list) {
  bool all = true;
  for (int32_t i = 0; i < list.size(); ++i) {
    if (!add(list.get(i))) all = false;
  }
  return all;
}

std::unique_ptr<TArrayList> THashSet::toList() const {
  auto list = std::make_unique<TArrayList>();
  forEachElement([&](TMappedObject* obj) { list->append(obj); });
  return list;
}

void THashSet::freeAll() {
  std::vector<Bucket> old;
  old.swap(buckets_);
  count_ = 0;
  if (ownsObjects_) {
    for (const Bucket& bucket : old) {
      for (TMappedObject* obj : bucket) delete obj;
    }
  }
}

void THashSet::clear() {
  freeAll();
  buckets_ = makeBuckets(capacity_);
}

bool THashSet::equals(const TMappedObject* obj) const {
  auto* other = dynamic_cast<const THashSet*>(obj);
  if (other == nullptr) return false;
  bool all = true;
  other->forEachElement([&](TMappedObject* element) {
    if (all && !contains(element)) all = false;
  });
  return all;
}

int32_t THashSet::hashCode() const {
  uint32_t sum = 0;
  forEachElement([&](TMappedObject* obj) { sum += static_cast<uint32_t>(obj->hashCode()); });
  return static_cast<int32_t>(sum);
}

void THashSet::copyElementsInto(THashSet& target) const {
  forEachElement([&](TMappedObject* obj) {
    if (ownsObjects_) {
      target.add(obj->clone());
    } else {
      target.add(obj);
    }
  });
}

std::unique_ptr<TMappedObject> THashSet::clone() const {
  auto copy = std::make_unique<THashSet>();
  copy->configure(capacity_, ownsObjects_, loadFactor_);
  copyElementsInto(*copy);
  return copy;
}

void THashSet::readFrom(TFile& file) {
  clear();
  std::unique_ptr<TPObject> stored = file.readTPObject();
  auto* list = dynamic_cast<TArrayList*>(stored.get());
  if (list == nullptr) {
    // Whatever a foreign collection holds goes with it.
    if (auto* other = dynamic_cast<TAbstractCollection*>(stored.get())) other->setOwnsObjects(true);
    throw IOException(std::string("THashSet.readFrom: Illegal object: ") + stored->className() + ".");
  }
  // The elements were made for this set alone: each passes from the list to
  // the set one at a time, and a duplicate, or one that the set fails to take,
  // is freed.
  list->setOwnsObjects(true);
  for (std::unique_ptr<TMappedObject>& element : list->extractAll()) {
    if (addOrFree(element.get(), false)) element.release();
  }
}

void THashSet::writeTo(TFile& file) { file.writeTPObject(*toList()); }
