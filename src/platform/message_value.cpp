#include "platform/message_value.h"

#include "platform/utf8.h"

namespace platform {

std::string messageValue(std::string_view value) {
  if (value.size() <= kMessageValueLimit) return std::string(value);
  std::size_t cut = kMessageValueLimit;
  // A UTF-8 sequence is at most four bytes long, so its lead byte lies at
  // most three bytes before the limit.
  for (std::size_t k = cut; k > 0 && cut - k < 3;) {
    auto c = static_cast<unsigned char>(value[--k]);
    if ((c & 0xC0) == 0x80) continue;
    Utf8Char lead = decodeUtf8(value, k);
    if (lead.valid() && k + lead.length > cut) cut = k;
    break;
  }
  std::string shown(value.substr(0, cut));
  shown += "... (" + std::to_string(value.size()) + " bytes)";
  return shown;
}

}  // namespace platform
