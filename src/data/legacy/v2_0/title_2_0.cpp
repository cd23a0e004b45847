#include "data/legacy/v2_0/title_2_0.h"

void TTitle2_0::writeTo(legacy::RecordFile& file) const {
  legacy::FieldWriter out{file};
  legacy::Layout2_0::title(*this, out);
}

void TTitle2_0::readFrom(legacy::RecordFile& file) {
  legacy::FieldReader in{file};
  legacy::Layout2_0::title(*this, in);
}
