// The root of the foundation library. Every class of the system has a class
// name, the exact identifier that files and messages use; persistent classes
// store it and the class registry turns it back into an object.
//
// Copying is switched off throughout the hierarchy: objects are shared by
// pointer and duplicated with clone(), which hands the caller a new object.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/export.h"

class TPObject;

// Declares the class name of a class; use in the public section of each class.
#define VOSKO_CLASS_NAME(Name)                     \
  static constexpr const char* kClassName = #Name; \
  const char* className() const override { return kClassName; }

// The root class: the class name, equality, hash code, text form and copy
// that every class of the system refines.
class VOSKO_API TMappedObject {
 public:
  static constexpr const char* kClassName = "TMappedObject";

  TMappedObject() = default;
  virtual ~TMappedObject() = default;
  TMappedObject(const TMappedObject&) = delete;
  TMappedObject& operator=(const TMappedObject&) = delete;

  virtual const char* className() const { return kClassName; }

  // True only for this very object.
  virtual bool equals(const TMappedObject* obj) const;
  // The class name.
  virtual std::string toString() const;
  // The object's identity, so that equal objects under the default equals hash alike.
  virtual int32_t hashCode() const;
  // A new object owned by the caller; by default an empty TMappedObject.
  virtual std::unique_ptr<TMappedObject> clone() const;
  // This object as a persistent one, or null: the lists ask it of every
  // element they store, where a cast would cost more than the writing.
  virtual TPObject* asPObject() { return nullptr; }
};

// clone() for callers who know the class: the copy as that class.
template <class T>
std::unique_ptr<T> cloneAs(const T& obj) {
  std::unique_ptr<TMappedObject> copy = obj.clone();
  auto* typed = dynamic_cast<T*>(copy.get());
  if (typed == nullptr) return nullptr;
  copy.release();
  return std::unique_ptr<T>(typed);
}
