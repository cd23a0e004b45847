#include "basis/text_file.h"

#include <cstdint>
#include <exception>

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_collection.h"
#include "platform/exception.h"
#include "platform/system_info.h"

namespace {

[[noreturn]] void rethrow(const char* op, const std::exception& e) {
  throw IOException(platform::prefixMessage(std::string("TTextFile.") + op, e));
}

}  // namespace

TTextFile::TTextFile() { TTextFile::initialize(); }

TTextFile::TTextFile(const std::string& name, int32_t mode) {
  TTextFile::initialize();
  setFileName(name);
  mode_ = mode;
  open();
}

TTextFile::~TTextFile() {
  try {
    close();
  } catch (...) {
    // Nothing can be reported from a destructor.
  }
}

void TTextFile::initialize() {
  setFileName("");
  mode_ = modeWrite();
}

void TTextFile::readFrom(TFile& file) {
  setFileName(file.readString());
  mode_ = file.readInt();
}

void TTextFile::writeTo(TFile& file) {
  file.writeString(getFileName());
  file.writeInt(mode_);
}

void TTextFile::open() {
  try {
    if (getFileName().empty()) throw IOException("Missing filename, can't write to stdout.");
    if (mode_ != modeRead() && platform::fileExists(getFileName()) &&
        platform::isReadOnlyFile(getFileName())) {
      throw IOException("Try to write read only file '" + getFileName() + "'.");
    }
    if (mode_ == modeAppend()) {
      os_.openAppend(getFileName());
    } else if (mode_ == modeRead()) {
      if (platform::fileMissing(getFileName()))
        throw IOException("File '" + getFileName() + "' does not exist.");
      os_.openRead(getFileName());
      content_.clear();
      char chunk[65536];
      size_t n;
      while ((n = os_.read(chunk, sizeof chunk)) > 0) content_.append(chunk, n);
      // A read that stops short of the file's size failed; the lines read so
      // far must not pass for the whole file.
      if (static_cast<int64_t>(content_.size()) < os_.size()) {
        throw EInOutError("Cannot read '" + getFileName() + "': " + platform::lastErrorText());
      }
      pos_ = 0;
    } else {
      // Written beside the file and put in its place by close(), so a failed
      // write leaves the old file whole.
      os_.openReplacement(getFileName());
    }
  } catch (const std::exception& e) {
    os_.close();
    rethrow("open", e);
  }
  opened_ = true;
  uncaughtAtOpen_ = std::uncaught_exceptions();
  lineNumber_ = 1;
}

void TTextFile::write(const std::string& s) {
  try {
    if (!opened_ || mode_ == modeRead()) throw EInOutError("File not open for output");
    writeWhole(s);
  } catch (const std::exception& e) {
    rethrow("write", e);
  }
}

void TTextFile::writeln(const std::string& s) {
  try {
    if (!opened_ || mode_ == modeRead()) throw EInOutError("File not open for output");
    writeWhole(s + "\r\n");
    ++lineNumber_;
  } catch (const std::exception& e) {
    rethrow("writeln", e);
  }
}

size_t TTextFile::lineEnd() const {
  size_t end = content_.find_first_of("\r\n", pos_);
  return end == std::string::npos ? content_.size() : end;
}

std::string TTextFile::read() {
  try {
    if (!opened_ || mode_ != modeRead()) throw EInOutError("File not open for input");
    return content_.substr(pos_, lineEnd() - pos_);
  } catch (const std::exception& e) {
    rethrow("read", e);
  }
}

std::string TTextFile::readln() {
  try {
    if (!opened_ || mode_ != modeRead()) throw EInOutError("File not open for input");
    size_t end = lineEnd();
    std::string line = content_.substr(pos_, end - pos_);
    pos_ = end;
    if (pos_ < content_.size() && content_[pos_] == '\r') ++pos_;
    if (pos_ < content_.size() && content_[pos_] == '\n') ++pos_;
    ++lineNumber_;
    return line;
  } catch (const std::exception& e) {
    rethrow("readln", e);
  }
}

std::unique_ptr<TStringCollection> TTextFile::readLines(int32_t max) {
  auto lines = std::make_unique<TStringCollection>();
  try {
    while (!eof() && (max < 0 || lines->count() < max)) lines->add(readln());
  } catch (const std::exception& e) {
    rethrow("readLines", e);
  }
  return lines;
}

bool TTextFile::eof() {
  try {
    if (!opened_) throw EInOutError("File not open");
    return mode_ != modeRead() || pos_ >= content_.size();
  } catch (const std::exception& e) {
    rethrow("eof", e);
  }
}

// A write that stops short is cut off again, so an appended file holds
// whole writes only.
void TTextFile::writeWhole(const std::string& s) {
  const int64_t before = os_.size();
  if (os_.write(s.data(), s.size()) < s.size()) {
    os_.truncate(before);
    throw EInOutError("Disk write error");
  }
}

void TTextFile::close() {
  if (!opened_) return;
  opened_ = false;
  content_.clear();
  // A file being written replaces its target only when closed on purpose,
  // not when an exception unwinds past it.
  if (mode_ == modeWrite() && std::uncaught_exceptions() == uncaughtAtOpen_) {
    try {
      os_.commitReplacement();
    } catch (const std::exception& e) {
      rethrow("close", e);
    }
  }
  os_.close();
}
