#include "basis/file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <exception>
#include <system_error>

#include "basis/abstract_collection.h"
#include "basis/byte_cursor.h"
#include "basis/class_registry.h"
#include "basis/exceptions.h"
#include "basis/hashtable.h"
#include "basis/string_value.h"
#include "platform/exception.h"
#include "platform/little_endian.h"
#include "platform/message_value.h"

namespace {

const char* const kWriteError = "TFile: IO error while write binary.";
const char* const kReadError = "TFile: IO error while read binary.";

}  // namespace

// Defined here, not in the header, so that every library and program shares one limit.
int64_t TFile::maxLength_ = kMaxLength;

void TFile::setMaxLengthForTesting(int64_t limit) { maxLength_ = limit > 0 ? limit : kMaxLength; }

TFile::TFile() = default;

TFile::TFile(const std::string& name, bool forWriting, const std::string& header)
    : header_(header), forWriting_(forWriting) {
  setFileName(name);
  open();
}

TFile::TFile(const std::string& name, AppendFrom from) : forWriting_(true), appendStart_(from.offset) {
  setFileName(name);
  open();
}

TFile::~TFile() {
  if (opened_) discard();
}

void TFile::discard() {
  const int lastError = errno;
  behind_.reset();  // nothing is written any more once the file goes
  if (appendStart_ >= 0) os_.truncate(appendStart_);
  os_.close();  // removes a temporary file that was not committed
  opened_ = false;
  errno = lastError;
}

void TFile::refuseOpenBlocks() {
  if (!forWriting_ || blockStack_.empty()) return;
  // A block still open has its length placeholder unpatched: such a file
  // must never take the target's place.
  discard();
  throw IllegalStateException("TFile.close: Block still open, nothing stored.");
}

void TFile::open() {
  try {
    if (getFileName().empty()) throw IOException("Missing filename, can't write to stdout.");
    if (forWriting_) {
      if (platform::fileExists(getFileName()) && platform::isReadOnlyFile(getFileName())) {
        throw IOException("Try to write read only file '" + getFileName() + "'.");
      }
      if (appendStart_ >= 0) return openAppending();
      os_.openReplacement(getFileName());
      pending_ = std::make_unique_for_overwrite<char[]>(kPendingRoom);
      opened_ = true;
      pendingStart_ = 0;
      if (!header_.empty()) writeChars(header_);
    } else {
      if (platform::fileMissing(getFileName())) throw FileNotFoundException(getFileName());
      os_.openRead(getFileName());
      opened_ = true;
      if (!header_.empty()) {
        std::string found;
        if (os_.size() >= static_cast<int64_t>(header_.size())) {
          found.resize(header_.size());
          found.resize(os_.read(found.data(), found.size()));
        }
        if (found != header_) {
          throw IOException("File '" + getFileName() + "' does not support header: '" + header_ + "'.");
        }
      }
    }
  } catch (const std::exception& e) {
    os_.close();
    opened_ = false;
    throw IOException(platform::wrapMessage("TFile.open", e));
  }
}

void TFile::openAppending() {
  os_.openReadWrite(getFileName());
  pending_ = std::make_unique_for_overwrite<char[]>(kPendingRoom);
  errno = 0;
  os_.truncate(appendStart_);
  if (os_.size() != appendStart_) writeFailed();
  opened_ = true;
  pendingStart_ = appendStart_;
  writtenEnd_ = appendStart_;
}

void TFile::close() {
  if (!opened_) return;
  if (appendStart_ >= 0) return closeAppended(0, std::string());
  if (forWriting_) {
    refuseOpenBlocks();
    try {
      if (refused_) lengthRefused();
      flushPending();
      settle();
      behind_.reset();
      os_.commitReplacement();
    } catch (const IOException&) {
      discard();
      throw;
    } catch (const std::exception& e) {
      discard();
      throw IOException(platform::wrapMessage("TFile.close", e));
    }
  } else {
    os_.close();
  }
  opened_ = false;
}

void TFile::closeAppended(int64_t position, const std::string& patch) {
  if (!opened_ || appendStart_ < 0) return;
  refuseOpenBlocks();
  std::string old(patch.size(), '\0');
  // Whether the bytes at `position` may differ from `old` now.
  bool patched = false;
  try {
    if (refused_) lengthRefused();
    flushPending();
    // The addition is on disk before the patch can make it count.
    os_.sync();
    if (!patch.empty()) {
      os_.seek(position);
      errno = 0;
      if (os_.read(old.data(), old.size()) < old.size()) readFailed(os_.position());
      errno = 0;
      size_t written = os_.writeAt(patch.data(), patch.size(), position);
      patched = written > 0;
      if (written < patch.size()) writeFailed();
      os_.sync();
    }
    os_.close();
    opened_ = false;
  } catch (const std::exception& e) {
    const int lastError = errno;
    // The old bytes go back before the file is cut, so that it never claims
    // more than it holds; where they cannot, the complete addition stays.
    if (!patched || os_.writeAt(old.data(), old.size(), position) == old.size()) {
      os_.truncate(appendStart_);
      try {
        os_.sync();
      } catch (const std::exception&) {
        // The error that is raised below says more.
      }
    }
    os_.close();
    opened_ = false;
    errno = lastError;
    if (dynamic_cast<const IOException*>(&e) != nullptr) throw;
    throw IOException(platform::wrapMessage("TFile.close", e));
  }
}

void TFile::readFrom(TFile& file) {
  setFileName(file.readString());
  header_ = file.readString();
  forWriting_ = file.readBoolean();
}

void TFile::writeTo(TFile& file) {
  file.writeString(getFileName());
  file.writeString(header_);
  file.writeBoolean(forWriting_);
}

// ---- writing ---------------------------------------------------------------

void TFile::writeFailed() const {
  // errno was cleared before the call that failed: what it holds now is that
  // call's reason, or none when the system gave none.
  const int error = errno;
  std::string message = std::string(kWriteError) + " Cannot write '" + getFileName() + "'";
  message += error != 0 ? std::string(": ") + std::strerror(error) + "." : std::string(".");
  errno = error;  // the report takes the cause from there too
  throw IOException(message);
}

void TFile::lengthRefused() const {
  throw IOException(std::string(kWriteError) + " Cannot write '" + getFileName() +
                    "': a block or string over " + std::to_string(maxLength_) + " bytes.");
}

void TFile::handOver(size_t n) {
  size_t written = n;
  if (behind_) {
    if (!behind_->hand(pending_.get(), n)) writeFailed();
    // Those bytes stay where they are while they are written; the rest goes
    // on in the other room, whose piece hand() saw written.
    std::memcpy(spare_.get(), pending_.get() + n, pendingSize_ - n);
    std::swap(pending_, spare_);
  } else {
    errno = 0;
    written = os_.write(pending_.get(), n);
    std::memmove(pending_.get(), pending_.get() + written, pendingSize_ - written);
  }
  pendingStart_ += static_cast<int64_t>(written);
  handedOver_ += static_cast<int64_t>(written);
  writtenEnd_ = std::max(writtenEnd_, pendingStart_);
  pendingSize_ -= written;
  if (written < n) writeFailed();
}

void TFile::settle() {
  if (behind_ && !behind_->finish()) writeFailed();
}

void TFile::flushPending() {
  if (pendingSize_ != 0) handOver(pendingSize_);
}

void TFile::makeRoom(size_t n) {
  // A file that outgrows its room is written by a thread of its own from
  // here on (a replacement only: an addition stays simple to undo).
  if (!behind_ && appendStart_ < 0) {
    try {
      if (!spare_) spare_ = std::make_unique_for_overwrite<char[]>(kPendingRoom);
      behind_ = std::make_unique<platform::WriteBehind>(os_);
    } catch (const std::system_error&) {
      // No thread to be had: the writes stay here.
    }
  }
  // The first block still open whose length field is pending: what comes
  // before it goes, and its length is later patched here, not in the file.
  size_t keep = pendingSize_;
  for (const BlockEntry& block : blockStack_) {
    const int64_t at = block.start - platform::kFixed32Size - handedOver_;
    if (block.hasCell && at >= 0) {
      keep = static_cast<size_t>(at);
      break;
    }
  }
  if (keep == 0 || kPendingRoom - (pendingSize_ - keep) < n) return flushPending();
  handOver(keep);
}

void TFile::rawWrite(const void* data, size_t n) {
  if (kPendingRoom - pendingSize_ < n) makeRoom(n);
  if (n >= kPendingRoom) {
    // Too large to gather: handed over as it is, after what was pending.
    settle();
    errno = 0;
    size_t written = os_.write(data, n);
    pendingStart_ += static_cast<int64_t>(written);
    handedOver_ += static_cast<int64_t>(written);
    writtenEnd_ = std::max(writtenEnd_, pendingStart_);
    if (written < n) writeFailed();
    return;
  }
  std::memcpy(pending_.get() + pendingSize_, data, n);
  pendingSize_ += n;
}

void TFile::patchInt(int64_t position, int32_t value) {
  char bytes[platform::kFixed32Size];
  platform::encodeFixed32(bytes, static_cast<uint32_t>(value));
  if (position >= pendingStart_) {
    std::memcpy(pending_.get() + (position - pendingStart_), bytes, 4);
    return;
  }
  settle();
  errno = 0;
  if (position + 4 > pendingStart_) {
    // The placeholder straddles what was handed over and what is still here.
    size_t outside = static_cast<size_t>(pendingStart_ - position);
    if (os_.writeAt(bytes, outside, position) < outside) writeFailed();
    std::memcpy(pending_.get(), bytes + outside, 4 - outside);
  } else if (os_.writeAt(bytes, 4, position) < 4) {
    writeFailed();
  }
}

void TFile::writeBytes(const void* data, int32_t n) {
  if (!forWriting_) throw IOException("TFile: Illegal write, file opened for read.");
  if (n < 1) return;
  if (hasBuffer_) {
    if (bufferSize_ - bufferPos_ < n) {
      bufferSize_ = bufferPos_ + n + bufferGrowth_;
      buffer_.resize(static_cast<size_t>(bufferSize_));
    }
    std::memcpy(buffer_.data() + bufferPos_, data, static_cast<size_t>(n));
    bufferPos_ += n;
    return;
  }
  rawWrite(data, static_cast<size_t>(n));
}

void TFile::writeCardinalSlow(uint32_t value) {
  char bytes[platform::kFixed32Size];
  platform::encodeFixed32(bytes, value);
  writeBytes(bytes, platform::kFixed32Size);
}

int32_t TFile::storedLength(int64_t n) {
  if (n > maxLength_) {
    // The length field would wrap; what was written so far must never be
    // committed, even by a caller that goes on to close().
    refused_ = true;
    lengthRefused();
  }
  return static_cast<int32_t>(n);
}

void TFile::writeChars(const std::string& s) {
  writeBytes(s.data(), storedLength(static_cast<int64_t>(s.size())));
}

void TFile::writeTextSlow(std::string_view s) {
  int32_t n = storedLength(static_cast<int64_t>(s.size()));
  writeInt(n);
  writeBytes(s.data(), n);
}

void TFile::writeDouble(double value) {
  char bytes[platform::kDoubleSize];
  platform::encodeDouble(bytes, value);
  writeBytes(bytes, platform::kDoubleSize);
}

void TFile::writeBoolean(bool value) {
  char byte = value ? 1 : 0;
  writeBytes(&byte, 1);
}

void TFile::writeTPObject(TPObject& obj) {
  writeText(obj.className());
  obj.store(*this);
}

void TFile::beginBlock(bool lengthPrefixed, bool buffered) {
  if (buffered && !hasBuffer_) {
    hasBuffer_ = true;
    buffer_.assign(static_cast<size_t>(bufferGrowth_), 0);
    bufferSize_ = bufferGrowth_;
    bufferDepth_ = static_cast<int64_t>(blockStack_.size());
    bufferPos_ = 0;
  }
  if (lengthPrefixed) writeInt(0);  // the placeholder counts in the enclosing block
  blockStack_.push_back({lengthPrefixed, writtenTotal()});
}

char* TFile::blockRoom(size_t length) {
  const size_t n = platform::kFixed32Size + length;
  if (!forWriting_ || hasBuffer_ || !pending_ || static_cast<int64_t>(length) > maxLength_ ||
      n > kPendingRoom / 4) {
    return nullptr;
  }
  if (kPendingRoom - pendingSize_ < n) makeRoom(n);
  char* to = pending_.get() + pendingSize_;
  platform::encodeFixed32(to, static_cast<uint32_t>(length));
  pendingSize_ += n;
  return to + platform::kFixed32Size;
}

void TFile::endBlock() {
  if (blockStack_.empty()) return;
  const BlockEntry popped = blockStack_.back();
  const int64_t n = writtenTotal() - popped.start;
  if (popped.hasCell) storedLength(n);
  blockStack_.pop_back();
  if (popped.hasCell) {
    if (hasBuffer_) {
      platform::encodeFixed32(buffer_.data() + (bufferPos_ - n - 4), static_cast<uint32_t>(n));
    } else {
      patchInt(fileSize() - n - 4, static_cast<int32_t>(n));
    }
  }
  if (hasBuffer_ && static_cast<int64_t>(blockStack_.size()) == bufferDepth_) {
    // The buffered block is complete: the file receives it in one piece,
    // already counted in the enclosing cells.
    auto block = std::move(buffer_);
    const int64_t size = bufferPos_;
    hasBuffer_ = false;
    buffer_.clear();
    bufferSize_ = 0;
    bufferDepth_ = -1;
    bufferPos_ = 0;
    rawWrite(block.data(), static_cast<size_t>(size));
  }
}

// ---- reading ---------------------------------------------------------------

void TFile::shortRead(int64_t position) const {
  throw IOException(std::string(kReadError) + " '" + getFileName() + "' is cut short at offset " +
                    std::to_string(position) + ".");
}

void TFile::readFailed(int64_t position) const {
  // errno was cleared before the read: a reason there means the system
  // failed it, none that the file ended.
  const int error = errno;
  if (error == 0) shortRead(position);
  std::string message = std::string(kReadError) + " Cannot read '" + getFileName() + "' at offset " +
                        std::to_string(position) + ": " + std::strerror(error) + ".";
  errno = error;
  throw IOException(message);
}

void TFile::blockOverrun(size_t position) const {
  throw IOException("TFile: Read-Buffer too small or too large, file corrupt: " + std::to_string(position) +
                    "@buffer.");
}

void TFile::readBytes(void* data, int32_t n) {
  if (forWriting_) throw IOException("TFile: Illegal read, file opened for write.");
  if (n < 1) return;
  if (hasBuffer_) {
    const size_t at = block_.position();
    std::string_view bytes;
    if (!block_.chars(static_cast<size_t>(n), bytes)) blockOverrun(at);
    std::memcpy(data, bytes.data(), bytes.size());
    return;
  }
  // A length past the end of the file fails before anything is allocated or read.
  if (os_.size() - os_.position() < n) shortRead(os_.size());
  errno = 0;
  if (os_.read(data, static_cast<size_t>(n)) < static_cast<size_t>(n)) readFailed(os_.position());
}

int32_t TFile::readInt() { return static_cast<int32_t>(readCardinal()); }

uint32_t TFile::readCardinal() {
  unsigned char bytes[platform::kFixed32Size];
  readBytes(bytes, platform::kFixed32Size);
  return platform::decodeFixed32(bytes);
}

std::string TFile::readChars(int32_t n) {
  if (forWriting_) throw IOException("TFile: Illegal read, file opened for write.");
  if (n < 1) return std::string();
  if (hasBuffer_) {
    // Straight from the block buffer, without filling the string first.
    const size_t at = block_.position();
    std::string_view bytes;
    if (!block_.chars(static_cast<size_t>(n), bytes)) blockOverrun(at);
    return std::string(bytes);
  }
  // Check the length against what is there before allocating for it.
  if (os_.size() - os_.position() < n) shortRead(os_.size());
  std::string s(static_cast<size_t>(n), '\0');
  readBytes(s.data(), n);
  return s;
}

std::string TFile::readString() { return readChars(ByteCursor::storedCount(readInt())); }

double TFile::readDouble() {
  unsigned char bytes[platform::kDoubleSize];
  readBytes(bytes, platform::kDoubleSize);
  return platform::decodeDouble(bytes);
}

bool TFile::readBoolean() {
  unsigned char byte = 0;
  readBytes(&byte, 1);
  return byte != 0;
}

std::unique_ptr<TPObject> TFile::makeStored(const std::string& stored, bool& collection) {
  // A database names the same few classes a million times: each stored name
  // is resolved once, and what its class is, once, from the first object.
  for (const KnownClass& known : knownClasses_) {
    if (known.stored == stored) {
      collection = known.collection;
      return std::unique_ptr<TPObject>(static_cast<TPObject*>((*known.factory)().release()));
    }
  }
  std::string name = stored;
  if (classNameMap_ != nullptr) {
    TString probe(name);
    name = classNameMap_->get(&probe)->toString();
  }
  const ClassRegistry::Factory* factory = ClassRegistry::find(name);
  if (factory == nullptr) throw EClassNotFound("Klasse " + platform::messageValue(name) + " nicht gefunden");
  std::unique_ptr<TMappedObject> made = (*factory)();
  auto* obj = dynamic_cast<TPObject*>(made.get());
  if (obj == nullptr) throw Exception("Class reference isn't TPObject.");
  made.release();
  collection = dynamic_cast<TAbstractCollection*>(obj) != nullptr;
  if (knownClasses_.size() == kKnownClasses) knownClasses_.erase(knownClasses_.begin());
  knownClasses_.push_back({stored, factory, collection});
  return std::unique_ptr<TPObject>(obj);
}

std::unique_ptr<TPObject> TFile::readTPObject() {
  try {
    // Real databases nest a dozen levels at most; a crafted file must not
    // exhaust the stack.
    if (readDepth_ >= kMaxObjectDepth) throw IOException("TFile: Objects nested too deeply, file corrupt.");
    std::string stored = readString();
    bool collection = false;
    std::unique_ptr<TPObject> result = makeStored(stored, collection);
    // What a collection made here reads was made for it alone; a container
    // that keeps it (a map entry, a list) frees only the collection, so the
    // collection must free its elements or they leak. Readers that hand the
    // elements on switch this off first.
    if (collection) static_cast<TAbstractCollection*>(result.get())->setOwnsObjects(true);
    result->load(*this);
    return result;
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TFile.readTPObject", e));
  }
}

void TFile::beginReadBlock(bool lengthPrefixed) {
  if (lengthPrefixed) {
    int32_t n = readInt();
    if (!hasBuffer_) {
      // The outermost block always bounds the reads inside it, an empty one
      // included; a negative length can describe no block at all.
      if (n < 0) throw IOException("TFile: Read-Buffer too small or too large, file corrupt: ");
      if (os_.size() - os_.position() < n) shortRead(os_.size());
      buffer_.resize(static_cast<size_t>(n));
      errno = 0;
      if (os_.read(buffer_.data(), static_cast<size_t>(n)) < static_cast<size_t>(n)) {
        buffer_.clear();
        readFailed(os_.position());
      }
      block_ = ByteCursor(std::string_view(buffer_.data(), static_cast<size_t>(n)));
      hasBuffer_ = true;
      bufferDepth_ = readDepth_;
    } else if (static_cast<int64_t>(block_.size()) < n) {
      throw IOException(std::string(kReadError) + " '" + getFileName() +
                        "': a block runs past the one around it, which ends at offset " +
                        std::to_string(filePosition()) + ".");
    }
  }
  ++readDepth_;
}

void TFile::endReadBlock() {
  if (readDepth_ <= 0) return;
  --readDepth_;
  if (hasBuffer_ && readDepth_ == bufferDepth_) {
    if (!block_.ok() || !block_.empty()) {
      throw IOException("TFile: Read-Buffer too small or too large, file corrupt: ");
    }
    hasBuffer_ = false;
    block_ = ByteCursor();
    buffer_.clear();
    buffer_.shrink_to_fit();
    bufferDepth_ = -1;
  }
}

// ---- positions ---------------------------------------------------------------

int64_t TFile::filePosition() const {
  return forWriting_ ? pendingStart_ + static_cast<int64_t>(pendingSize_) : os_.position();
}

void TFile::seek(int64_t position) {
  if (forWriting_) {
    flushPending();
    settle();
    os_.seek(position);
    pendingStart_ = position;
  } else {
    os_.seek(position);
  }
}

int64_t TFile::fileSize() const {
  if (!forWriting_) return os_.size();
  return std::max(writtenEnd_, pendingStart_ + static_cast<int64_t>(pendingSize_));
}

int64_t TFile::bytesLeft() const {
  if (forWriting_) return 0;
  return hasBuffer_ ? static_cast<int64_t>(block_.size()) : os_.size() - os_.position();
}
