#include "platform/write_behind.h"

#include <cerrno>

namespace platform {

WriteBehind::WriteBehind(OsFile& file) : file_(file), thread_([this] { run(); }) {}

WriteBehind::~WriteBehind() {
  finish();
  state_.store(kStopping, std::memory_order_release);
  state_.notify_one();
  thread_.join();
}

bool WriteBehind::hand(const char* data, size_t n) {
  if (!finish()) return false;
  data_ = data;
  size_ = n;
  state_.store(kHanded, std::memory_order_release);
  state_.notify_one();
  return true;
}

bool WriteBehind::finish() {
  for (int state; (state = state_.load(std::memory_order_acquire)) == kHanded;) state_.wait(state);
  if (failed_) errno = error_;
  return !failed_;
}

void WriteBehind::run() {
  for (;;) {
    int state = state_.load(std::memory_order_acquire);
    if (state == kStopping) return;
    if (state == kIdle) {
      state_.wait(kIdle, std::memory_order_acquire);
      continue;
    }
    errno = 0;
    if (file_.write(data_, size_) != size_) {
      failed_ = true;
      error_ = errno != 0 ? errno : EIO;  // a write that merely stopped short names no error
    }
    state_.store(kIdle, std::memory_order_release);
    state_.notify_one();
  }
}

}  // namespace platform
