#include "debug/binary_writer.h"

#include "basis/exceptions.h"
#include "debug/debug_entries.h"
#include "debug/debug_entry.h"
#include "platform/exception.h"

void TBinaryWriter::write(const TDebugEntry& entry) {
  try {
    std::unique_ptr<TDebugEntries> entries = loadEntries();
    entries->add(entry.clone());
    entries->store(fileName_);
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TBinaryWriter.write", e));
  }
}
