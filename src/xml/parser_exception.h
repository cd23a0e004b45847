// The exceptions of the XML parser. `EParserException` is the base; its three
// kinds follow XML 1.0: fatal errors (well-formedness, with namespace and
// document-type violations below), errors (validity) and warnings. Each leaf
// names the rule the document broke. The message names the file, line and
// column; the same position is kept in fields for callers that want it.
#pragma once

#include <string>

#include "platform/exception.h"

class EParserException : public Exception {
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

VOSKO_EXCEPTION(EParserFatalError, EParserException);
VOSKO_EXCEPTION(EParserError, EParserException);
VOSKO_EXCEPTION(EParserWarning, EParserException);

VOSKO_EXCEPTION(EParserNamespaceFatalError, EParserFatalError);
VOSKO_EXCEPTION(EParserInvalidDoctype_Err, EParserFatalError);

VOSKO_EXCEPTION(EParserMissingEndTag_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserMissingRootElement_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserDoubleRootElement_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserInvalidCharacter_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserInvalidAttributeValue_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserDuplicateAttribute_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserUndefinedEntity_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserRecursiveEntity_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserInvalidEntity_Err, EParserFatalError);
// An external entity was declared; the parser never loads one.
VOSKO_EXCEPTION(EParserExternalEntity_Err, EParserFatalError);
// Entity expansion grew far beyond the input (the "billion laughs" attack).
VOSKO_EXCEPTION(EParserEntityAmplification_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserInvalidXmlDeclaration_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserUnsupportedEncoding_Err, EParserFatalError);
VOSKO_EXCEPTION(EParserSyntax_Err, EParserFatalError);

VOSKO_EXCEPTION(EParserUnboundPrefix_Err, EParserNamespaceFatalError);
