#include "basis/map_entry.h"

#include "basis/file.h"

namespace {

void writePart(TFile& file, TMappedObject* part) {
  if (TPObject* p = part->asPObject()) {
    file.writeInt(1);
    file.writeTPObject(*p);
  } else {
    file.writeInt(0);
  }
}

std::unique_ptr<TMappedObject> readPart(TFile& file) {
  if (file.readInt() > 0) return file.readTPObject();
  return nullptr;
}

}  // namespace

bool TMapEntry::equals(const TMappedObject* obj) const {
  auto* other = dynamic_cast<const TMapEntry*>(obj);
  return other != nullptr && key_ != nullptr && key_->equals(other->key_.get());
}

int32_t TMapEntry::hashCode() const { return key_ ? key_->hashCode() : 0; }

std::string TMapEntry::toString() const {
  std::string text = "key.toString: ";
  if (key_) text += key_->toString() + " ";
  text += "value.toString: ";
  if (value_) text += value_->toString();
  return text;
}

std::unique_ptr<TMappedObject> TMapEntry::clone() const {
  return std::make_unique<TMapEntry>(key_ ? key_->clone() : nullptr, value_ ? value_->clone() : nullptr);
}

void TMapEntry::readFrom(TFile& file) {
  value_ = readPart(file);
  key_ = readPart(file);
}

void TMapEntry::writeTo(TFile& file) {
  writePart(file, value_.get());
  writePart(file, key_.get());
}
