// The DOM implementation: the factory of documents. One implementation
// serves the whole process (TXMLHelper keeps it). It keeps the list of the
// documents it made that are still alive; each document is owned by the
// caller that received it, and leaves the list when it is destroyed.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "platform/export.h"
#include "xml/dom_document.h"

// The factory of documents, which knows those it made that still exist.
class VOSKO_API TDomImplementation {
 public:
  TDomImplementation();
  ~TDomImplementation();
  TDomImplementation(const TDomImplementation&) = delete;
  TDomImplementation& operator=(const TDomImplementation&) = delete;

  // A new document with a root element named `rootName` and, when `doctype`
  // is given, a copy of it before the root. EInvalid_Character_Err when
  // `rootName` is not an XML name.
  std::unique_ptr<TDomDocument> createDocument(std::u16string_view rootName, TDomDocumentType* doctype);
  // A new document without children, as the parser starts it.
  std::unique_ptr<TDomDocument> createEmptyDocument();
  // A document type not yet used by any document; owned by the implementation.
  TDomDocumentType* createDocumentType(std::u16string_view qualifiedName, std::u16string_view publicId,
                                       std::u16string_view systemId);

  // The documents made here that still exist, oldest first.
  const std::vector<TDomDocument*>& documents() const { return documents_; }

 private:
  std::unique_ptr<TDomDocument> track(std::unique_ptr<TDomDocument> document);
  void forget(TDomDocument* document);

  std::vector<TDomDocument*> documents_;
  // Holds the document types made before a document exists for them.
  std::unique_ptr<TDomDocument> doctypeHolder_;

  friend class TDomDocument;
};
