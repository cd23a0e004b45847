#include "xml/xml_text.h"

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
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      // Lone surrogates take this branch too: they keep their own three bytes.
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

std::string toStored(std::u16string_view text) {
  std::string out;
  out.reserve(text.size());
  appendStored(out, text);
  return out;
}

std::size_t decodeStored(std::string_view s, std::size_t i, char16_t units[2], int* count) {
  auto b = [&](std::size_t k) -> unsigned { return static_cast<unsigned char>(s[k]); };
  auto cont = [&](std::size_t k) { return k < s.size() && (b(k) & 0xC0) == 0x80; };
  unsigned c = b(i);
  *count = 1;
  if (c < 0x80) {
    units[0] = static_cast<char16_t>(c);
    return 1;
  }
  if (c >= 0xC0 && c < 0xE0 && cont(i + 1)) {
    units[0] = static_cast<char16_t>(((c & 0x1F) << 6) | (b(i + 1) & 0x3F));
    return 2;
  }
  if (c >= 0xE0 && c < 0xF0 && cont(i + 1) && cont(i + 2)) {
    units[0] = static_cast<char16_t>(((c & 0x0F) << 12) | ((b(i + 1) & 0x3F) << 6) | (b(i + 2) & 0x3F));
    return 3;
  }
  if (c >= 0xF0 && c < 0xF8 && cont(i + 1) && cont(i + 2) && cont(i + 3)) {
    char32_t v =
        ((c & 0x07) << 18) | ((b(i + 1) & 0x3F) << 12) | ((b(i + 2) & 0x3F) << 6) | (b(i + 3) & 0x3F);
    if (v >= 0x10000 && v <= 0x10FFFF) {
      v -= 0x10000;
      units[0] = static_cast<char16_t>(0xD800 + (v >> 10));
      units[1] = static_cast<char16_t>(0xDC00 + (v & 0x3FF));
      *count = 2;
      return 4;
    }
  }
  // Stored texts are always well formed; a stray byte is kept as the same code.
  units[0] = static_cast<char16_t>(c);
  return 1;
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
