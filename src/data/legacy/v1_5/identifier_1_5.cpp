#include "data/legacy/v1_5/identifier_1_5.h"

#include "data/legacy/v1_5/file_io_1_5.h"
#include "platform/clock.h"

void TIdentifier1_5::writeTo(legacy::RecordFile& file) const {
  TFileIO1_5::writeInt(file, id);
  TFileIO1_5::writeString(file, name);
}

void TIdentifier1_5::readFrom(legacy::RecordFile& file) {
  id = TFileIO1_5::readInt(file);
  name = TFileIO1_5::readString(file);
}

void TTitle1_5::writeTo(legacy::RecordFile& file) const {
  TIdentifier1_5::writeTo(file);
  TFileIO1_5::writeString(file, url);
  legacy::writeIdList(file, carrierIds);
}

void TTitle1_5::readFrom(legacy::RecordFile& file) {
  TIdentifier1_5::readFrom(file);
  url = TFileIO1_5::readString(file);
  legacy::readIdList(file, carrierIds);
}

TSoundCarrier1_5::TSoundCarrier1_5(std::string name, int32_t id)
    : TIdentifier1_5(std::move(name), id), release(platform::now()) {}

void TSoundCarrier1_5::writeTo(legacy::RecordFile& file) const {
  TIdentifier1_5::writeTo(file);
  TFileIO1_5::writeInt(file, artistId);
  TFileIO1_5::writeInt(file, labelId);
  TFileIO1_5::writeDouble(file, release);
  TFileIO1_5::writeString(file, notes);
  TFileIO1_5::writeString(file, type);
}

void TSoundCarrier1_5::readFrom(legacy::RecordFile& file) {
  TIdentifier1_5::readFrom(file);
  artistId = TFileIO1_5::readInt(file);
  labelId = TFileIO1_5::readInt(file);
  release = TFileIO1_5::readDouble(file);
  notes = TFileIO1_5::readString(file);
  type = TFileIO1_5::readString(file);
}
