#include "xml/xml_text.h"

#include "platform/utf8.h"

namespace xml {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

void appendStored(std::string& out, std::u16string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c < 0x80) {
      out += static_cast<char>(c);
      continue;
    }
    if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    // Lone surrogates are encoded like any other code point: three bytes of their own.
    platform::appendUtf8(out, c);
  }
}

std::string toStored(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  appendStored(out, text);
  return out;
}

std::size_t decodeStored(std::string_view s, std::size_t i, char16_t units[2], int* count) {
  platform::Utf8Char c = platform::decodeUtf8(s, i);
  *count = 1;
  // Stored text keeps lone surrogates as their three bytes, so shorter
  // sequences are taken as they are; only four bytes must name a character
  // beyond the basic plane, the one thing a UTF-16 pair can hold.
  bool taken = c.length == 4 ? c.valid() : c.length > 0;
  if (!taken) {
    // Stored texts are always well formed; a stray byte is kept as the same code.
    units[0] = static_cast<char16_t>(static_cast<unsigned char>(s[i]));
    return 1;
  }
  if (c.code < 0x10000) {
    units[0] = static_cast<char16_t>(c.code);
  } else {
    char32_t v = c.code - 0x10000;
    units[0] = static_cast<char16_t>(0xD800 + (v >> 10));
    units[1] = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    *count = 2;
  }
  return c.length;
}

void appendFromStored(std::u16string& out, std::string_view stored) {
  for (std::size_t i = 0; i < stored.size();) {
    unsigned char c = static_cast<unsigned char>(stored[i]);
    if (c < 0x80) {
      out += static_cast<char16_t>(c);
      ++i;
      continue;
    }
    char16_t units[2];
    int count;
    i += decodeStored(stored, i, units, &count);
    out.append(units, count);
  }
}

std::u16string fromStored(std::string_view stored) {
  std::u16string out;
  out.reserve(stored.size());
  appendFromStored(out, stored);
  return out;
}

namespace {

bool isNameStartChar(char32_t c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == ':' || c == '_' ||
         (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
         (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || (c >= 0x200C && c <= 0x200D) ||
         (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
         (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0xEFFFF);
}

bool isNameChar(char32_t c) {
  return isNameStartChar(c) || c == '-' || c == '.' || (c >= '0' && c <= '9') || c == 0xB7 ||
         (c >= 0x300 && c <= 0x36F) || (c >= 0x203F && c <= 0x2040);
}

}  // namespace

bool isXmlName(std::u16string_view name) {
  if (name.empty()) return false;
  for (std::size_t i = 0; i < name.size(); ++i) {
    bool first = i == 0;
    char32_t c = name[i];
    if (isHighSurrogate(name[i])) {
      if (i + 1 >= name.size() || !isLowSurrogate(name[i + 1])) return false;
      c = 0x10000 + ((c - 0xD800) << 10) + (name[i + 1] - 0xDC00);
      ++i;
    } else if (isLowSurrogate(name[i])) {
      return false;
    }
    if (first ? !isNameStartChar(c) : !isNameChar(c)) return false;
  }
  return true;
}

}  // namespace xml
