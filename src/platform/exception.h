// The platform's base exception and the exception classes the platform itself
// raises. Every exception of the system derives from `Exception`, carries one
// message, and names its own class at run time; failures that are caught and
// raised again quote that class name in the form
//   "Class.operation: (ExceptionClass) message",
// or, in the few classes that never named it, "Class.operation: message".
#pragma once

#include <exception>
#include <string>

#include "platform/export.h"

// The base of every exception of the system: one message, and the name of
// its class as the system's messages quote it.
class VOSKO_API Exception : public std::exception {
 public:
  explicit Exception(std::string message) : message_(std::move(message)) {}

  const std::string& message() const noexcept { return message_; }
  const char* what() const noexcept override { return message_.c_str(); }
  // The class name as the system's messages show it, e.g. "IOException".
  virtual const char* className() const noexcept { return "Exception"; }

 private:
  std::string message_;
};

// Declares an exception class that adds nothing but its name.
#define VOSKO_EXCEPTION(Name, Base)                                   \
  class VOSKO_API Name : public Base {                                \
   public:                                                            \
    using Base::Base;                                                 \
    const char* className() const noexcept override { return #Name; } \
  }

// Conversion of a text into a number or a date failed.
VOSKO_EXCEPTION(EConvertError, Exception);
// A list was asked for a position it does not have.
VOSKO_EXCEPTION(EListError, Exception);
// An operating-system input/output operation failed.
VOSKO_EXCEPTION(EInOutError, Exception);
// A required object reference was missing.
VOSKO_EXCEPTION(EAccessViolation, Exception);
// A class name is unknown to the persistent class registry.
VOSKO_EXCEPTION(EClassNotFound, Exception);
// Memory could not be allocated.
VOSKO_EXCEPTION(EOutOfMemory, Exception);

namespace platform {

// The class name of any caught exception: the system's own name for our
// exceptions, "EOutOfMemory" for an allocation failure, "Exception" otherwise.
VOSKO_API std::string exceptionClassName(const std::exception& e);
VOSKO_API std::string exceptionMessage(const std::exception& e);

// "(ExceptionClass) message": how a caught failure is quoted inside another message.
VOSKO_API std::string quoteException(const std::exception& e);
// "where: (ExceptionClass) message" -- the one wrapping form of the system.
VOSKO_API std::string wrapMessage(const std::string& where, const std::exception& e);
// "where: message" -- the form of classes that pass a failure on under their
// own operation's name without naming its class.
VOSKO_API std::string prefixMessage(const std::string& where, const std::exception& e);

// The list error of the platform for an index out of range:
// "Listenindex überschreitet das Maximum (index)" with ü as the byte 0xFC.
[[noreturn]] VOSKO_API void throwListIndexError(long long index);

}  // namespace platform
