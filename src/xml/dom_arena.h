// The memory a document's nodes and texts live in: large blocks handed out
// front to back and released all at once when the document is cleared or
// destroyed. A document holds millions of small nodes when it is parsed
// from a large file; one allocation per node would cost more than the
// nodes themselves. Nodes are therefore trivially destructible.
#pragma once

#include <cstddef>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/export.h"

// The allocator of one document: memory handed out front to back in large
// blocks, released only all at once, by reset() or the destructor.
class VOSKO_API TDomArena {
 public:
  TDomArena() = default;
  TDomArena(const TDomArena&) = delete;
  TDomArena& operator=(const TDomArena&) = delete;

  // REQUIRES: align is a power of two no larger than alignof(std::max_align_t).
  void* allocate(std::size_t size, std::size_t align);
  // A copy of `bytes` in the arena; not terminated.
  const char* copy(std::string_view bytes);
  // Releases every block.
  void reset();
  // The bytes of every block held.
  std::size_t reserved() const { return reserved_; }

 private:
  static constexpr std::size_t kBlockSize = 64 * 1024;
  std::vector<std::unique_ptr<std::byte[]>> blocks_;
  std::byte* next_ = nullptr;
  std::size_t left_ = 0;
  std::size_t reserved_ = 0;
};
