// TAbstractCollection, the common base of the library's containers
// (TArrayList, THashSet, THashtable). Elements are held as TMappedObject
// pointers; the ownsObjects flag decides whether the collection frees an
// element when it removes it, when it is cleared and when it is destroyed.
// Without the flag the caller keeps ownership of everything it hands in.
#pragma once

#include <cstdint>

#include "basis/xml_persistent.h"
#include "platform/export.h"

// The base of the containers: the ownsObjects flag and the size, and no XML
// form of its own.
class VOSKO_API TAbstractCollection : public TXMLPersistent {
 public:
  VOSKO_CLASS_NAME(TAbstractCollection)

  virtual void setOwnsObjects(bool ownsObjects) { ownsObjects_ = ownsObjects; }
  bool getOwnsObjects() const { return ownsObjects_; }
  virtual int32_t size() const = 0;
  virtual bool isEmpty() const { return size() == 0; }
  virtual void clear() = 0;

  // The generic containers have no XML form; the model classes built on
  // them define their own. Both raise IllegalStateException
  // "<Class>.fromXML not implemented!" / "<Class>.toXML not implemented!".
  void fromXML(TDomElement* element) override;
  TDomElement* toXML(TDomDocument* document) override;

 protected:
  bool ownsObjects_ = false;
};
