#include "xml/dom_serializer.h"

#include "xml/dom_document.h"

using Escape = TUtf8OutputStream::Escape;

void TDomSerializer::writeDocument(const TDomDocument& document) {
  markup("<?xml version=\"");
  stream_.write(document.xmlVersion().empty() ? u"1.0" : document.xmlVersion());
  markup("\" encoding=\"");
  stream_.write(document.xmlEncoding());
  markup("\"");
  if (!document.xmlStandalone().empty()) {
    markup(" standalone=\"");
    stream_.write(document.xmlStandalone());
    markup("\"");
  }
  markup("?>\n");
  for (const TDomNode* child = document.firstChild(); child != nullptr; child = child->nextSibling()) {
    writeTree(*child);
    markup("\n");
  }
  stream_.finish();
}

void TDomSerializer::writeTree(const TDomNode& root) {
  const TDomNode* node = &root;
  while (true) {
    open(*node);
    // An entity reference is written as the reference, not as its expansion.
    const TDomNode* child = node->nodeType() == TDomNodeType::EntityReference ? nullptr : node->firstChild();
    if (child != nullptr) {
      node = child;
      continue;
    }
    while (true) {
      close(*node);
      if (node == &root) return;
      if (node->next_ != nullptr) {
        node = node->next_;
        break;
      }
      node = node->parent_;
    }
  }
}

void TDomSerializer::writeAttributes(const TDomNode& element) {
  for (const TDomNode* attr = static_cast<const TDomElement&>(element).firstAttr_; attr != nullptr;
       attr = attr->next_) {
    if (!attr->specified_) continue;
    markup(" ");
    stream_.write(*attr->name_);
    markup("=\"");
    for (const TDomNode* part = attr->firstChild(); part != nullptr; part = part->next_) {
      if (part->type_ == TDomNodeType::EntityReference) {
        markup("&");
        stream_.write(*part->name_);
        markup(";");
      } else {
        stream_.writeStored(static_cast<const TDomCharacterData*>(part)->stored(), Escape::kAttribute);
      }
    }
    markup("\"");
  }
}

void TDomSerializer::open(const TDomNode& node) {
  switch (node.type_) {
    case TDomNodeType::Element:
      markup("<");
      stream_.write(*node.name_);
      writeAttributes(node);
      markup(">");
      break;
    case TDomNodeType::Text:
      stream_.writeStored(static_cast<const TDomCharacterData&>(node).stored(), Escape::kText);
      break;
    case TDomNodeType::CDATASection: {
      // "]]>" cannot stand inside a section: it is split across two.
      std::string_view data = static_cast<const TDomCharacterData&>(node).stored();
      markup("<![CDATA[");
      for (std::size_t end; (end = data.find("]]>")) != std::string_view::npos; data.remove_prefix(end + 2)) {
        stream_.writeStored(data.substr(0, end + 2), Escape::kNone);
        markup("]]><![CDATA[");
      }
      stream_.writeStored(data, Escape::kNone);
      markup("]]>");
      break;
    }
    case TDomNodeType::Comment:
      markup("<!--");
      stream_.writeStored(static_cast<const TDomCharacterData&>(node).stored(), Escape::kNone);
      markup("-->");
      break;
    case TDomNodeType::ProcessingInstruction: {
      std::string_view data = static_cast<const TDomCharacterData&>(node).stored();
      markup("<?");
      stream_.write(*node.name_);
      if (!data.empty()) {
        markup(" ");
        stream_.writeStored(data, Escape::kNone);
      }
      markup("?>");
      break;
    }
    case TDomNodeType::DocumentType: {
      const auto& type = static_cast<const TDomDocumentType&>(node);
      markup("<!DOCTYPE ");
      stream_.write(*node.name_);
      if (type.publicId_.size != 0) {
        markup(" PUBLIC \"");
        stream_.writeStored(type.publicId_.view(), Escape::kNone);
        markup("\" \"");
        stream_.writeStored(type.systemId_.view(), Escape::kNone);
        markup("\"");
      } else if (type.systemId_.size != 0) {
        markup(" SYSTEM \"");
        stream_.writeStored(type.systemId_.view(), Escape::kNone);
        markup("\"");
      }
      if (type.internalSubset_.size != 0) {
        markup(" [");
        stream_.writeStored(type.internalSubset_.view(), Escape::kNone);
        markup("]");
      }
      markup(">");
      break;
    }
    case TDomNodeType::EntityReference:
      markup("&");
      stream_.write(*node.name_);
      markup(";");
      break;
    default:
      // Fragments, entities and notations are represented by their children.
      break;
  }
}

void TDomSerializer::close(const TDomNode& node) {
  if (node.type_ != TDomNodeType::Element) return;
  markup("</");
  stream_.write(*node.name_);
  markup(">");
}
