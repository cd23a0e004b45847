// THashtable, the map of the library: a THashSet of TMapEntry pairs, found
// by key (an entry's equals and hashCode are its key's). Iteration order,
// and with it the stored bytes, is the entry set's. Stored form: the entry
// set as an object ("THashSet" and its block).
//
// Ownership: with ownsObjects set the table frees a key and its value when
// their entry is removed or replaced, when the table is cleared and when it
// is destroyed; otherwise keys and values stay with the caller. The entry
// wrappers always belong to the table. The entry set carries the table's
// own flag. Values and copies handed out by put/remove are the caller's.
#pragma once

#include <cstdint>
#include <memory>

#include "basis/abstract_collection.h"
#include "platform/export.h"

class TArrayList;
class THashSet;
class TMapEntry;

// The map from TMappedObject keys to values, held as a set of TMapEntry pairs.
class VOSKO_API THashtable : public TAbstractCollection {
 public:
  VOSKO_CLASS_NAME(THashtable)

  THashtable();
  explicit THashtable(bool ownsObjects);
  ~THashtable() override;

  // Sets the flag on the table and on its entry set.
  void setOwnsObjects(bool ownsObjects) override;
  int32_t size() const override;
  bool isEmpty() const override;
  void clear() override;

  virtual bool containsKey(const TMappedObject* key) const;
  // Some value equals(value), in iteration order.
  virtual bool containsValue(const TMappedObject* value) const;
  // The value stored under key, still owned as before; a missing key raises
  // InvalidKeyException "THashtable.get: Key: <key> not found.".
  virtual TMappedObject* get(const TMappedObject* key) const;
  // New lists of the keys or the values in iteration order; they own nothing.
  virtual std::unique_ptr<TArrayList> keys() const;
  virtual std::unique_ptr<TArrayList> values() const;
  // Moves the value of oldKey to newKey, which the table takes in place of
  // the old key. Null keys raise IllegalArgumentException "THashtable.reput:
  // Old or new key not assigned."; a missing oldKey raises
  // InvalidKeyException "THashtable.reput: Key <key> does not exists in map.".
  // On any failure newKey stays with the caller and the pair stays under
  // oldKey.
  virtual void reput(const TMappedObject* oldKey, TMappedObject* newKey);
  // reput for a key the caller hands over; it is freed here when reput fails.
  // REQUIRES: the table owns its contents, or nobody frees the key.
  void reput(const TMappedObject* oldKey, std::unique_ptr<TMappedObject> newKey);
  // Stores value under key. Returns null for a new key, else a copy of the
  // old value (the old pair is dropped). Null key or value raise
  // IllegalArgumentException "THashtable: Key and value mustn't equals nil.";
  // on any failure key and value stay with the caller.
  virtual std::unique_ptr<TMappedObject> put(TMappedObject* key, TMappedObject* value);
  // put for a key and value the caller hands over; both are freed here when
  // put fails. REQUIRES: the table owns its contents, or nobody frees them.
  std::unique_ptr<TMappedObject> put(std::unique_ptr<TMappedObject> key,
                                     std::unique_ptr<TMappedObject> value);
  // put() of every pair of map, the same objects. REQUIRES: not both tables
  // own their contents.
  virtual void putAll(const THashtable& map);
  // Drops the pair of key and returns a copy of its value; null when absent.
  virtual std::unique_ptr<TMappedObject> remove(const TMappedObject* key);

  // Equal entry sets; obj must be a THashtable.
  bool equals(const TMappedObject* obj) const override;
  int32_t hashCode() const override;
  // A table of the same class and flag; an owning table copies keys and values.
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

  // The entry set, for subclasses and readers that add entries directly.
  THashSet& getEntries() { return *entries_; }
  const THashSet& getEntries() const { return *entries_; }

 protected:
  // Fills `target` (empty, same flag) with this table's pairs.
  void copyInto(THashtable& target) const;

 private:
  TMapEntry* find(const TMappedObject* key) const;
  // Lets an entry go that is no longer in the set: its key and value are
  // freed when owning, except the objects named in keep.
  void dispose(TMapEntry* entry, const TMappedObject* keep1, const TMappedObject* keep2);
  // Puts an entry that a failed reput took out back into the set, or lets it
  // go when even that fails.
  void restore(TMapEntry* entry);
  void disposeAll();

  std::unique_ptr<THashSet> entries_;
};
