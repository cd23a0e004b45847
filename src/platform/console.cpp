#include "platform/console.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/code_page.h"
#include "platform/exception.h"

namespace platform {

void writeConsoleLine(std::string_view text) {
  std::string out = toConsoleText(text);
  out += '\n';
  errno = 0;
  if (std::fwrite(out.data(), 1, out.size(), stdout) != out.size() || std::fflush(stdout) != 0) {
    int err = errno;
    std::clearerr(stdout);
    throw EInOutError(std::string("I/O error while writing to standard output: ") +
                      (err ? std::strerror(err) : "write failed"));
  }
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
