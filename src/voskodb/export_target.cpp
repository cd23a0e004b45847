#include "voskodb/export_target.h"

#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "basis/exceptions.h"
#include "platform/code_page.h"
#include "platform/console.h"
#include "platform/exception.h"

ExportTarget::ExportTarget(const std::string& command, const std::string& path)
    : command_(command), path_(path), standardOutput_(isStandardOutput(path)) {
  buffer_.reserve(kPiece + kPiece / 4);
  if (standardOutput_) {
    terminal_ = ::isatty(STDOUT_FILENO) == 1;
    return;
  }
  // Replacing by rename would otherwise succeed where truncating must not.
  if (platform::isReadOnlyFile(path)) {
    errno = EACCES;
    fail("Cannot create");
  }
  try {
    file_.openReplacement(path);
  } catch (const EInOutError& e) {
    throw IOException(command_ + ": " + e.message());
  }
}

void ExportTarget::restart() {
  buffer_.clear();
  file_.truncate(0);
}

void ExportTarget::commit() {
  writeOut();
  if (standardOutput_) {
    if (std::fflush(stdout) != 0) fail("Cannot write");
    return;
  }
  try {
    file_.commitReplacement();
  } catch (const EInOutError& e) {
    throw IOException(command_ + ": " + e.message());
  }
}

void ExportTarget::writeOut() {
  if (buffer_.empty()) return;
  errno = 0;
  if (terminal_) {
    // A person reads it there: the stored texts must not steer the terminal.
    // The buffer ends where a carrier ends, never inside a character.
    const std::string shown = platform::toConsoleText(buffer_);
    if (std::fwrite(shown.data(), 1, shown.size(), stdout) != shown.size()) fail("Cannot write");
  } else {
    const size_t written = standardOutput_ ? std::fwrite(buffer_.data(), 1, buffer_.size(), stdout)
                                           : file_.write(buffer_.data(), buffer_.size());
    if (written != buffer_.size()) fail("Cannot write");
  }
  buffer_.clear();
}

void ExportTarget::fail(const std::string& what) const {
  const int error = errno != 0 ? errno : EIO;
  const std::string target = standardOutput_ ? "to standard output" : "'" + path_ + "'";
  const std::string message = command_ + ": " + what + " " + target + ": " + std::strerror(error);
  if (standardOutput_ && error == EPIPE) throw EOutputClosed(message);
  throw IOException(message);
}
