#include "platform/large_buffer.h"

#include <sys/mman.h>

#include <new>
#include <utility>

namespace platform {
namespace {

constexpr size_t kLargePage = size_t{2} << 20;
// From here on the room rounded up to large pages wastes at most a sixteenth.
constexpr size_t kLargeEnough = 16 * kLargePage;

}  // namespace

LargeBuffer::LargeBuffer(size_t size) : size_(size) {
  if (size == 0) return;
  if (size < kLargeEnough) {
    // The last large page would be mostly waste: the heap serves it in small ones.
    data_ = new char[size];
    return;
  }
  mapped_ = (size + kLargePage - 1) / kLargePage * kLargePage;
  void* p = ::mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (p == MAP_FAILED) throw std::bad_alloc();
  // Only a wish: where large pages are off, the room is the same in small ones.
  ::madvise(p, mapped_, MADV_HUGEPAGE);
  data_ = static_cast<char*>(p);
}

LargeBuffer::~LargeBuffer() { release(); }

LargeBuffer::LargeBuffer(LargeBuffer&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      mapped_(std::exchange(other.mapped_, 0)) {}

LargeBuffer& LargeBuffer::operator=(LargeBuffer&& other) noexcept {
  if (this != &other) {
    release();
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    mapped_ = std::exchange(other.mapped_, 0);
  }
  return *this;
}

void LargeBuffer::release() {
  if (mapped_ == 0) {
    delete[] data_;
  } else {
    ::munmap(data_, mapped_);
  }
  data_ = nullptr;
  size_ = mapped_ = 0;
}

}  // namespace platform
