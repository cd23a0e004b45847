#include "xml/xml_encoding.h"

#include <iconv.h>

#include <array>
#include <cstring>
#include <map>
#include <mutex>
#include <string>

namespace xml {
namespace {

struct EncodingName {
  const char* name;
  const char* iconvName;
};

constexpr EncodingName kNames[] = {
    {"ISO-8859-1", "ISO-8859-1"},   {"Latin-1", "ISO-8859-1"},
    {"ISO-8859-2", "ISO-8859-2"},   {"Latin-2", "ISO-8859-2"},
    {"ISO-8859-3", "ISO-8859-3"},   {"Latin-3", "ISO-8859-3"},
    {"ISO-8859-4", "ISO-8859-4"},   {"Latin-4", "ISO-8859-4"},
    {"ISO-8859-5", "ISO-8859-5"},   {"Cyrillic", "ISO-8859-5"},
    {"ISO-8859-6", "ISO-8859-6"},   {"Arabic", "ISO-8859-6"},
    {"ISO-8859-7", "ISO-8859-7"},   {"Greek", "ISO-8859-7"},
    {"ISO-8859-8", "ISO-8859-8"},   {"Hebrew", "ISO-8859-8"},
    {"ISO-8859-9", "ISO-8859-9"},   {"Latin-5", "ISO-8859-9"},
    {"ISO-8859-10", "ISO-8859-10"}, {"Latin-6", "ISO-8859-10"},
    {"ISO-8859-13", "ISO-8859-13"}, {"Latin-7", "ISO-8859-13"},
    {"ISO-8859-14", "ISO-8859-14"}, {"Latin-8", "ISO-8859-14"},
    {"ISO-8859-15", "ISO-8859-15"}, {"Latin-9", "ISO-8859-15"},
    {"KOI8-R", "KOI8-R"},           {"cp10000_MacRoman", "MACINTOSH"},
    {"Windows-1250", "CP1250"},     {"cp1250", "CP1250"},
    {"Windows-1251", "CP1251"},     {"cp1251", "CP1251"},
    {"Windows-1252", "CP1252"},     {"cp1252", "CP1252"},
};

bool sameIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x -= 'a' - 'A';
    if (y >= 'a' && y <= 'z') y -= 'a' - 'A';
    if (x != y) return false;
  }
  return true;
}

using Table = std::array<int, 256>;

// Converts each byte on its own: the accepted encodings are stateless and
// map every byte to at most one character.
bool buildTable(const char* iconvName, Table& table) {
  iconv_t cd = iconv_open("UTF-32LE", iconvName);
  if (cd == reinterpret_cast<iconv_t>(-1)) return false;
  for (int b = 0; b < 256; ++b) {
    char in = static_cast<char>(b);
    unsigned char out[8];
    char* inPtr = &in;
    char* outPtr = reinterpret_cast<char*>(out);
    std::size_t inLeft = 1, outLeft = sizeof out;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::size_t rc = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
    if (rc == static_cast<std::size_t>(-1) || inLeft != 0 || sizeof out - outLeft != 4) {
      table[b] = -1;
    } else {
      table[b] = out[0] | (out[1] << 8) | (out[2] << 16) | (out[3] << 24);
    }
  }
  iconv_close(cd);
  return true;
}

}  // namespace

const char* iconvEncodingName(std::string_view name) {
  for (const EncodingName& entry : kNames) {
    if (sameIgnoringCase(name, entry.name)) return entry.iconvName;
  }
  return nullptr;
}

bool singleByteTable(std::string_view name, int table[256]) {
  const char* iconvName = iconvEncodingName(name);
  if (iconvName == nullptr) return false;
  static std::mutex mutex;
  static std::map<std::string, Table> tables;
  std::lock_guard<std::mutex> lock(mutex);
  auto found = tables.find(iconvName);
  if (found == tables.end()) {
    Table built;
    if (!buildTable(iconvName, built)) return false;
    found = tables.emplace(iconvName, built).first;
  }
  std::memcpy(table, found->second.data(), sizeof(int) * 256);
  return true;
}

}  // namespace xml
