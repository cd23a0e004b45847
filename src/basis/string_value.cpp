#include "basis/string_value.h"

#include "basis/file.h"

bool TString::equals(const TMappedObject* obj) const {
  auto* other = dynamic_cast<const TString*>(obj);
  return other != nullptr && other->value_ == value_;
}

int32_t TString::hashCode() const {
  uint32_t sum = 0;
  for (char c : value_) sum += static_cast<unsigned char>(c);
  return static_cast<int32_t>(sum);
}

std::unique_ptr<TMappedObject> TString::clone() const { return std::make_unique<TString>(value_); }

void TString::readFrom(TFile& file) { value_ = file.readString(); }

void TString::writeTo(TFile& file) { file.writeString(value_); }

std::string TString::toUpperAscii(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string TString::toLowerAscii(const std::string& s) {
  std::string out = s;
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

bool TString::containsIgnoreCase(const std::string& s, const std::string& sub) {
  return sub.empty() || toUpperAscii(s).find(toUpperAscii(sub)) != std::string::npos;
}

bool TString::startsWith(const std::string& s, const std::string& prefix, bool caseSensitive) {
  if (s.size() < prefix.size()) return false;
  std::string head = s.substr(0, prefix.size());
  return caseSensitive ? head == prefix : toUpperAscii(head) == toUpperAscii(prefix);
}

std::string TString::removeChar(const std::string& s, char ch) {
  std::string out;
  out.reserve(s.size());
  for (char c : s) {
    if (c != ch) out += c;
  }
  return out;
}

int32_t TString::indexOf(const std::string& sub, const std::string& s, int32_t from) {
  if (from < 1 || static_cast<size_t>(from) > s.size()) return 0;
  size_t pos = s.find(sub, static_cast<size_t>(from) - 1);
  return pos == std::string::npos ? 0 : static_cast<int32_t>(pos + 1);
}

std::string TString::zeroPad(int64_t number, int32_t width) {
  std::string text = std::to_string(number);
  if (static_cast<int64_t>(text.size()) < width)
    text.insert(0, static_cast<size_t>(width) - text.size(), '0');
  return text;
}
