#include "debug/debug_list.h"

#include "basis/exceptions.h"
#include "basis/string_value.h"
#include "debug/debug_entries.h"
#include "debug/debug_reader.h"
#include "debug/debug_writer.h"
#include "platform/exception.h"

TDebugList::TDebugList() = default;

TDebugList::~TDebugList() {
  try {
    elements_.clear();
  } catch (...) {
    internalErrorOfCurrent("TDebugList.destroy");
  }
}

std::unique_ptr<TArrayList> TDebugList::get(TClassTest isInstance) const {
  try {
    auto found = std::make_unique<TArrayList>(false);
    for (int32_t i = 0; i < elements_.size(); ++i) {
      TMappedObject* obj = elements_.get(i);
      if (isInstance(obj)) found->add(obj);
    }
    return found;
  } catch (...) {
    internalErrorOfCurrent("TDebugList.get(TClass)");
    return nullptr;
  }
}

std::unique_ptr<TArrayList> TDebugList::get(const std::string& className) const {
  try {
    const std::string wanted = TString::toLowerAscii(className);
    auto found = std::make_unique<TArrayList>(false);
    for (int32_t i = 0; i < elements_.size(); ++i) {
      TMappedObject* obj = elements_.get(i);
      if (TString::toLowerAscii(obj->className()) == wanted) found->add(obj);
    }
    return found;
  } catch (...) {
    internalErrorOfCurrent("TDebugList.get(string)");
    return nullptr;
  }
}

void TDebugList::clear() {
  try {
    elements_.clear();
  } catch (...) {
    internalErrorOfCurrent("TDebugList.clear");
  }
}

int32_t TDebugList::size() const {
  try {
    return elements_.size();
  } catch (...) {
    internalErrorOfCurrent("TDebugList.size");
    return 0;
  }
}

void TDebugList::addElement(std::unique_ptr<TMappedObject> obj, const char* methodName) {
  try {
    elements_.add(obj.get());
    obj.release();
  } catch (...) {
    internalErrorOfCurrent(methodName);
  }
}

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
      // The entries change owner: the reader's list lets go of all of them,
      // and those the result could not take are freed here.
      part->setOwnsObjects(false);
      int32_t moved = 0;
      try {
        for (; moved < part->size(); ++moved) all->add(part->get(moved));
      } catch (...) {
        for (int32_t j = moved; j < part->size(); ++j) delete part->get(j);
        throw;
      }
    }
  } catch (...) {
    internalErrorOfCurrent("TDebugReaders.read");
  }
  return all;
}
