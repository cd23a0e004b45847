#include "xml/dom_document.h"

#include <limits>
#include <new>
#include <utility>

#include "platform/exception.h"
#include "xml/dom_exception.h"
#include "xml/dom_implementation.h"
#include "xml/dom_serializer.h"
#include "xml/xml_text.h"

namespace {

const std::u16string kDocumentName = u"#document";
const std::u16string kFragmentName = u"#document-fragment";
const std::u16string kTextName = u"#text";
const std::u16string kCommentName = u"#comment";
const std::u16string kCDATAName = u"#cdata-section";

void requireName(std::u16string_view name) {
  if (!xml::isXmlName(name)) throw EInvalid_Character_Err();
}

}  // namespace

TDomDocument::TDomDocument(TDomImplementation* implementation)
    : TDomParentNode(TDomNodeType::Document, this, &kDocumentName), implementation_(implementation) {}

TDomDocument::~TDomDocument() {
  if (implementation_ != nullptr) implementation_->forget(this);
}

TDomElement* TDomDocument::documentElement() const {
  for (TDomNode* c = first_; c != nullptr; c = c->next_) {
    if (c->type_ == TDomNodeType::Element) return static_cast<TDomElement*>(c);
  }
  return nullptr;
}

TDomDocumentType* TDomDocument::doctype() const {
  for (TDomNode* c = first_; c != nullptr; c = c->next_) {
    if (c->type_ == TDomNodeType::DocumentType) return static_cast<TDomDocumentType*>(c);
  }
  return nullptr;
}

TDomElement* TDomDocument::createElement(std::u16string_view tagName) {
  requireName(tagName);
  return make<TDomElement>(TDomNodeType::Element, this, internName(tagName));
}

TDomText* TDomDocument::createTextNode(std::u16string_view data) {
  auto* node = make<TDomText>(TDomNodeType::Text, this, &kTextName);
  node->data_ = storeText(data, &node->size_);
  return node;
}

TDomComment* TDomDocument::createComment(std::u16string_view data) {
  auto* node = make<TDomComment>(TDomNodeType::Comment, this, &kCommentName);
  node->data_ = storeText(data, &node->size_);
  return node;
}

TDomCDATASection* TDomDocument::createCDATASection(std::u16string_view data) {
  auto* node = make<TDomCDATASection>(TDomNodeType::CDATASection, this, &kCDATAName);
  node->data_ = storeText(data, &node->size_);
  return node;
}

TDomProcessingInstruction* TDomDocument::createProcessingInstruction(std::u16string_view target,
                                                                     std::u16string_view data) {
  requireName(target);
  auto* node = make<TDomProcessingInstruction>(TDomNodeType::ProcessingInstruction, this, internName(target));
  node->data_ = storeText(data, &node->size_);
  return node;
}

TDomAttr* TDomDocument::createAttribute(std::u16string_view name) {
  requireName(name);
  return make<TDomAttr>(TDomNodeType::Attribute, this, internName(name));
}

TDomEntityReference* TDomDocument::createEntityReference(std::u16string_view name) {
  requireName(name);
  return make<TDomEntityReference>(TDomNodeType::EntityReference, this, internName(name));
}

TDomDocumentFragment* TDomDocument::createDocumentFragment() {
  return make<TDomDocumentFragment>(TDomNodeType::DocumentFragment, this, &kFragmentName);
}

TDomDocumentType* TDomDocument::createDocumentType(std::u16string_view name, std::u16string_view publicId,
                                                   std::u16string_view systemId,
                                                   std::u16string_view internalSubset) {
  requireName(name);
  auto* node = make<TDomDocumentType>(TDomNodeType::DocumentType, this, internName(name));
  node->publicId_.data = storeText(publicId, &node->publicId_.size);
  node->systemId_.data = storeText(systemId, &node->systemId_.size);
  node->internalSubset_.data = storeText(internalSubset, &node->internalSubset_.size);
  return node;
}

TDomNodeList TDomDocument::getElementsByTagName(std::u16string_view name) const {
  if (name == u"*") return TDomNodeList(collectElements(nullptr));
  const std::u16string* interned = findName(name);
  if (interned == nullptr) return TDomNodeList();
  return TDomNodeList(collectElements(interned));
}

void TDomDocument::clear() {
  first_ = nullptr;
  last_ = nullptr;
  arena_.reset();
  names_.clear();
  namesBytes_ = 0;
}

void TDomDocument::writeToUTF8(std::ostream& out) {
  // The document says what it is written in while it is written.
  std::u16string savedEncoding = encoding_;
  encoding_ = u"UTF-8";
  try {
    TDomSerializer(out).writeDocument(*this);
  } catch (...) {
    encoding_ = std::move(savedEncoding);
    throw;
  }
  encoding_ = std::move(savedEncoding);
}

const std::u16string* TDomDocument::internName(std::u16string_view name) {
  auto found = names_.find(name);
  if (found != names_.end()) return &*found;
  // The string, its node and bucket in the set.
  namesBytes_ += name.size() * sizeof(char16_t) + 64;
  return &*names_.emplace(name).first;
}

void TDomDocument::setMemoryLimit(std::size_t bytes, std::string refusal) {
  memoryLimit_ = bytes;
  refusal_ = std::move(refusal);
}

void TDomDocument::charge(std::size_t bytes) {
  charged_ += bytes;
  if (memoryLimit_ != 0 && memoryUsed() + charged_ > memoryLimit_) throw EOutOfMemory(refusal_);
}

const std::u16string* TDomDocument::internName(std::u16string&& name) {
  auto found = names_.find(std::u16string_view(name));
  if (found != names_.end()) return &*found;
  namesBytes_ += name.size() * sizeof(char16_t) + 64;
  return &*names_.insert(std::move(name)).first;
}

const std::u16string* TDomDocument::findName(std::u16string_view name) const {
  auto found = names_.find(name);
  return found != names_.end() ? &*found : nullptr;
}

const char* TDomDocument::storeBytes(std::string_view stored, std::uint32_t* size) {
  if (stored.size() > std::numeric_limits<std::uint32_t>::max()) throw EIndex_Size_Err();
  *size = static_cast<std::uint32_t>(stored.size());
  return arena_.copy(stored);
}

const char* TDomDocument::storeText(std::u16string_view text, std::uint32_t* size) {
  if (text.empty()) {
    *size = 0;
    return nullptr;
  }
  return storeBytes(xml::toStored(text), size);
}
