#include "debug/file_writer.h"

#include "debug/binary_reader.h"
#include "debug/debug_entries.h"
#include "platform/os_file.h"

std::unique_ptr<TDebugEntries> TFileWriter::loadEntries() const {
  if (platform::fileExists(fileName_)) {
    TBinaryReader reader(fileName_);
    if (std::unique_ptr<TDebugEntries> entries = reader.read()) return entries;
  }
  return std::make_unique<TDebugEntries>();
}
