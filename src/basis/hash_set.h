// THashSet, the hash set of the library. Elements are kept in buckets chosen
// by the absolute value of their hashCode() modulo the bucket count; equality
// is the stored element's equals(). The set grows by doubling `capacity` when
// size() / capacity exceeds the load factor before an add, and then rehashes. The
// iteration order (buckets in index order, each in the order of its
// elements) is therefore fixed by the hash codes and the growth history, and
// so are the bytes a set stores: writeTo stores toList() as a TArrayList.
//
// Ownership: with ownsObjects set the set frees an element when it is
// removed, when the set is cleared and when it is destroyed. An element that
// add() refuses as a duplicate stays with the caller (addOrFree can free it).
// THashSet does not own its elements by default; TStringSet (string_set.h)
// does.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "basis/abstract_collection.h"
#include "platform/export.h"

class TArrayList;

// The set of TMappedObject elements, equal by equals() and placed by
// hashCode(); both, and the growth history, fix the order it stores.
class VOSKO_API THashSet : public TAbstractCollection {
 public:
  VOSKO_CLASS_NAME(THashSet)

  static constexpr int32_t kDefaultCapacity = 20;
  static constexpr double kDefaultLoadFactor = 0.75;

  // 20 buckets, capacity 20, load factor 0.75, not owning.
  THashSet();
  explicit THashSet(bool ownsObjects);
  // Starts with 20 buckets whatever the capacity; the capacity takes effect
  // at the next growth. A load factor outside 0.1..1 raises
  // IllegalArgumentException "THashSet: The load factor must be a double
  // between 0.1 and 1."; a capacity below 1 raises "THashSet: The capacity
  // must be bigger then 1.".
  THashSet(int32_t capacity, bool ownsObjects, double loadFactor);
  ~THashSet() override;

  // addOrFree(obj, false).
  virtual bool add(TMappedObject* obj);
  // add(obj) for an object the caller hands over: the set holds it once add
  // has taken it, and it is freed here when add refuses it as a duplicate or
  // raises. REQUIRES: the set owns its elements, or nobody frees it.
  bool add(std::unique_ptr<TMappedObject> obj);
  // Adds obj unless an equal element is present; then obj is freed when
  // freeIfPresent is set (and otherwise left with the caller). True when
  // added. A null obj raises IllegalArgumentException "THashSet.add: Given
  // object is nil.".
  virtual bool addOrFree(TMappedObject* obj, bool freeIfPresent);
  // The stored element that equals obj, or null.
  virtual TMappedObject* get(const TMappedObject* obj) const;
  virtual bool contains(const TMappedObject* obj) const;
  virtual bool containsAll(const TArrayList& list) const;
  virtual bool containsAll(const THashSet& set) const;
  // Removes the element equal to obj, freeing it when owning; true when found.
  bool remove(const TMappedObject* obj);
  // Removes the element equal to obj without freeing it and hands it to the
  // caller; null when none.
  TMappedObject* extract(const TMappedObject* obj);
  // add() of every element of list in order; true when all were added.
  bool addAll(const TArrayList& list);
  // A new list of all elements in iteration order; it does not own them.
  std::unique_ptr<TArrayList> toList() const;

  int32_t size() const override { return count_; }
  bool isEmpty() const override { return count_ == 0; }
  // Frees the elements when owning and starts again with `capacity` buckets.
  void clear() override;

  int32_t getCapacity() const { return capacity_; }
  double getLoadFactor() const { return loadFactor_; }
  int32_t bucketCount() const { return static_cast<int32_t>(buckets_.size()); }

  // Another THashSet (or descendant) whose every element is contained here.
  bool equals(const TMappedObject* obj) const override;
  // Sum of the elements' hash codes, wrapping at 32 bits.
  int32_t hashCode() const override;
  // Same capacity, flag and load factor; an owning set holds clones of the
  // elements, a non-owning one the elements themselves.
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

 protected:
  using Bucket = std::vector<TMappedObject*>;

  // The settings of a copy, before it receives the elements.
  void configure(int32_t capacity, bool ownsObjects, double loadFactor);
  void copyElementsInto(THashSet& target) const;
  // Calls f(element) for every element in iteration order.
  template <class F>
  void forEachElement(F f) const {
    for (const Bucket& bucket : buckets_) {
      for (TMappedObject* obj : bucket) f(obj);
    }
  }

 private:
  size_t bucketIndex(const TMappedObject* obj) const;
  static size_t bucketIndex(const TMappedObject* obj, size_t bucketCount);
  static std::vector<Bucket> makeBuckets(int32_t capacity);
  // Spreads the elements over `capacity` new buckets and takes that capacity.
  void rehash(int32_t capacity);
  void freeAll();

  int32_t capacity_ = kDefaultCapacity;
  double loadFactor_ = kDefaultLoadFactor;
  int32_t count_ = 0;
  std::vector<Bucket> buckets_;
};
