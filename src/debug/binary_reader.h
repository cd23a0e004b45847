// TBinaryReader reads a binary debug file (debug_entries.h) back into a list
// of entries.
#pragma once

#include "debug/file_reader.h"
#include "platform/export.h"

// The reader of a binary debug file, as the binary writer fills it.
class VOSKO_API TBinaryReader : public TFileReader {
 public:
  VOSKO_CLASS_NAME(TBinaryReader)

  using TFileReader::TFileReader;

  // The file's entries as a new list, or null when the file does not exist.
  // A wrong header, a damaged block or an element that is no entry raises IOException
  // "TBinaryReader.read: (Class) message".
  std::unique_ptr<TDebugEntries> read() override;
};
