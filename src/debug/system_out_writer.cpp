#include "debug/system_out_writer.h"

#include "debug/debug_entry.h"
#include "platform/console.h"

void TSystemOutWriter::write(const TDebugEntry& entry) {
  try {
    platform::writeDiagnosticsLine(entry.toString());
  } catch (...) {
    // Nowhere else to report to; the channel's other writers still run.
  }
}
