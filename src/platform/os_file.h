// Operating-system files: the byte-level primitives beneath the binary and
// text files, a replacing writer for atomic stores, and a fault seam.
//
// Every read, write, sync and rename of an OsFile passes the fault seam, so
// tests can make the N-th call fail and check what a failure leaves on disk.
//
// Only regular files are opened: a directory, FIFO, device or socket is
// refused with "'<path>' is not a regular file." before anything is read or
// written, and opening never blocks on one.
//
// The tests of a path below leave errno as they found it: that a path names
// nothing is their answer, not a failure a later report should quote.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/export.h"

namespace platform {

VOSKO_API bool fileExists(const std::string& path);
// Nothing is found at the path (ENOENT); a path that exists but cannot be
// reached or opened is not "missing" and is reported with its reason instead.
VOSKO_API bool fileMissing(const std::string& path);
// The file exists and this user may not write it: the effective user lacks
// write permission, or the mode carries no write bit at all (the read-only
// attribute, which holds for root too).
VOSKO_API bool isReadOnlyFile(const std::string& path);
// Raises EInOutError "'<path>' is not a regular file." when path (its links
// followed) names something other than a regular file; a directory passes
// when directoryAllowed. A path that does not exist passes.
VOSKO_API void requireRegularFile(const std::string& path, bool directoryAllowed = false);
// Both name one existing file, as the system tells files apart (device and
// inode, links followed): a symbolic or hard link and another spelling of the
// path count. False when either names nothing.
VOSKO_API bool sameFile(const std::string& a, const std::string& b);

// One open regular file of the operating system, moved in bytes, or a
// replacement that takes its target's place only through commitReplacement().
// Closed when it goes, and an uncommitted replacement removed.
class VOSKO_API OsFile {
 public:
  OsFile() = default;
  ~OsFile();
  OsFile(const OsFile&) = delete;
  OsFile& operator=(const OsFile&) = delete;

  // Each raises EInOutError with the system's text when the file cannot be opened.
  void openRead(const std::string& path);
  // Creates or truncates a regular file; anything else is refused untouched.
  void openTruncate(const std::string& path);
  // Appends to an existing file; a missing file is an error.
  void openAppend(const std::string& path);
  // Reads and writes an existing file in place: nothing is truncated, and
  // writeAt may change bytes anywhere; a missing file is an error.
  void openReadWrite(const std::string& path);
  // Creates a new, empty temporary file in the directory of the file that
  // `target` names (a symbolic link is followed and stays), to be put in its
  // place by commitReplacement(). The file is unnamed where the system allows
  // (O_TMPFILE), else a short hidden name on the temporary-file list; it
  // carries the mode and, where the process may set it, the owner of the file
  // it replaces.
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

  // Cuts the file back to `length` bytes (used to undo a failed append).
  void truncate(int64_t length);
  // Hands what was written to the disk, as commitReplacement does, for a file
  // changed in place. Raises EInOutError "Cannot write '<path>': reason".
  void sync();

  // Flushes the temporary file to disk, closes it and renames it over the target.
  // Raises EInOutError when that fails; the temporary file is removed then.
  void commitReplacement();
  // Closes the file; a temporary file that was not committed is removed.
  void close();

 private:
  void openExisting(const std::string& path, int flags, const char* what);
  void dropTemporaryName();
  void startWriteback(size_t written);

  static constexpr size_t kWritebackStep = 8 << 20;

  int fd_ = -1;
  std::string path_;
  std::string target_;    // set while writing a replacement: the file to replace
  std::string tempName_;  // the replacement's name while it has one
  int tempSlot_ = -1;     // its entry on the temporary-file list
  size_t unkicked_ = 0;   // bytes of a replacement written since its writeback was last started
};

// The fault seam: after failNthWrite(n), the n-th following read or write call
// on any OsFile fails without moving a byte, and so does every later one until
// reset; likewise the n-th sync to disk and the n-th rename of a replacement.
namespace faults {
VOSKO_API void failNthWrite(long n);
VOSKO_API void failNthRead(long n);
VOSKO_API void failNthSync(long n);
VOSKO_API void failNthRename(long n);
// The errno that a write failed by the seam leaves (EIO until reset): ENOSPC
// stands in for a full disk.
VOSKO_API void failWritesWith(int error);
// Makes replacements take the named temporary file, as where O_TMPFILE is unsupported.
VOSKO_API void withoutUnnamedFiles(bool on);
VOSKO_API void reset();
// Calls since the last reset: lets a test find how many calls an operation makes.
VOSKO_API long writeCalls();
VOSKO_API long readCalls();
VOSKO_API long syncCalls();
VOSKO_API long renameCalls();
}  // namespace faults

}  // namespace platform
