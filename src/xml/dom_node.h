// The nodes of the document object model (after W3C DOM Level 2 Core), in
// UTF-16 strings.
//
// Ownership: a node is created by its document's factory operations and
// belongs to that document for the document's whole life, attached or not;
// callers hold plain pointers and never delete a node. Removing a node from
// the tree does not release it; `TDomDocument::clear()` and the document's
// destructor release all of them at once, after which every pointer the
// document handed out is dangling.
//
// Names are kept once per document and texts in the document's own compact
// form (see xml_text.h), so the accessors return names by reference and
// values by copy. Node lists are snapshots taken when they are asked for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/export.h"

// The DOM node-type numbers.
enum class TDomNodeType : std::uint8_t {
  Element = 1,
  Attribute = 2,
  Text = 3,
  CDATASection = 4,
  EntityReference = 5,
  Entity = 6,
  ProcessingInstruction = 7,
  Comment = 8,
  Document = 9,
  DocumentType = 10,
  DocumentFragment = 11,
  Notation = 12,
};

class TDomNode;
class TDomDocument;
class TDomElement;
class TDomAttr;

// Nodes as they stood when the list was asked for: later changes to the
// tree do not show in it.
class VOSKO_API TDomNodeList {
 public:
  TDomNodeList() = default;
  explicit TDomNodeList(std::vector<TDomNode*> nodes) : nodes_(std::move(nodes)) {}

  std::size_t length() const { return nodes_.size(); }
  // 0-based; null past the end.
  TDomNode* item(std::size_t index) const { return index < nodes_.size() ? nodes_[index] : nullptr; }

  auto begin() const { return nodes_.begin(); }
  auto end() const { return nodes_.end(); }

 private:
  std::vector<TDomNode*> nodes_;
};

// The base of every node: its type, name and place in the tree, and the
// operations that change the tree. Only its document makes a node.
class VOSKO_API TDomNode {
 public:
  TDomNode(const TDomNode&) = delete;
  TDomNode& operator=(const TDomNode&) = delete;

  TDomNodeType nodeType() const { return type_; }
  // The tag, attribute, target or doctype name; "#text", "#comment",
  // "#cdata-section", "#document" or "#document-fragment" for the others.
  const std::u16string& nodeName() const { return *name_; }
  // The data of character nodes, the value of an attribute, empty otherwise.
  std::u16string nodeValue() const;
  // Sets what nodeValue() returns; no effect on nodes without a value.
  void setNodeValue(std::u16string_view value);

  // Null for attributes (they are not children of their element) and documents.
  TDomNode* parentNode() const;
  TDomNode* firstChild() const;
  TDomNode* lastChild() const;
  // Walks the parent's children: linear in their number.
  TDomNode* previousSibling() const;
  TDomNode* nextSibling() const;
  bool hasChildNodes() const { return firstChild() != nullptr; }
  TDomNodeList childNodes() const;
  // Null for the document itself.
  TDomDocument* ownerDocument() const;

  // Each moves `newChild` from wherever it is; a document fragment gives up
  // its children instead. Raises ENot_Supported_Err for a null node,
  // EWrong_Document_Err for a node of another document and
  // EHierarchy_Request_Err for a child this node cannot hold.
  TDomNode* appendChild(TDomNode* newChild);
  // `refChild` null appends; otherwise it must be a child (ENot_Found_Err).
  TDomNode* insertBefore(TDomNode* newChild, TDomNode* refChild);
  // The node stays owned by the document. ENot_Found_Err when it is no child.
  TDomNode* removeChild(TDomNode* oldChild);

  // The first child (not a deeper descendant) that is an element named `name`.
  TDomElement* findFirstChildElement(std::u16string_view name) const;
  // The data of every text and CDATA descendant, in document order.
  std::u16string textContent() const;

 protected:
  TDomNode(TDomNodeType type, TDomDocument* owner, const std::u16string* name)
      : owner_(owner), name_(name), type_(type) {}
  ~TDomNode() = default;

  bool isContainer() const;
  void checkNewChild(TDomNode* newChild, TDomNode* refChild) const;
  void checkDocumentChild(TDomNode* newChild, TDomNode* refChild) const;
  void unlink();
  void link(TDomNode* child, TDomNode* refChild);
  // Elements below this node in document order; all of them for a null name.
  std::vector<TDomNode*> collectElements(const std::u16string* name) const;

  TDomDocument* owner_;
  // For an attribute: its element, which does not hold it as a child.
  TDomNode* parent_ = nullptr;
  // For an attribute: the element's next attribute.
  TDomNode* next_ = nullptr;
  const std::u16string* name_;
  TDomNodeType type_;
  // Attributes taken from a DTD default are not written back.
  bool specified_ = true;
  // Size in bytes of a character node's stored data.
  std::uint32_t size_ = 0;

  friend class TDomParentNode;
  friend class TDomDocument;
  friend class TDomElement;
  friend class TDomAttr;
  friend class TDomBuilder;
  friend class TDomSerializer;
};

// The node kinds that hold children.
class VOSKO_API TDomParentNode : public TDomNode {
 protected:
  using TDomNode::TDomNode;
  TDomNode* first_ = nullptr;
  TDomNode* last_ = nullptr;

  friend class TDomNode;
  friend class TDomDocument;
  friend class TDomBuilder;
  friend class TDomSerializer;
};

// An attribute of an element: its value is held as child text nodes, and
// its element does not hold it as a child.
class VOSKO_API TDomAttr final : public TDomParentNode {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::Attribute;

  const std::u16string& name() const { return *name_; }
  // The text of the attribute's children.
  std::u16string value() const;
  // Replaces the children by one text node (none for an empty value).
  void setValue(std::u16string_view value);
  bool specified() const { return specified_; }
  TDomElement* ownerElement() const;

 private:
  using TDomParentNode::TDomParentNode;
  friend class TDomDocument;
};

// An element: its tag name, its attributes in the order they were first
// set, and its children.
class VOSKO_API TDomElement final : public TDomParentNode {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::Element;

  const std::u16string& tagName() const { return *name_; }
  // The empty string when the element has no such attribute.
  std::u16string getAttribute(std::u16string_view name) const;
  bool hasAttribute(std::u16string_view name) const { return getAttributeNode(name) != nullptr; }
  // A new attribute goes after the existing ones; an existing one keeps its
  // place and gets the new value. EInvalid_Character_Err for a bad name.
  void setAttribute(std::u16string_view name, std::u16string_view value);
  void removeAttribute(std::u16string_view name);
  TDomAttr* getAttributeNode(std::u16string_view name) const;
  // The attributes in the order they were first set.
  TDomNodeList attributes() const;
  // Every descendant element named `name` ("*" for all), in document order.
  TDomNodeList getElementsByTagName(std::u16string_view name) const;

 private:
  using TDomParentNode::TDomParentNode;
  // The attributes are chained through their next_ links.
  TDomNode* firstAttr_ = nullptr;

  friend class TDomDocument;
  friend class TDomBuilder;
  friend class TDomSerializer;
};

// Text, comment, CDATA section and processing instruction: a node with data.
class VOSKO_API TDomCharacterData : public TDomNode {
 public:
  std::u16string data() const;
  void setData(std::u16string_view data);

 protected:
  using TDomNode::TDomNode;
  std::string_view stored() const { return {data_, size_}; }
  const char* data_ = nullptr;

  friend class TDomNode;
  friend class TDomBuilder;
  friend class TDomSerializer;
};

// Character data of the document; also the base of CDATA sections.
class VOSKO_API TDomText : public TDomCharacterData {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::Text;

 protected:
  using TDomCharacterData::TDomCharacterData;
  friend class TDomDocument;
};

// Text that is written back as a CDATA section, unescaped.
class VOSKO_API TDomCDATASection final : public TDomText {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::CDATASection;

 private:
  using TDomText::TDomText;
  friend class TDomDocument;
};

// A comment; data() is its text without the markup around it.
class VOSKO_API TDomComment final : public TDomCharacterData {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::Comment;

 private:
  using TDomCharacterData::TDomCharacterData;
  friend class TDomDocument;
};

// nodeName() is the target; data() the rest of the instruction.
class VOSKO_API TDomProcessingInstruction final : public TDomCharacterData {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::ProcessingInstruction;

  const std::u16string& target() const { return *name_; }

 private:
  using TDomCharacterData::TDomCharacterData;
  friend class TDomDocument;
};

// The document type declaration: its name, its public and system
// identifiers and, when it was made with one, its internal subset.
class VOSKO_API TDomDocumentType final : public TDomNode {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::DocumentType;

  const std::u16string& name() const { return *name_; }
  std::u16string publicId() const;
  std::u16string systemId() const;
  std::u16string internalSubset() const;

 private:
  using TDomNode::TDomNode;
  struct Stored {
    const char* data = nullptr;
    std::uint32_t size = 0;
    std::string_view view() const { return {data, size}; }
  };
  Stored publicId_, systemId_, internalSubset_;

  friend class TDomDocument;
  friend class TDomBuilder;
  friend class TDomSerializer;
};

// A holder of children that gives them up when it is inserted.
class VOSKO_API TDomDocumentFragment final : public TDomParentNode {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::DocumentFragment;

 private:
  using TDomParentNode::TDomParentNode;
  friend class TDomDocument;
};

// A reference to an entity, holding its replacement as children; the
// parser puts the replacement text in place instead.
class VOSKO_API TDomEntityReference final : public TDomParentNode {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::EntityReference;

 private:
  using TDomParentNode::TDomParentNode;
  friend class TDomDocument;
};

// The node as the class its type says it is, or null: the hierarchy has no
// virtual functions (a node is as small as it can be), so dynamic_cast does
// not apply. domCast<TDomText> also accepts CDATA sections.
template <class T>
T* domCast(TDomNode* node) {
  if (node == nullptr) return nullptr;
  if (node->nodeType() == T::kNodeType) return static_cast<T*>(node);
  if constexpr (T::kNodeType == TDomNodeType::Text) {
    if (node->nodeType() == TDomNodeType::CDATASection) return static_cast<T*>(node);
  }
  return nullptr;
}

template <class T>
const T* domCast(const TDomNode* node) {
  return domCast<T>(const_cast<TDomNode*>(node));
}
