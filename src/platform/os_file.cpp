#include "platform/os_file.h"

#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/exception.h"
#include "platform/kept_errno.h"
#include "platform/temp_files.h"

namespace platform {
namespace {

struct FaultState {
  long failWriteAt = 0;
  long failReadAt = 0;
  long failSyncAt = 0;
  long failRenameAt = 0;
  int writeError = EIO;
  long writes = 0;
  long reads = 0;
  long syncs = 0;
  long renames = 0;
  bool noUnnamedFiles = false;
};

FaultState& faultState() {
  static FaultState state;
  return state;
}

bool fails(long& calls, long failAt) {
  ++calls;
  return failAt > 0 && calls >= failAt;
}

bool writeFails() { return fails(faultState().writes, faultState().failWriteAt); }
bool readFails() { return fails(faultState().reads, faultState().failReadAt); }

[[noreturn]] void raise(const std::string& what, const std::string& path) {
  throw EInOutError(what + " '" + path + "': " + std::strerror(errno));
}

[[noreturn]] void raiseNotRegular(const std::string& path) {
  throw EInOutError("'" + path + "' is not a regular file.");
}

mode_t newFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
}

std::string directoryOf(const std::string& path) {
  size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// The file that replacing `path` replaces: path itself, or, for a symbolic
// link, the file at the end of its chain, so the link stays a link.
std::string replacementTarget(const std::string& path) {
  struct stat followed {};
  if (::stat(path.c_str(), &followed) == 0 && !S_ISREG(followed.st_mode)) raiseNotRegular(path);
  std::string current = path;
  for (int hops = 0; hops <= 40; ++hops) {
    struct stat st {};
    if (::lstat(current.c_str(), &st) != 0) {
      if (errno == ENOENT) return current;
      raise("Cannot create", path);
    }
    if (S_ISREG(st.st_mode)) return current;
    if (!S_ISLNK(st.st_mode)) raiseNotRegular(path);
    std::vector<char> link(PATH_MAX + 1);
    ssize_t n = ::readlink(current.c_str(), link.data(), link.size() - 1);
    if (n < 0) raise("Cannot create", path);
    std::string next(link.data(), static_cast<size_t>(n));
    current = next.starts_with('/') ? next : directoryOf(current) + "/" + next;
  }
  errno = ELOOP;
  raise("Cannot create", path);
}

// A short name beside the target that does not depend on the target's length.
std::string temporaryName(const std::string& dir) {
  static const char kChars[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  static unsigned long long state = 0;
  state ^= static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count()) ^
           (static_cast<unsigned long long>(::getpid()) << 32);
  std::string name = dir + "/.vsk-";
  for (int i = 0; i < 6; ++i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    name += kChars[(state >> 33) % (sizeof kChars - 1)];
  }
  return name;
}

}  // namespace

namespace faults {
void failNthWrite(long n) {
  faultState().failWriteAt = n;
  faultState().writes = 0;
}
void failNthRead(long n) {
  faultState().failReadAt = n;
  faultState().reads = 0;
}
void failNthSync(long n) {
  faultState().failSyncAt = n;
  faultState().syncs = 0;
}
void failNthRename(long n) {
  faultState().failRenameAt = n;
  faultState().renames = 0;
}
void failWritesWith(int error) { faultState().writeError = error; }
void withoutUnnamedFiles(bool on) { faultState().noUnnamedFiles = on; }
void reset() { faultState() = FaultState(); }
long writeCalls() { return faultState().writes; }
long readCalls() { return faultState().reads; }
long syncCalls() { return faultState().syncs; }
long renameCalls() { return faultState().renames; }
}  // namespace faults

bool fileExists(const std::string& path) {
  KeptErrno kept;
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool fileMissing(const std::string& path) {
  KeptErrno kept;
  struct stat st {};
  return path.empty() || (::stat(path.c_str(), &st) != 0 && errno == ENOENT);
}

bool isReadOnlyFile(const std::string& path) {
  KeptErrno kept;
  struct stat st {};
  if (stat(path.c_str(), &st) != 0) return false;
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) return true;
  return ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) != 0 &&
         (errno == EACCES || errno == EPERM || errno == EROFS || errno == ETXTBSY);
}

void requireRegularFile(const std::string& path, bool directoryAllowed) {
  KeptErrno kept;
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return;
  if (!S_ISREG(st.st_mode) && !(directoryAllowed && S_ISDIR(st.st_mode))) raiseNotRegular(path);
}

bool sameFile(const std::string& a, const std::string& b) {
  KeptErrno kept;
  struct stat first {};
  struct stat second {};
  return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 && first.st_dev == second.st_dev &&
         first.st_ino == second.st_ino;
}

OsFile::~OsFile() { close(); }

// Opens without blocking, so that a FIFO that turns up after the check is
// refused instead of waited on.
void OsFile::openExisting(const std::string& path, int flags, const char* what) {
  close();
  requireRegularFile(path, true);
  fd_ = ::open(path.c_str(), flags | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) raise(what, path);
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    bool directory = S_ISDIR(st.st_mode);
    close();
    if (!directory) raiseNotRegular(path);
    errno = EISDIR;
    raise(what, path);
  }
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  path_ = path;
}

void OsFile::openRead(const std::string& path) { openExisting(path, O_RDONLY, "Cannot open"); }

void OsFile::openTruncate(const std::string& path) {
  close();
  requireRegularFile(path);
  // Truncated only once the open file is known to be a regular one: a FIFO
  // or device that took the path's place after the check is left alone.
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_NONBLOCK | O_CLOEXEC, 0666);
  if (fd_ < 0) raise("Cannot create", path);
  struct stat st {};
  if (::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode)) {
    close();
    raiseNotRegular(path);
  }
  if (::ftruncate(fd_, 0) != 0) {
    const int error = errno;
    close();
    errno = error;
    raise("Cannot create", path);
  }
  ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
  path_ = path;
}

void OsFile::openAppend(const std::string& path) { openExisting(path, O_WRONLY | O_APPEND, "Cannot open"); }

void OsFile::openReadWrite(const std::string& path) { openExisting(path, O_RDWR, "Cannot open"); }

void OsFile::openReplacement(const std::string& target) {
  close();
  KeptErrno kept;
  std::string real = replacementTarget(target);
  std::string dir = directoryOf(real);
  struct stat old {};
  bool replacing = ::stat(real.c_str(), &old) == 0;
  if (!faultState().noUnnamedFiles && ::access("/proc/self/fd", X_OK) == 0) {
    fd_ = ::open(dir.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
    // Only a file system without O_TMPFILE falls back; other failures are real.
    if (fd_ < 0 && errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL) raise("Cannot create", target);
  }
  if (fd_ < 0) {
    CleanupSignalsBlocked blocked;
    std::string tmpl = dir + "/.vsk-XXXXXX";
    std::vector<char> name(tmpl.begin(), tmpl.end());
    name.push_back('\0');
    fd_ = mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) raise("Cannot create", target);
    tempName_ = name.data();
    tempSlot_ = registerTempFile(tempName_);
  }
  // The owner first: changing it may clear set-id bits that the mode then restores.
  if (replacing && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
      ::fchown(fd_, old.st_uid, old.st_gid) != 0 && ::fchown(fd_, static_cast<uid_t>(-1), old.st_gid) != 0) {
    // Not allowed to give the file away: it belongs to this user, as a new file would.
  }
  ::fchmod(fd_, replacing ? (old.st_mode & 07777) : newFileMode());
  path_ = target;
  target_ = real;
}

namespace {

// Repeats `step(done)` (a read or write of the bytes from `done` on) until
// all `n` are through, the system call is interrupted only by a signal, or
// it fails or ends; returns how many went through.
template <class Step>
size_t transfer(size_t n, Step step) {
  size_t done = 0;
  while (done < n) {
    ssize_t r = step(done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

}  // namespace

size_t OsFile::read(void* data, size_t n) {
  if (n == 0) return 0;
  if (readFails()) {
    errno = EIO;
    return 0;
  }
  auto* p = static_cast<char*>(data);
  return transfer(n, [&](size_t done) { return ::read(fd_, p + done, n - done); });
}

size_t OsFile::write(const void* data, size_t n) {
  if (n == 0) return 0;
  if (writeFails()) {
    errno = faultState().writeError;
    return 0;
  }
  auto* p = static_cast<const char*>(data);
  const size_t done = transfer(n, [&](size_t done) { return ::write(fd_, p + done, n - done); });
  // A failed write keeps its errno for the caller.
  if (!target_.empty() && done == n) startWriteback(done);
  return done;
}

void OsFile::startWriteback(size_t written) {
  // A replacement is synced whole before it is put in place; handing its
  // bytes to the disk while more are being made leaves that sync little to
  // wait for. Only a start: the sync still reports any failure.
  unkicked_ += written;
  if (unkicked_ < kWritebackStep) return;
  unkicked_ = 0;
  ::sync_file_range(fd_, 0, 0, SYNC_FILE_RANGE_WRITE);
}

size_t OsFile::writeAt(const void* data, size_t n, int64_t offset) {
  if (n == 0) return 0;
  if (writeFails()) {
    errno = faultState().writeError;
    return 0;
  }
  auto* p = static_cast<const char*>(data);
  return transfer(
      n, [&](size_t done) { return ::pwrite(fd_, p + done, n - done, offset + static_cast<off_t>(done)); });
}

int64_t OsFile::position() const { return fd_ < 0 ? 0 : ::lseek(fd_, 0, SEEK_CUR); }

void OsFile::seek(int64_t position) {
  if (::lseek(fd_, position, SEEK_SET) < 0) raise("Cannot seek in", path_);
}

int64_t OsFile::size() const {
  struct stat st {};
  return fd_ >= 0 && fstat(fd_, &st) == 0 ? st.st_size : 0;
}

void OsFile::truncate(int64_t length) {
  if (fd_ >= 0 && ::ftruncate(fd_, length) == 0) ::lseek(fd_, 0, SEEK_END);
}

void OsFile::sync() {
  if (fails(faultState().syncs, faultState().failSyncAt)) {
    errno = EIO;
    raise("Cannot write", path_);
  }
  if (::fsync(fd_) != 0) raise("Cannot write", path_);
}

void OsFile::commitReplacement() {
  KeptErrno kept;
  const std::string target = target_;
  int err = 0;
  if (fails(faultState().syncs, faultState().failSyncAt)) {
    err = EIO;
  } else if (::fsync(fd_) != 0) {
    err = errno;
  }
  bool placed = false;
  if (err == 0 && tempName_.empty()) {
    CleanupSignalsBlocked blocked;
    std::string procPath = "/proc/self/fd/" + std::to_string(fd_);
    // A new target gets the unnamed file's first name, so no other name ever
    // exists; link refuses a target that appeared meanwhile, which is then
    // replaced as below.
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 && errno == ENOENT) {
      if (fails(faultState().renames, faultState().failRenameAt)) {
        err = EIO;
      } else if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, target.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        placed = true;
      } else if (errno != EEXIST) {
        err = errno;
      }
    }
    // Otherwise the unnamed file gets a short name first; rename then
    // replaces the target in one step, as link cannot.
    for (int attempt = 0; err == 0 && !placed && attempt < 100; ++attempt) {
      std::string name = temporaryName(directoryOf(target));
      tempSlot_ = registerTempFile(name);
      if (::linkat(AT_FDCWD, procPath.c_str(), AT_FDCWD, name.c_str(), AT_SYMLINK_FOLLOW) == 0) {
        tempName_ = name;
        break;
      }
      const int linkError = errno;
      unregisterTempFile(tempSlot_);
      tempSlot_ = -1;
      if (linkError != EEXIST || attempt == 99) err = linkError;
    }
  }
  if (::close(fd_) != 0 && err == 0) err = errno;
  fd_ = -1;
  if (err == 0 && !placed) {
    if (fails(faultState().renames, faultState().failRenameAt)) {
      err = EIO;
    } else if (::rename(tempName_.c_str(), target.c_str()) != 0) {
      err = errno;
    }
  }
  if (err == 0) {
    unregisterTempFile(tempSlot_);
    tempSlot_ = -1;
    tempName_.clear();
    target_.clear();
    // The rename itself reaches the disk with the directory; best effort.
    int dirFd = ::open(directoryOf(target).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
      ::fsync(dirFd);
      ::close(dirFd);
    }
    return;
  }
  dropTemporaryName();
  target_.clear();
  errno = err;
  raise("Cannot write", path_);
}

void OsFile::dropTemporaryName() {
  if (!tempName_.empty()) ::unlink(tempName_.c_str());
  unregisterTempFile(tempSlot_);
  tempSlot_ = -1;
  tempName_.clear();
}

void OsFile::close() {
  KeptErrno kept;
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
  dropTemporaryName();
  target_.clear();
}

}  // namespace platform
