#include "data/legacy/v2_0/identifier_list_2_0.h"

#include "platform/exception.h"

int32_t TIdentifierList2_0::indexOf(int32_t id) const {
  int32_t position = positionOf(id);
  if (position < 0) throw Exception("Bezeichner mit ID: " + std::to_string(id) + " nicht gefunden.");
  return position;
}

const TIdentifier2_0* TIdentifierList2_0::byId(int32_t id) const {
  if (id == TIdentifier2_0::noId() && positionOf(id) < 0) return nullptr;
  return get(indexOf(id));
}

std::string TIdentifierList2_0::nameOf(int32_t id) const {
  const TIdentifier2_0* record = byId(id);
  return record == nullptr ? std::string() : record->name;
}
