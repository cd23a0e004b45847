#include "debug/binary_reader.h"

#include "basis/exceptions.h"
#include "debug/debug_entries.h"
#include "platform/exception.h"
#include "platform/os_file.h"

std::unique_ptr<TDebugEntries> TBinaryReader::read() {
  try {
    if (!platform::fileExists(fileName_)) return nullptr;
    auto entries = std::make_unique<TDebugEntries>();
    entries->load(fileName_);
    return entries;
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TBinaryReader.read", e));
  }
}
