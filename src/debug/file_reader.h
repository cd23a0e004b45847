// TFileReader, the base of the readers of one named file (binary_reader.h);
// the name is kept as given and opened only when read() is called.
#pragma once

#include <string>

#include "debug/debug_reader.h"
#include "platform/export.h"

// The base of the readers of one named file.
class VOSKO_API TFileReader : public TDebugReader {
 public:
  VOSKO_CLASS_NAME(TFileReader)

  explicit TFileReader(std::string fileName);

  const std::string& getFileName() const { return fileName_; }

 protected:
  std::string fileName_;
};
