// The foundation library's exception classes. All derive from the platform's
// `Exception` and carry one message; `FileNotFoundException` and
// `ParserException` build theirs from their fields.
#pragma once

#include <cstdint>
#include <string>

#include "platform/exception.h"
#include "platform/export.h"

// An argument the operation cannot take, such as a null object.
VOSKO_EXCEPTION(IllegalArgumentException, Exception);
// A key that the table does not hold.
VOSKO_EXCEPTION(InvalidKeyException, Exception);
// A property whose value is not of the type asked for.
VOSKO_EXCEPTION(IllegalPropertyValueException, Exception);
// An operation that the object cannot carry out as it stands, or does not have.
VOSKO_EXCEPTION(IllegalStateException, Exception);
// A properties file that is missing or cannot be taken as one.
VOSKO_EXCEPTION(InvalidPropertiesException, Exception);
// An element asked for after the last one.
VOSKO_EXCEPTION(NoSuchElementException, Exception);
// A file that cannot be opened, read or written, and the failures that the
// persistence operations catch and raise again.
VOSKO_EXCEPTION(IOException, Exception);
// An object that could not be made, with the cause in the message.
VOSKO_EXCEPTION(CreateException, Exception);

// "File '<name>' not found."
class VOSKO_API FileNotFoundException : public IOException {
 public:
  explicit FileNotFoundException(const std::string& fileName)
      : IOException("File '" + fileName + "' not found."), fileName_(fileName) {}
  const char* className() const noexcept override { return "FileNotFoundException"; }
  const std::string& fileName() const { return fileName_; }

 private:
  std::string fileName_;
};

// operation + ": " + reason + ": '" + input from the 1-based position on + "'."
class VOSKO_API ParserException : public Exception {
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
