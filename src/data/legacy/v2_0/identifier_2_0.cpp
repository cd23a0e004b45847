#include "data/legacy/v2_0/identifier_2_0.h"

#include "platform/clock.h"

TIdentifier2_0::TIdentifier2_0(std::string name, int32_t id)
    : name(std::move(name)), id(id), date(platform::now()) {}

void TIdentifier2_0::writeTo(legacy::RecordFile& file) const {
  legacy::FieldWriter out{file};
  legacy::Layout2_0::identifier(*this, out);
}

void TIdentifier2_0::readFrom(legacy::RecordFile& file) {
  legacy::FieldReader in{file};
  legacy::Layout2_0::identifier(*this, in);
}
