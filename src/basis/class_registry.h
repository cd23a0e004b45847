// The persistent class registry: class name to a factory of empty instances.
// The file reader recreates stored objects through it. Units register their
// classes in the start-up sequence, before any file is read.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "basis/mapped_object.h"
#include "platform/export.h"

namespace ClassRegistry {

using Factory = std::function<std::unique_ptr<TMappedObject>()>;

VOSKO_API void registerClass(const std::string& name, Factory factory);

template <class T>
void registerClass() {
  registerClass(T::kClassName, [] { return std::unique_ptr<TMappedObject>(new T()); });
}

// A new, empty instance of the class registered under `name`; an unknown name
// raises EClassNotFound "Klasse <name> nicht gefunden".
VOSKO_API std::unique_ptr<TMappedObject> create(const std::string& name);

VOSKO_API bool isRegistered(const std::string& name);

// The factory registered under `name`, or null. It stays valid while the
// registry lives (registration happens only at start-up).
VOSKO_API const Factory* find(const std::string& name);

}  // namespace ClassRegistry
