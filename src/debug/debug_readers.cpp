#include "debug/debug_readers.h"

#include <vector>

#include "debug/debug_entries.h"
#include "debug/debug_reader.h"

void TDebugReaders::add(std::unique_ptr<TDebugReader> reader) {
  addElement(std::move(reader), "TDebugReaders.add");
}

TDebugReader* TDebugReaders::get(int32_t index) const {
  try {
    return dynamic_cast<TDebugReader*>(elements_.get(index));
  } catch (...) {
    internalErrorOfCurrent("TDebugReaders.get");
    return nullptr;
  }
}

std::unique_ptr<TDebugEntries> TDebugReaders::read() {
  auto all = std::make_unique<TDebugEntries>();
  try {
    for (int32_t i = 0; i < elements_.size(); ++i) {
      auto* reader = dynamic_cast<TDebugReader*>(elements_.get(i));
      if (reader == nullptr) continue;
      std::unique_ptr<TDebugEntries> part = reader->read();
      if (!part) continue;
      // The entries change owner one at a time; when the result fails to take
      // one, it and those after it are freed as the failure passes.
      for (std::unique_ptr<TMappedObject>& entry : part->extractAll()) all->add(std::move(entry));
    }
  } catch (...) {
    internalErrorOfCurrent("TDebugReaders.read");
  }
  return all;
}
