// WriteBehind, the writes of one OsFile made by a thread of its own, so that
// the program making the bytes goes on while the system copies the last ones
// in. One piece is in flight at a time: a writer fills one buffer while the
// other is written.
//
//   WriteBehind behind(file);
//   behind.hand(buffer, n);    // returns at once; buffer stays untouched
//   ... fill another buffer ...
//   behind.hand(other, m);     // waits for the first piece first
//   if (!behind.finish()) ...  // every piece written, or a write failed
//
// While a WriteBehind runs, nobody else uses the file. A failed write's error
// is in the thread's own errno; hand() and finish() put it in the caller's
// when they report the failure, as a write of the caller's own would leave it.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

#include "platform/export.h"
#include "platform/os_file.h"

namespace platform {

// The writes of one OsFile, made by a thread of its own one handed piece at
// a time while the caller fills the next.
class VOSKO_API WriteBehind {
 public:
  // Starts the thread; raises std::system_error when there is none to be had.
  explicit WriteBehind(OsFile& file);
  // Waits for the piece in flight and stops the thread.
  ~WriteBehind();
  WriteBehind(const WriteBehind&) = delete;
  WriteBehind& operator=(const WriteBehind&) = delete;

  // Waits for the piece in flight, then hands `n` bytes at `data` to be
  // written at the file's position; they must stay as they are until the
  // next hand() or finish(). False, and nothing handed, once a write moved
  // fewer bytes than asked; errno then holds that write's error.
  bool hand(const char* data, size_t n);
  // Waits for the piece in flight; false once a write moved fewer bytes than
  // asked, with errno holding that write's error.
  bool finish();

 private:
  enum State : int { kIdle, kHanded, kStopping };
  void run();

  OsFile& file_;
  const char* data_ = nullptr;
  size_t size_ = 0;
  // Both written by the thread before it goes back to kIdle.
  bool failed_ = false;
  int error_ = 0;  // the errno of the write that failed
  std::atomic<int> state_{kIdle};
  std::thread thread_;
};

}  // namespace platform
