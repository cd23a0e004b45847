#include "basis/mapped_object.h"

bool TMappedObject::equals(const TMappedObject* obj) const { return obj == this; }

std::string TMappedObject::toString() const { return className(); }

int32_t TMappedObject::hashCode() const { return static_cast<int32_t>(reinterpret_cast<uintptr_t>(this)); }

std::unique_ptr<TMappedObject> TMappedObject::clone() const { return std::make_unique<TMappedObject>(); }
