// TArrayList, the ordered list of the library: elements in insertion order,
// addressed by a 0-based index. The sound-carrier database and every carrier
// derive from it, so its binary form (an integer count, then each element as
// class name and block) is the skeleton of every database file.
//
// Ownership: with ownsObjects set the list frees an element when it is
// removed, when the list is cleared and when it is destroyed; otherwise the
// elements belong to the caller. A new list does not own its elements.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "basis/abstract_collection.h"
#include "platform/export.h"

// The ordered list of TMappedObject elements, addressed by index and stored
// as its count and each element as an object.
class VOSKO_API TArrayList : public TAbstractCollection {
 public:
  VOSKO_CLASS_NAME(TArrayList)

  TArrayList() = default;
  explicit TArrayList(bool ownsObjects) { ownsObjects_ = ownsObjects; }
  ~TArrayList() override;

  // Appends obj and returns its index; a null obj raises
  // IllegalArgumentException "TArrayList.add: Object is nil.". Descendants
  // override it to admit only their own element class.
  virtual int32_t add(TMappedObject* obj);
  // add(obj) for an object the caller hands over: the list holds it once add
  // has accepted it, and it is freed here when add raises. REQUIRES: the list
  // owns its elements, or nobody frees it.
  int32_t add(std::unique_ptr<TMappedObject> obj);
  // Appends obj without passing through the virtual add, for descendants
  // that have checked the element already. A null obj is refused as in add.
  int32_t append(TMappedObject* obj);
  // append(obj) for an object the caller hands over, as add above.
  int32_t append(std::unique_ptr<TMappedObject> obj);
  // Appends the very elements of `list` (not copies) in order. REQUIRES: not
  // both lists own their elements, or each element would be freed twice.
  virtual void addAll(const TArrayList& list);
  // Removes the element at index, freeing it when owning; an index out of
  // range raises the platform's list error.
  virtual void remove(int32_t index);
  // Removes the first element that is the very object obj (not merely equal);
  // true when one was removed.
  virtual bool remove(TMappedObject* obj);

  // The element at index, still owned as before; out of range raises the
  // platform's list error "Listenindex überschreitet das Maximum (<index>)".
  TMappedObject* get(int32_t index) const;
  // Position of the very object obj, or -1.
  int32_t indexOf(const TMappedObject* obj) const;
  // Empties the list and hands its elements to the caller in order, so that
  // they can change owner one at a time. REQUIRES: the list owns them.
  std::vector<std::unique_ptr<TMappedObject>> extractAll();

  int32_t size() const override { return static_cast<int32_t>(items_.size()); }
  void clear() override;

  // A TArrayList (whatever the class of this list) with the same flag: an
  // owning list holds clones of the elements, a non-owning one the elements
  // themselves.
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;
  // toString() as one line, printTo of each persistent element, an empty line.
  void printTo(TTextFile& file) override;

 protected:
  // Grows with every change of the elements held, so that a descendant can
  // tell whether what it derived from them is still true.
  uint64_t modificationCount() const { return modifications_; }

 private:
  std::vector<TMappedObject*> items_;
  uint64_t modifications_ = 0;
};
