#include "platform/file_in_memory.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "platform/exception.h"

namespace platform {
namespace {

// Below this a thread costs more than it saves; above it the file arrives in
// pieces of kPiece, each a wake-up for a waiting reader.
constexpr size_t kThreaded = size_t{8} << 20;
constexpr size_t kPiece = size_t{1} << 20;

}  // namespace

FileInMemory::FileInMemory(const std::string& path, size_t largest) {
  file_.openRead(path);
  const auto size = static_cast<uint64_t>(file_.size());
  if (size > largest) throw std::length_error("'" + path + "' is too large to be read whole.");
  buffer_ = LargeBuffer(static_cast<size_t>(size));
  if (buffer_.size() >= kThreaded) {
    try {
      reader_ = std::thread([this] { readAll(kPiece); });
      return;
    } catch (const std::system_error&) {
      // No thread to be had: read here instead.
    }
  }
  // Nobody waits for pieces here: one read moves all it can.
  readAll(buffer_.size());
}

FileInMemory::~FileInMemory() {
  stop_.store(true, std::memory_order_relaxed);
  if (reader_.joinable()) reader_.join();
}

void FileInMemory::readAll(size_t pieces) {
  size_t done = 0;
  while (done < buffer_.size() && !stop_.load(std::memory_order_relaxed)) {
    const size_t piece = std::min(pieces, buffer_.size() - done);
    errno = 0;
    if (file_.read(buffer_.data() + done, piece) != piece) {
      error_ = errno != 0 ? std::strerror(errno) : "The file ended before its size.";
      return publish(kFailed);
    }
    done += piece;
    publish(done);
  }
}

void FileInMemory::publish(size_t ready) {
  ready_.store(ready, std::memory_order_release);
  ready_.notify_all();
}

size_t FileInMemory::arrived(size_t have) {
  for (;;) {
    const size_t ready = ready_.load(std::memory_order_acquire);
    if (ready == kFailed) throw EInOutError("Cannot read '" + file_.path() + "': " + error_);
    if (ready > have || ready == buffer_.size()) return ready;
    ready_.wait(ready, std::memory_order_acquire);
  }
}

}  // namespace platform
