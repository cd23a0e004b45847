// Standard output and the notices that stand for the application's message
// boxes. Everything written here shows the program's Windows-1252 text as
// UTF-8 with LF line ends and control characters escaped (see toConsoleText).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "platform/exception.h"
#include "platform/export.h"

// Standard output's reader went away (a pipe or socket closed at its other
// end, EPIPE): the normal end of a program read by `head`, not a failure.
VOSKO_EXCEPTION(EOutputClosed, EInOutError);

namespace platform {

// Writes text and a line end to standard output and flushes it.
// Raises EInOutError when the write fails, EOutputClosed when nobody reads
// standard output any more.
VOSKO_API void writeConsoleLine(std::string_view text);

// Lines for standard output, as writeConsoleLine writes them, collected and
// written in large pieces: a listing of a million lines would otherwise take
// a write for each. Raises EInOutError as writeConsoleLine does, from the
// line that fills a piece or from flush().
class VOSKO_API ConsoleLines {
 public:
  ConsoleLines() = default;
  ConsoleLines(const ConsoleLines&) = delete;
  ConsoleLines& operator=(const ConsoleLines&) = delete;
  // Writes what is left, raising nothing.
  ~ConsoleLines();

  void line(std::string_view text);
  void flush();

 private:
  static constexpr size_t kPiece = 1 << 16;
  std::string buffer_;
};

enum class ConsoleStream { kOutput, kError };

// Writes text as it stands, without adding a line end, to standard output or
// standard error: for texts made elsewhere, such as a command-line library's
// usage and its errors, which quote the arguments. Never raises.
VOSKO_API void writeConsoleText(ConsoleStream stream, std::string_view text);

// Where the diagnostics' console writer and their internal errors print
// their lines: standard output by default, standard error for a program
// whose standard output carries only data. Set once at start-up, before
// anything is reported.
VOSKO_API void setDiagnosticsStream(ConsoleStream stream);
// writeConsoleLine on the diagnostics' stream.
VOSKO_API void writeDiagnosticsLine(std::string_view text);

enum class NoticeKind { kError, kWarning, kInformation };

// A modal message box with one OK button becomes a notice on standard error:
// a line naming the kind, then the text. Never raises.
VOSKO_API void showNotice(NoticeKind kind, std::string_view text);

}  // namespace platform
