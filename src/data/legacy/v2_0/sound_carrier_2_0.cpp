#include "data/legacy/v2_0/sound_carrier_2_0.h"

#include "platform/clock.h"

TSoundCarrier2_0::TSoundCarrier2_0(std::string name, int32_t id)
    : TIdentifier2_0(std::move(name), id), release(platform::now()) {}

void TSoundCarrier2_0::writeTo(legacy::RecordFile& file) const {
  legacy::FieldWriter out{file};
  legacy::Layout2_0::carrier(*this, out);
}

void TSoundCarrier2_0::readFrom(legacy::RecordFile& file) {
  legacy::FieldReader in{file};
  legacy::Layout2_0::carrier(*this, in);
}
