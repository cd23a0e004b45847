// TMapEntry, one key/value pair of a THashtable. An entry owns its key and
// its value and frees both when it is destroyed; a table that does not own
// its contents takes them back out (releaseKey/releaseValue) before it lets
// an entry go. Entries are equal when their keys are, whatever the values.
//
// Stored form: the value, then the key, each as integer 1 and the object
// (class name and block) when it is persistent, else as integer 0.
#pragma once

#include <memory>

#include "basis/p_object.h"
#include "platform/export.h"

// One key/value pair of a THashtable, owning both; equal to any entry with
// an equal key.
class VOSKO_API TMapEntry : public TPObject {
 public:
  VOSKO_CLASS_NAME(TMapEntry)

  TMapEntry() = default;
  TMapEntry(std::unique_ptr<TMappedObject> key, std::unique_ptr<TMappedObject> value)
      : key_(std::move(key)), value_(std::move(value)) {}

  TMappedObject* getKey() const { return key_.get(); }
  TMappedObject* getValue() const { return value_.get(); }
  // Each replaces (and frees) what the entry held.
  void setKey(std::unique_ptr<TMappedObject> key) { key_ = std::move(key); }
  void setValue(std::unique_ptr<TMappedObject> value) { value_ = std::move(value); }
  std::unique_ptr<TMappedObject> releaseKey() { return std::move(key_); }
  std::unique_ptr<TMappedObject> releaseValue() { return std::move(value_); }

  // Another entry (or descendant) with an equal key; an entry without a key
  // equals nothing.
  bool equals(const TMappedObject* obj) const override;
  // The key's hash code (0 without a key).
  int32_t hashCode() const override;
  // "key.toString: <key> value.toString: <value>", each part only when set.
  std::string toString() const override;
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

 private:
  std::unique_ptr<TMappedObject> key_;
  std::unique_ptr<TMappedObject> value_;
};
