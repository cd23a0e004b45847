#include "basis/xml_helper.h"

#include <cerrno>
#include <cstring>
#include <ostream>
#include <streambuf>

#include "basis/exceptions.h"
#include "platform/code_page.h"
#include "platform/exception.h"
#include "platform/message_value.h"
#include "platform/os_file.h"
#include "xml/dom_exception.h"
#include "xml/xml_to_dom_parser.h"

namespace {

// An unbuffered stream target over an OsFile (the serializer buffers
// already); it remembers the system's error of the first failed write.
class OsFileBuffer : public std::streambuf {
 public:
  explicit OsFileBuffer(platform::OsFile& file) : file_(file) {}
  int error() const { return error_; }

 protected:
  std::streamsize xsputn(const char* s, std::streamsize n) override {
    if (error_ != 0) return 0;
    std::size_t written = file_.write(s, static_cast<std::size_t>(n));
    if (written < static_cast<std::size_t>(n)) error_ = errno != 0 ? errno : EIO;
    return static_cast<std::streamsize>(written);
  }
  int_type overflow(int_type c) override {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    char ch = traits_type::to_char_type(c);
    return xsputn(&ch, 1) == 1 ? c : traits_type::eof();
  }

 private:
  platform::OsFile& file_;
  int error_ = 0;
};

}  // namespace

TXMLHelper& TXMLHelper::getInstance() {
  static TXMLHelper instance;
  return instance;
}

TXMLHelper::TXMLHelper() : implementation_(std::make_unique<TDomImplementation>()) {}

TXMLHelper::~TXMLHelper() = default;

std::unique_ptr<TDomDocument> TXMLHelper::createDocument(const std::string& rootName) {
  return implementation_->createDocument(platform::ansiToUtf16(rootName), nullptr);
}

void TXMLHelper::DOMToFile(TDomDocument* document, const std::string& fileName) {
  try {
    if (document == nullptr) throw EAccessViolation("Document not specified.");
    if (fileName.empty()) throw EAccessViolation("Filename not specified.");
    // Replacing by rename would otherwise succeed where truncating must not.
    if (platform::isReadOnlyFile(fileName)) {
      throw EInOutError("Cannot create '" + fileName + "': " + std::strerror(EACCES));
    }
    platform::OsFile file;
    file.openReplacement(fileName);
    OsFileBuffer buffer(file);
    std::ostream out(&buffer);
    try {
      document->writeToUTF8(out);
    } catch (const EInOutError&) {
      if (buffer.error() == 0) throw;
      throw EInOutError("Cannot write '" + fileName + "': " + std::strerror(buffer.error()));
    }
    file.commitReplacement();
  } catch (const std::exception& e) {
    throw IOException(platform::prefixMessage("TXMLHelper.DOMToFile", e));
  }
}

std::unique_ptr<TDomDocument> TXMLHelper::fileToDOM(const std::string& fileName) {
  try {
    TXmlToDomParser parser(implementation_.get());
    return parser.fileToDom(fileName);
  } catch (const std::exception& e) {
    throw IOException(platform::prefixMessage("TXMLHelper.DOMToFile", e));
  }
}

TDomElement* TXMLHelper::getChildElement(TDomElement* element, const std::string& name) {
  if (element == nullptr) throw EDomException("Element '' has no child '" + name + "'.");
  TDomNodeList found = element->getElementsByTagName(platform::ansiToUtf16(name));
  if (found.length() == 0) {
    throw EDomException("Element '" + platform::messageValue(platform::utf16ToAnsi(element->tagName())) +
                        "' has no child '" + name + "'.");
  }
  return static_cast<TDomElement*>(found.item(0));
}

TDomElement* TXMLHelper::getChildElement(TDomElement* element, std::u16string_view name) {
  return getChildElement(element, platform::utf16ToAnsi(name));
}

std::string TXMLHelper::expandLineBreaks(const std::string& s) {
  std::string result = s;
  std::size_t p = result.find('\n');
  while (p != std::string::npos) {
    if (p + 1 < result.size() && result[p + 1] == '\n') {
      result[p] = '\r';
      p = result.find('\n', p + 2);
    } else {
      p = result.find('\n', p + 1);
    }
  }
  return result;
}
