#include "basis/string_collection.h"

#include "basis/array_list.h"
#include "basis/exceptions.h"
#include "basis/file.h"
#include "basis/hash_set.h"
#include "basis/string_tokenizer.h"
#include "basis/string_value.h"
#include "platform/exception.h"

TStringCollection::TStringCollection(const std::string& text) {
  TStringTokenizer tokens(text, "\r\n");
  while (tokens.hasMoreTokens()) add(tokens.nextToken());
}

TStringCollection::TStringCollection(const THashSet* set) {
  if (set == nullptr) throw IllegalArgumentException("TStringCollection.<init>: HashSet mustn't be nil.");
  std::unique_ptr<TArrayList> elements = set->toList();
  for (int32_t i = 0; i < elements->size(); ++i) {
    if (auto* s = dynamic_cast<TString*>(elements->get(i))) add(s->getValue());
  }
}

const std::string& TStringCollection::get(int32_t index) const {
  if (index < 0 || index >= count()) platform::throwListIndexError(index);
  return lines_[static_cast<size_t>(index)];
}

int32_t TStringCollection::add(const std::string& s) {
  lines_.push_back(s);
  return count() - 1;
}

const std::string& TStringCollection::appendTo(int32_t index, const std::string& s) {
  if (index < 0 || index >= count()) platform::throwListIndexError(index);
  return lines_[static_cast<size_t>(index)] += s;
}

std::string TStringCollection::getText() const {
  std::string text;
  for (const std::string& line : lines_) {
    text += line;
    text += "\r\n";
  }
  return text;
}

bool TStringCollection::equals(const TMappedObject* obj) const {
  auto* other = dynamic_cast<const TStringCollection*>(obj);
  return other != nullptr && other->getText() == getText();
}

std::unique_ptr<TMappedObject> TStringCollection::clone() const {
  auto copy = std::make_unique<TStringCollection>();
  copy->lines_ = lines_;
  return copy;
}

void TStringCollection::readFrom(TFile& file) {
  lines_.clear();
  // No reservation by the stored count: each line consumes at least its
  // length, so a count beyond the data ends in the file's short-read error.
  const int32_t n = file.readInt();
  for (int32_t i = 0; i < n; ++i) lines_.push_back(file.readString());
}

void TStringCollection::writeTo(TFile& file) {
  file.writeInt(count());
  for (const std::string& line : lines_) file.writeString(line);
}
