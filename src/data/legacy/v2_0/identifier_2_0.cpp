#include "data/legacy/v2_0/identifier_2_0.h"

#include "basis/text_file.h"
#include "data/legacy/v2_0/file_io_2_0.h"
#include "platform/clock.h"

TIdentifier2_0::TIdentifier2_0(std::string name, int32_t id)
    : name(std::move(name)), id(id), date(platform::now()) {}

void TIdentifier2_0::writeTo(legacy::RecordFile& file) const {
  TFileIO2_0::writeInt(file, id);
  TFileIO2_0::writeString(file, name);
  TFileIO2_0::writeDouble(file, date);
}

void TIdentifier2_0::writeText(TTextFile& file, bool lineBreak) const {
  TFileIO2_0::writeText(file, name, lineBreak);
}

void TIdentifier2_0::readFrom(legacy::RecordFile& file) {
  id = TFileIO2_0::readInt(file);
  name = TFileIO2_0::readString(file);
  date = TFileIO2_0::readDouble(file);
}

void TTitle2_0::writeTo(legacy::RecordFile& file) const {
  TIdentifier2_0::writeTo(file);
  TFileIO2_0::writeString(file, url);
  legacy::writeIdList(file, carrierIds);
  TFileIO2_0::writeInt(file, artistId);
}

void TTitle2_0::readFrom(legacy::RecordFile& file) {
  TIdentifier2_0::readFrom(file);
  url = TFileIO2_0::readString(file);
  legacy::readIdList(file, carrierIds);
  artistId = TFileIO2_0::readInt(file);
}

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
