#include "data/legacy/v1_5/identifier_list_1_5.h"

std::string TIdentifierList1_5::nameOf(int32_t id) const {
  int32_t position = indexOf(id);
  if (position < 0 && id == TIdentifier1_5::noId()) return std::string();
  return get(position)->name;
}
