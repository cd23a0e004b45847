// FileInMemory, a file's bytes read whole into one LargeBuffer for a program
// that walks them from the front: a large file is read by a thread of its
// own, so the first bytes can be worked on while the rest still arrive.
//
//   FileInMemory file(path);               // opens it; the size is fixed now
//   size_t ready = file.arrived(0);        // waits for the first bytes
//   ... work on file.data()[0, ready), then arrived(ready) for more ...
//
// The file is read as long as it was when opened; a file that ends sooner or
// a failed read is raised by arrived() as EInOutError "Cannot read '<path>': reason".
#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <thread>

#include "platform/export.h"
#include "platform/large_buffer.h"
#include "platform/os_file.h"

namespace platform {

// A file read whole into memory from the front by a thread of its own, so
// that its first bytes can be worked on while the rest still arrive.
class VOSKO_API FileInMemory {
 public:
  // Opens and starts reading `path`; raises EInOutError as OsFile::openRead
  // does, and std::length_error, before reading, for a file over `largest` bytes.
  explicit FileInMemory(const std::string& path, size_t largest = ~size_t{0});
  // Stops the reading thread, if any, and waits for it.
  ~FileInMemory();
  FileInMemory(const FileInMemory&) = delete;
  FileInMemory& operator=(const FileInMemory&) = delete;

  const char* data() const { return buffer_.data(); }
  size_t size() const { return buffer_.size(); }
  // Waits until more than `have` bytes have arrived (or all of them, when
  // `have` is the size) and returns how many have: data()[0, n) is then the
  // file's and stays as it is.
  size_t arrived(size_t have);

 private:
  // Reads the file in pieces of at most `pieces` bytes, each published as it arrives.
  void readAll(size_t pieces);
  void publish(size_t ready);

  static constexpr size_t kFailed = ~size_t{0};

  OsFile file_;
  LargeBuffer buffer_;
  std::string error_;  // why the reading failed; written before kFailed is published
  std::atomic<size_t> ready_{0};
  std::atomic<bool> stop_{false};
  std::thread reader_;  // last: stopped before what it reads into goes
};

}  // namespace platform
