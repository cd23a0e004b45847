#include "basis/class_registry.h"

#include <unordered_map>

#include "platform/exception.h"

namespace ClassRegistry {
namespace {

std::unordered_map<std::string, Factory>& table() {
  static std::unordered_map<std::string, Factory> classes;
  return classes;
}

}  // namespace

void registerClass(const std::string& name, Factory factory) { table()[name] = std::move(factory); }

std::unique_ptr<TMappedObject> create(const std::string& name) {
  auto it = table().find(name);
  if (it == table().end()) throw EClassNotFound("Klasse " + name + " nicht gefunden");
  return it->second();
}

bool isRegistered(const std::string& name) { return table().count(name) != 0; }

}  // namespace ClassRegistry
