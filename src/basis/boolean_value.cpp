#include "basis/boolean_value.h"

#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/string_value.h"

bool TBoolean::fromString(const std::string& s) {
  std::string lower = TString::toLowerAscii(s);
  if (lower == "true") return true;
  if (lower == "false") return false;
  throw ParserException("TBoolean.fromString", s, "No such boolean value", 1);
}

std::unique_ptr<TMappedObject> TBoolean::clone() const { return std::make_unique<TBoolean>(value_); }

void TBoolean::readFrom(TFile& file) { value_ = file.readBoolean(); }

void TBoolean::writeTo(TFile& file) { file.writeBoolean(value_); }
