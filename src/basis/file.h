// TFile, the binary persistence file behind every database the system reads
// and writes. Layout: a raw header (may be empty), then the outermost
// object's block. All numbers are little-endian: integer and cardinal 4
// bytes, double 8 bytes (IEEE 754), boolean 1 byte; a string is an integer
// length and its bytes; an object is its class name as a string and its
// block; a block is an integer N and N bytes. Reads are checked against the
// outermost block only: a nested block's length is not enforced, as the
// stored files expect.
//
// Reading keeps the whole outermost block in memory and serves every nested
// read from there. Writing gathers bytes in memory and patches a block's
// length there while it is still unwritten. A file opened for writing is a
// temporary file beside the target, renamed over it by close(). A file opened
// to append to is the existing file itself, written from a given offset on;
// closeAppended() then changes a few bytes before that offset (a count, a
// length) so that the addition counts only once it is on disk, and puts the
// file back as it was when that fails. Only those two complete a file: one
// that goes without them, or is closed with a block still open, is discarded
// and the old file stays.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "basis/byte_cursor.h"
#include "basis/class_registry.h"
#include "basis/p_object.h"
#include "platform/export.h"
#include "platform/little_endian.h"
#include "platform/os_file.h"
#include "platform/write_behind.h"

class THashtable;

// The binary persistence file: the typed reads and writes of the layout
// above, its blocks, and stored objects recreated through the class registry.
class VOSKO_API TFile : public TPObject {
 public:
  VOSKO_CLASS_NAME(TFile)

  // How deep objects may nest inside a file being read.
  static constexpr int32_t kMaxObjectDepth = 100;
  // A block or string is stored behind a signed 32-bit length, so a longer one
  // cannot be written: it fails with the write error and the file is never
  // committed.
  static constexpr int64_t kMaxLength = INT32_MAX;
  // Lowers that limit for every file, so tests reach the refusal without
  // writing 2 GiB; 0 restores kMaxLength.
  static void setMaxLengthForTesting(int64_t limit);

  // An unopened file, as the class registry makes it.
  TFile();
  // Opens `name`; for writing the header is written at once, for reading it
  // is checked. Raises IOException "TFile.open: (Class) message" on failure.
  TFile(const std::string& name, bool forWriting, const std::string& header);
  struct AppendFrom {
    int64_t offset;
  };
  // Opens the existing file `name` to write from `from.offset` on, in place:
  // bytes past that offset (left by an addition that was cut short) are cut
  // first; no header is written. Refuses what opening for writing refuses,
  // with the same messages.
  TFile(const std::string& name, AppendFrom from);
  // Discards a file being written that was not closed: the target stays as
  // it was.
  ~TFile() override;

  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

  void writeBytes(const void* data, int32_t n);
  void writeInt(int32_t value) { writeCardinal(static_cast<uint32_t>(value)); }
  void writeCardinal(uint32_t value) {
    // The common case inline: straight into the pending bytes.
    if (char* to = directRoom(platform::kFixed32Size)) {
      platform::encodeFixed32(to, value);
      directWritten(platform::kFixed32Size);
      return;
    }
    writeCardinalSlow(value);
  }
  void writeChars(const std::string& s);
  void writeString(const std::string& s) { writeText(s); }
  // writeString of any text (a view, a literal), the common case inline.
  void writeText(std::string_view s) {
    const size_t n = s.size();
    if (char* to = static_cast<int64_t>(n) <= maxLength_ ? directRoom(platform::kFixed32Size + n) : nullptr) {
      platform::encodeFixed32(to, static_cast<uint32_t>(n));
      if (n != 0) std::memcpy(to + platform::kFixed32Size, s.data(), n);  // an empty view may have no data
      directWritten(platform::kFixed32Size + n);
      return;
    }
    writeTextSlow(s);
  }
  void writeDouble(double value);
  void writeBoolean(bool value);
  // Class name, then the object's block.
  void writeTPObject(TPObject& obj);

  void readBytes(void* data, int32_t n);
  int32_t readInt();
  uint32_t readCardinal();
  std::string readChars(int32_t n);
  std::string readString();
  double readDouble();
  bool readBoolean();
  // A new object, made by the class registry from the stored class name
  // (translated through the class-name map when one is set) and loaded.
  virtual std::unique_ptr<TPObject> readTPObject();

  void beginBlock(bool lengthPrefixed, bool buffered);
  void endBlock();
  // A length-prefixed, unbuffered block whose length is known before it is
  // written, in one step: the length is put in place and the caller puts
  // exactly `length` bytes from the pointer returned; the same bytes as
  // beginBlock, the writes and endBlock. Null where those must be taken
  // instead (not writing, inside a buffered block, a block too long).
  char* blockRoom(size_t length);
  void beginReadBlock(bool lengthPrefixed);
  void endReadBlock();

  int64_t filePosition() const;
  void seek(int64_t position);
  int64_t fileSize() const;
  // Bytes a reader may still take: to the end of the block buffer, or of the file.
  int64_t bytesLeft() const;
  // The bytes left in the block buffer of a file being read, to look at
  // without taking them; empty outside a block.
  std::string_view blockView() const {
    if (forWriting_ || !hasBuffer_) return {};
    return block_.rest();
  }

  // Not owned; must outlive every readTPObject.
  void setClassNameMap(const THashtable* map) {
    classNameMap_ = map;
    knownClasses_.clear();
  }
  const THashtable* getClassNameMap() const { return classNameMap_; }

  // Writes what is pending and, for a file being written, renames the
  // temporary file over the target. Raises IOException on failure, and
  // IllegalStateException "TFile.close: Block still open, nothing stored."
  // while a block is open; either way the file is discarded then.
  void close();
  // Completes a file opened to append to: hands what was written to the
  // disk, then writes `patch` at `position` and hands that to the disk too,
  // so that a crash leaves the file as it was or with all of the addition.
  // On failure (an open block too) the bytes at `position` are put back and
  // the file is cut to where the addition began, and the error is raised as
  // close() raises it.
  void closeAppended(int64_t position, const std::string& patch);

  // `n` as the stored 32-bit length; raises the write error when it does not
  // fit, and the file is then never completed.
  int32_t storedLength(int64_t n);

  bool isForWriting() const { return forWriting_; }
  bool isOpened() const { return opened_; }
  const std::string& getHeader() const { return header_; }

 private:
  // One entry per open write block: whether it has a length to patch, and
  // writtenTotal() where its contents began.
  struct BlockEntry {
    bool hasCell;
    int64_t start;
  };

  void open();
  void openAppending();
  // Drops a file that is not to be completed: a replacement's temporary file
  // goes, an addition is cut off. The last error stays what the failure that
  // led here left, so that a report still names the cause.
  void discard();
  // Discards the file and raises the refusal while a write block is open.
  void refuseOpenBlocks();
  // Room for n more pending bytes, or null when a write cannot go straight
  // there (not writing, inside a buffered block, or not enough room left).
  char* directRoom(size_t n) {
    if (!forWriting_ || hasBuffer_ || kPendingRoom - pendingSize_ < n || !pending_) return nullptr;
    return pending_.get() + pendingSize_;
  }
  // Takes n bytes put at directRoom(n).
  void directWritten(size_t n) { pendingSize_ += n; }
  // Every byte written so far, handed over, pending or in the block buffer:
  // a block is as long as this grew while it was open, so no write needs to
  // count itself in its blocks.
  int64_t writtenTotal() const {
    return handedOver_ + static_cast<int64_t>(pendingSize_) + (hasBuffer_ ? bufferPos_ : 0);
  }
  void writeCardinalSlow(uint32_t value);
  void writeTextSlow(std::string_view s);
  void rawWrite(const void* data, size_t n);
  // Hands the first n pending bytes over and moves the rest to the front.
  void handOver(size_t n);
  // Waits for what the write-behind thread is writing; raises a failed write.
  void settle();
  void flushPending();
  // Hands pending bytes over until n more fit, keeping open blocks whole where it can.
  void makeRoom(size_t n);
  void patchInt(int64_t position, int32_t value);
  // The write error, naming the file and the reason errno holds (cleared
  // before the failed call, so a reason there is that call's); errno is left
  // as it is for the report.
  [[noreturn]] void writeFailed() const;
  // The write error for a length that its 32-bit field cannot hold.
  [[noreturn]] void lengthRefused() const;
  // The read error: the data ends at `position`, before what was asked for.
  [[noreturn]] void shortRead(int64_t position) const;
  // A read that moved fewer bytes than asked, errno cleared before it: a
  // failure of the system with its reason, else the data ended at `position`.
  [[noreturn]] void readFailed(int64_t position) const;
  // The failure of a read at `position` in the block buffer.
  [[noreturn]] void blockOverrun(size_t position) const;
  // A new object of the class `stored` names (through the class-name map);
  // `collection` tells whether it is one.
  std::unique_ptr<TPObject> makeStored(const std::string& stored, bool& collection);

  std::string header_;
  bool forWriting_ = false;
  bool opened_ = false;
  std::vector<BlockEntry> blockStack_;

  // The block buffer: a buffered write block, or the outermost read block.
  bool hasBuffer_ = false;
  // Bytes are written or read into it right after it grows, so growing it
  // leaves them as they are instead of zeroing a whole database first.
  template <class T>
  struct Uninitialized : std::allocator<T> {
    template <class U>
    struct rebind {
      using other = Uninitialized<U>;
    };
    template <class U>
    void construct(U* p) noexcept {
      ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args>
    void construct(U* p, Args&&... args) {
      ::new (static_cast<void*>(p)) U(std::forward<Args>(args)...);
    }
  };
  std::vector<char, Uninitialized<char>> buffer_;
  int64_t bufferSize_ = -1;
  int64_t bufferDepth_ = 0;
  int64_t bufferGrowth_ = 256;
  int64_t bufferPos_ = 0;
  // The outermost block of a file being read, over buffer_: every read
  // inside it is taken from there.
  ByteCursor block_;
  int32_t readDepth_ = 0;
  const THashtable* classNameMap_ = nullptr;

  // The classes stored names led to, and whether each is a collection; a
  // handful, the most recent kept.
  struct KnownClass {
    std::string stored;
    const ClassRegistry::Factory* factory;
    bool collection;
  };
  static constexpr size_t kKnownClasses = 8;
  std::vector<KnownClass> knownClasses_;

  platform::OsFile os_;
  // Bytes written but not yet handed to the operating system (a fixed room,
  // handed over when full, made when the file is opened for writing), and
  // the file offset where they belong.
  static constexpr size_t kPendingRoom = 1 << 18;
  // The longest block or string this process writes (kMaxLength unless a test lowers it).
  static int64_t maxLength_;
  std::unique_ptr<char[]> pending_;
  size_t pendingSize_ = 0;
  int64_t pendingStart_ = 0;
  // Bytes handed to the operating system so far, wherever they went.
  int64_t handedOver_ = 0;
  // The end of what was handed to the operating system: the size of the file
  // being written, known without asking the system.
  int64_t writtenEnd_ = 0;
  // A length was refused: close() fails instead of committing the file.
  bool refused_ = false;
  // Where writing began in a file opened to append to; -1 for any other file.
  int64_t appendStart_ = -1;
  // A file larger than its room is written behind: one room is written
  // while the other fills. Last, so that it stops before what it writes goes.
  std::unique_ptr<char[]> spare_;
  std::unique_ptr<platform::WriteBehind> behind_;
};
