#include "basis/array_list.h"

#include <algorithm>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/text_file.h"
#include "platform/exception.h"

TArrayList::~TArrayList() { TArrayList::clear(); }

int32_t TArrayList::add(TMappedObject* obj) {
  if (obj == nullptr) throw IllegalArgumentException("TArrayList.add: Object is nil.");
  items_.push_back(obj);
  ++modifications_;
  return size() - 1;
}

int32_t TArrayList::add(std::unique_ptr<TMappedObject> obj) {
  const int32_t index = add(obj.get());
  obj.release();
  return index;
}

int32_t TArrayList::append(TMappedObject* obj) {
  if (obj == nullptr) throw IllegalArgumentException("TArrayList.add: Object is nil.");
  items_.push_back(obj);
  ++modifications_;
  return size() - 1;
}

int32_t TArrayList::append(std::unique_ptr<TMappedObject> obj) {
  const int32_t index = append(obj.get());
  obj.release();
  return index;
}

void TArrayList::addAll(const TArrayList& list) {
  // Counted up front so that adding a list to itself ends.
  const size_t n = list.items_.size();
  items_.reserve(items_.size() + n);
  for (size_t i = 0; i < n; ++i) items_.push_back(list.items_[i]);
  ++modifications_;
}

void TArrayList::remove(int32_t index) {
  if (index < 0 || index >= size()) platform::throwListIndexError(index);
  TMappedObject* obj = items_[static_cast<size_t>(index)];
  items_.erase(items_.begin() + index);
  ++modifications_;
  if (ownsObjects_) delete obj;
}

bool TArrayList::remove(TMappedObject* obj) {
  int32_t index = indexOf(obj);
  if (index < 0) return false;
  remove(index);
  return true;
}

TMappedObject* TArrayList::get(int32_t index) const {
  if (index < 0 || index >= size()) platform::throwListIndexError(index);
  return items_[static_cast<size_t>(index)];
}

int32_t TArrayList::indexOf(const TMappedObject* obj) const {
  auto it = std::find(items_.begin(), items_.end(), obj);
  return it == items_.end() ? -1 : static_cast<int32_t>(it - items_.begin());
}

std::vector<std::unique_ptr<TMappedObject>> TArrayList::extractAll() {
  std::vector<std::unique_ptr<TMappedObject>> taken;
  // Room first, so that no element is between owners when memory runs out.
  taken.reserve(items_.size());
  for (TMappedObject* obj : items_) taken.emplace_back(obj);
  items_.clear();
  ++modifications_;
  return taken;
}

void TArrayList::clear() {
  // Detached first, then freed front to back, so the list is consistent
  // while element destructors run.
  std::vector<TMappedObject*> old;
  old.swap(items_);
  ++modifications_;
  if (ownsObjects_) {
    for (TMappedObject* obj : old) delete obj;
  }
}

std::unique_ptr<TMappedObject> TArrayList::clone() const {
  auto copy = std::make_unique<TArrayList>(ownsObjects_);
  copy->items_.reserve(items_.size());
  for (TMappedObject* obj : items_) {
    if (ownsObjects_) {
      copy->items_.push_back(obj->clone().release());
    } else {
      copy->items_.push_back(obj);
    }
  }
  return copy;
}

void TArrayList::readFrom(TFile& file) {
  clear();
  // The stored count is not trusted for an allocation: every element read
  // consumes bytes, so a count beyond the data ends in the file's short-read error.
  const int32_t count = file.readInt();
  // Each element takes at least its class name's and its block's lengths,
  // so no more room is taken than the bytes left could fill.
  const int64_t room = std::min<int64_t>(count, file.bytesLeft() / 8);
  if (room > 0) items_.reserve(items_.size() + static_cast<size_t>(room));
  const size_t before = items_.size();
  try {
    for (int32_t i = 0; i < count; ++i) add(file.readTPObject());
  } catch (...) {
    // Elements read so far belong to nobody when the list does not own them.
    if (!ownsObjects_) {
      for (size_t i = before; i < items_.size(); ++i) delete items_[i];
      items_.resize(before);
    }
    throw;
  }
}

void TArrayList::writeTo(TFile& file) {
  int32_t count = 0;
  for (TMappedObject* obj : items_) {
    if (obj->asPObject() != nullptr) ++count;
  }
  file.writeInt(count);
  for (TMappedObject* obj : items_) {
    if (TPObject* p = obj->asPObject()) file.writeTPObject(*p);
  }
}

void TArrayList::printTo(TTextFile& file) {
  file.writeln(toString());
  for (TMappedObject* obj : items_) {
    if (TPObject* p = obj->asPObject()) p->printTo(file);
  }
  file.writeln("");
}
