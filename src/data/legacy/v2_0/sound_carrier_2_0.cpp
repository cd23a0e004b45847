#include "data/legacy/v2_0/sound_carrier_2_0.h"

#include "data/legacy/v2_0/file_io_2_0.h"
#include "platform/clock.h"

TSoundCarrier2_0::TSoundCarrier2_0(std::string name, int32_t id)
    : TIdentifier2_0(std::move(name), id), release(platform::now()) {}

void TSoundCarrier2_0::writeTo(legacy::RecordFile& file) const {
  TIdentifier2_0::writeTo(file);
  TFileIO2_0::writeInt(file, labelId);
  TFileIO2_0::writeDouble(file, release);
  TFileIO2_0::writeString(file, notes);
  TFileIO2_0::writeString(file, type);
}

void TSoundCarrier2_0::readFrom(legacy::RecordFile& file) {
  TIdentifier2_0::readFrom(file);
  labelId = TFileIO2_0::readInt(file);
  release = TFileIO2_0::readDouble(file);
  notes = TFileIO2_0::readString(file);
  type = TFileIO2_0::readString(file);
}
