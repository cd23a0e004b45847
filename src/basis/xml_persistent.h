// TXMLPersistent adds a second persistence to TPObject: the object turns
// itself into an XML element (toXML) and reads itself back from one
// (fromXML), and can be stored to and loaded from an XML file.
// THTMLPersistent adds an HTML-like rendering written the same way.
//
// Failures are raised again as IOException "TXMLPersistent.<op>: (Class) message".
#pragma once

#include <string>

#include "basis/p_object.h"
#include "platform/export.h"

class TDomDocument;
class TDomElement;

// A persistent object with an XML form besides its binary one, stored to
// and loaded from XML files.
class VOSKO_API TXMLPersistent : public TPObject {
 public:
  VOSKO_CLASS_NAME(TXMLPersistent)

  // Reads the object's fields from `element`.
  virtual void fromXML(TDomElement* element) = 0;
  // A new element describing the object, created in (and owned by) `document`, not yet attached.
  virtual TDomElement* toXML(TDomDocument* document) = 0;

  void storeXML();
  void storeXML(const std::string& name);
  // The file holds the declaration and the element of toXML; rootName never reaches it.
  void storeXML(const std::string& name, const std::string& rootName);
  void loadXML();
  void loadXML(const std::string& name);
  // initialize(), then fromXML of the document element.
  void loadXML(TDomDocument* document);
};

// An XML-persistent object that also renders itself as an HTML-like element.
class VOSKO_API THTMLPersistent : public TXMLPersistent {
 public:
  VOSKO_CLASS_NAME(THTMLPersistent)

  virtual TDomElement* toHTML(TDomDocument* document) = 0;

  void storeHTML();
  void storeHTML(const std::string& name);
  void storeHTML(const std::string& name, const std::string& rootName);
};
