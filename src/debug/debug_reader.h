// TDebugReader reads the entries back from where a writer put them;
// TFileReader is a reader of one named file. read() hands the caller a new
// list, or null when there is nothing to read.
#pragma once

#include <memory>
#include <string>

#include "debug/debug_object.h"

class TDebugEntries;

class TDebugReader : public TDebugObject {
 public:
  VOSKO_CLASS_NAME(TDebugReader)

  virtual std::unique_ptr<TDebugEntries> read() = 0;
};

class TFileReader : public TDebugReader {
 public:
  VOSKO_CLASS_NAME(TFileReader)

  explicit TFileReader(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& getFileName() const { return fileName_; }

 protected:
  std::string fileName_;
};
