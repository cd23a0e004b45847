// TFileWriter, the base of the writers that put entries into a named file
// (text_writer.h, binary_writer.h).
#pragma once

#include <memory>
#include <string>

#include "debug/debug_writer.h"
#include "platform/export.h"

class TDebugEntries;

// The base of the writers into one named file.
class VOSKO_API TFileWriter : public TDebugWriter {
 public:
  VOSKO_CLASS_NAME(TFileWriter)

  explicit TFileWriter(std::string fileName) : fileName_(std::move(fileName)) {}

  const std::string& getFileName() const { return fileName_; }

 protected:
  // The entries of the binary debug file, or a new empty list when the file
  // does not exist yet; the caller owns the result. Raises what the binary
  // reader raises. It reads the whole file: the binary writer uses it only
  // for a file it cannot add to in place.
  std::unique_ptr<TDebugEntries> loadEntries() const;

  std::string fileName_;
};
