// TDebugList, the base of a channel's lists: TDebugWriters (the writers that
// receive its records, in order; debug_writers.h) and TDebugReaders (the
// readers of its binary files; debug_readers.h). A list owns its elements and
// frees them when it is cleared or destroyed; lists handed out by get() own
// nothing.
//
// Like every part of the diagnostics the lists report their own failures as
// internal errors and answer with the value documented at each operation;
// only TDebugWriters::write raises, so that the channel can report the
// writer's failure.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/array_list.h"
#include "debug/debug_object.h"
#include "platform/export.h"

// Stands for a class in TDebugList::get: true when obj is an instance of the
// class or of a descendant. instanceTest<TFileWriter>() makes one.
using TClassTest = bool (*)(const TMappedObject* obj);

template <class T>
TClassTest instanceTest() {
  return [](const TMappedObject* obj) { return dynamic_cast<const T*>(obj) != nullptr; };
}

// The owning list of a channel's writers or readers.
class VOSKO_API TDebugList : public TDebugObject {
 public:
  VOSKO_CLASS_NAME(TDebugList)

  TDebugList();
  ~TDebugList() override;

  // A new list (owning nothing) of the elements that are instances of the
  // class or of a descendant; null after an internal error.
  virtual std::unique_ptr<TArrayList> get(TClassTest isInstance) const;
  // A new list (owning nothing) of the elements whose own class name equals
  // className, letter case ignored; descendants do not match. Null after an
  // internal error.
  virtual std::unique_ptr<TArrayList> get(const std::string& className) const;

  // Frees every element.
  void clear();
  // 0 after an internal error.
  int32_t size() const;

 protected:
  // Appends obj, which the list takes; a null obj is refused and reported
  // under methodName.
  void addElement(std::unique_ptr<TMappedObject> obj, const char* methodName);

  TArrayList elements_{true};
};
