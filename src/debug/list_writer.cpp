#include "debug/list_writer.h"

#include "basis/exceptions.h"
#include "debug/debug_entries.h"
#include "debug/debug_entry.h"
#include "platform/exception.h"

TListWriter::TListWriter() : entries_(std::make_unique<TDebugEntries>()) {}

TListWriter::~TListWriter() = default;

void TListWriter::write(const TDebugEntry& entry) {
  try {
    if (!entries_) return;
    entries_->add(entry.clone());
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TListWriter.write", e));
  }
}
