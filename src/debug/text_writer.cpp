#include "debug/text_writer.h"

#include "basis/exceptions.h"
#include "basis/text_file.h"
#include "debug/debug_entry.h"
#include "platform/exception.h"
#include "platform/os_file.h"

void TTextWriter::write(const TDebugEntry& entry) {
  try {
    // As the entry's printAppend or print would write it: its text as one line.
    const int32_t mode = platform::fileExists(fileName_) ? TTextFile::modeAppend() : TTextFile::modeWrite();
    TTextFile file(fileName_, mode);
    file.writeln(entry.toString());
    file.close();
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TTextWriter.write", e));
  }
}
