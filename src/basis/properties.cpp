#include "basis/properties.h"

#include <sys/stat.h>

#include "basis/exceptions.h"
#include "basis/hash_set.h"
#include "basis/integer_value.h"
#include "basis/map_entry.h"
#include "basis/string_value.h"
#include "basis/text_file.h"
#include "platform/os_file.h"

namespace {

constexpr off_t kMaxPropertiesSize = 1 << 20;

bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string trim(const std::string& s) {
  size_t begin = 0;
  size_t end = s.size();
  while (begin < end && isTrimmed(s[begin])) ++begin;
  while (end > begin && isTrimmed(s[end - 1])) --end;
  return s.substr(begin, end - begin);
}

}  // namespace

TProperties::TProperties(const std::string& fileName) { loadProperties(fileName); }

bool TProperties::parseLine(const std::string& rawLine, std::string& key, std::string& value) {
  const std::string line = trim(rawLine);
  if (line.empty() || line[0] == '#' || line.compare(0, 2, "//") == 0) return false;
  size_t pos = line.find_first_of(" =\t");
  if (pos == std::string::npos) pos = line.size();
  key = line.substr(0, pos);
  bool equalsSeen = false;
  while (pos < line.size()) {
    char c = line[pos];
    if (c == ' ' || c == '\t') {
      ++pos;
    } else if (c == '=' && !equalsSeen) {
      equalsSeen = true;
      ++pos;
    } else {
      break;
    }
  }
  value = line.substr(pos);
  return true;
}

void TProperties::loadProperties(const std::string& fileName) {
  if (!platform::fileExists(fileName)) {
    throw InvalidPropertiesException("TProperty: Textfile: " + fileName + " does not exist.");
  }
  // Configuration is read only from a regular file of sensible size: a FIFO
  // would block and a huge file would be held in memory whole.
  struct stat st {};
  if (::stat(fileName.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
    throw InvalidPropertiesException("TProperty: Textfile: " + fileName + " is not a regular file.");
  }
  if (st.st_size > kMaxPropertiesSize) {
    throw InvalidPropertiesException("TProperty: Textfile: " + fileName + " is larger than 1 MiB.");
  }
  TTextFile file(fileName, TTextFile::modeRead());
  clear();
  std::string key;
  std::string value;
  while (!file.eof()) {
    if (!parseLine(file.readln(), key, value)) continue;
    // The set's add, not put: a key seen before keeps its first value, and
    // the set's add drops the later pair.
    getEntries().add(
        std::make_unique<TMapEntry>(std::make_unique<TString>(key), std::make_unique<TString>(value)));
  }
  file.close();
}

std::string TProperties::getProperty(const std::string& key) const { return get(key)->toString(); }

std::string TProperties::getProperty(const std::string& key, const std::string& def) const {
  try {
    return getProperty(key);
  } catch (const InvalidKeyException&) {
    return def;
  }
}

int32_t TProperties::getInteger(const std::string& key) const {
  const std::string value = getProperty(key);
  try {
    return TInteger::parse(value);
  } catch (const std::exception&) {
    throw IllegalPropertyValueException("TProperties: Key: " + key + " no integer value.");
  }
}

int32_t TProperties::getInteger(const std::string& key, int32_t def) const {
  try {
    return getInteger(key);
  } catch (const std::exception&) {
    return def;
  }
}

bool TProperties::getBoolean(const std::string& key) const {
  const std::string value = TString::toUpperAscii(getProperty(key));
  if (value == "TRUE") return true;
  if (value == "FALSE") return false;
  throw IllegalPropertyValueException("TProperties: Key: " + key + " no boolean value.");
}

bool TProperties::getBoolean(const std::string& key, bool def) const {
  try {
    return getBoolean(key);
  } catch (const std::exception&) {
    return def;
  }
}

bool TProperties::contains(const std::string& s) const {
  TString probe(s);
  return containsValue(&probe);
}

std::unique_ptr<TMappedObject> TProperties::clone() const {
  auto copy = std::make_unique<TProperties>();
  copy->setOwnsObjects(getOwnsObjects());
  copyInto(*copy);
  return copy;
}
