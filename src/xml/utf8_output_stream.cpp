#include "xml/utf8_output_stream.h"

#include <cstdio>

#include "platform/exception.h"
#include "platform/utf8.h"
#include "xml/xml_text.h"

namespace {

constexpr std::size_t kFlushSize = 64 * 1024;

// The character reference an ASCII character of an escaped text is written
// as, or null when it is written as itself; `next` is the byte after it (0
// at the end of the text).
const char* reference(unsigned char c, unsigned char next, TUtf8OutputStream::Escape escape) {
  using Escape = TUtf8OutputStream::Escape;
  switch (c) {
    case '\t':
      return escape == Escape::kAttribute ? "&#9;" : nullptr;
    case '\n':
      return escape == Escape::kAttribute ? "&#10;" : nullptr;
    case '\r':
      return escape == Escape::kAttribute || next != '\n' ? "&#13;" : nullptr;
    case '"':
      return "&#34;";
    case '&':
      return "&#38;";
    case '\'':
      return "&#39;";
    case '<':
      return "&#60;";
    case '>':
      return "&#62;";
    default:
      return nullptr;
  }
}

}  // namespace

TUtf8OutputStream::TUtf8OutputStream(std::ostream& out) : out_(out) { buffer_.reserve(kFlushSize + 64); }

void TUtf8OutputStream::raisePending() {
  char message[64];
  if (xml::isHighSurrogate(pending_)) {
    std::snprintf(message, sizeof message, "High surrogate %4.4X without low surrogate.", pending_);
  } else {
    std::snprintf(message, sizeof message, "Low surrogate %4.4X without high surrogate.", pending_);
  }
  throw EConvertError(message);
}

void TUtf8OutputStream::emit(char16_t u) {
  if (u < 0x80) {
    if (u >= 0x20 || u == '\t' || u == '\r') {
      buffer_ += static_cast<char>(u);
    } else if (u == '\n') {
      buffer_ += "\r\n";
    }
  } else if (u != 0xFFFE && u != 0xFFFF) {
    platform::appendUtf8(buffer_, u);
  }
}

void TUtf8OutputStream::emitPair(char16_t high, char16_t low) {
  platform::appendUtf8(buffer_, 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) + (low - 0xDC00));
}

void TUtf8OutputStream::put(char16_t u) {
  if (!started_) {
    started_ = true;
    if (u == 0xFEFF) return;
  }
  if (pending_ != 0) {
    if (xml::isHighSurrogate(pending_) && xml::isLowSurrogate(u)) {
      emitPair(pending_, u);
    } else if (xml::isLowSurrogate(pending_) && xml::isHighSurrogate(u)) {
      emitPair(u, pending_);
    } else {
      raisePending();
    }
    pending_ = 0;
    return;
  }
  if (xml::isHighSurrogate(u) || xml::isLowSurrogate(u)) {
    pending_ = u;
    return;
  }
  emit(u);
}

void TUtf8OutputStream::write(std::u16string_view units) {
  for (char16_t u : units) put(u);
  flushIfFull();
}

void TUtf8OutputStream::writeStored(std::string_view stored, Escape escape) {
  for (std::size_t i = 0; i < stored.size();) {
    unsigned char c = static_cast<unsigned char>(stored[i]);
    if (c < 0x80 && pending_ == 0) {
      // The common case: plain ASCII needs no decoding.
      started_ = true;
      const unsigned char next = i + 1 < stored.size() ? static_cast<unsigned char>(stored[i + 1]) : 0;
      const char* written = escape == Escape::kNone ? nullptr : reference(c, next, escape);
      if (written != nullptr) {
        buffer_ += written;
      } else {
        emit(c);
      }
      ++i;
      continue;
    }
    char16_t units[2];
    int count;
    i += xml::decodeStored(stored, i, units, &count);
    for (int k = 0; k < count; ++k) put(units[k]);
  }
  flushIfFull();
}

void TUtf8OutputStream::flushIfFull() {
  if (buffer_.size() < kFlushSize) return;
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
  if (!out_) throw EInOutError("TDomDocument.writeToUTF8: write failed.");
}

void TUtf8OutputStream::finish() {
  if (pending_ != 0) raisePending();
  out_.write(buffer_.data(), static_cast<std::streamsize>(buffer_.size()));
  buffer_.clear();
  out_.flush();
  if (!out_) throw EInOutError("TDomDocument.writeToUTF8: write failed.");
}
