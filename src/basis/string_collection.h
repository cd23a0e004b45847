// TStringCollection, the persistent list of 8-bit strings: text files are
// read into it line by line (TTextFile::readLines), sets
// and string tables list their members through it, and message bodies are
// assembled in it. Its text is every line followed by CR LF. Stored form: an
// integer count, then each line as a string. The collection owns its lines.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "basis/p_object.h"
#include "platform/export.h"

class THashSet;

// The owned lines of a text, stored as their count and each line.
class VOSKO_API TStringCollection : public TPObject {
 public:
  VOSKO_CLASS_NAME(TStringCollection)

  TStringCollection() = default;
  // The text split into lines at CR and LF; empty lines are dropped.
  explicit TStringCollection(const std::string& text);
  // The value of every TString element of set in its iteration order, other
  // elements skipped; a null set raises IllegalArgumentException
  // "TStringCollection.<init>: HashSet mustn't be nil.".
  explicit TStringCollection(const THashSet* set);

  // Line i (0-based); out of range raises the platform's list error.
  const std::string& get(int32_t index) const;
  // Appends s and returns its index.
  int32_t add(const std::string& s);
  int32_t addEmpty() { return add(""); }
  void clear() { lines_.clear(); }
  int32_t count() const { return static_cast<int32_t>(lines_.size()); }
  std::vector<std::string>& strings() { return lines_; }
  const std::vector<std::string>& strings() const { return lines_; }
  // Line i becomes line i + s; returns the new line.
  const std::string& appendTo(int32_t index, const std::string& s);
  // Every line followed by CR LF.
  std::string getText() const;

  void initialize() override { lines_.clear(); }
  // Another TStringCollection with the same text.
  bool equals(const TMappedObject* obj) const override;
  std::string toString() const override { return getText(); }
  std::unique_ptr<TMappedObject> clone() const override;
  void readFrom(TFile& file) override;
  void writeTo(TFile& file) override;

 private:
  std::vector<std::string> lines_;
};
