#include "data/legacy/v1_5/identifier_1_5.h"

#include "platform/clock.h"

using legacy::Layout1_5;

void TIdentifier1_5::writeTo(legacy::RecordFile& file) const {
  legacy::FieldWriter out{file};
  Layout1_5::identifier(*this, out);
}

void TIdentifier1_5::readFrom(legacy::RecordFile& file) {
  legacy::FieldReader in{file};
  Layout1_5::identifier(*this, in);
}

void TTitle1_5::writeTo(legacy::RecordFile& file) const {
  legacy::FieldWriter out{file};
  Layout1_5::title(*this, out);
}

void TTitle1_5::readFrom(legacy::RecordFile& file) {
  legacy::FieldReader in{file};
  Layout1_5::title(*this, in);
}

TSoundCarrier1_5::TSoundCarrier1_5(std::string name, int32_t id)
    : TIdentifier1_5(std::move(name), id), release(platform::now()) {}

void TSoundCarrier1_5::writeTo(legacy::RecordFile& file) const {
  legacy::FieldWriter out{file};
  Layout1_5::carrier(*this, out);
}

void TSoundCarrier1_5::readFrom(legacy::RecordFile& file) {
  legacy::FieldReader in{file};
  Layout1_5::carrier(*this, in);
}
