#include "platform/utf8.h"

namespace platform {

bool Utf8Char::valid() const {
  switch (length) {
    case 1:
      return true;
    case 2:
      return code >= 0x80;
    case 3:
      return code >= 0x800 && (code < 0xD800 || code > 0xDFFF);
    case 4:
      return code >= 0x10000 && code <= 0x10FFFF;
    default:
      return false;
  }
}

Utf8Char decodeUtf8(std::string_view s, std::size_t i) {
  auto c = static_cast<unsigned char>(s[i]);
  if (c < 0x80) return {c, 1};
  std::size_t n;
  char32_t code;
  if (c >= 0xC0 && c <= 0xDF) {
    n = 2;
    code = c & 0x1F;
  } else if (c >= 0xE0 && c <= 0xEF) {
    n = 3;
    code = c & 0x0F;
  } else if (c >= 0xF0 && c <= 0xF7) {
    n = 4;
    code = c & 0x07;
  } else {
    return {};
  }
  if (n > s.size() - i) return {};
  for (std::size_t k = 1; k < n; ++k) {
    auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) return {};
    code = (code << 6) | (b & 0x3F);
  }
  return {code, n};
}

bool isValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    Utf8Char c = decodeUtf8(s, i);
    if (!c.valid()) return false;
    i += c.length;
  }
  return true;
}

void appendUtf8(std::string& out, char32_t code) {
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
}

}  // namespace platform
