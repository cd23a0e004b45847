#include "xml/dom_arena.h"

#include <cstdint>
#include <cstring>

void* TDomArena::allocate(std::size_t size, std::size_t align) {
  std::size_t pad = (align - reinterpret_cast<std::uintptr_t>(next_) % align) % align;
  if (next_ != nullptr && pad + size <= left_) {
    void* result = next_ + pad;
    next_ += pad + size;
    left_ -= pad + size;
    return result;
  }
  // A large request gets a block of its own, so the current block is not wasted.
  if (size > kBlockSize / 4) {
    blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(size));
    reserved_ += size;
    return blocks_.back().get();
  }
  blocks_.push_back(std::make_unique_for_overwrite<std::byte[]>(kBlockSize));
  reserved_ += kBlockSize;
  next_ = blocks_.back().get() + size;
  left_ = kBlockSize - size;
  return blocks_.back().get();
}

const char* TDomArena::copy(std::string_view bytes) {
  if (bytes.empty()) return nullptr;
  char* target = static_cast<char*>(allocate(bytes.size(), 1));
  std::memcpy(target, bytes.data(), bytes.size());
  return target;
}

void TDomArena::reset() {
  blocks_.clear();
  next_ = nullptr;
  left_ = 0;
  reserved_ = 0;
}
