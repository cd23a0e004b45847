#include "debug/debug_writers.h"

#include "basis/exceptions.h"
#include "debug/debug_writer.h"
#include "platform/exception.h"

void TDebugWriters::add(std::unique_ptr<TDebugWriter> writer) {
  addElement(std::move(writer), "TDebugWriters.add(TDebugWriter)");
}

TDebugWriter* TDebugWriters::get(int32_t index) const {
  try {
    return dynamic_cast<TDebugWriter*>(elements_.get(index));
  } catch (...) {
    internalErrorOfCurrent("TDebugWriters.get");
    return nullptr;
  }
}

void TDebugWriters::write(const TDebugEntry& entry) {
  try {
    for (int32_t i = 0; i < elements_.size(); ++i) {
      if (auto* writer = dynamic_cast<TDebugWriter*>(elements_.get(i))) writer->write(entry);
    }
  } catch (const std::exception& e) {
    throw IOException(platform::wrapMessage("TDebugWriters.write(TDebugEntry)", e));
  }
}
