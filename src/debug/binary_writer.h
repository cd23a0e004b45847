// TBinaryWriter adds each entry to a binary debug file (debug_entries.h):
// it reads the whole file, appends a clone of the entry and stores the list
// again. The store replaces the file only when complete, so a failed write
// leaves the file as it was; a file that cannot be read (wrong header,
// damaged block) refuses every write and stays unchanged.
#pragma once

#include "debug/file_writer.h"

class TBinaryWriter : public TFileWriter {
 public:
  VOSKO_CLASS_NAME(TBinaryWriter)

  using TFileWriter::TFileWriter;

  // Raises IOException "TBinaryWriter.write: (Class) message".
  void write(const TDebugEntry& entry) override;
};
