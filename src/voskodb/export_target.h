// ExportTarget, where the bytes of a voskodb export go: standard output for
// "-", otherwise a replacement of the named file that is put in place only
// when the export is complete, so that a failure leaves no partial file and
// an existing target as it was. The export appends to buffer() and calls
// spill() now and then, where a piece of its output ends; the bytes are
// written in large pieces. Standard output that is a terminal gets the
// console's form of the bytes (platform::toConsoleText), as everything
// voskodb shows there.
//
//   ExportTarget out("export-csv", path);
//   out.buffer() += ...; out.spill();   // as often as needed
//   out.commit();
#pragma once

#include <cstddef>
#include <string>

#include "platform/os_file.h"

class ExportTarget {
 public:
  // Opens the target of `command` (named in every failure, raised as
  // IOException "<command>: Cannot create '<path>': reason"; a reader of
  // standard output that went away as EOutputClosed). A read-only
  // file is refused before anything is written, as a file that may not be
  // truncated must not be replaced either.
  ExportTarget(const std::string& command, const std::string& path);
  ExportTarget(const ExportTarget&) = delete;
  ExportTarget& operator=(const ExportTarget&) = delete;

  static bool isStandardOutput(const std::string& path) { return path == "-"; }

  std::string& buffer() { return buffer_; }
  // Writes the buffer once it holds a piece's worth. REQUIRES: the buffer
  // ends where a carrier's output ends (never inside a character or a line end).
  void spill() {
    if (buffer_.size() >= kPiece) writeOut();
  }
  // Forgets everything written so far and starts the file over.
  // REQUIRES: the target is a file.
  void restart();
  // Writes what is left and puts the file in place, or flushes standard
  // output. Until then a file target is only a temporary file, removed when
  // the target is destroyed.
  void commit();

 private:
  static constexpr size_t kPiece = 1 << 20;

  void writeOut();
  [[noreturn]] void fail(const std::string& what) const;

  std::string command_;
  std::string path_;
  bool standardOutput_;
  bool terminal_ = false;
  platform::OsFile file_;
  std::string buffer_;
};
