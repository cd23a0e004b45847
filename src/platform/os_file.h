// Operating-system files: the byte-level primitives beneath the binary and
// text files, a replacing writer for atomic stores, and a fault seam.
//
// Every read and write of an OsFile passes the fault seam, so tests can make
// the N-th call fail and check what a failure leaves on disk.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {

bool fileExists(const std::string& path);
// The file exists and its mode carries no write bit (the read-only attribute).
bool isReadOnlyFile(const std::string& path);

class OsFile {
 public:
  OsFile() = default;
  ~OsFile();
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;

  // Each raises EInOutError with the system's text when the file cannot be opened.
  void openRead(const std::string& path);
  void openTruncate(const std::string& path);
  // Appends to an existing file; a missing file is an error.
  void openAppend(const std::string& path);
  // Creates a new, empty temporary file in the directory of `target`,
  // to be renamed over it by commitReplacement().
  void openReplacement(const std::string& target);

  bool isOpen() const { return fd_ >= 0; }
  const std::string& path() const { return path_; }

  // Return the number of bytes moved; fewer than asked means failure or end of file.
  size_t read(void* data, size_t n);
  size_t write(const void* data, size_t n);
  size_t writeAt(const void* data, size_t n, int64_t offset);

  int64_t position() const;
  void seek(int64_t position);
  int64_t size() const;

  // Flushes the temporary file to disk, closes it and renames it over the target.
  // Raises EInOutError when that fails; the temporary file is removed then.
  void commitReplacement();
  // Closes the file; a temporary file that was not committed is removed.
  void close();

 private:
  int fd_ = -1;
  std::string path_;
  std::string target_;  // set while writing a replacement
};

// The fault seam: after arm(n), the n-th following read or write call on any
// OsFile fails without moving a byte, and so does every later one until reset.
namespace faults {
void failNthWrite(long n);
void failNthRead(long n);
void reset();
// Write calls since the last reset: lets a test find how many calls an operation makes.
long writeCalls();
long readCalls();
}  // namespace faults

}  // namespace platform
