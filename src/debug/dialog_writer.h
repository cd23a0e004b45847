// TDialogWriter shows each error entry as an error message and each trace
// entry as an information message (the desktop program's message boxes;
// here notices on standard error). Other entries show nothing.
#pragma once

#include "debug/debug_writer.h"
#include "platform/export.h"

// The writer that shows each entry as a notice of its kind.
class VOSKO_API TDialogWriter : public TDebugWriter {
 public:
  VOSKO_CLASS_NAME(TDialogWriter)

  // Raises IOException "TDialogWriter.write: (Class) message".
  void write(const TDebugEntry& entry) override;
};
