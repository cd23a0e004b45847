// TXMLHelper: the process-wide bridge between the persistent classes and the
// XML document layer. It owns the one DOM implementation of the process,
// makes documents, parses files into documents, writes documents to files,
// finds child elements and repairs line breaks in text read back from XML.
//
// Documents it returns are owned by the caller. Names and file names are the
// system's 8-bit strings; names are widened through the code page.
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "platform/export.h"
#include "xml/dom_document.h"
#include "xml/dom_implementation.h"

// The one helper of the process between persistent objects and XML
// documents: it makes, reads and writes documents and finds their elements.
class VOSKO_API TXMLHelper {
 public:
  // The helper of the process, made on first use and kept until the process ends.
  static TXMLHelper& getInstance();

  virtual ~TXMLHelper();
  TXMLHelper(const TXMLHelper&) = delete;
  TXMLHelper& operator=(const TXMLHelper&) = delete;

  TDomImplementation* implementation() const { return implementation_.get(); }

  // A new document whose root element is named `rootName`.
  std::unique_ptr<TDomDocument> createDocument(const std::string& rootName);
  // Writes the document as UTF-8 into a temporary file beside `fileName` and
  // renames it over `fileName` once complete, so a failure leaves an existing
  // file as it was and no partial file. A read-only target is refused.
  // Every failure is raised as IOException "TXMLHelper.DOMToFile: " + message.
  void DOMToFile(TDomDocument* document, const std::string& fileName);
  // Parses the file into a new document; failures as for DOMToFile (the same
  // prefix), with the parser's file, line and column in the message.
  std::unique_ptr<TDomDocument> fileToDOM(const std::string& fileName);

  // The first element named `name` below `element`, at any depth, in document
  // order; none raises EDomException "Element '<tag>' has no child '<name>'.".
  virtual TDomElement* getChildElement(TDomElement* element, const std::string& name);
  TDomElement* getChildElement(TDomElement* element, std::u16string_view name);

  // Every pair of consecutive LF becomes CR LF: text written with CR LF reads
  // back as LF LF (the serializer writes LF as CR LF).
  static std::string expandLineBreaks(const std::string& s);

 protected:
  TXMLHelper();

 private:
  std::unique_ptr<TDomImplementation> implementation_;
};
