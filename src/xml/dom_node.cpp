#include "xml/dom_node.h"

#include <type_traits>

#include "xml/dom_document.h"
#include "xml/dom_exception.h"
#include "xml/xml_text.h"

// Nodes live in their document's arena and are never destroyed one by one.
static_assert(std::is_trivially_destructible_v<TDomElement>);
static_assert(std::is_trivially_destructible_v<TDomAttr>);
static_assert(std::is_trivially_destructible_v<TDomCDATASection>);
static_assert(std::is_trivially_destructible_v<TDomComment>);
static_assert(std::is_trivially_destructible_v<TDomProcessingInstruction>);
static_assert(std::is_trivially_destructible_v<TDomDocumentType>);
static_assert(std::is_trivially_destructible_v<TDomDocumentFragment>);
static_assert(std::is_trivially_destructible_v<TDomEntityReference>);

namespace {

bool isCharacterNode(TDomNodeType t) {
  return t == TDomNodeType::Text || t == TDomNodeType::CDATASection || t == TDomNodeType::Comment ||
         t == TDomNodeType::ProcessingInstruction;
}

// The next node after `n` in document order that lies below `root`.
const TDomNode* nextInTree(const TDomNode* n, const TDomNode* root) {
  if (const TDomNode* child = n->firstChild()) return child;
  while (n != root) {
    if (const TDomNode* sibling = n->nextSibling()) return sibling;
    n = n->parentNode();
  }
  return nullptr;
}

}  // namespace

// ---- TDomNode ----

bool TDomNode::isContainer() const {
  return type_ == TDomNodeType::Element || type_ == TDomNodeType::Attribute ||
         type_ == TDomNodeType::Document || type_ == TDomNodeType::DocumentFragment ||
         type_ == TDomNodeType::EntityReference;
}

std::u16string TDomNode::nodeValue() const {
  if (isCharacterNode(type_)) return static_cast<const TDomCharacterData*>(this)->data();
  if (type_ == TDomNodeType::Attribute) return static_cast<const TDomAttr*>(this)->value();
  return {};
}

void TDomNode::setNodeValue(std::u16string_view value) {
  if (isCharacterNode(type_)) {
    static_cast<TDomCharacterData*>(this)->setData(value);
  } else if (type_ == TDomNodeType::Attribute) {
    static_cast<TDomAttr*>(this)->setValue(value);
  }
}

TDomNode* TDomNode::parentNode() const { return type_ == TDomNodeType::Attribute ? nullptr : parent_; }

TDomNode* TDomNode::firstChild() const {
  return isContainer() ? static_cast<const TDomParentNode*>(this)->first_ : nullptr;
}

TDomNode* TDomNode::lastChild() const {
  return isContainer() ? static_cast<const TDomParentNode*>(this)->last_ : nullptr;
}

TDomNode* TDomNode::nextSibling() const { return type_ == TDomNodeType::Attribute ? nullptr : next_; }

TDomNode* TDomNode::previousSibling() const {
  TDomNode* parent = parentNode();
  if (parent == nullptr) return nullptr;
  TDomNode* previous = nullptr;
  for (TDomNode* c = parent->firstChild(); c != this; c = c->next_) previous = c;
  return previous;
}

TDomNodeList TDomNode::childNodes() const {
  std::vector<TDomNode*> nodes;
  for (TDomNode* c = firstChild(); c != nullptr; c = c->next_) nodes.push_back(c);
  return TDomNodeList(std::move(nodes));
}

TDomDocument* TDomNode::ownerDocument() const { return type_ == TDomNodeType::Document ? nullptr : owner_; }

void TDomNode::checkDocumentChild(TDomNode* newChild, TDomNode* refChild) const {
  // Position rules: one element and one document type, the type before the element.
  bool hasElement = false, elementBeforeRef = false;
  bool hasDoctype = false, doctypeAtOrAfterRef = false;
  bool reachedRef = false;
  for (TDomNode* c = firstChild(); c != nullptr; c = c->next_) {
    if (c == refChild) reachedRef = true;
    if (c == newChild) continue;
    if (c->type_ == TDomNodeType::Element) {
      hasElement = true;
      if (!reachedRef) elementBeforeRef = true;
    } else if (c->type_ == TDomNodeType::DocumentType) {
      hasDoctype = true;
      if (reachedRef) doctypeAtOrAfterRef = true;
    }
  }
  switch (newChild->type_) {
    case TDomNodeType::Element:
      if (hasElement || doctypeAtOrAfterRef) throw EHierarchy_Request_Err();
      return;
    case TDomNodeType::DocumentType:
      if (hasDoctype || elementBeforeRef) throw EHierarchy_Request_Err();
      return;
    case TDomNodeType::ProcessingInstruction:
    case TDomNodeType::Comment:
      return;
    default:
      throw EHierarchy_Request_Err();
  }
}

void TDomNode::checkNewChild(TDomNode* newChild, TDomNode* refChild) const {
  if (newChild == nullptr) throw ENot_Supported_Err();
  if (!isContainer() || newChild->type_ == TDomNodeType::Document) throw EHierarchy_Request_Err();
  if (newChild->owner_ != owner_) throw EWrong_Document_Err();
  if (refChild != nullptr && (refChild->parent_ != this || refChild->type_ == TDomNodeType::Attribute)) {
    throw ENot_Found_Err();
  }
  for (const TDomNode* n = this; n != nullptr; n = n->parent_) {
    if (n == newChild) throw EHierarchy_Request_Err();
  }
  if (newChild->type_ == TDomNodeType::DocumentFragment) {
    int elements = 0, doctypes = 0;
    for (TDomNode* c = newChild->firstChild(); c != nullptr; c = c->next_) {
      elements += c->type_ == TDomNodeType::Element;
      doctypes += c->type_ == TDomNodeType::DocumentType;
      checkNewChild(c, refChild);
    }
    if (type_ == TDomNodeType::Document && (elements > 1 || doctypes > 1)) throw EHierarchy_Request_Err();
    return;
  }
  switch (type_) {
    case TDomNodeType::Document:
      checkDocumentChild(newChild, refChild);
      return;
    case TDomNodeType::Attribute:
      if (newChild->type_ != TDomNodeType::Text && newChild->type_ != TDomNodeType::EntityReference) {
        throw EHierarchy_Request_Err();
      }
      return;
    default:
      switch (newChild->type_) {
        case TDomNodeType::Element:
        case TDomNodeType::Text:
        case TDomNodeType::Comment:
        case TDomNodeType::ProcessingInstruction:
        case TDomNodeType::CDATASection:
        case TDomNodeType::EntityReference:
          return;
        default:
          throw EHierarchy_Request_Err();
      }
  }
}

void TDomNode::unlink() {
  if (type_ == TDomNodeType::Attribute || parent_ == nullptr) return;
  auto* parent = static_cast<TDomParentNode*>(parent_);
  TDomNode* previous = nullptr;
  for (TDomNode* c = parent->first_; c != this; c = c->next_) previous = c;
  (previous != nullptr ? previous->next_ : parent->first_) = next_;
  if (parent->last_ == this) parent->last_ = previous;
  parent_ = nullptr;
  next_ = nullptr;
}

void TDomNode::link(TDomNode* child, TDomNode* refChild) {
  auto* self = static_cast<TDomParentNode*>(this);
  child->parent_ = this;
  child->next_ = refChild;
  if (refChild == nullptr) {
    (self->last_ != nullptr ? self->last_->next_ : self->first_) = child;
    self->last_ = child;
    return;
  }
  TDomNode* previous = nullptr;
  for (TDomNode* c = self->first_; c != refChild; c = c->next_) previous = c;
  (previous != nullptr ? previous->next_ : self->first_) = child;
}

TDomNode* TDomNode::appendChild(TDomNode* newChild) { return insertBefore(newChild, nullptr); }

TDomNode* TDomNode::insertBefore(TDomNode* newChild, TDomNode* refChild) {
  checkNewChild(newChild, refChild);
  if (newChild->type_ == TDomNodeType::DocumentFragment) {
    auto* fragment = static_cast<TDomParentNode*>(newChild);
    while (TDomNode* c = fragment->first_) {
      c->unlink();
      link(c, refChild);
    }
    return newChild;
  }
  if (newChild == refChild) return newChild;
  newChild->unlink();
  link(newChild, refChild);
  return newChild;
}

TDomNode* TDomNode::removeChild(TDomNode* oldChild) {
  if (oldChild == nullptr || oldChild->parent_ != this || oldChild->type_ == TDomNodeType::Attribute) {
    throw ENot_Found_Err();
  }
  oldChild->unlink();
  return oldChild;
}

TDomElement* TDomNode::findFirstChildElement(std::u16string_view name) const {
  for (TDomNode* c = firstChild(); c != nullptr; c = c->next_) {
    if (c->type_ == TDomNodeType::Element && *c->name_ == name) return static_cast<TDomElement*>(c);
  }
  return nullptr;
}

std::u16string TDomNode::textContent() const {
  if (isCharacterNode(type_)) return nodeValue();
  std::string stored;
  for (const TDomNode* n = firstChild(); n != nullptr; n = nextInTree(n, this)) {
    if (n->type_ == TDomNodeType::Text || n->type_ == TDomNodeType::CDATASection) {
      stored += static_cast<const TDomCharacterData*>(n)->stored();
    }
  }
  return xml::fromStored(stored);
}

std::vector<TDomNode*> TDomNode::collectElements(const std::u16string* name) const {
  std::vector<TDomNode*> found;
  for (const TDomNode* n = firstChild(); n != nullptr; n = nextInTree(n, this)) {
    if (n->type_ == TDomNodeType::Element && (name == nullptr || n->name_ == name)) {
      found.push_back(const_cast<TDomNode*>(n));
    }
  }
  return found;
}

// ---- TDomAttr ----

std::u16string TDomAttr::value() const {
  if (first_ != nullptr && first_ == last_ && first_->type_ == TDomNodeType::Text) {
    return static_cast<const TDomCharacterData*>(first_)->data();
  }
  return textContent();
}

void TDomAttr::setValue(std::u16string_view value) {
  if (first_ != nullptr && first_ == last_ && first_->type_ == TDomNodeType::Text && !value.empty()) {
    static_cast<TDomCharacterData*>(first_)->setData(value);
    return;
  }
  while (TDomNode* c = first_) {
    first_ = c->next_;
    c->parent_ = nullptr;
    c->next_ = nullptr;
  }
  last_ = nullptr;
  if (!value.empty()) link(owner_->createTextNode(value), nullptr);
}

TDomElement* TDomAttr::ownerElement() const { return static_cast<TDomElement*>(parent_); }

// ---- TDomElement ----

TDomAttr* TDomElement::getAttributeNode(std::u16string_view name) const {
  const std::u16string* interned = owner_->findName(name);
  if (interned == nullptr) return nullptr;
  for (TDomNode* a = firstAttr_; a != nullptr; a = a->next_) {
    if (a->name_ == interned) return static_cast<TDomAttr*>(a);
  }
  return nullptr;
}

std::u16string TDomElement::getAttribute(std::u16string_view name) const {
  TDomAttr* attr = getAttributeNode(name);
  return attr != nullptr ? attr->value() : std::u16string();
}

void TDomElement::setAttribute(std::u16string_view name, std::u16string_view value) {
  if (TDomAttr* existing = getAttributeNode(name)) {
    existing->setValue(value);
    existing->specified_ = true;
    return;
  }
  TDomAttr* attr = owner_->createAttribute(name);
  attr->setValue(value);
  attr->parent_ = this;
  if (firstAttr_ == nullptr) {
    firstAttr_ = attr;
    return;
  }
  TDomNode* last = firstAttr_;
  while (last->next_ != nullptr) last = last->next_;
  last->next_ = attr;
}

void TDomElement::removeAttribute(std::u16string_view name) {
  TDomAttr* attr = getAttributeNode(name);
  if (attr == nullptr) return;
  TDomNode** link = &firstAttr_;
  while (*link != attr) link = &(*link)->next_;
  *link = attr->next_;
  attr->parent_ = nullptr;
  attr->next_ = nullptr;
}

TDomNodeList TDomElement::attributes() const {
  std::vector<TDomNode*> nodes;
  for (TDomNode* a = firstAttr_; a != nullptr; a = a->next_) nodes.push_back(a);
  return TDomNodeList(std::move(nodes));
}

TDomNodeList TDomElement::getElementsByTagName(std::u16string_view name) const {
  if (name == u"*") return TDomNodeList(collectElements(nullptr));
  const std::u16string* interned = owner_->findName(name);
  if (interned == nullptr) return TDomNodeList();
  return TDomNodeList(collectElements(interned));
}

// ---- character data and document type ----

std::u16string TDomCharacterData::data() const { return xml::fromStored(stored()); }

void TDomCharacterData::setData(std::u16string_view data) { data_ = owner_->storeText(data, &size_); }

std::u16string TDomDocumentType::publicId() const { return xml::fromStored(publicId_.view()); }
std::u16string TDomDocumentType::systemId() const { return xml::fromStored(systemId_.view()); }
std::u16string TDomDocumentType::internalSubset() const { return xml::fromStored(internalSubset_.view()); }
