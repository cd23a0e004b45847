#include "platform/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/code_page.h"
#include "platform/exception.h"

namespace platform {

namespace {

ConsoleStream diagnosticsStream = ConsoleStream::kOutput;

void writeTo(std::FILE* file, std::string_view bytes) {
  // Lines on both streams keep their order on a terminal that shows both.
  if (file == stderr) std::fflush(stdout);
  errno = 0;
  if (std::fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size() || std::fflush(file) != 0) {
    int err = errno;
    std::clearerr(file);
    const std::string message = std::string("I/O error while writing to standard ") +
                                (file == stderr ? "error: " : "output: ") +
                                (err ? std::strerror(err) : "write failed");
    if (err == EPIPE && file == stdout) throw EOutputClosed(message);
    throw EInOutError(message);
  }
}

void writeOut(std::string_view bytes) { writeTo(stdout, bytes); }

}  // namespace

void writeConsoleLine(std::string_view text) {
  std::string out = toConsoleText(text);
  out += '\n';
  writeOut(out);
}

void setDiagnosticsStream(ConsoleStream stream) { diagnosticsStream = stream; }

void writeDiagnosticsLine(std::string_view text) {
  std::string out = toConsoleText(text);
  out += '\n';
  writeTo(diagnosticsStream == ConsoleStream::kError ? stderr : stdout, out);
}

ConsoleLines::~ConsoleLines() {
  try {
    flush();
  } catch (...) {
    // Whoever needs to know that the last lines failed calls flush() first.
  }
}

void ConsoleLines::line(std::string_view text) {
  appendConsoleText(buffer_, text);
  buffer_ += '\n';
  if (buffer_.size() >= kPiece) flush();
}

void ConsoleLines::flush() {
  if (buffer_.empty()) return;
  std::string bytes;
  bytes.swap(buffer_);
  writeOut(bytes);
  bytes.clear();
  buffer_.swap(bytes);  // keeps the room for the next lines
}

void writeConsoleText(ConsoleStream stream, std::string_view text) {
  std::string out = toConsoleText(text);
  std::FILE* file = stream == ConsoleStream::kError ? stderr : stdout;
  if (file == stderr) std::fflush(stdout);
  std::fwrite(out.data(), 1, out.size(), file);
  std::fflush(file);
}

void showNotice(NoticeKind kind, std::string_view text) {
  const char* title = kind == NoticeKind::kError     ? "Error"
                      : kind == NoticeKind::kWarning ? "Warning"
                                                     : "Information";
  std::string out = std::string("[") + title + "] " + toConsoleText(text);
  if (out.empty() || out.back() != '\n') out += '\n';
  std::fflush(stdout);
  std::fwrite(out.data(), 1, out.size(), stderr);
  std::fflush(stderr);
}

}  // namespace platform
