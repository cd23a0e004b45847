// How a message quotes a value it did not make: a text read from a file, a
// document or a settings store can be megabytes long, and a report that
// repeats it whole is no longer read by anyone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/export.h"

namespace platform {

// The most bytes of one value that a message shows.
constexpr std::size_t kMessageValueLimit = 200;

// `value` itself when it has at most kMessageValueLimit bytes; otherwise its
// first bytes and "... (N bytes)", N being the value's whole length. The cut
// never splits a valid UTF-8 sequence (Windows-1252 text is cut at the limit).
VOSKO_API std::string messageValue(std::string_view value);

}  // namespace platform
