// LargeBuffer, room for a whole file's bytes that a program reads all over:
// taken from the system in large pages where it offers them, so that reading
// the file in takes a few page faults instead of one per 4 KiB and scattered
// reads miss the address cache far less often.
#pragma once

#include <cstddef>

#include "platform/export.h"

namespace platform {

// Room for a file's bytes, left uninitialized, in large pages where the
// system offers them; moved, never copied.
class VOSKO_API LargeBuffer {
 public:
  LargeBuffer() = default;
  // Room for `size` bytes, not initialized; raises std::bad_alloc when there is none.
  explicit LargeBuffer(size_t size);
  ~LargeBuffer();
  LargeBuffer(LargeBuffer&& other) noexcept;
  LargeBuffer& operator=(LargeBuffer&& other) noexcept;
  LargeBuffer(const LargeBuffer&) = delete;
  LargeBuffer& operator=(const LargeBuffer&) = delete;

  char* data() const { return data_; }
  size_t size() const { return size_; }

 private:
  void release();

  char* data_ = nullptr;
  size_t size_ = 0;
  size_t mapped_ = 0;
};

}  // namespace platform
