// The exceptions of the XML parser. `EParserException` is the base; its three
// kinds follow XML 1.0: fatal errors (well-formedness, with namespace and
// document-type violations below), errors (validity) and warnings. Each leaf
// names the rule the document broke. The message names the file, line and
// column; the same position is kept in fields for callers that want it.
#pragma once

#include <string>

#include "platform/exception.h"
#include "platform/export.h"

// The base of the parser's exceptions: the message, and the file, line and
// column it names kept apart for callers that want them.
class VOSKO_API EParserException : public Exception {
 public:
  explicit EParserException(std::string message, std::string fileName = {}, long line = 0, long column = 0)
      : Exception(std::move(message)), fileName_(std::move(fileName)), line_(line), column_(column) {}
  const char* className() const noexcept override { return "EParserException"; }

  const std::string& fileName() const { return fileName_; }
  // 1-based; 0 when the failure has no position.
  long line() const { return line_; }
  long column() const { return column_; }

 private:
  std::string fileName_;
  long line_;
  long column_;
};

// A document that is not well-formed XML: the parser reads no further.
VOSKO_EXCEPTION(EParserFatalError, EParserException);
// A document that breaks a validity rule.
VOSKO_EXCEPTION(EParserError, EParserException);
// Something in a document worth reporting that breaks no rule.
VOSKO_EXCEPTION(EParserWarning, EParserException);

// A use of namespaces that XML forbids, such as binding a reserved prefix.
VOSKO_EXCEPTION(EParserNamespaceFatalError, EParserFatalError);
// A malformed document type declaration.
VOSKO_EXCEPTION(EParserInvalidDoctype_Err, EParserFatalError);

// An element left open at the end of the document, or closed by the wrong tag.
VOSKO_EXCEPTION(EParserMissingEndTag_Err, EParserFatalError);
// A document without a root element.
VOSKO_EXCEPTION(EParserMissingRootElement_Err, EParserFatalError);
// A second element after the root element has ended.
VOSKO_EXCEPTION(EParserDoubleRootElement_Err, EParserFatalError);
// A character that XML does not allow where it stands.
VOSKO_EXCEPTION(EParserInvalidCharacter_Err, EParserFatalError);
// An attribute value that is malformed.
VOSKO_EXCEPTION(EParserInvalidAttributeValue_Err, EParserFatalError);
// An attribute given twice on one element.
VOSKO_EXCEPTION(EParserDuplicateAttribute_Err, EParserFatalError);
// A reference to an entity that is not declared.
VOSKO_EXCEPTION(EParserUndefinedEntity_Err, EParserFatalError);
// An entity whose replacement refers to itself.
VOSKO_EXCEPTION(EParserRecursiveEntity_Err, EParserFatalError);
// A reference to an entity that may not be used where it stands.
VOSKO_EXCEPTION(EParserInvalidEntity_Err, EParserFatalError);
// An external entity was declared; the parser never loads one.
VOSKO_EXCEPTION(EParserExternalEntity_Err, EParserFatalError);
// Entity expansion grew far beyond the input (the "billion laughs" attack).
VOSKO_EXCEPTION(EParserEntityAmplification_Err, EParserFatalError);
// An XML or text declaration that is malformed, misplaced or does not fit
// the bytes of the document.
VOSKO_EXCEPTION(EParserInvalidXmlDeclaration_Err, EParserFatalError);
// An encoding the parser does not read.
VOSKO_EXCEPTION(EParserUnsupportedEncoding_Err, EParserFatalError);
// Any other failure of well-formedness.
VOSKO_EXCEPTION(EParserSyntax_Err, EParserFatalError);

// A namespace prefix used without a declaration in scope.
VOSKO_EXCEPTION(EParserUnboundPrefix_Err, EParserNamespaceFatalError);
