#include "platform/code_page.h"

#include <array>

#include "platform/utf8.h"

namespace platform {
namespace {

// Windows-1252 0x80..0x9F; the undefined bytes keep their own code.
constexpr std::array<char16_t, 32> kHigh = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                            0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                            0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                            0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

int utf16ToAnsiChar(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHigh[i] == c) return 0x80 + i;
  }
  return -1;
}

// C0 and C1 controls and DEL move the cursor, retitle or clear the terminal;
// the console shows them as text instead. Tab and the line end stay.
bool shownEscaped(char32_t c) { return (c < 0x20 && c != '\t' && c != '\n') || (c >= 0x7F && c <= 0x9F); }

void appendEscaped(std::string& out, char32_t c) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out += kHex[(c >> 4) & 0xF];
  out += kHex[c & 0xF];
}

}  // namespace

char16_t ansiCharToUtf16(unsigned char c) {
  return (c >= 0x80 && c < 0xA0) ? kHigh[c - 0x80] : static_cast<char16_t>(c);
}

std::u16string ansiToUtf16(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  for (char c : s) out += ansiCharToUtf16(static_cast<unsigned char>(c));
  return out;
}

std::string utf16ToAnsi(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    char16_t c = s[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] <= 0xDFFF) {
      ++i;  // one character beyond the basic plane: one "?"
      out += '?';
      continue;
    }
    int a = utf16ToAnsiChar(c);
    out += a < 0 ? '?' : static_cast<char>(a);
  }
  return out;
}

std::string ansiToUtf8(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) appendUtf8(out, ansiCharToUtf16(static_cast<unsigned char>(c)));
  return out;
}

std::string utf8ToAnsi(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size();) {
    Utf8Char c = decodeUtf8(s, i);
    if (!c.valid()) {
      out += '?';
      ++i;
      continue;
    }
    int a = utf16ToAnsiChar(c.code);
    out += a < 0 ? '?' : static_cast<char>(a);
    i += c.length;
  }
  return out;
}

void appendConsoleText(std::string& out, std::string_view s) {
  for (size_t i = 0; i < s.size();) {
    // Printable ASCII, most of any text, goes over in runs.
    size_t plain = i;
    while (plain < s.size() && s[plain] >= 0x20 && s[plain] < 0x7F) ++plain;
    if (plain > i) {
      out.append(s.substr(i, plain - i));
      i = plain;
      if (i == s.size()) break;
    }
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') {
      ++i;
      continue;
    }
    Utf8Char c = decodeUtf8(s, i);
    bool utf8 = c.valid();
    char32_t code = utf8 ? c.code : ansiCharToUtf16(static_cast<unsigned char>(s[i]));
    size_t length = utf8 ? c.length : 1;
    if (shownEscaped(code))
      appendEscaped(out, code);
    else if (utf8)
      out.append(s.substr(i, length));
    else
      appendUtf8(out, code);
    i += length;
  }
}

std::string toConsoleText(std::string_view s) {
  std::string out;
  out.reserve(s.size());
  appendConsoleText(out, s);
  return out;
}

}  // namespace platform
