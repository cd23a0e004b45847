// TTextFile, a line-oriented text file: lines written end in CR LF, lines
// read may end in CR LF, LF or CR. Open from construction to destruction in
// one of three modes: append (0), read (1) or write (2, created or truncated:
// written beside the file and put in its place when closed).
// Failures are IOExceptions "TTextFile.<operation>: <message>".
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "basis/p_object.h"
#include "platform/export.h"
#include "platform/os_file.h"

class TStringCollection;

// A text file read or written line by line, open in one mode from
// construction to destruction.
class VOSKO_API TTextFile : public TPObject {
 public:
  VOSKO_CLASS_NAME(TTextFile)

  static int32_t modeAppend() { return 0; }
  static int32_t modeRead() { return 1; }
  static int32_t modeWrite() { return 2; }

  // An unopened file in write mode, as the class registry makes it.
  TTextFile();
  TTextFile(const std::string& name, int32_t mode);
  // Closes the file; a failure to close is lost here, call close() to see it.
  ~TTextFile() override;

  void initialize() override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

  // Writes s and flushes it to the file.
  void write(const std::string& s);
  // Writes s and CR LF.
  void writeln(const std::string& s);
  // The rest of the current line, not consumed.
  std::string read();
  // The rest of the current line, moving past its end.
  std::string readln();
  bool eof();
  // The next lines (all when max < 0) as a new collection owned by the caller.
  std::unique_ptr<TStringCollection> readLines(int32_t max = -1);
  void close();

  int32_t getLineNumber() const { return lineNumber_; }
  int32_t getMode() const { return mode_; }
  bool isOpened() const { return opened_; }

 private:
  void open();
  size_t lineEnd() const;

  int32_t lineNumber_ = 0;
  int32_t mode_ = 2;
  void writeWhole(const std::string& s);

  bool opened_ = false;
  int uncaughtAtOpen_ = 0;
  platform::OsFile os_;
  // A file opened for reading is held in memory; pos_ is the next character.
  std::string content_;
  size_t pos_ = 0;
};
