// ByteWindow, a file read front to back through a window that holds the
// bytes asked for together: a reader of one object at a time holds that
// object in memory, not the file.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/export.h"
#include "platform/os_file.h"

// Reads a file front to back through a buffer that holds only the bytes
// asked for together.
class VOSKO_API ByteWindow {
 public:
  // Reads `file` from where it stands, at most `limit` bytes.
  ByteWindow(platform::OsFile& file, int64_t limit)
      : file_(file), left_(limit), buffer_(static_cast<size_t>(std::clamp<int64_t>(limit, 0, kWindow))) {}

  // The next n bytes, together, without taking them; false when the file
  // (or the limit) ends first, before any room is made for them.
  bool peek(size_t n, std::string_view& bytes) {
    if (end_ - begin_ < n) {
      if (static_cast<int64_t>(n - (end_ - begin_)) > left_) return false;
      std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
      end_ -= begin_;
      begin_ = 0;
      if (buffer_.size() < n) buffer_.resize(n);
      const size_t want =
          static_cast<size_t>(std::min<int64_t>(left_, static_cast<int64_t>(buffer_.size() - end_)));
      const size_t got = file_.read(buffer_.data() + end_, want);
      left_ -= static_cast<int64_t>(got);
      end_ += got;
      if (end_ < n) return false;
    }
    bytes = std::string_view(buffer_.data() + begin_, n);
    return true;
  }
  void take(size_t n) { begin_ += n; }

 private:
  platform::OsFile& file_;
  int64_t left_;
  static constexpr int64_t kWindow = 1 << 20;  // a small file takes only its size
  std::vector<char> buffer_;
  size_t begin_ = 0;
  size_t end_ = 0;
};
