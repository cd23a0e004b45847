#include "debug/debug_object.h"

#include "platform/console.h"
#include "platform/exception.h"

void TDebugObject::internalError(const std::exception* exception) const {
  internalError("unknown", exception);
}

void TDebugObject::internalError(const std::string& methodName, const std::exception* exception) const {
  try {
    std::string text = "DEBUG: INTERNAL ERROR: method: <" + methodName + ">";
    if (exception == nullptr) {
      text += " unknown exception";
    } else {
      text += "\r\n     exClass: " + platform::exceptionClassName(*exception) +
              "\r\n     exMsg:   " + platform::exceptionMessage(*exception);
    }
    reportInternalError(text);
  } catch (...) {
    // Building the text failed (out of memory); there is nothing left to report with.
  }
}

void TDebugObject::internalError(const std::string& text) const {
  try {
    reportInternalError("DEBUG: INTERNAL ERROR: msg: " + text);
  } catch (...) {
    // As above: the report itself could not be built.
  }
}

void TDebugObject::reportInternalError(const std::string& text) noexcept {
  try {
    // Where the channels' console lines go: standard error for a program
    // whose standard output carries only data.
    platform::writeDiagnosticsLine(text);
  } catch (...) {
    // The notice below must appear even when standard output is gone.
  }
  try {
    platform::showNotice(platform::NoticeKind::kError, text);
  } catch (...) {
  }
}

void TDebugObject::internalErrorOfCurrent(const std::string& methodName) const noexcept {
  try {
    throw;
  } catch (const std::exception& e) {
    internalError(methodName, &e);
  } catch (...) {
    internalError(methodName, nullptr);
  }
}
