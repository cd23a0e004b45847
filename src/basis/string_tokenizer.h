// TStringTokenizer splits a string into tokens at delimiter characters
// (ASCII letters match their other case too). Runs of delimiters never give
// empty tokens; with returnDelims each delimiter is a token of its own.
// Positions are 1-based. hasMoreTokens and countTokens look ahead by
// mark()/reset(), so they replace any mark the caller had set.
#pragma once

#include <cstdint>
#include <string>

#include "basis/mapped_object.h"
#include "platform/export.h"

// The tokens of one text, taken one at a time from the front.
class VOSKO_API TStringTokenizer : public TMappedObject {
 public:
  VOSKO_CLASS_NAME(TStringTokenizer)

  // TAB, CR and blank (not line feed).
  static constexpr const char* kDefaultDelimiters = "\t\r ";

  explicit TStringTokenizer(const std::string& text);
  TStringTokenizer(const std::string& text, const std::string& delimiters);
  TStringTokenizer(const std::string& text, bool returnDelims, const std::string& delimiters);

  // The next token; none left raises NoSuchElementException
  // "TStringTokenizer: No more tokens in: <text>.".
  std::string nextToken();
  bool hasMoreTokens();
  // The tokens left; the position is unchanged afterwards.
  int32_t countTokens();
  void mark();
  void reset();

  int32_t getPosition() const { return position_; }
  const std::string& getText() const { return text_; }

 private:
  bool isDelimiter(int32_t position) const;
  // The next token from position_ on; empty when there is none.
  std::string scan();

  std::string text_;
  std::string delimiters_;
  bool returnDelims_ = false;
  int32_t position_ = 1;
  int32_t markPosition_ = 1;
  std::string markDelimiters_;
};
