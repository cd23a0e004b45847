#include "xml/expat_parser.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/exception.h"
#include "xml/xml_encoding.h"

namespace xml {

struct ExpatParser::Memory {
  std::int64_t limit = 0;
  std::int64_t documentBytes = 0;
  std::int64_t floor = 0;
  std::int64_t expatBytes = 0;
  std::int64_t readerBytes = 0;
  bool refused = false;

  bool take(std::size_t bytes) {
    if (expatBytes + readerBytes + static_cast<std::int64_t>(bytes) > limit) {
      refused = true;
      return false;
    }
    expatBytes += static_cast<std::int64_t>(bytes);
    return true;
  }
  void give(std::size_t bytes) { expatBytes -= static_cast<std::int64_t>(bytes); }
};

namespace {

// The largest piece handed to expat at once; its buffer is indexed by int.
constexpr std::int64_t kMaxPiece = 1 << 30;

using Memory = ExpatParser::Memory;

// Each block expat gets carries its size and the memory it is counted in, so
// that it is given back to the right parser whenever it is freed.
struct alignas(std::max_align_t) Block {
  Memory* memory;
  std::size_t size;
};

// What a block costs beyond the bytes asked for: its Block and what malloc
// keeps of its own (expat makes many small blocks, one or two per open element).
constexpr std::size_t kBlockCost = sizeof(Block) + 2 * sizeof(void*);

// The memory expat's allocations are counted in while a parser works; expat's
// allocator has no place for it, and a parser works on one thread at a time.
thread_local Memory* tWorking = nullptr;

// Makes `memory` the one counted in while it lives.
class Working {
 public:
  explicit Working(Memory* memory) : saved_(tWorking) { tWorking = memory; }
  ~Working() { tWorking = saved_; }
  Working(const Working&) = delete;
  Working& operator=(const Working&) = delete;

 private:
  Memory* saved_;
};

void* onMalloc(std::size_t size) {
  Memory* memory = tWorking;
  if (memory != nullptr && !memory->take(size + kBlockCost)) return nullptr;
  auto* block = static_cast<Block*>(std::malloc(sizeof(Block) + size));
  if (block == nullptr) {
    if (memory != nullptr) memory->give(size + kBlockCost);
    return nullptr;
  }
  *block = {memory, size};
  return block + 1;
}

void onFree(void* pointer) {
  if (pointer == nullptr) return;
  Block* block = static_cast<Block*>(pointer) - 1;
  if (block->memory != nullptr) block->memory->give(block->size + kBlockCost);
  std::free(block);
}

void* onRealloc(void* pointer, std::size_t size) {
  if (pointer == nullptr) return onMalloc(size);
  Block* block = static_cast<Block*>(pointer) - 1;
  Memory* memory = block->memory;
  const std::size_t old = block->size;
  if (memory != nullptr && size > old && !memory->take(size - old)) return nullptr;
  auto* moved = static_cast<Block*>(std::realloc(block, sizeof(Block) + size));
  if (moved == nullptr) {
    if (memory != nullptr && size > old) memory->give(size - old);
    return nullptr;
  }
  if (memory != nullptr && size < old) memory->give(old - size);
  moved->size = size;
  return moved + 1;
}

const XML_Memory_Handling_Suite kCountedMemory = {onMalloc, onRealloc, onFree};

int XMLCALL onUnknownEncoding(void*, const XML_Char* name, XML_Encoding* info) noexcept {
  try {
    if (!singleByteTable(name, info->map)) return XML_STATUS_ERROR;
  } catch (...) {
    return XML_STATUS_ERROR;
  }
  info->data = nullptr;
  info->convert = nullptr;
  info->release = nullptr;
  return XML_STATUS_OK;
}

// A size for a message: KiB below 10 MiB, else MiB, rounded up.
std::string sizeText(std::int64_t bytes) {
  constexpr std::int64_t kKiB = 1024, kMiB = 1024 * kKiB;
  if (bytes < 10 * kMiB) return std::to_string((bytes + kKiB - 1) / kKiB) + " KiB";
  return std::to_string((bytes + kMiB - 1) / kMiB) + " MiB";
}

}  // namespace

int filePieceSize(std::int64_t unparsed) {
  return static_cast<int>(std::clamp<std::int64_t>(unparsed, kFilePiece, kMaxPiece));
}

ExpatParser::ExpatParser(std::int64_t documentBytes, std::int64_t memoryFloor)
    : memory_(std::make_unique<Memory>()) {
  memory_->documentBytes = documentBytes;
  memory_->floor = memoryFloor;
  memory_->limit = memoryFloor + kMemoryPerByte * documentBytes;
  const XML_Char separator[] = {kNamespaceSeparator, '\0'};
  {
    Working working(memory_.get());
    parser_ = XML_ParserCreate_MM(nullptr, &kCountedMemory, separator);
  }
  if (parser_ == nullptr) throw EOutOfMemory("Out of memory.");
  XML_SetReturnNSTriplet(parser_, XML_TRUE);
  XML_SetParamEntityParsing(parser_, XML_PARAM_ENTITY_PARSING_NEVER);
  XML_SetUnknownEncodingHandler(parser_, onUnknownEncoding, nullptr);
}

ExpatParser::~ExpatParser() { XML_ParserFree(parser_); }

void ExpatParser::handed(const char* bytes, int size) {
  if (head_.size() < 4) head_.append(bytes, std::min(static_cast<std::size_t>(size), 4 - head_.size()));
  fed_ += size;
  if (observer_) observer_(static_cast<std::size_t>(size));
}

XML_Status ExpatParser::parse(const char* bytes, int size, bool last) {
  handed(bytes, size);
  Working working(memory_.get());
  return XML_Parse(parser_, bytes, size, last ? XML_TRUE : XML_FALSE);
}

XML_Status ExpatParser::parseFilePiece(platform::OsFile& file, bool* last) {
  Working working(memory_.get());
  const int piece = filePieceSize(unparsed());
  void* buffer = XML_GetBuffer(parser_, piece);
  if (buffer == nullptr) return XML_STATUS_ERROR;
  const std::size_t n = file.read(buffer, static_cast<std::size_t>(piece));
  const int readError = errno;
  // A short read ends the file unless bytes are left that it failed to deliver.
  if (n < static_cast<std::size_t>(piece) && file.position() < file.size()) {
    throw EInOutError(std::strerror(readError != 0 ? readError : EIO));
  }
  *last = n < static_cast<std::size_t>(piece);
  handed(static_cast<const char*>(buffer), static_cast<int>(n));
  return XML_ParseBuffer(parser_, static_cast<int>(n), *last ? XML_TRUE : XML_FALSE);
}

std::int64_t ExpatParser::unparsed() const {
  const XML_Index done = XML_GetCurrentByteIndex(parser_);
  return done < 0 ? 0 : fed_ - static_cast<std::int64_t>(done);
}

bool ExpatParser::fits(std::int64_t readerBytes) {
  memory_->readerBytes = readerBytes;
  if (memory_->expatBytes + readerBytes <= memory_->limit) return true;
  memory_->refused = true;
  return false;
}

bool ExpatParser::overLimit() const { return memory_->refused; }

std::int64_t ExpatParser::memoryLimit() const { return memory_->limit; }

std::string ExpatParser::limitMessage(const std::string& sourceName) const {
  return "File \"" + sourceName + "\" needs more memory than its limit of " + sizeText(memory_->limit) +
         " (" + sizeText(memory_->floor) + " and " + std::to_string(kMemoryPerByte) + " times its " +
         sizeText(memory_->documentBytes) + ") to be read.";
}

}  // namespace xml
