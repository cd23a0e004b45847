#include "xml/xml_to_dom_parser.h"

#include <expat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <exception>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/code_page.h"
#include "platform/exception.h"
#include "platform/message_value.h"
#include "platform/os_file.h"
#include "xml/expat_parser.h"
#include "xml/xml_text.h"

namespace {

constexpr int kChunkSize = xml::kFilePiece;
// Names converted once and kept for the rest of the document; real documents
// use a few dozen, and one of millions of distinct names must not keep a
// second copy of each here.
constexpr std::size_t kCachedNames = 4096;
// Longer names are converted each time they occur: a name of megabytes must
// not be kept twice.
constexpr std::size_t kCachedNameSize = 256;
// What a cached name costs besides its bytes: the map's node and bucket.
constexpr std::int64_t kEntryBytes = 64;
using xml::kNamespaceSeparator;

struct StringHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view s) const { return std::hash<std::string_view>()(s); }
};

// The bytes around the position of an error, read in the document's units.
class ErrorContext {
 public:
  ErrorContext(XML_Parser parser, int unitSize, bool bigEndian) : unit_(unitSize), bigEndian_(bigEndian) {
    text_ = XML_GetInputContext(parser, &offset_, &size_);
  }
  bool valid() const { return text_ != nullptr && offset_ >= 0 && offset_ < size_; }
  // The code unit starting `units` units after (negative: before) the error.
  int at(int units) const {
    int i = offset_ + units * unit_;
    if (text_ == nullptr || i < 0 || i + unit_ > size_) return -1;
    auto b = [&](int k) { return static_cast<unsigned char>(text_[k]); };
    if (unit_ == 1) return b(i);
    return bigEndian_ ? (b(i) << 8) | b(i + 1) : b(i) | (b(i + 1) << 8);
  }
  int unitsBefore() const { return offset_ / unit_; }

 private:
  const char* text_ = nullptr;
  int offset_ = 0, size_ = 0;
  int unit_;
  bool bigEndian_;
};

}  // namespace

// Builds the tree from expat's events. Handlers never let an exception pass
// through expat: the first failure is kept, the parser stopped, and the
// failure raised again once expat has returned.
class TDomBuilder {
 public:
  // With `upToRoot` the parse ends once the root element's start tag is built.
  // The document of `documentBytes` may take the memory expat_parser.h allows
  // with `memoryFloor`.
  TDomBuilder(TDomDocument* document, std::string sourceName, std::int64_t documentBytes,
              std::int64_t memoryFloor, bool upToRoot = false)
      : expat_(documentBytes, memoryFloor),
        parser_(expat_.get()),
        document_(document),
        current_(document),
        sourceName_(std::move(sourceName)),
        upToRoot_(upToRoot) {
    XML_SetUserData(parser_, this);
    XML_SetXmlDeclHandler(parser_, onXmlDecl);
    XML_SetStartDoctypeDeclHandler(parser_, onStartDoctype);
    XML_SetEndDoctypeDeclHandler(parser_, onEndDoctype);
    XML_SetEntityDeclHandler(parser_, onEntityDecl);
    XML_SetSkippedEntityHandler(parser_, onSkippedEntity);
    XML_SetStartNamespaceDeclHandler(parser_, onNamespaceDecl);
    XML_SetElementHandler(parser_, onStartElement, onEndElement);
    XML_SetCharacterDataHandler(parser_, onCharacterData);
    XML_SetCdataSectionHandler(parser_, onStartCdata, onEndCdata);
    XML_SetCommentHandler(parser_, onComment);
    XML_SetProcessingInstructionHandler(parser_, onProcessingInstruction);
  }
  TDomBuilder(const TDomBuilder&) = delete;
  TDomBuilder& operator=(const TDomBuilder&) = delete;

  xml::ExpatParser& expat() { return expat_; }

  // What is built from the finished tree counts against the same limit.
  void passMemoryLimit() {
    document_->setMemoryLimit(static_cast<std::size_t>(expat_.memoryLimit()),
                              expat_.limitMessage(sourceName_));
  }

  // Feeds the next piece of the document; `last` ends it. The first four
  // bytes go in together: the encoding is told from them, and a document
  // must read the same however it is cut.
  void parse(const char* bytes, int size, bool last) {
    if (!fedAny_ && (!head_.empty() || static_cast<std::size_t>(size) < kHeadSize)) {
      head_.append(bytes, static_cast<std::size_t>(size));
      if (head_.size() < kHeadSize && !last) return;
      std::string head = std::move(head_);
      head_.clear();
      feed(head.data(), static_cast<int>(head.size()), last);
      return;
    }
    feed(bytes, size, last);
  }

  // Pieces are held back until they are as large as what expat still holds
  // of an unfinished token, which it would otherwise scan again for each.
  void feed(const char* bytes, int size, bool last) {
    fedAny_ = true;
    if (!last && static_cast<std::int64_t>(pending_.size()) + size < expat_.unparsed()) {
      pending_.append(bytes, static_cast<std::size_t>(size));
      return;
    }
    if (!pending_.empty()) {
      pending_.append(bytes, static_cast<std::size_t>(size));
      bytes = pending_.data();
      size = static_cast<int>(pending_.size());
    }
    finish(expat_.parse(bytes, size, last));
    pending_.clear();
  }

  // The file's next piece is read straight into expat's own buffer; it grows
  // with an unfinished token for the reason given at feed().
  void parseFile(platform::OsFile& file) {
    bool last = false;
    while (!stopped_ && !last) {
      XML_Status status;
      try {
        status = expat_.parseFilePiece(file, &last);
      } catch (const EInOutError& e) {
        throw EInOutError("TXmlToDomParser.fileToDom: Cannot read file '" + sourceName_ +
                          "': " + e.message() + ".");
      }
      finish(status);
    }
  }

 private:
  // ---- expat's events ----

  template <class F>
  static void guarded(void* data, F&& f) {
    auto* self = static_cast<TDomBuilder*>(data);
    if (self->failure_) return;
    try {
      f(*self);
      self->requireMemory(0);
    } catch (...) {
      self->failure_ = std::current_exception();
      XML_StopParser(self->parser_, XML_FALSE);
    }
  }

  static void XMLCALL onXmlDecl(void* data, const XML_Char* version, const XML_Char* encoding,
                                int standalone) {
    guarded(data, [&](TDomBuilder& b) {
      if (version != nullptr) b.document_->setXmlVersion(xml::fromStored(version));
      if (encoding != nullptr) b.document_->setXmlEncoding(xml::fromStored(encoding));
      if (standalone >= 0) b.document_->setXmlStandalone(standalone ? u"yes" : u"no");
    });
  }

  static void XMLCALL onStartDoctype(void* data, const XML_Char* name, const XML_Char* systemId,
                                     const XML_Char* publicId, int) {
    guarded(data, [&](TDomBuilder& b) {
      b.inDoctype_ = true;
      TDomDocument* d = b.document_;
      auto* node = d->make<TDomDocumentType>(TDomNodeType::DocumentType, d, b.plainName(name));
      if (publicId != nullptr) node->publicId_.data = d->storeBytes(publicId, &node->publicId_.size);
      if (systemId != nullptr) node->systemId_.data = d->storeBytes(systemId, &node->systemId_.size);
      b.append(node);
    });
  }

  static void XMLCALL onEndDoctype(void* data) {
    guarded(data, [&](TDomBuilder& b) { b.inDoctype_ = false; });
  }

  static void XMLCALL onEntityDecl(void* data, const XML_Char* name, int isParameterEntity, const XML_Char*,
                                   int, const XML_Char*, const XML_Char* systemId, const XML_Char*,
                                   const XML_Char*) {
    guarded(data, [&](TDomBuilder& b) {
      if (systemId != nullptr) {
        b.fail<EParserExternalEntity_Err>(std::string("external ") + (isParameterEntity ? "parameter " : "") +
                                          "entity '" + platform::messageValue(b.ansi(name)) + "' refused");
      }
    });
  }

  static void XMLCALL onSkippedEntity(void* data, const XML_Char* name, int) {
    guarded(data, [&](TDomBuilder& b) {
      b.fail<EParserUndefinedEntity_Err>("undefined entity '" + platform::messageValue(b.ansi(name)) + "'");
    });
  }

  static void XMLCALL onNamespaceDecl(void* data, const XML_Char* prefix, const XML_Char* uri) {
    guarded(data, [&](TDomBuilder& b) {
      b.namespaceDecls_.emplace_back(prefix != nullptr ? prefix : "", uri != nullptr ? uri : "");
    });
  }

  static void XMLCALL onStartElement(void* data, const XML_Char* name, const XML_Char** atts) {
    guarded(data, [&](TDomBuilder& b) { b.startElement(name, atts); });
  }

  static void XMLCALL onEndElement(void* data, const XML_Char*) {
    guarded(data, [&](TDomBuilder& b) {
      b.flushText();
      b.current_ = static_cast<TDomParentNode*>(b.current_->parent_);
      --b.depth_;
    });
  }

  static void XMLCALL onCharacterData(void* data, const XML_Char* s, int len) {
    guarded(data, [&](TDomBuilder& b) { b.text_.append(s, static_cast<std::size_t>(len)); });
  }

  static void XMLCALL onStartCdata(void* data) {
    guarded(data, [&](TDomBuilder& b) {
      b.flushText();
      b.inCdata_ = true;
    });
  }

  static void XMLCALL onEndCdata(void* data) {
    guarded(data, [&](TDomBuilder& b) {
      TDomDocument* d = b.document_;
      TDomCDATASection* node = d->createCDATASection({});
      node->data_ = d->storeBytes(b.text_, &node->size_);
      b.text_.clear();
      b.inCdata_ = false;
      b.append(node);
    });
  }

  static void XMLCALL onComment(void* data, const XML_Char* text) {
    guarded(data, [&](TDomBuilder& b) {
      if (b.inDoctype_) return;  // declarations are not part of the tree
      b.flushText();
      TDomDocument* d = b.document_;
      TDomComment* node = d->createComment({});
      node->data_ = d->storeBytes(text, &node->size_);
      b.append(node);
    });
  }

  static void XMLCALL onProcessingInstruction(void* data, const XML_Char* target, const XML_Char* text) {
    guarded(data, [&](TDomBuilder& b) {
      if (b.inDoctype_) return;
      b.flushText();
      TDomDocument* d = b.document_;
      auto* node =
          d->make<TDomProcessingInstruction>(TDomNodeType::ProcessingInstruction, d, b.plainName(target));
      node->data_ = d->storeBytes(text, &node->size_);
      b.append(node);
    });
  }

  // ---- building ----

  void startElement(const XML_Char* name, const XML_Char** atts) {
    flushText();
    TDomDocument* d = document_;
    auto* element = d->make<TDomElement>(TDomNodeType::Element, d, qualifiedName(name));
    TDomNode* lastAttr = nullptr;
    auto addAttribute = [&](const std::u16string* attrName, std::string_view value, bool specified) {
      auto* attr = d->make<TDomAttr>(TDomNodeType::Attribute, d, attrName);
      attr->parent_ = element;
      attr->specified_ = specified;
      if (!value.empty()) {
        TDomText* text = d->createTextNode({});
        text->data_ = d->storeBytes(value, &text->size_);
        text->parent_ = attr;
        attr->first_ = attr->last_ = text;
      }
      (lastAttr != nullptr ? lastAttr->next_ : element->firstAttr_) = attr;
      lastAttr = attr;
    };
    // Namespace declarations come back as the attributes they were written as.
    for (const auto& [prefix, uri] : namespaceDecls_) {
      std::string attrName = prefix.empty() ? "xmlns" : "xmlns:" + prefix;
      addAttribute(qualifiedName(attrName.c_str()), uri, true);
    }
    namespaceDecls_.clear();
    int specified = XML_GetSpecifiedAttributeCount(parser_);
    for (int i = 0; atts[i] != nullptr; i += 2) {
      addAttribute(qualifiedName(atts[i]), atts[i + 1], i < specified);
      // One start tag can hold millions of attributes.
      if (i % 4096 == 0) requireMemory(0);
    }
    append(element);
    current_ = element;
    ++depth_;
    if (upToRoot_ && depth_ == 1) {
      stopped_ = true;
      XML_StopParser(parser_, XML_FALSE);
    }
  }

  void append(TDomNode* node) {
    node->parent_ = current_;
    (current_->last_ != nullptr ? current_->last_->next_ : current_->first_) = node;
    current_->last_ = node;
  }

  // Adjacent character data arrives in pieces; it becomes one text node.
  void flushText() {
    if (text_.empty() || inCdata_) return;
    TDomDocument* d = document_;
    TDomText* node = d->createTextNode({});
    node->data_ = d->storeBytes(text_, &node->size_);
    text_.clear();
    append(node);
  }

  // "uri SEP local SEP prefix" becomes "prefix:local", "uri SEP local" and
  // "local" become "local"; each distinct name is converted once.
  const std::u16string* qualifiedName(const XML_Char* expatName) {
    std::string_view key(expatName);
    auto found = names_.find(key);
    if (found != names_.end()) return found->second;
    // The name in UTF-16, converted once and kept.
    requireMemory(2 * static_cast<std::int64_t>(key.size()));
    std::string_view local = key, prefix;
    std::size_t first = key.find(kNamespaceSeparator);
    if (first != std::string_view::npos) {
      local = key.substr(first + 1);
      std::size_t second = local.find(kNamespaceSeparator);
      if (second != std::string_view::npos) {
        prefix = local.substr(second + 1);
        local = local.substr(0, second);
      }
    }
    std::u16string qName = xml::fromStored(local);
    if (!prefix.empty()) qName = xml::fromStored(prefix) + u":" + qName;
    const std::u16string* interned = document_->internName(std::move(qName));
    if (names_.size() < kCachedNames && key.size() <= kCachedNameSize) {
      names_.emplace(std::string(key), interned);
      cachedNameBytes_ += static_cast<std::int64_t>(key.size()) + kEntryBytes;
    }
    return interned;
  }

  const std::u16string* plainName(const XML_Char* name) {
    requireMemory(2 * static_cast<std::int64_t>(std::strlen(name)));
    return document_->internName(xml::fromStored(name));
  }

  // What the tree and this builder hold, about to hold `more` bytes besides.
  void requireMemory(std::int64_t more) {
    const std::int64_t held =
        static_cast<std::int64_t>(document_->memoryUsed() + text_.capacity() + pending_.capacity()) +
        cachedNameBytes_;
    if (!expat_.fits(held + more)) throw EOutOfMemory(expat_.limitMessage(sourceName_));
  }

  std::string ansi(std::string_view utf8) const { return platform::utf8ToAnsi(utf8); }

  // ---- failures ----

  // What expat said of the bytes it was given; a failure is raised.
  void finish(XML_Status status) {
    if (status != XML_STATUS_OK && !stopped_) raiseError();
    if (failure_) std::rethrow_exception(failure_);
  }

  // ErrorContext of the document: UTF-16 shows in the first bytes (a
  // byte-order mark or "<?" in two bytes) and is read two bytes a character.
  ErrorContext errorContext() const {
    const std::string& head = expat_.head();
    if (head.size() >= 2) {
      auto b0 = static_cast<unsigned char>(head[0]), b1 = static_cast<unsigned char>(head[1]);
      if ((b0 == 0xFE && b1 == 0xFF) || (b0 == 0 && b1 != 0)) return ErrorContext(parser_, 2, true);
      if ((b0 == 0xFF && b1 == 0xFE) || (b0 != 0 && b1 == 0)) return ErrorContext(parser_, 2, false);
    }
    return ErrorContext(parser_, 1, false);
  }

  std::string where(long line, long column) const {
    return "File \"" + sourceName_ + "\", line " + std::to_string(line) + ", column " +
           std::to_string(column) + ": ";
  }

  template <class E>
  [[noreturn]] void fail(const std::string& description) {
    long line = static_cast<long>(XML_GetCurrentLineNumber(parser_));
    long column = static_cast<long>(XML_GetCurrentColumnNumber(parser_)) + 1;
    throw E(where(line, column) + description + ".", sourceName_, line, column);
  }

  // As the failure messages quote it: a document's names can be of any length.
  std::string currentElementName() const {
    return platform::messageValue(platform::utf16ToAnsi(current_->nodeName()));
  }

  // Inside a start tag, within a quoted value or where an unquoted one began.
  bool inAttributeValue(const ErrorContext& context) const {
    int start = 0;
    for (int k = -1; k >= -context.unitsBefore(); --k) {
      int c = context.at(k);
      if (c == '>') return false;
      if (c == '<') {
        start = k;
        break;
      }
    }
    if (start == 0 || context.at(start + 1) == '!' || context.at(start + 1) == '?') return false;
    int quote = 0, lastSignificant = 0;
    for (int k = start + 1; k < 0; ++k) {
      int c = context.at(k);
      if (quote != 0) {
        if (c == quote) quote = 0;
      } else if (c == '"' || c == '\'') {
        quote = c;
      }
      if (c != ' ' && c != '\t' && c != '\r' && c != '\n') lastSignificant = c;
    }
    return quote != 0 || lastSignificant == '=';
  }

  [[noreturn]] void raiseError() {
    if (failure_) std::rethrow_exception(failure_);
    XML_Error code = XML_GetErrorCode(parser_);
    std::string description = XML_ErrorString(code);
    switch (code) {
      case XML_ERROR_NO_MEMORY:
        if (expat_.overLimit()) throw EOutOfMemory(expat_.limitMessage(sourceName_));
        throw EOutOfMemory("Out of memory.");
      case XML_ERROR_TAG_MISMATCH:
        fail<EParserMissingEndTag_Err>(description + ", end tag of element '" + currentElementName() +
                                       "' expected");
      case XML_ERROR_NO_ELEMENTS:
        if (depth_ > 0)
          fail<EParserMissingEndTag_Err>("end tag of element '" + currentElementName() + "' missing");
        fail<EParserMissingRootElement_Err>(description);
      case XML_ERROR_INVALID_TOKEN:
      case XML_ERROR_UNCLOSED_TOKEN:
      case XML_ERROR_PARTIAL_CHAR: {
        if (inDoctype_) fail<EParserInvalidDoctype_Err>(description);
        const ErrorContext context = errorContext();
        if (context.valid() && inAttributeValue(context)) fail<EParserInvalidAttributeValue_Err>(description);
        int c = context.at(0);
        if (code == XML_ERROR_PARTIAL_CHAR || c < 0 || c >= 0x80 ||
            (c < 0x20 && c != '\t' && c != '\r' && c != '\n')) {
          if (code != XML_ERROR_UNCLOSED_TOKEN) fail<EParserInvalidCharacter_Err>(description);
        }
        fail<EParserSyntax_Err>(description);
      }
      case XML_ERROR_BAD_CHAR_REF:
        fail<EParserInvalidCharacter_Err>(description);
      case XML_ERROR_JUNK_AFTER_DOC_ELEMENT: {
        const ErrorContext context = errorContext();
        int next = context.at(1);
        if (context.at(0) == '<' && next != '!' && next != '?' && next != '/') {
          fail<EParserDoubleRootElement_Err>(description);
        }
        fail<EParserSyntax_Err>(description);
      }
      case XML_ERROR_DUPLICATE_ATTRIBUTE:
        fail<EParserDuplicateAttribute_Err>(description);
      case XML_ERROR_UNDEFINED_ENTITY:
        fail<EParserUndefinedEntity_Err>(description);
      case XML_ERROR_RECURSIVE_ENTITY_REF:
        fail<EParserRecursiveEntity_Err>(description);
      case XML_ERROR_ASYNC_ENTITY:
      case XML_ERROR_BINARY_ENTITY_REF:
      case XML_ERROR_ATTRIBUTE_EXTERNAL_ENTITY_REF:
        fail<EParserInvalidEntity_Err>(description);
      case XML_ERROR_AMPLIFICATION_LIMIT_BREACH:
        fail<EParserEntityAmplification_Err>(description);
      case XML_ERROR_MISPLACED_XML_PI:
      case XML_ERROR_XML_DECL:
      case XML_ERROR_TEXT_DECL:
      case XML_ERROR_INCORRECT_ENCODING:
        fail<EParserInvalidXmlDeclaration_Err>(description);
      case XML_ERROR_UNKNOWN_ENCODING:
        fail<EParserUnsupportedEncoding_Err>(description);
      case XML_ERROR_UNBOUND_PREFIX:
        fail<EParserUnboundPrefix_Err>(description);
      case XML_ERROR_UNDECLARING_PREFIX:
      case XML_ERROR_RESERVED_PREFIX_XML:
      case XML_ERROR_RESERVED_PREFIX_XMLNS:
      case XML_ERROR_RESERVED_NAMESPACE_URI:
        fail<EParserNamespaceFatalError>(description);
      case XML_ERROR_PARAM_ENTITY_REF:
      case XML_ERROR_ENTITY_DECLARED_IN_PE:
      case XML_ERROR_INCOMPLETE_PE:
      case XML_ERROR_PUBLICID:
        fail<EParserInvalidDoctype_Err>(description);
      case XML_ERROR_SYNTAX:
        if (inDoctype_) fail<EParserInvalidDoctype_Err>(description);
        fail<EParserSyntax_Err>(description);
      case XML_ERROR_UNCLOSED_CDATA_SECTION:
        fail<EParserSyntax_Err>(description);
      default:
        fail<EParserFatalError>(description);
    }
  }

  xml::ExpatParser expat_;
  XML_Parser parser_;
  static constexpr std::size_t kHeadSize = 4;
  bool fedAny_ = false;
  std::string head_;
  TDomDocument* document_;
  TDomParentNode* current_;
  std::string sourceName_;
  std::string text_;
  std::vector<std::pair<std::string, std::string>> namespaceDecls_;
  std::unordered_map<std::string, const std::u16string*, StringHash, std::equal_to<>> names_;
  std::int64_t cachedNameBytes_ = 0;
  std::exception_ptr failure_;
  // Bytes held back from expat (see feed()).
  std::string pending_;
  const bool upToRoot_;
  // Set once the root element is built in a parse up to the root.
  bool stopped_ = false;
  long depth_ = 0;
  bool inCdata_ = false;
  bool inDoctype_ = false;
};

namespace {

void checkImplementation(TDomImplementation* implementation) {
  if (implementation == nullptr) throw EAccessViolation("DOMImplementation not specified.");
}

// The parser's own words for a file that cannot be opened, with the reason
// the system gave ("Cannot open '<path>': <reason>"). A directory is named a
// file that cannot be read, as callers of the parser have always been told.
std::string openFailure(const std::string& fileName, const std::string& message) {
  const std::string prefix = "Cannot open '" + fileName + "': ";
  if (!message.starts_with(prefix)) return "TXmlToDomParser.fileToDom: " + message;
  std::string reason = message.substr(prefix.size());
  const char* verb = reason == std::strerror(EISDIR) ? "read" : "open";
  return std::string("TXmlToDomParser.fileToDom: Cannot ") + verb + " file '" + fileName + "': " + reason +
         ".";
}

}  // namespace

std::int64_t TXmlToDomParser::memoryFloor() const {
  return memoryFloor_ < 0 ? xml::kMemoryFloor : memoryFloor_;
}

std::unique_ptr<TDomDocument> TXmlToDomParser::fileToDom(const std::string& fileName) {
  return parseFile(fileName, false);
}

std::unique_ptr<TDomDocument> TXmlToDomParser::fileToDomUpToRoot(const std::string& fileName) {
  return parseFile(fileName, true);
}

std::unique_ptr<TDomDocument> TXmlToDomParser::parseFile(const std::string& fileName, bool upToRoot) {
  checkImplementation(implementation_);
  if (fileName.empty()) throw EAccessViolation("Filename not specified.");
  platform::OsFile file;
  try {
    file.openRead(fileName);
  } catch (const EInOutError& e) {
    throw EInOutError(openFailure(fileName, e.message()));
  }
  std::unique_ptr<TDomDocument> document = implementation_->createEmptyDocument();
  TDomBuilder builder(document.get(), fileName, static_cast<std::int64_t>(file.size()), memoryFloor(),
                      upToRoot);
  builder.expat().setPieceObserver(pieceObserver_);
  builder.parseFile(file);
  builder.passMemoryLimit();
  return document;
}

std::unique_ptr<TDomDocument> TXmlToDomParser::bufferToDom(std::string_view bytes,
                                                           const std::string& sourceName) {
  // Fed in pieces like a file, so both paths meet the same buffer boundaries.
  return bufferToDom(bytes, sourceName, kChunkSize);
}

std::unique_ptr<TDomDocument> TXmlToDomParser::bufferToDom(std::string_view bytes,
                                                           const std::string& sourceName,
                                                           std::size_t pieceSize) {
  checkImplementation(implementation_);
  std::unique_ptr<TDomDocument> document = implementation_->createEmptyDocument();
  TDomBuilder builder(document.get(), sourceName, static_cast<std::int64_t>(bytes.size()), memoryFloor());
  builder.expat().setPieceObserver(pieceObserver_);
  pieceSize = std::clamp<std::size_t>(pieceSize, 1, kChunkSize);
  std::size_t done = 0;
  do {
    std::size_t n = std::min<std::size_t>(pieceSize, bytes.size() - done);
    builder.parse(bytes.data() + done, static_cast<int>(n), done + n == bytes.size());
    done += n;
  } while (done < bytes.size());
  builder.passMemoryLimit();
  return document;
}
