// TDebugObject, the common base of the diagnostics' channels, lists, writers
// and readers. The diagnostics never raise into their callers: a failure of
// their own becomes an internal error, one line on the diagnostics' console
// stream (standard output unless the program chose standard error) followed
// by an error notice (the message box of the desktop program), and the
// caller's work goes on.
#pragma once

#include <exception>
#include <string>

#include "basis/mapped_object.h"
#include "platform/export.h"

// The base of every part of the diagnostics, which turns their own failures
// into internal errors.
class VOSKO_API TDebugObject : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TDebugObject)

  // internalError("unknown", exception).
  virtual void internalError(const std::exception* exception) const;
  // "DEBUG: INTERNAL ERROR: method: <name>" with the exception's class and
  // message on two more lines, or "... <name> unknown exception" when the
  // exception is null (a raised object that is no std::exception).
  virtual void internalError(const std::string& methodName, const std::exception* exception) const;
  // "DEBUG: INTERNAL ERROR: msg: " + text.
  virtual void internalError(const std::string& text) const;

  // Writes text to the diagnostics' console stream, then shows it as an
  // error notice even when the write failed. Swallows everything.
  static void reportInternalError(const std::string& text) noexcept;

 protected:
  // Reports the exception being handled under methodName, whatever was raised.
  // REQUIRES: called inside a catch block.
  void internalErrorOfCurrent(const std::string& methodName) const noexcept;
};
