#include "data/legacy/v2_0/title_2_0.h"

#include "data/legacy/v2_0/file_io_2_0.h"

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
