#include "debug/binary_reader.h"

#include <memory>

#include "basis/class_name_map.h"
#include "basis/exceptions.h"
#include "debug/debug_entries.h"
#include "platform/exception.h"
#include "platform/os_file.h"

namespace {

// The class names an entry may be stored under, each mapped to itself.
// Any other class, above all a nested list, is refused before it is read:
// the file is not trusted to nest objects only as deep as the stack allows.
std::unique_ptr<THashtable> entryClassNames() {
  return makeClassNameMap(
      {{"TTraceEntry", "TTraceEntry"}, {"TErrorEntry", "TErrorEntry"}, {"TDebugEntry", "TDebugEntry"}});
}

}  // namespace

std::unique_ptr<TDebugEntries> TBinaryReader::read() {
  try {
    if (!platform::fileExists(fileName_)) return nullptr;
    auto entries = std::make_unique<TDebugEntries>();
    const std::unique_ptr<THashtable> classNames = entryClassNames();
    entries->load(fileName_, classNames.get());
    return entries;
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TBinaryReader.read", e));
  }
}
