// The converting stream the serializer writes into: UTF-16 units in, UTF-8
// bytes out, with the line-end and character rules of the document files.
//
//   - U+FEFF as the very first unit of the stream is dropped (a byte-order
//     mark); anywhere else it is an ordinary character.
//   - TAB, CR and U+0020..U+007F are one byte each; LF is written as CR LF;
//     every other character below U+0020 is dropped.
//   - U+0080..U+D7FF and U+E000..U+FFFD are standard UTF-8; U+FFFE and
//     U+FFFF are dropped.
//   - A surrogate pair is one four-byte character, in either order (low
//     then high is taken as the same pair); an unpaired surrogate raises
//     EConvertError "High surrogate %4.4X without low surrogate." or
//     "Low surrogate %4.4X without high surrogate.".
//
// Escaped texts keep what a parser would otherwise change on reading: the
// five markup characters become decimal references in text and attribute
// values; in attribute values so do TAB, LF and CR (&#9; &#10; &#13;), which
// a parser turns into blanks; in text a CR that no LF follows is written as
// &#13;, which a parser would read as LF, while the CR of CR LF stays as it
// is (CR CR LF, read back as two LFs; see TXMLHelper::expandLineBreaks).
//
// Bytes are collected and handed to the target stream in large pieces; a
// failing target raises EInOutError. finish() must be called at the end.
#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "platform/export.h"

// UTF-16 units in, UTF-8 bytes out to a std::ostream, by the rules above.
class VOSKO_API TUtf8OutputStream {
 public:
  explicit TUtf8OutputStream(std::ostream& out);
  TUtf8OutputStream(const TUtf8OutputStream&) = delete;
  TUtf8OutputStream& operator=(const TUtf8OutputStream&) = delete;

  // How a stored text is written: as it is (markup, comments, CDATA
  // sections), as character data, or as an attribute value.
  enum class Escape { kNone, kText, kAttribute };

  void write(std::u16string_view units);
  // A text in the document's stored form (xml_text.h), escaped as above.
  void writeStored(std::string_view stored, Escape escape);
  // Raises for a surrogate still waiting for its partner; hands over the rest.
  void finish();

 private:
  void put(char16_t unit);
  void emit(char16_t unit);
  void emitPair(char16_t high, char16_t low);
  [[noreturn]] void raisePending();
  void flushIfFull();

  std::ostream& out_;
  std::string buffer_;
  char16_t pending_ = 0;
  bool started_ = false;
};
