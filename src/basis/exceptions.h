// The foundation library's exception classes. All derive from the platform's
// `Exception` and carry one message; `FileNotFoundException` and
// `ParserException` build theirs from their fields.
#pragma once

#include <cstdint>
#include <string>

#include "platform/exception.h"

VOSKO_EXCEPTION(IllegalArgumentException, Exception);
VOSKO_EXCEPTION(InvalidKeyException, Exception);
VOSKO_EXCEPTION(IllegalPropertyValueException, Exception);
VOSKO_EXCEPTION(IllegalStateException, Exception);
VOSKO_EXCEPTION(InvalidPropertiesException, Exception);
VOSKO_EXCEPTION(NoSuchElementException, Exception);
VOSKO_EXCEPTION(IOException, Exception);
VOSKO_EXCEPTION(CreateException, Exception);

// "File '<name>' not found."
class FileNotFoundException : public IOException {
 public:
  explicit FileNotFoundException(const std::string& fileName)
      : IOException("File '" + fileName + "' not found."), fileName_(fileName) {}
  const char* className() const noexcept override { return "FileNotFoundException"; }
  const std::string& fileName() const { return fileName_; }

 private:
  std::string fileName_;
};

// operation + ": " + reason + ": '" + input from the 1-based position on + "'."
class ParserException : public Exception {
 public:
  ParserException(const std::string& operation, const std::string& input, const std::string& reason,
                  int32_t position);
  const char* className() const noexcept override { return "ParserException"; }
  const std::string& operation() const { return operation_; }
  const std::string& input() const { return input_; }
  const std::string& reason() const { return reason_; }
  int32_t position() const { return position_; }

 private:
  std::string operation_;
  std::string input_;
  std::string reason_;
  int32_t position_;
};
