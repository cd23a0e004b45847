#include "basis/class_registry.h"

#include <unordered_map>

#include "platform/exception.h"
#include "platform/message_value.h"

namespace ClassRegistry {
namespace {

std::unordered_map<std::string, Factory>& table() {
  static std::unordered_map<std::string, Factory> classes;
  return classes;
}

}  // namespace

void registerClass(const std::string& name, Factory factory) { table()[name] = std::move(factory); }

std::unique_ptr<TMappedObject> create(const std::string& name) {
  const Factory* factory = find(name);
  if (factory == nullptr) throw EClassNotFound("Klasse " + platform::messageValue(name) + " nicht gefunden");
  return (*factory)();
}

bool isRegistered(const std::string& name) { return table().count(name) != 0; }

const Factory* find(const std::string& name) {
  auto it = table().find(name);
  return it == table().end() ? nullptr : &it->second;
}

}  // namespace ClassRegistry
