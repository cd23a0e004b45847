// TSystemOutWriter prints each entry's text on the console: standard output,
// or standard error where the program says so (platform::setDiagnosticsStream).
// It is the one writer that swallows its failures: the console is the last resort.
#pragma once

#include "debug/debug_writer.h"
#include "platform/export.h"

// The writer that prints each entry on the console and swallows its own
// failures.
class VOSKO_API TSystemOutWriter : public TDebugWriter {
 public:
  VOSKO_CLASS_NAME(TSystemOutWriter)

  // The entry's text and a line break.
  void write(const TDebugEntry& entry) override;
};
