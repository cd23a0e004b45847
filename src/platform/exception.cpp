#include "platform/exception.h"

#include <new>

namespace platform {

std::string exceptionClassName(const std::exception& e) {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->className();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "EOutOfMemory";
  return "Exception";
}

std::string exceptionMessage(const std::exception& e) {
  if (auto* own = dynamic_cast<const Exception*>(&e)) return own->message();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return "Out of memory.";
  return e.what();
}

std::string quoteException(const std::exception& e) {
  std::string quoted = "(";
  quoted += exceptionClassName(e);
  quoted += ") ";
  quoted += exceptionMessage(e);
  return quoted;
}

std::string wrapMessage(const std::string& where, const std::exception& e) {
  return where + ": " + quoteException(e);
}

std::string prefixMessage(const std::string& where, const std::exception& e) {
  return where + ": " + exceptionMessage(e);
}

void throwListIndexError(long long index) {
  throw EListError(
      "Listenindex \xFC"
      "berschreitet das Maximum (" +
      std::to_string(index) + ")");
}

}  // namespace platform
