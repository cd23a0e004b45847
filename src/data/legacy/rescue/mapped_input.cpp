#include "data/legacy/rescue/mapped_input.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "basis/exceptions.h"
#include "platform/os_file.h"

namespace {

[[noreturn]] void refuse(const std::string& what, const std::string& path, int error) {
  throw IOException("recover: " + what + " '" + path + "': " + std::strerror(error));
}

size_t pageSize() {
  static const size_t size = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
  return size;
}

size_t pageDown(size_t offset) { return offset / pageSize() * pageSize(); }

}  // namespace

MappedInput::MappedInput(const std::string& path) {
  try {
    platform::requireRegularFile(path);
  } catch (const std::exception& e) {
    throw IOException("recover: " + std::string(e.what()));
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) refuse("Cannot open", path, errno);
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    const int error = errno;
    ::close(fd);
    refuse("Cannot read", path, error);
  }
  size_ = static_cast<size_t>(st.st_size);
  if (size_ > 0) {
    void* p = ::mmap(nullptr, size_, PROT_READ, MAP_PRIVATE, fd, 0);
    if (p == MAP_FAILED) {
      const int error = errno;
      ::close(fd);
      refuse("Cannot read", path, error);
    }
    data_ = static_cast<const char*>(p);
  }
  // The mapping keeps the file; the descriptor is no longer needed.
  ::close(fd);
}

MappedInput::~MappedInput() {
  if (data_ != nullptr) ::munmap(const_cast<char*>(data_), size_);
}

void MappedInput::settle(size_t at) {
  const size_t from = at > kBehind ? pageDown(at - kBehind) : 0;
  const size_t to = at < size_ - std::min(size_, kAhead) ? pageDown(at + kAhead) : size_;
  // Behind the window only after the reader moved on a window's length, so
  // that a reader going forward in small steps gives back in large ones; a
  // reader that went back reads again what it had passed.
  if (from < kept_) {
    kept_ = from;
  } else if (from >= kept_ + kAhead) {
    giveBack(kept_, from);
    kept_ = from;
  }
  if (farthest_ <= to) {
    farthest_ = 0;
    farReads_ = 0;
    return;
  }
  // What reads far ahead took in goes back a few reads at a time: each read
  // takes in only the pages it looks at, and each giving back is a call to
  // the system.
  if (++farReads_ < kFarReads) return;
  giveBack(to, farthest_);
  farthest_ = 0;
  farReads_ = 0;
}

void MappedInput::giveBack(size_t from, size_t to) const {
  to = std::min(to, size_);
  if (from >= to) return;
  // Pages of a private read-only mapping that are given back are read from
  // the file again when touched: nothing is lost, only memory freed.
  ::madvise(const_cast<char*>(data_) + from, to - from, MADV_DONTNEED);
}
