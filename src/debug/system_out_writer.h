// TSystemOutWriter prints each entry's text on the console: standard output,
// or standard error where the program says so (platform::setDiagnosticsStream).
// It is the one writer that swallows its failures: the console is the last resort.
#pragma once

#include "debug/debug_writer.h"

class TSystemOutWriter : public TDebugWriter {
 public:
  VOSKO_CLASS_NAME(TSystemOutWriter)

  // The entry's text and a line break.
  void write(const TDebugEntry& entry) override;
};
