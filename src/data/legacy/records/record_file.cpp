#include "data/legacy/records/record_file.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/exception.h"
#include "platform/little_endian.h"

namespace legacy {
namespace {

constexpr size_t kBufferSize = 64 * 1024;

}  // namespace

const char* const RecordIO::kReadError = "Fehler beim Lesen der Datenbasis.";
const char* const RecordIO::kWriteError = "Fehler beim Schreiben der Datenbasis.";
const char* const RecordIO::kFormatError =
    "Fehler beim Lesen der Datenbasis: Die angegebene Datei entspricht nicht dem g\xFCltigen Format.";

void RecordFile::openRead(const std::string& path) {
  close();
  os_.openRead(path);
  size_ = os_.size();
  buffer_.resize(kBufferSize);
}

void RecordFile::openWrite(const std::string& path) {
  close();
  os_.openReplacement(path);
  buffer_.resize(kBufferSize);
}

void RecordFile::close() {
  os_.close();
  buffer_.clear();
  buffer_.shrink_to_fit();
  begin_ = end_ = 0;
  size_ = consumed_ = 0;
  writeFailed_ = false;
}

size_t RecordFile::read(void* data, size_t n) {
  auto* out = static_cast<char*>(data);
  size_t done = 0;
  while (done < n) {
    if (begin_ == end_) {
      // A short or failed read leaves the buffer empty and ends the transfer.
      begin_ = 0;
      end_ = os_.isOpen() ? os_.read(buffer_.data(), buffer_.size()) : 0;
      if (end_ == 0) break;
    }
    size_t take = std::min(n - done, end_ - begin_);
    std::memcpy(out + done, buffer_.data() + begin_, take);
    begin_ += take;
    done += take;
  }
  consumed_ += static_cast<int64_t>(done);
  return done;
}

size_t RecordFile::write(const void* data, size_t n) {
  const auto* in = static_cast<const char*>(data);
  size_t done = 0;
  while (done < n) {
    if (end_ == buffer_.size() && !flush()) break;
    size_t take = std::min(n - done, buffer_.size() - end_);
    std::memcpy(buffer_.data() + end_, in + done, take);
    end_ += take;
    done += take;
  }
  return done;
}

bool RecordFile::flush() {
  if (writeFailed_ || !os_.isOpen()) return false;
  if (end_ > 0 && os_.write(buffer_.data(), end_) != end_) writeFailed_ = true;
  end_ = 0;
  return !writeFailed_;
}

void RecordFile::commit() {
  if (!flush()) {
    close();
    throw Exception(RecordIO::kWriteError);
  }
  os_.commitReplacement();
  close();
}

void RecordIO::writeInt(RecordFile& file, int32_t value) {
  unsigned char bytes[platform::kFixed32Size];
  platform::encodeFixed32(bytes, static_cast<uint32_t>(value));
  if (file.write(bytes, sizeof bytes) != sizeof bytes) throw Exception(kWriteError);
}

void RecordIO::writeString(RecordFile& file, const std::string& value) {
  // A longer text would wrap its 32-bit length and corrupt every record after it.
  if (value.size() > static_cast<size_t>(INT32_MAX)) throw Exception(kWriteError);
  writeInt(file, static_cast<int32_t>(value.size()));
  if (file.write(value.data(), value.size()) != value.size()) throw Exception(kWriteError);
}

void RecordIO::writeDouble(RecordFile& file, double value) {
  unsigned char bytes[platform::kDoubleSize];
  platform::encodeDouble(bytes, value);
  if (file.write(bytes, sizeof bytes) != sizeof bytes) throw Exception(kWriteError);
}

int32_t RecordIO::readInt(RecordFile& file) {
  unsigned char bytes[platform::kFixed32Size];
  if (file.read(bytes, sizeof bytes) != sizeof bytes) throw Exception(kReadError);
  return static_cast<int32_t>(platform::decodeFixed32(bytes));
}

std::string RecordIO::readString(RecordFile& file) {
  const int32_t n = ByteCursor::storedCount(readInt(file));
  if (n == 0) return std::string();
  if (n > file.remaining()) throw Exception(kReadError);
  std::string value(static_cast<size_t>(n), '\0');
  if (file.read(value.data(), value.size()) != value.size()) throw Exception(kReadError);
  return value;
}

double RecordIO::readDouble(RecordFile& file) {
  unsigned char bytes[platform::kDoubleSize];
  if (file.read(bytes, sizeof bytes) != sizeof bytes) throw Exception(kReadError);
  return platform::decodeDouble(bytes);
}

bool openDatabase(RecordFile& file, const std::string& path, const std::string& header) {
  // Only a file that is not there is no database; a directory, a path that
  // cannot be searched or resolved fails in openRead with the system's reason.
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0 && errno == ENOENT) return false;
  file.openRead(path);
  std::string start(header.size(), '\0');
  if (file.size() < static_cast<int64_t>(header.size()) ||
      file.read(start.data(), start.size()) != start.size() || start != header) {
    file.close();
    throw Exception(RecordIO::kFormatError);
  }
  return true;
}

}  // namespace legacy
