#include "debug/debug_list.h"

#include "basis/string_value.h"

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
    elements_.add(std::move(obj));
  } catch (...) {
    internalErrorOfCurrent(methodName);
  }
}
