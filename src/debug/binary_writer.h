// TBinaryWriter adds each entry to a binary debug file (debug_entries.h) in
// time independent of the file's length: it checks the file's head (header,
// the list's length and count), writes the entry behind the list, hands it to
// the disk and only then writes the new length and count in one piece, so a
// crash or a failure leaves the list with or without the entry; a failed write
// takes the entry off again. Bytes behind the list, left by an addition that
// was cut short, are dropped first. A file that does not exist yet, or whose
// head does not describe such a list, goes the old way: it is read whole, the
// entry is added and the list is stored by replacing the file, so a file that
// cannot be read (wrong header, damaged block) refuses every write and stays
// unchanged. Damage among the entries is not seen by the head check: such a
// file is added to, and fails when it is read.
#pragma once

#include "debug/file_writer.h"
#include "platform/export.h"

// The writer that adds each entry to a binary debug file, in place wherever
// the file's head allows it.
class VOSKO_API TBinaryWriter : public TFileWriter {
 public:
  VOSKO_CLASS_NAME(TBinaryWriter)

  using TFileWriter::TFileWriter;

  // Raises IOException "TBinaryWriter.write: (Class) message".
  void write(const TDebugEntry& entry) override;
};
