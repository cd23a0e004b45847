#include "basis/xml_persistent.h"

#include <memory>

#include "basis/exceptions.h"
#include "basis/xml_helper.h"
#include "platform/exception.h"
#include "xml/dom_document.h"

namespace {

// The document keeps nothing of rootName: it is cleared before the
// object's own element becomes its only child.
template <class Render>
void storeRendered(const std::string& name, const std::string& rootName, Render render) {
  TXMLHelper& helper = TXMLHelper::getInstance();
  std::unique_ptr<TDomDocument> document = helper.createDocument(rootName);
  document->clear();
  document->appendChild(render(document.get()));
  helper.DOMToFile(document.get(), name);
}

}  // namespace

void TXMLPersistent::storeXML() { storeXML(getFileName()); }

void TXMLPersistent::storeXML(const std::string& name) { storeXML(name, "default"); }

void TXMLPersistent::storeXML(const std::string& name, const std::string& rootName) {
  try {
    storeRendered(name, rootName, [this](TDomDocument* d) { return toXML(d); });
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TXMLPersistent.storeXML", e));
  }
}

void TXMLPersistent::loadXML() { loadXML(getFileName()); }

void TXMLPersistent::loadXML(const std::string& name) {
  try {
    std::unique_ptr<TDomDocument> document = TXMLHelper::getInstance().fileToDOM(name);
    loadXML(document.get());
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TXMLPersistent.loadXML", e));
  }
}

void TXMLPersistent::loadXML(TDomDocument* document) {
  try {
    initialize();
    // The document element, not whatever node comes first (a comment or a
    // processing instruction may stand before it). A document without one
    // passes null, which every fromXML refuses with its own message.
    fromXML(document != nullptr ? document->documentElement() : nullptr);
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TXMLPersistent.loadXML", e));
  }
}

void THTMLPersistent::storeHTML() { storeHTML(getFileName()); }

void THTMLPersistent::storeHTML(const std::string& name) { storeHTML(name, "default"); }

void THTMLPersistent::storeHTML(const std::string& name, const std::string& rootName) {
  try {
    storeRendered(name, rootName, [this](TDomDocument* d) { return toHTML(d); });
  } catch (const std::exception& e) {
    // The system's message names storeXML here too.
    throw IOException(platform::wrapMessage("THTMLPersistent.storeXML", e));
  }
}
