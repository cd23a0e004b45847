// One line of a sample description, split into words and quoted texts
// (UTF-8 in the description, Windows-1252 in the result; escapes \\ \" \n
// \r \t and \xHH). Shared by the programs that write old databases.
#pragma once

#include <cctype>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clock.h"
#include "platform/code_page.h"

namespace sample {

struct Token {
  std::string text;
  bool quoted = false;
};

// Failures name the line: "line N: what".
class Line {
 public:
  Line(std::string_view text, int number) : number_(number) { tokenize(text); }

  [[noreturn]] void fail(const std::string& what) const {
    throw std::invalid_argument("line " + std::to_string(number_) + ": " + what);
  }

  bool empty() const { return tokens_.empty(); }
  bool atEnd() const { return next_ == tokens_.size(); }
  bool nextIsNumber() const { return !atEnd() && !tokens_[next_].quoted && isNumber(tokens_[next_].text); }

  std::string word() {
    if (atEnd() || tokens_[next_].quoted) fail("expected a word");
    return tokens_[next_++].text;
  }
  std::string text() {
    if (atEnd() || !tokens_[next_].quoted) fail("expected a quoted text");
    return tokens_[next_++].text;
  }
  int32_t id() {
    std::string w = word();
    char* end = nullptr;
    long long v = std::strtoll(w.c_str(), &end, 10);
    if (*end != '\0' || v < INT32_MIN || v > INT32_MAX) fail("'" + w + "' is no 32-bit integer");
    return static_cast<int32_t>(v);
  }
  double date() {
    std::string w = word();
    int y, m, d;
    char rest;
    if (std::sscanf(w.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &rest) == 3) {
      if (m < 1 || m > 12 || d < 1 || d > 31) fail("'" + w + "' is no date");
      return platform::encodeDate(y, m, d);
    }
    char* end = nullptr;
    double v = std::strtod(w.c_str(), &end);
    if (w.empty() || *end != '\0') fail("'" + w + "' is no date");
    return v;
  }

 private:
  static bool isNumber(const std::string& w) {
    char* end = nullptr;
    std::strtoll(w.c_str(), &end, 10);
    return !w.empty() && *end == '\0';
  }

  void tokenize(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
      char c = s[i];
      if (c == ' ' || c == '\t' || c == '\r') {
        ++i;
      } else if (c == '"') {
        tokens_.push_back({quoted(s, i), true});
      } else {
        size_t end = s.find_first_of(" \t\r\"", i);
        if (end == std::string_view::npos) end = s.size();
        tokens_.push_back({std::string(s.substr(i, end - i)), false});
        i = end;
      }
    }
  }

  // The text between quotes from s[i] on, in Windows-1252; i moves past it.
  std::string quoted(std::string_view s, size_t& i) {
    std::string out;
    std::string utf8;  // literal text not yet converted
    auto flush = [&] {
      out += platform::utf8ToAnsi(utf8);
      utf8.clear();
    };
    for (++i;; ++i) {
      if (i >= s.size()) fail("unterminated text");
      char c = s[i];
      if (c == '"') break;
      if (c != '\\') {
        utf8 += c;
        continue;
      }
      if (++i >= s.size()) fail("unterminated text");
      if (s[i] == 'x') {
        std::string digits(s.substr(i + 1, 2));
        if (digits.size() != 2 || !std::isxdigit(static_cast<unsigned char>(digits[0])) ||
            !std::isxdigit(static_cast<unsigned char>(digits[1]))) {
          fail("\\x needs two hexadecimal digits");
        }
        flush();
        out += static_cast<char>(std::stoi(digits, nullptr, 16));
        i += 2;
        continue;
      }
      size_t k = std::string_view("\\\"nrt").find(s[i]);
      if (k == std::string_view::npos) fail(std::string("unknown escape \\") + s[i]);
      utf8 += "\\\"\n\r\t"[k];
    }
    ++i;
    flush();
    return out;
  }

  int number_;
  std::vector<Token> tokens_;
  size_t next_ = 0;
};

}  // namespace sample
