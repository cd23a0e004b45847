// The lists of a channel: TDebugWriters (the writers that receive its
// records, in order) and TDebugReaders (the readers of its binary files),
// both on TDebugList. A list owns its elements and frees them when it is
// cleared or destroyed; lists handed out by get() own nothing.
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

class TDebugEntries;
class TDebugEntry;
class TDebugReader;
class TDebugWriter;

// Stands for a class in TDebugList::get: true when obj is an instance of the
// class or of a descendant. instanceTest<TFileWriter>() makes one.
using TClassTest = bool (*)(const TMappedObject* obj);

template <class T>
TClassTest instanceTest() {
  return [](const TMappedObject* obj) { return dynamic_cast<const T*>(obj) != nullptr; };
}

class TDebugList : public TDebugObject {
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

class TDebugWriters : public TDebugList {
 public:
  VOSKO_CLASS_NAME(TDebugWriters)

  using TDebugList::get;

  // Takes the writer; a null writer is reported and ignored.
  void add(std::unique_ptr<TDebugWriter> writer);
  // The writer at index, still owned by the list; null after an internal error.
  TDebugWriter* get(int32_t index) const;
  // Every writer's write in list order. The first failure stops the loop and
  // is raised as IOException "TDebugWriters.write(TDebugEntry): (Class) message".
  void write(const TDebugEntry& entry);
};

class TDebugReaders : public TDebugList {
 public:
  VOSKO_CLASS_NAME(TDebugReaders)

  using TDebugList::get;

  // Takes the reader; a null reader is reported and ignored.
  void add(std::unique_ptr<TDebugReader> reader);
  // The reader at index, still owned by the list; null after an internal error.
  TDebugReader* get(int32_t index) const;
  // The entries of every reader in reader order, moved into one new list
  // that the caller owns. A failure is reported and the entries gathered so
  // far are returned.
  std::unique_ptr<TDebugEntries> read();
};
