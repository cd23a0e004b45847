#include "basis/abstract_collection.h"

#include <string>

#include "basis/exceptions.h"

void TAbstractCollection::fromXML(TDomElement* element) {
  throw IllegalStateException(std::string(className()) + ".fromXML not implemented!");
}

TDomElement* TAbstractCollection::toXML(TDomDocument* document) {
  throw IllegalStateException(std::string(className()) + ".toXML not implemented!");
}
