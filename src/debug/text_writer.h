// TTextWriter appends each entry's text and a line break to a text file,
// creating the file with the first entry. The file is opened and closed for
// every entry, so it is complete whenever the program stops.
#pragma once

#include "debug/file_writer.h"
#include "platform/export.h"

// The writer that appends each entry's text to a text file.
class VOSKO_API TTextWriter : public TFileWriter {
 public:
  VOSKO_CLASS_NAME(TTextWriter)

  using TFileWriter::TFileWriter;

  // Raises IOException "TTextWriter.write: (Class) message".
  void write(const TDebugEntry& entry) override;
};
