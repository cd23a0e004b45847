// The document of the document object model: factory and owner of its
// nodes, and the serializer that writes it as UTF-8.
//
// Ownership: the document owns every node it creates, in a memory arena of
// its own; nodes are released only by clear() and by the destructor. The
// document is owned by whoever received it from its implementation
// (TDomImplementation::createDocument, TXmlToDomParser::fileToDom).
#pragma once

#include <iosfwd>
#include <string>
#include <string_view>
#include <unordered_set>
#include <utility>

#include "platform/export.h"
#include "xml/dom_arena.h"
#include "xml/dom_node.h"

class TDomImplementation;

// The root of a document tree: makes the nodes and owns them, with their
// names and texts, and keeps the values of the XML declaration.
class VOSKO_API TDomDocument final : public TDomParentNode {
 public:
  static constexpr TDomNodeType kNodeType = TDomNodeType::Document;

  // Documents come from TDomImplementation; `implementation` may be null.
  explicit TDomDocument(TDomImplementation* implementation);
  ~TDomDocument();

  TDomImplementation* domImplementation() const { return implementation_; }
  // The first child that is an element, or null.
  TDomElement* documentElement() const;
  TDomDocumentType* doctype() const;

  // Each returns a new, unattached node owned by this document. Names must be
  // XML names (EInvalid_Character_Err otherwise).
  TDomElement* createElement(std::u16string_view tagName);
  TDomText* createTextNode(std::u16string_view data);
  TDomComment* createComment(std::u16string_view data);
  TDomCDATASection* createCDATASection(std::u16string_view data);
  TDomProcessingInstruction* createProcessingInstruction(std::u16string_view target,
                                                         std::u16string_view data);
  TDomAttr* createAttribute(std::u16string_view name);
  TDomEntityReference* createEntityReference(std::u16string_view name);
  TDomDocumentFragment* createDocumentFragment();
  TDomDocumentType* createDocumentType(std::u16string_view name, std::u16string_view publicId,
                                       std::u16string_view systemId, std::u16string_view internalSubset = {});

  // Every element of the document named `name` ("*" for all), in document order.
  TDomNodeList getElementsByTagName(std::u16string_view name) const;

  // Removes and releases every node the document created; it has no children afterwards.
  void clear();

  // The XML declaration's values; empty when the document has none.
  const std::u16string& xmlVersion() const { return version_; }
  void setXmlVersion(std::u16string_view v) { version_ = v; }
  const std::u16string& xmlEncoding() const { return encoding_; }
  void setXmlEncoding(std::u16string_view e) { encoding_ = e; }
  const std::u16string& xmlStandalone() const { return standalone_; }
  void setXmlStandalone(std::u16string_view s) { standalone_ = s; }

  // Writes the declaration and every child, each followed by a line break, as
  // UTF-8 with LF written as CR LF (see utf8_output_stream.h). Raises
  // EConvertError for an unpaired surrogate, EInOutError when the stream fails.
  void writeToUTF8(std::ostream& out);

  // The name interned in this document: equal names share one string.
  const std::u16string* internName(std::u16string_view name);
  // The same for a name the caller no longer needs, kept without a copy.
  const std::u16string* internName(std::u16string&& name);
  // About the bytes the document's nodes, texts and names take.
  std::size_t memoryUsed() const { return arena_.reserved() + namesBytes_; }
  // A document read from a file may take, with what is built from it, the
  // memory its size allows (xml/expat_parser.h); the parser sets that limit
  // and the message that refuses more. Without one there is no limit.
  void setMemoryLimit(std::size_t bytes, std::string refusal);
  // Counts `bytes` that a reader builds from the document against its limit;
  // beyond it raises EOutOfMemory with the refusal message.
  void charge(std::size_t bytes);
  // Null when no node of this document has ever been given that name.
  const std::u16string* findName(std::u16string_view name) const;
  // Copies data into the document's memory in stored form.
  const char* storeText(std::u16string_view text, std::uint32_t* size);
  const char* storeBytes(std::string_view stored, std::uint32_t* size);

 private:
  struct NameHash {
    using is_transparent = void;
    std::size_t operator()(std::u16string_view s) const { return std::hash<std::u16string_view>()(s); }
  };
  template <class T, class... Args>
  T* make(Args&&... args) {
    void* memory = arena_.allocate(sizeof(T), alignof(T));
    return new (memory) T(std::forward<Args>(args)...);
  }
  void detachFromImplementation() { implementation_ = nullptr; }

  TDomImplementation* implementation_;
  TDomArena arena_;
  std::unordered_set<std::u16string, NameHash, std::equal_to<>> names_;
  std::size_t namesBytes_ = 0;
  std::size_t memoryLimit_ = 0;
  std::size_t charged_ = 0;
  std::string refusal_;
  std::u16string version_, encoding_, standalone_;

  friend class TDomImplementation;
  friend class TDomBuilder;
};
