#include "data/legacy/v2_0/identifier_2_0.h"

#include "data/legacy/v2_0/file_io_2_0.h"
#include "platform/clock.h"

TIdentifier2_0::TIdentifier2_0(std::string name, int32_t id)
    : name(std::move(name)), id(id), date(platform::now()) {}

void TIdentifier2_0::writeTo(legacy::RecordFile& file) const {
  TFileIO2_0::writeInt(file, id);
  TFileIO2_0::writeString(file, name);
  TFileIO2_0::writeDouble(file, date);
}


void TIdentifier2_0::readFrom(legacy::RecordFile& file) {
  id = TFileIO2_0::readInt(file);
  name = TFileIO2_0::readString(file);
  date = TFileIO2_0::readDouble(file);
}
