#include "xml/dom_implementation.h"

#include <algorithm>

#include "xml/dom_exception.h"
#include "xml/xml_text.h"

TDomImplementation::TDomImplementation() : doctypeHolder_(std::make_unique<TDomDocument>(nullptr)) {}

TDomImplementation::~TDomImplementation() {
  for (TDomDocument* document : documents_) document->detachFromImplementation();
}

std::unique_ptr<TDomDocument> TDomImplementation::track(std::unique_ptr<TDomDocument> document) {
  documents_.push_back(document.get());
  return document;
}

void TDomImplementation::forget(TDomDocument* document) {
  documents_.erase(std::remove(documents_.begin(), documents_.end(), document), documents_.end());
}

std::unique_ptr<TDomDocument> TDomImplementation::createDocument(std::u16string_view rootName,
                                                                 TDomDocumentType* doctype) {
  if (!xml::isXmlName(rootName)) throw EInvalid_Character_Err();
  auto document = track(std::make_unique<TDomDocument>(this));
  if (doctype != nullptr) {
    document->appendChild(document->createDocumentType(doctype->name(), doctype->publicId(),
                                                       doctype->systemId(), doctype->internalSubset()));
  }
  document->appendChild(document->createElement(rootName));
  return document;
}

std::unique_ptr<TDomDocument> TDomImplementation::createEmptyDocument() {
  return track(std::make_unique<TDomDocument>(this));
}

TDomDocumentType* TDomImplementation::createDocumentType(std::u16string_view qualifiedName,
                                                         std::u16string_view publicId,
                                                         std::u16string_view systemId) {
  return doctypeHolder_->createDocumentType(qualifiedName, publicId, systemId);
}
