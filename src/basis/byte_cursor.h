// ByteCursor, the one reader of the container layout that TFile writes
// (basis/file.h) for readers that hold the bytes in memory: a little-endian
// int32 or double, a text as an int32 length and its bytes, an object as its
// class name (a text) and its block, a block as an int32 length and that many
// bytes. The cursor is a view: whoever owns the bytes keeps them alive while
// the cursor and every view it hands out are in use.
//
// Each read takes its bytes from the front and advances. A read the bytes
// cannot satisfy fails, and the cursor stays failed: it moves to its end, so
// every later read fails too and a caller may test ok() once after a run of
// reads.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/export.h"
#include "platform/little_endian.h"

// A reader of the container layout over bytes it does not own; a read that
// fails leaves it failed and at its end.
class VOSKO_API ByteCursor {
 public:
  static constexpr size_t kInt32Size = sizeof(int32_t);
  static constexpr size_t kDoubleSize = sizeof(double);
  static_assert(kInt32Size == platform::kFixed32Size && kDoubleSize == platform::kDoubleSize);

  // The bytes a stored text takes.
  static constexpr size_t textSize(std::string_view text) { return kInt32Size + text.size(); }
  // What an object stored under `className` takes before its block's
  // contents: the class name and the block's length.
  static constexpr size_t objectLead(std::string_view className) { return textSize(className) + kInt32Size; }
  // A stored count or text length as every reader of the files takes it: 0 or
  // below is none.
  static constexpr int32_t storedCount(int32_t stored) { return stored > 0 ? stored : 0; }

  // A failed cursor over nothing.
  ByteCursor() = default;
  // Reads `bytes` from `position` on. Positions count from the start of
  // `bytes`, in the cursors of its blocks as well.
  // REQUIRES: position <= bytes.size().
  explicit ByteCursor(std::string_view bytes, size_t position = 0)
      : origin_(bytes.data()),
        pos_(bytes.data() + position),
        end_(bytes.data() + bytes.size()),
        failed_(false) {}

  bool ok() const { return !failed_; }
  // Nothing left: at the end of the bytes (or of the block), or failed.
  bool empty() const { return pos_ == end_; }
  size_t size() const { return static_cast<size_t>(end_ - pos_); }
  size_t position() const { return static_cast<size_t>(pos_ - origin_); }
  // The bytes left, to look at without taking them.
  std::string_view rest() const { return {pos_, size()}; }

  bool int32(int32_t& value) {
    if (size() < kInt32Size) return fail();
    value = static_cast<int32_t>(platform::decodeFixed32(pos_));
    pos_ += kInt32Size;
    return true;
  }
  // An int32 that counts something (elements, bytes) as storedCount takes it.
  bool count(int32_t& value) {
    if (!int32(value)) return false;
    value = storedCount(value);
    return true;
  }
  bool number(double& value) {
    if (size() < kDoubleSize) return fail();
    value = platform::decodeDouble(pos_);
    pos_ += kDoubleSize;
    return true;
  }
  // The next n bytes as they stand, without a length.
  bool chars(size_t n, std::string_view& value) { return !failed_ && take(n, value); }
  bool skip(size_t n) {
    std::string_view passed;
    return !failed_ && take(n, passed);
  }

  // A text: its length, then its bytes (none for a length of 0 or below).
  bool text(std::string_view& value) {
    int32_t n = 0;
    if (!int32(n)) return false;
    // The empty text needs no bound: a branch here keeps it off the common path.
    if (storedCount(n) == 0) {
      value = {};
      return true;
    }
    return take(static_cast<size_t>(n), value);
  }
  bool text(std::string& value) {
    std::string_view view;
    if (!text(view)) return false;
    value.assign(view);
    return true;
  }
  bool skipText() {
    std::string_view passed;
    return text(passed);
  }
  // The class name of a stored object, which must be `name` exactly; any
  // other fails the cursor.
  bool className(std::string_view name) {
    std::string_view stored;
    if (!text(stored)) return false;
    return stored == name || fail();
  }
  // A block: its length, then `contents` becomes a cursor over exactly that
  // many bytes, and this one moves past them. A negative length, or one
  // beyond the bytes left, fails; `contents` is then left as it was.
  bool block(ByteCursor& contents) {
    int32_t n = 0;
    if (!int32(n)) return false;
    if (n < 0 || size() < static_cast<size_t>(n)) return fail();
    contents.origin_ = origin_;
    contents.pos_ = pos_;
    contents.end_ = pos_ + n;
    contents.failed_ = false;
    pos_ += n;
    return true;
  }

 private:
  // The next n bytes. Reads that take their count from the bytes need no
  // test of failed_: a failed cursor has no count left to read.
  bool take(size_t n, std::string_view& value) {
    if (size() < n) return fail();
    value = std::string_view(pos_, n);
    pos_ += n;
    return true;
  }

  // At the end, no later read finds a byte to take.
  bool fail() {
    failed_ = true;
    pos_ = end_;
    return false;
  }

  const char* origin_ = nullptr;
  const char* pos_ = nullptr;
  const char* end_ = nullptr;
  bool failed_ = true;
};

// An object stored under `name` whose block holds exactly what `read`
// (bool(ByteCursor&)) takes from it. With kAsLoaded, read as the file's
// loader reads it instead: the fields straight from the enclosing bytes, the
// block's length only bounded by what is left, since the loader checks no
// more of it.
template <bool kAsLoaded = false, class Read>
bool readObject(ByteCursor& in, std::string_view name, Read read) {
  if constexpr (kAsLoaded) {
    int32_t n = 0;
    return in.className(name) && in.int32(n) && (n < 0 || static_cast<size_t>(n) <= in.size()) && read(in);
  } else {
    ByteCursor contents;
    return in.className(name) && in.block(contents) && read(contents) && contents.empty();
  }
}
