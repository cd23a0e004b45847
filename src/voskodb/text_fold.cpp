#include "voskodb/text_fold.h"

#include <array>
#include <cstdint>

namespace textfold {
namespace {

struct Folded {
  char bytes[3] = {};
  uint8_t size = 0;
};

constexpr Folded folded(std::string_view text) {
  Folded f;
  for (char c : text) f.bytes[f.size++] = c;
  return f;
}

constexpr void setRange(std::array<Folded, 256>& table, unsigned first, unsigned last, std::string_view to) {
  for (unsigned c = first; c <= last; ++c) table[c] = folded(to);
}

constexpr std::array<Folded, 256> makeTable() {
  std::array<Folded, 256> table{};
  for (unsigned c = 0; c < 256; ++c) {
    const char byte = static_cast<char>(c);
    table[c] = folded(std::string_view(&byte, 1));
  }
  for (unsigned c = 'A'; c <= 'Z'; ++c) {
    const char lower = static_cast<char>(c - 'A' + 'a');
    table[c] = folded(std::string_view(&lower, 1));
  }
  // The same letters in both cases: upper case at 0xC0..0xDE, lower at 0xE0..0xFE.
  for (unsigned base : {0xC0u, 0xE0u}) {
    setRange(table, base + 0x00, base + 0x05, "a");
    table[base + 0x06] = folded("ae");
    table[base + 0x07] = folded("c");
    setRange(table, base + 0x08, base + 0x0B, "e");
    setRange(table, base + 0x0C, base + 0x0F, "i");
    table[base + 0x10] = folded("d");
    table[base + 0x11] = folded("n");
    setRange(table, base + 0x12, base + 0x16, "o");
    table[base + 0x18] = folded("o");
    setRange(table, base + 0x19, base + 0x1C, "u");
    table[base + 0x1D] = folded("y");
    table[base + 0x1E] = folded("th");
  }
  table[0xDF] = folded("ss");
  table[0xFF] = folded("y");
  table[0x83] = folded("f");
  table[0x8A] = table[0x9A] = folded("s");
  table[0x8C] = table[0x9C] = folded("oe");
  table[0x8E] = table[0x9E] = folded("z");
  table[0x9F] = folded("y");
  table[0xAA] = folded("a");
  table[0xBA] = folded("o");
  table[0xB9] = folded("1");
  table[0xB2] = folded("2");
  table[0xB3] = folded("3");
  table[0x82] = table[0x91] = table[0x92] = folded("'");
  table[0x84] = table[0x93] = table[0x94] = folded("\"");
  table[0x96] = table[0x97] = folded("-");
  table[0x85] = folded("...");
  table[0xA0] = folded(" ");
  table[0xAD] = folded("");
  return table;
}

constexpr std::array<Folded, 256> kTable = makeTable();

}  // namespace

std::string_view foldByte(unsigned char c) { return {kTable[c].bytes, kTable[c].size}; }

void appendFolded(std::string& out, std::string_view text) {
  for (char c : text) {
    const Folded& f = kTable[static_cast<unsigned char>(c)];
    if (f.size == 1)
      out += f.bytes[0];
    else
      out.append(f.bytes, f.size);
  }
}

}  // namespace textfold
