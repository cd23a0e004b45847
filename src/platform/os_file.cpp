#include "platform/os_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <vector>

#include "platform/exception.h"

namespace platform {
namespace {

struct FaultState {
  long failWriteAt = 0;
  long failReadAt = 0;
  long writes = 0;
  long reads = 0;
};

FaultState& faultState() {
  static FaultState state;
  return state;
}

bool writeFails() {
  FaultState& s = faultState();
  ++s.writes;
  return s.failWriteAt > 0 && s.writes >= s.failWriteAt;
}

bool readFails() {
  FaultState& s = faultState();
  ++s.reads;
  return s.failReadAt > 0 && s.reads >= s.failReadAt;
}

[[noreturn]] void raise(const std::string& what, const std::string& path) {
  throw EInOutError(what + " '" + path + "': " + std::strerror(errno));
}

mode_t newFileMode() {
  mode_t mask = umask(0);
  umask(mask);
  return 0666 & ~mask;
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
void reset() { faultState() = FaultState(); }
long writeCalls() { return faultState().writes; }
long readCalls() { return faultState().reads; }
}  // namespace faults

bool fileExists(const std::string& path) {
  struct stat st {};
  return !path.empty() && stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool isReadOnlyFile(const std::string& path) {
  struct stat st {};
  return stat(path.c_str(), &st) == 0 && (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

OsFile::~OsFile() { close(); }

void OsFile::openRead(const std::string& path) {
  close();
  fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0) raise("Cannot open", path);
  struct stat st {};
  if (fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
    close();
    errno = EISDIR;
    raise("Cannot open", path);
  }
  path_ = path;
}

void OsFile::openTruncate(const std::string& path) {
  close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd_ < 0) raise("Cannot create", path);
  path_ = path;
}

void OsFile::openAppend(const std::string& path) {
  close();
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (fd_ < 0) raise("Cannot open", path);
  path_ = path;
}

void OsFile::openReplacement(const std::string& target) {
  close();
  std::string tmpl = target + ".XXXXXX";
  std::vector<char> name(tmpl.begin(), tmpl.end());
  name.push_back('\0');
  fd_ = mkostemp(name.data(), O_CLOEXEC);
  if (fd_ < 0) raise("Cannot create", target);
  // The new file gets the mode an ordinary create would give it, or the old file's mode.
  struct stat st {};
  mode_t mode = stat(target.c_str(), &st) == 0 ? (st.st_mode & 07777) : newFileMode();
  fchmod(fd_, mode);
  path_ = name.data();
  target_ = target;
}

size_t OsFile::read(void* data, size_t n) {
  if (n == 0) return 0;
  if (readFails()) {
    errno = EIO;
    return 0;
  }
  size_t done = 0;
  auto* p = static_cast<char*>(data);
  while (done < n) {
    ssize_t r = ::read(fd_, p + done, n - done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

size_t OsFile::write(const void* data, size_t n) {
  if (n == 0) return 0;
  if (writeFails()) {
    errno = EIO;
    return 0;
  }
  size_t done = 0;
  auto* p = static_cast<const char*>(data);
  while (done < n) {
    ssize_t r = ::write(fd_, p + done, n - done);
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

size_t OsFile::writeAt(const void* data, size_t n, int64_t offset) {
  if (n == 0) return 0;
  if (writeFails()) {
    errno = EIO;
    return 0;
  }
  size_t done = 0;
  auto* p = static_cast<const char*>(data);
  while (done < n) {
    ssize_t r = ::pwrite(fd_, p + done, n - done, offset + static_cast<off_t>(done));
    if (r < 0 && errno == EINTR) continue;
    if (r <= 0) break;
    done += static_cast<size_t>(r);
  }
  return done;
}

int64_t OsFile::position() const { return fd_ < 0 ? 0 : ::lseek(fd_, 0, SEEK_CUR); }

void OsFile::seek(int64_t position) {
  if (::lseek(fd_, position, SEEK_SET) < 0) raise("Cannot seek in", path_);
}

int64_t OsFile::size() const {
  struct stat st {};
  return fd_ >= 0 && fstat(fd_, &st) == 0 ? st.st_size : 0;
}

void OsFile::commitReplacement() {
  std::string tmp = path_, target = target_;
  bool ok = ::fsync(fd_) == 0;
  int err = errno;
  ok = (::close(fd_) == 0) && ok;
  if (!ok && err == 0) err = errno;
  fd_ = -1;
  target_.clear();
  if (ok && ::rename(tmp.c_str(), target.c_str()) == 0) return;
  if (ok) err = errno;
  ::unlink(tmp.c_str());
  errno = err;
  raise("Cannot write", target);
}

void OsFile::close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
    if (!target_.empty()) ::unlink(path_.c_str());
  }
  target_.clear();
}

}  // namespace platform
