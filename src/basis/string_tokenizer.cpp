#include "basis/string_tokenizer.h"

#include "basis/exceptions.h"
#include "platform/message_value.h"

namespace {

char upper(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

TStringTokenizer::TStringTokenizer(const std::string& text)
    : TStringTokenizer(text, false, kDefaultDelimiters) {}

TStringTokenizer::TStringTokenizer(const std::string& text, const std::string& delimiters)
    : TStringTokenizer(text, false, delimiters) {}

TStringTokenizer::TStringTokenizer(const std::string& text, bool returnDelims, const std::string& delimiters)
    : text_(text), delimiters_(delimiters), returnDelims_(returnDelims), position_(1) {
  mark();
}

bool TStringTokenizer::isDelimiter(int32_t position) const {
  if (position < 1 || static_cast<size_t>(position) > text_.size()) return false;
  const char c = upper(text_[static_cast<size_t>(position) - 1]);
  for (char d : delimiters_) {
    if (upper(d) == c) return true;
  }
  return false;
}

std::string TStringTokenizer::scan() {
  const auto length = static_cast<int32_t>(text_.size());
  if (returnDelims_) {
    if (isDelimiter(position_)) return std::string(1, text_[static_cast<size_t>(position_++) - 1]);
  } else {
    while (isDelimiter(position_)) ++position_;
  }
  const int32_t start = position_;
  while (position_ <= length && !isDelimiter(position_)) ++position_;
  if (position_ <= start) return "";
  return text_.substr(static_cast<size_t>(start) - 1, static_cast<size_t>(position_ - start));
}

std::string TStringTokenizer::nextToken() {
  std::string token = scan();
  if (token.empty()) {
    throw NoSuchElementException("TStringTokenizer: No more tokens in: " + platform::messageValue(text_) +
                                 ".");
  }
  return token;
}

bool TStringTokenizer::hasMoreTokens() {
  mark();
  const bool more = !scan().empty();
  reset();
  return more;
}

int32_t TStringTokenizer::countTokens() {
  mark();
  int32_t count = 0;
  while (!scan().empty()) ++count;
  reset();
  return count;
}

void TStringTokenizer::mark() {
  markPosition_ = position_;
  markDelimiters_ = delimiters_;
}

void TStringTokenizer::reset() {
  position_ = markPosition_;
  delimiters_ = markDelimiters_;
}
