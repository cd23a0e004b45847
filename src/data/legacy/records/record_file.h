// The untyped binary file of the 1.5 and 2.0 databases and the transfers both
// versions make on it: 32-bit integers and 8-byte doubles little-endian,
// strings as a 32-bit byte count and the bytes. TFileIO2_0 and TFileIO1_5
// present these transfers under their own names.
//
// Both directions are buffered. A file open for reading knows how many bytes
// are left, so a count read from it is checked against what is there before
// anything is allocated for it. A file open for writing is a temporary file
// beside its target that commit() renames over it, so a failed write leaves
// an existing file as it was.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "basis/byte_cursor.h"
#include "platform/os_file.h"

namespace legacy {

// Selects the constructor of a record that readFrom is about to fill: it
// leaves the stamps that are read anyway at 0 instead of asking the clock.
struct ForReading {};

class RecordFile {
 public:
  RecordFile() = default;
  RecordFile(const RecordFile&) = delete;
  RecordFile& operator=(const RecordFile&) = delete;

  // Raise EInOutError with the system's text when the file cannot be opened.
  void openRead(const std::string& path);
  void openWrite(const std::string& path);
  // Writes what is buffered and renames the file over its target. Raises the
  // write error of the databases when the data cannot be written, EInOutError
  // when the rename fails.
  void commit();
  // Closes the file; an uncommitted file being written is removed.
  void close();

  int64_t size() const { return size_; }
  int64_t remaining() const { return size_ - consumed_; }

  // Return the number of bytes moved; fewer than asked means failure or end of file.
  size_t read(void* data, size_t n);
  size_t write(const void* data, size_t n);

 private:
  bool flush();

  platform::OsFile os_;
  std::vector<char> buffer_;
  size_t begin_ = 0;  // unread bytes are buffer_[begin_, end_); written ones [0, end_)
  size_t end_ = 0;
  int64_t size_ = 0;
  int64_t consumed_ = 0;
  bool writeFailed_ = false;
};

// The primitive transfers. A transfer that moves fewer bytes than asked raises
// a plain Exception with the read or write error of the databases.
class RecordIO {
 public:
  static const char* const kReadError;    // "Fehler beim Lesen der Datenbasis."
  static const char* const kWriteError;   // "Fehler beim Schreiben der Datenbasis."
  static const char* const kFormatError;  // "...: Die angegebene Datei entspricht nicht ..."

  static void writeInt(RecordFile& file, int32_t value);
  // The count, then the bytes (nothing more for the empty string).
  static void writeString(RecordFile& file, const std::string& value);
  static void writeDouble(RecordFile& file, double value);

  static int32_t readInt(RecordFile& file);
  // A count of 0 or below is the empty string; a count beyond the bytes left
  // fails before anything is allocated.
  static std::string readString(RecordFile& file);
  static double readDouble(RecordFile& file);
};

// Opens the database file at path and checks its raw header. False, with
// nothing opened, when no such file exists (ENOENT); raises EInOutError with
// the system's reason when it cannot be opened, kFormatError when the file is shorter than the header or
// begins differently (byte for byte).
bool openDatabase(RecordFile& file, const std::string& path, const std::string& header);

// A title's carrier ids: a count, then the ids. A count of 0 or below is no id.
template <class Wrapper>
void readIdList(RecordFile& file, std::vector<Wrapper>& ids) {
  ids.clear();
  const int32_t count = ByteCursor::storedCount(RecordIO::readInt(file));
  ids.reserve(static_cast<size_t>(std::min<int64_t>(count, file.remaining() / 4)));
  for (int32_t i = 0; i < count; ++i) ids.emplace_back(RecordIO::readInt(file));
}

template <class Wrapper>
void writeIdList(RecordFile& file, const std::vector<Wrapper>& ids) {
  RecordIO::writeInt(file, static_cast<int32_t>(ids.size()));
  for (const Wrapper& w : ids) RecordIO::writeInt(file, w.id);
}

// The transfers a version's record layout (its stored fields, in order) runs
// on a record: reading fills the record from the file, writing stores it.
struct FieldReader {
  RecordFile& file;
  void int32(int32_t& value) { value = RecordIO::readInt(file); }
  void text(std::string& value) { value = RecordIO::readString(file); }
  void number(double& value) { value = RecordIO::readDouble(file); }
  template <class Wrapper>
  void ids(std::vector<Wrapper>& value) {
    readIdList(file, value);
  }
};

struct FieldWriter {
  RecordFile& file;
  void int32(int32_t value) { RecordIO::writeInt(file, value); }
  void text(const std::string& value) { RecordIO::writeString(file, value); }
  void number(double value) { RecordIO::writeDouble(file, value); }
  template <class Wrapper>
  void ids(const std::vector<Wrapper>& value) {
    writeIdList(file, value);
  }
};

}  // namespace legacy
