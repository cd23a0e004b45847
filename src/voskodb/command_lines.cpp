#include "voskodb/command_lines.h"

#include <cctype>

#include "basis/exceptions.h"
#include "voskodb/file_kind.h"

std::string shellQuote(const std::string& text) {
  static const std::string kPlain = "/._-+,:@%=";
  bool plain = !text.empty();
  for (unsigned char c : text) {
    if (!std::isalnum(c) && kPlain.find(static_cast<char>(c)) == std::string::npos) plain = false;
  }
  if (plain) return text;
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::string convertCommandLine(const std::string& version, const std::string& path) {
  return "convertVOSKO " + version + " " + shellQuote(path) + " <output-file>";
}

std::string upgradeCommandLine(const std::string& path) {
  return "voskodb upgrade " + shellQuote(path) + " <output-file>";
}

void refuseFile(const std::string& command, const std::string& path, const KindRow& row,
                const std::string& takes) {
  throw IllegalArgumentException(command + ": " + path + " is a " + row.description + "; " + command +
                                 " takes " + takes + ".");
}
