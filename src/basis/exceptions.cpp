#include "basis/exceptions.h"

#include "platform/message_value.h"

namespace {

std::string parserMessage(const std::string& operation, const std::string& input, const std::string& reason,
                          int32_t position) {
  std::string rest;
  if (position >= 1 && static_cast<size_t>(position) <= input.size()) {
    rest = input.substr(static_cast<size_t>(position) - 1);
  } else if (position < 1) {
    rest = input;
  }
  return operation + ": " + reason + ": '" + platform::messageValue(rest) + "'.";
}

}  // namespace

ParserException::ParserException(const std::string& operation, const std::string& input,
                                 const std::string& reason, int32_t position)
    : Exception(parserMessage(operation, input, reason, position)),
      operation_(operation),
      input_(input),
      reason_(reason),
      position_(position) {}
